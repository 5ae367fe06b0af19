#pragma once
// Exports a registered map for other programs: the world file and its coordinate system beside
// the bitmap, the waypoints as GPX 1.1 and the calibration as an OziExplorer ".map" file. It
// decides which exports apply, writes each file atomically and returns every failure as a
// FileResult whose notice names the file.

#include "document/FileResult.h"
#include "document/export/AuxXml.h"
#include "document/export/CExportSource.h"
#include "document/export/ExportText.h"
#include "document/export/Gpx.h"
#include "document/export/OziMap.h"
#include "document/export/WorldFile.h"

#include <string>
#include <vector>

namespace mapreg {

class CGpsDoc;
class CUserPrompt;

class CMapExporter {
public:
    enum class Format { WorldFile, Gpx, OziMap };

    // mapFilePath is the map file the source belongs to ("" when none): no export replaces it
    // or the bitmap.
    explicit CMapExporter(CExportSource source, std::string mapFilePath = {});

    // The document as it is now, with the placed waypoints of the waypoint table.
    static CExportSource SourceOf(const CGpsDoc& doc);

    // 0 when the format can be exported, else the string id of the reason why not. Builds no
    // file text: the menus ask it on every update.
    unsigned WhyNot(Format format) const;
    bool CanExport(Format format) const { return WhyNot(format) == 0; }

    // Each export is done only when every file was written; otherwise its notice gives the
    // reason the format does not apply, or names the file that cannot be written. A GPX file
    // that leaves waypoints out says how many. The world file goes beside the bitmap, with
    // "<bitmap>.aux.xml" for its coordinate system (the other contents of an existing .aux.xml
    // are kept).
    FileResult ExportWorldFile();
    FileResult ExportGpx(const std::string& path);
    FileResult ExportOziMap(const std::string& path);

    // The files the exports have written so far, in order.
    const std::vector<std::string>& WrittenFiles() const { return m_written; }

    // Where the file choosers start: beside the bitmap, named after it.
    std::string DefaultGpxPath() const;
    std::string DefaultOziMapPath() const;

    // The File > Export commands (ID_FILE_EXPORT_WORLD_FILE, ID_FILE_EXPORT_GPX,
    // ID_FILE_EXPORT_OZI_MAP): whether one is enabled for the document now, and running one
    // (GPX and .map ask prompt for the file first; not done when none is chosen). A disabled
    // command or another id does nothing and is done.
    static bool IsCommandEnabled(const CGpsDoc& doc, unsigned commandId);
    static FileResult OnCommand(const CGpsDoc& doc, CUserPrompt& prompt, unsigned commandId);

private:
    FileResult WriteFile(const std::string& path, const std::string& bytes);

    CExportSource m_source;
    std::string m_mapFilePath;
    std::vector<std::string> m_written;
};

} // namespace mapreg

#include "app/CDeviceExportCommand.h"

#include "app/CWorkerJob.h"
#include "document/CGpsDoc.h"
#include "document/CMapExporter.h"
#include "document/CSidecarFiles.h"
#include "document/TextFileFormat.h"
#include "framework/CUserPrompt.h"
#include "resources/StringTable.h"

#include <QTemporaryDir>

#include <filesystem>
#include <optional>
#include <string>

namespace mapreg {

namespace {

struct SFormat {
    unsigned commandId;
    const char* option;    // of mapreg-cli export
    const char* extension; // with the dot
    unsigned filterId;
};
constexpr SFormat kFormats[] = {
    {ID_FILE_EXPORT_KMZ, "--kmz", ".kmz", IDS_KMZ_FILTER},
    {ID_FILE_EXPORT_MBTILES, "--mbtiles", ".mbtiles", IDS_MBTILES_FILTER},
    {ID_FILE_EXPORT_GEOTIFF, "--geotiff", ".tif", IDS_GEOTIFF_FILTER},
};

const SFormat* FormatOf(unsigned commandId) {
    for (const SFormat& format : kFormats) {
        if (format.commandId == commandId) {
            return &format;
        }
    }
    return nullptr;
}

} // namespace

bool CDeviceExportCommand::IsEnabled(const CGpsDoc& doc) {
    // The same map as the world file needs: calibrated, with a bitmap of its own.
    return CMapExporter::IsCommandEnabled(doc, ID_FILE_EXPORT_WORLD_FILE);
}

void CDeviceExportCommand::Run(const CGpsDoc& doc, CUserPrompt& prompt, QWidget* pParent,
                               unsigned commandId) {
    const SFormat* format = FormatOf(commandId);
    if (format == nullptr || !IsEnabled(doc)) {
        return;
    }
    const std::string& bitmap = doc.GetBitmapPath();
    const std::optional<std::string> path =
        prompt.ChooseFileToSave(format->extension + 1, LoadStringId(format->filterId),
                                DeriveTextFileName(bitmap, format->extension));
    if (!path) {
        return;
    }
    if (CSidecarFiles::WouldReplace(*path, bitmap, doc.GetPathName())) {
        prompt.MessageBoxId1(IDS_TEXT_FILE_WOULD_REPLACE, *path, MsgIcon::Exclamation);
        return;
    }
    // The worker reads the map as the window holds it now: a copy of its map file in a folder of
    // our own, named like the bitmap, which names the map in the KMZ and the MBTiles.
    const QTemporaryDir folder;
    const std::string name = std::filesystem::path(bitmap).stem().string() + ".gpm";
    const std::optional<std::string> copy =
        CWorkerJob::WriteInput(folder, name, doc.BuildMapFile());
    if (!copy) {
        prompt.MessageBoxId1(IDS_DEVICE_CANNOT_WRITE, name, MsgIcon::Stop);
        return;
    }
    CWorkerJob job(pParent, FormatString1(IDS_DEVICE_EXPORT_PROGRESS, *path));
    const CWorkerJob::Result result =
        job.Run({"export", std::string(format->option) + "=" + *path, "--", *copy});
    if (!result.Succeeded() && result.end != CWorkerJob::End::Cancelled) {
        prompt.ShowMessage(IDS_DEVICE_CANNOT_MAKE, result.Message(), MsgIcon::Stop, MsgButtons::Ok);
    }
}

} // namespace mapreg

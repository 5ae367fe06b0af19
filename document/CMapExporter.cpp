#include "document/CMapExporter.h"

#include "document/CGpsDoc.h"
#include "document/CSidecarFiles.h"
#include "document/TextFileFormat.h"
#include "framework/CAtomicFile.h"
#include "framework/CUserPrompt.h"
#include "resources/StringTable.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

namespace mapreg {

namespace {

// The previous contents of a file, or "" when it cannot be read (or does not exist).
std::string ReadExisting(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return in.bad() ? std::string() : bytes.str();
}

std::string AbsolutePath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

} // namespace

CMapExporter::CMapExporter(CExportSource source, std::string mapFilePath)
    : m_source(std::move(source)), m_mapFilePath(std::move(mapFilePath)) {}

CExportSource CMapExporter::SourceOf(const CGpsDoc& doc) {
    CExportSource source;
    source.bitmapPath = doc.GetBitmapPath();
    source.width = doc.GetMapWidth();
    source.height = doc.GetMapHeight();
    source.calibrated = doc.IsCalibrated();
    source.calibration = doc.GetCalibration();
    source.transform = doc.GetTransform();
    source.waypoints.assign(doc.GetWaypoints().begin(),
                            doc.GetWaypoints().begin() + doc.GetPlacedWaypoints());
    return source;
}

unsigned CMapExporter::WhyNot(Format format) const {
    if (format == Format::Gpx) {
        const auto count = static_cast<int>(m_source.waypoints.size());
        return count > CountUnwritableWaypoints(m_source.waypoints) ? 0u : IDS_EXPORT_NO_WAYPOINTS;
    }
    if (!m_source.calibrated) {
        return IDS_EXPORT_NOT_CALIBRATED;
    }
    if (m_source.bitmapPath.empty()) {
        return IDS_EXPORT_NEEDS_BITMAP;
    }
    const CCalibration& calibration = m_source.calibration;
    if (!AffineOfTransform(m_source.transform) ||
        !CoordinateSystemWkt(calibration.coordType, calibration.zone, calibration.letter)) {
        return IDS_EXPORT_UNUSABLE_CALIBRATION;
    }
    if (format == Format::OziMap && !CanBuildOziMap(m_source)) {
        return IDS_EXPORT_UNUSABLE_CALIBRATION;
    }
    return 0;
}

FileResult CMapExporter::WriteFile(const std::string& path, const std::string& bytes) {
    if (CSidecarFiles::WouldReplace(path, m_source.bitmapPath, m_mapFilePath)) {
        return FileResult::Failed(
            FileResult::Notice::Of1(IDS_TEXT_FILE_WOULD_REPLACE, path, MsgIcon::Exclamation));
    }
    const CFileError error = CAtomicFile::Write(path, bytes);
    if (error.IsError()) {
        return FileResult::Failed({IDS_WRITE_TEXT_FILE_FAILED,
                                   FormatString1(IDS_WRITE_TEXT_FILE_FAILED, path) + "  " +
                                       std::string(LoadStringId(error.ReasonId(true))),
                                   MsgIcon::Stop});
    }
    m_written.push_back(path);
    return {};
}

FileResult CMapExporter::ExportWorldFile() {
    if (const unsigned reason = WhyNot(Format::WorldFile); reason != 0) {
        return FileResult::Failed(FileResult::Notice::Of(reason, MsgIcon::Exclamation));
    }
    const CAffine affine = *AffineOfTransform(m_source.transform);
    const CCalibration& calibration = m_source.calibration;
    const std::string wkt =
        *CoordinateSystemWkt(calibration.coordType, calibration.zone, calibration.letter);
    const std::string auxName = AuxXmlFileName(m_source.bitmapPath);
    if (FileResult world =
            WriteFile(WorldFileName(m_source.bitmapPath), BuildWorldFileText(affine));
        !world.done) {
        return world;
    }
    return WriteFile(auxName, BuildAuxXml(wkt, calibration.coordType, ReadExisting(auxName)));
}

FileResult CMapExporter::ExportGpx(const std::string& path) {
    if (const unsigned reason = WhyNot(Format::Gpx); reason != 0) {
        return FileResult::Failed(FileResult::Notice::Of(reason, MsgIcon::Exclamation));
    }
    const std::string name = m_source.bitmapPath.empty()
                                 ? std::string()
                                 : std::filesystem::path(m_source.bitmapPath).stem().string();
    FileResult written = WriteFile(path, BuildGpx(m_source.waypoints, name));
    if (!written.done) {
        return written;
    }
    if (const int leftOut = CountUnwritableWaypoints(m_source.waypoints); leftOut > 0) {
        written.notices.push_back(FileResult::Notice::Of1(
            IDS_EXPORT_WAYPOINTS_LEFT_OUT, std::to_string(leftOut), MsgIcon::Exclamation));
    }
    return written;
}

FileResult CMapExporter::ExportOziMap(const std::string& path) {
    if (const unsigned reason = WhyNot(Format::OziMap); reason != 0) {
        return FileResult::Failed(FileResult::Notice::Of(reason, MsgIcon::Exclamation));
    }
    // Map apps find the picture by the full path first, then beside the .map file.
    const std::optional<std::string> text =
        BuildOziMap(m_source, AbsolutePath(m_source.bitmapPath));
    return text ? WriteFile(path, *text) : FileResult::Failed();
}

std::string CMapExporter::DefaultGpxPath() const {
    if (m_source.bitmapPath.empty()) {
        return std::string(LoadStringId(IDS_UNTITLED)) + ".gpx";
    }
    return DeriveTextFileName(m_source.bitmapPath, ".gpx");
}

std::string CMapExporter::DefaultOziMapPath() const {
    return DeriveTextFileName(m_source.bitmapPath, ".map");
}

bool CMapExporter::IsCommandEnabled(const CGpsDoc& doc, unsigned commandId) {
    if (doc.IsCalibrationMode()) {
        return false;
    }
    const CMapExporter exporter(SourceOf(doc), doc.GetPathName());
    switch (commandId) {
    case ID_FILE_EXPORT_WORLD_FILE:
        return exporter.CanExport(Format::WorldFile);
    case ID_FILE_EXPORT_GPX:
        return exporter.CanExport(Format::Gpx);
    case ID_FILE_EXPORT_OZI_MAP:
        return exporter.CanExport(Format::OziMap);
    default:
        return false;
    }
}

FileResult CMapExporter::OnCommand(const CGpsDoc& doc, CUserPrompt& prompt, unsigned commandId) {
    if (!IsCommandEnabled(doc, commandId)) {
        return {};
    }
    CMapExporter exporter(SourceOf(doc), doc.GetPathName());
    if (commandId == ID_FILE_EXPORT_WORLD_FILE) {
        return exporter.ExportWorldFile();
    }
    const bool gpx = commandId == ID_FILE_EXPORT_GPX;
    const std::optional<std::string> path = prompt.ChooseFileToSave(
        gpx ? "gpx" : "map", LoadStringId(gpx ? IDS_GPX_FILTER : IDS_OZI_MAP_FILTER),
        gpx ? exporter.DefaultGpxPath() : exporter.DefaultOziMapPath());
    if (!path) {
        return FileResult::Failed();
    }
    return gpx ? exporter.ExportGpx(*path) : exporter.ExportOziMap(*path);
}

} // namespace mapreg

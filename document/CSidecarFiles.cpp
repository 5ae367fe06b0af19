#include "document/CSidecarFiles.h"

#include "document/TextFileFormat.h"

#include <string_view>

namespace mapreg {

std::string CSidecarFiles::RegistrationFileName(const std::string& bitmapPath) {
    return bitmapPath.empty() ? std::string() : DeriveTextFileName(bitmapPath, ".txt");
}

std::string CSidecarFiles::WaypointFileName(const std::string& bitmapPath) {
    return bitmapPath.empty() ? std::string() : DeriveTextFileName(bitmapPath, ".wpt");
}

std::string CSidecarFiles::RegistrationText(const CMapTransform& transform, int width, int height,
                                            const std::string& bitmapPath, CoordType coordType) {
    const CDoublePoint tl = transform.PictureToWorld({0.0, 0.0});
    const CDoublePoint br =
        transform.PictureToWorld({static_cast<double>(width), static_cast<double>(height)});
    const double xResolution = (tl.x - br.x) / static_cast<double>(width);
    const double yResolution = (tl.y - br.y) / static_cast<double>(height);
    const auto line = [](std::string_view label, const std::string& value) {
        return std::string(label) + value + std::string(kCrLf);
    };
    std::string text;
    text += std::string(kRegistrationHeader) + std::string(kCrLf) + std::string(kCrLf);
    text += line("FILE:\t", FileNameOf(bitmapPath));
    text += line("MAP SIZE X:\t", std::to_string(width));
    text += line("MAP SIZE Y:\t", std::to_string(height));
    text += line(coordType == CoordType::Utm ? "COORD UTM" : "COORD LATLON", "");
    text += line("TOP LEFT EASTING:\t", FormatFixed(tl.x, 20, 10));
    text += line("TOP LEFT NORTHING:\t", FormatFixed(tl.y, 20, 10));
    text += line("X RESOLUTION:\t", FormatFixed(xResolution, 20, 10));
    text += line("Y RESOLUTION:\t", FormatFixed(yResolution, 20, 10));
    text += line("BOT RIGHT EASTING:\t", FormatFixed(br.x, 20, 10));
    text += line("BOT RIGHT NORTHING:\t", FormatFixed(br.y, 20, 10));
    return text;
}

std::string CSidecarFiles::WaypointText(std::span<const CDoublePoint> waypoints) {
    std::string text = std::string(kWaypointHeader) + std::string(kCrLf) + std::string(kCrLf);
    text += "#WP:\t" + std::to_string(waypoints.size()) + std::string(kCrLf);
    for (const CDoublePoint& wp : waypoints) {
        text += FormatFixed(wp.x, 0, 6) + ",  " + FormatFixed(wp.y, 0, 6) + std::string(kCrLf);
    }
    return text;
}

bool CSidecarFiles::WouldReplace(const std::string& target, const std::string& bitmapPath,
                                 const std::string& mapFilePath) {
    return (!bitmapPath.empty() && IsSameFile(target, bitmapPath)) ||
           (!mapFilePath.empty() && IsSameFile(target, mapFilePath));
}

} // namespace mapreg

#pragma once
// The text files beside the bitmap that the handheld device reads (the registration file
// ".txt" and the waypoint file ".wpt"): their names and texts, and the one guard that every text
// file and export passes before anything is written: none replaces the map's bitmap or its map
// file.

#include "georef/CCalibration.h"
#include "georef/CDoublePoint.h"
#include "georef/CMapTransform.h"

#include <span>
#include <string>

namespace mapreg {

class CSidecarFiles {
public:
    // Named after the bitmap; empty for the default map (no bitmap path).
    static std::string RegistrationFileName(const std::string& bitmapPath);
    static std::string WaypointFileName(const std::string& bitmapPath);

    // The registration text of a width x height picture: its file name, size, coordinate
    // type, the world points of its top-left (0, 0) and bottom-right (width, height) corners
    // through transform, and the resolution per pixel; lines end in CR LF.
    static std::string RegistrationText(const CMapTransform& transform, int width, int height,
                                        const std::string& bitmapPath, CoordType coordType);
    // The waypoint text: the count, then latitude and longitude of each waypoint (x latitude,
    // y longitude, degrees) with six decimals.
    static std::string WaypointText(std::span<const CDoublePoint> waypoints);

    // True when writing target would replace the bitmap or the map file; an empty path names
    // no file.
    static bool WouldReplace(const std::string& target, const std::string& bitmapPath,
                             const std::string& mapFilePath);
};

} // namespace mapreg

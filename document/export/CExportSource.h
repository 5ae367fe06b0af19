#pragma once
// What the exports need to know of a registered map. World coordinates are degrees (longitude,
// latitude) or UTM metres (easting, northing) as the calibration's coordinate type says.

#include "georef/CCalibration.h"
#include "georef/CDoublePoint.h"
#include "georef/CMapTransform.h"

#include <string>
#include <vector>

namespace mapreg {

struct CExportSource {
    std::string bitmapPath; // empty for the built-in default map
    int width = 0;          // bitmap size in pixels
    int height = 0;
    bool calibrated = false;
    // Coordinate type, zone and letter of the world points; the transform maps by the marks as
    // they were given.
    CCalibration calibration{.zone = 0, .letter = 'N'};
    CMapTransform transform;
    // Placed waypoints: x = latitude, y = longitude, degrees.
    std::vector<CDoublePoint> waypoints;
};

// A world point of the source's coordinate type as a latitude/longitude world point
// (x longitude, y latitude, degrees); UTM is converted on WGS 84.
CDoublePoint WorldToLatLon(const CExportSource& source, CDoublePoint world);

} // namespace mapreg

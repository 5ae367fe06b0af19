#pragma once
// How far the device puts a map from where the map's own georeferencing puts it. The device
// reads only the picture size, the coordinate kind and the world points of the two outer corners
// (top-left at picture point (0,0), bottom-right at (W,H)) and maps linearly between them, so a
// turned, sheared or differently projected picture lands off its true place. Distances are
// geodesics on the WGS 84 ellipsoid in metres (PROJ's geodesic routines, accurate to
// nanometres); no function here throws.

#include "georef/CCalibration.h"
#include "georef/CDoublePoint.h"

#include <functional>
#include <vector>

namespace mapreg {

// What the device knows of a map: its registration file.
struct SDeviceGrid {
    CoordType coordType = CoordType::LatLon; // the kind of the corners' world points
    int zone = 0;                            // UTM zone 1..60
    bool north = true;      // UTM northings count from the equator (false: from 10 000 km south)
    CDoublePoint topLeft{}; // world point of picture point (0,0)
    CDoublePoint bottomRight{}; // world point of picture point (width, height)
    int width = 0;
    int height = 0;
};

// Maps picture points (x right, y down, from the top-left corner of the top-left pixel) in place
// to WGS 84 longitude (x) and latitude (y) in degrees; false when a point cannot be mapped.
using PictureToLonLat = std::function<bool(std::vector<CDoublePoint>&)>;

// The points sampled: kDeviceErrorGrid x kDeviceErrorGrid, evenly over the whole picture from
// (0,0) to (width,height), outer corners included.
inline constexpr int kDeviceErrorGrid = 33;

// Where the device puts a picture point, in the grid's world coordinates.
CDoublePoint DeviceWorldPoint(const SDeviceGrid& grid, CDoublePoint picture);

// A world point of the grid's kind (and zone) as longitude and latitude in degrees.
CDoublePoint GridToLonLat(const SDeviceGrid& grid, CDoublePoint world);

// The largest distance in metres between the true mapping and the device over the sample grid.
// NaN when the grid is empty or the true mapping fails.
double DeviceErrorMetres(const SDeviceGrid& grid, const PictureToLonLat& trueMapping);

// The device grid of a three-mark calibration on a picture of width x height pixels: its outer
// corners mapped by the calibration, in its kind and zone.
SDeviceGrid DeviceGridOf(const CCalibration& calibration, int width, int height);

// The three-mark calibration itself as the true mapping (a map calibrated by hand).
PictureToLonLat CalibrationMapping(const CCalibration& calibration);

// The device error of a map calibrated by hand: its calibration against the device's corners.
double CalibrationDeviceError(const CCalibration& calibration, int width, int height);

// Ground size in metres of the pixel at the picture's centre under a mapping: the shorter of its
// two sides. NaN when the mapping fails.
double CentrePixelMetres(int width, int height, const PictureToLonLat& trueMapping);

// Geodesic distance in metres between two longitude/latitude points in degrees.
double GeodesicMetres(CDoublePoint a, CDoublePoint b);

// Whether a picture whose points (any of them, in any order) lie at these longitudes and latitudes
// in degrees reaches across the 180° meridian: longitudes are taken continuous around the
// picture's centre longitude. A latitude/longitude grid on the device ends there, so such a map
// cannot be put on the device in latitude/longitude. A picture from -180° to 180° exactly does not
// cross it.
bool CrossesAntimeridian(const std::vector<CDoublePoint>& lonLat, double centreLon);

} // namespace mapreg

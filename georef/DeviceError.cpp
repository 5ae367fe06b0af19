#include "georef/DeviceError.h"

#include "coords/UtmProjection.h"
#include "georef/CMapTransform.h"
#include "georef/ProjLibrary.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mapreg {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The WGS 84 ellipsoid for PROJ's geodesic routines; null when PROJ cannot be loaded.
const geod_geodesic* Wgs84() {
    static const geod_geodesic* const pGeodesic = []() -> const geod_geodesic* {
        const SProjLibrary* pProj = ProjLibrary();
        if (pProj == nullptr) {
            return nullptr;
        }
        static geod_geodesic g{};
        pProj->geodInit(&g, kWgs84SemiMajorAxis, kWgs84Flattening);
        return &g;
    }();
    return pGeodesic;
}

} // namespace

double GeodesicMetres(CDoublePoint a, CDoublePoint b) {
    if (!(std::isfinite(a.x) && std::isfinite(a.y) && std::isfinite(b.x) && std::isfinite(b.y) &&
          std::abs(a.y) <= 90.0 && std::abs(b.y) <= 90.0)) {
        return kNaN;
    }
    const geod_geodesic* pWgs84 = Wgs84();
    if (pWgs84 == nullptr) {
        return kNaN;
    }
    double distance = kNaN;
    ProjLibrary()->geodInverse(pWgs84, a.y, a.x, b.y, b.x, &distance, nullptr, nullptr);
    return distance;
}

CDoublePoint DeviceWorldPoint(const SDeviceGrid& grid, CDoublePoint picture) {
    const double u = picture.x / grid.width;
    const double v = picture.y / grid.height;
    return {grid.topLeft.x + u * (grid.bottomRight.x - grid.topLeft.x),
            grid.topLeft.y + v * (grid.bottomRight.y - grid.topLeft.y)};
}

CDoublePoint GridToLonLat(const SDeviceGrid& grid, CDoublePoint world) {
    if (grid.coordType == CoordType::LatLon) {
        return world;
    }
    double latitude = kNaN;
    double longitude = kNaN;
    UtmToLatLon(kWgs84SemiMajorAxis, kWgs84Flattening, grid.zone, grid.north ? 'N' : 'M', world.x,
                world.y, latitude, longitude);
    return {longitude, latitude};
}

double DeviceErrorMetres(const SDeviceGrid& grid, const PictureToLonLat& trueMapping) {
    if (grid.width < 1 || grid.height < 1 || !trueMapping) {
        return kNaN;
    }
    std::vector<CDoublePoint> picture;
    picture.reserve(kDeviceErrorGrid * kDeviceErrorGrid);
    for (int j = 0; j < kDeviceErrorGrid; ++j) {
        for (int i = 0; i < kDeviceErrorGrid; ++i) {
            picture.push_back({grid.width * static_cast<double>(i) / (kDeviceErrorGrid - 1),
                               grid.height * static_cast<double>(j) / (kDeviceErrorGrid - 1)});
        }
    }
    std::vector<CDoublePoint> truth = picture;
    if (!trueMapping(truth) || truth.size() != picture.size()) {
        return kNaN;
    }
    double largest = 0.0;
    for (std::size_t i = 0; i < picture.size(); ++i) {
        const double d =
            GeodesicMetres(truth[i], GridToLonLat(grid, DeviceWorldPoint(grid, picture[i])));
        if (std::isnan(d)) {
            return kNaN;
        }
        largest = std::max(largest, d);
    }
    return largest;
}

SDeviceGrid DeviceGridOf(const CCalibration& calibration, int width, int height) {
    const CMapTransform transform = calibration.Transform();
    SDeviceGrid grid;
    grid.coordType = calibration.coordType;
    grid.zone = calibration.zone;
    grid.north = !UtmIsSouthernLetter(calibration.letter);
    grid.width = width;
    grid.height = height;
    grid.topLeft = transform.PictureToWorld({0.0, 0.0});
    grid.bottomRight =
        transform.PictureToWorld({static_cast<double>(width), static_cast<double>(height)});
    return grid;
}

PictureToLonLat CalibrationMapping(const CCalibration& calibration) {
    const SDeviceGrid kind = DeviceGridOf(calibration, 1, 1);
    return [transform = calibration.Transform(), kind](std::vector<CDoublePoint>& points) {
        for (CDoublePoint& p : points) {
            p = GridToLonLat(kind, transform.PictureToWorld(p));
        }
        return true;
    };
}

double CalibrationDeviceError(const CCalibration& calibration, int width, int height) {
    return DeviceErrorMetres(DeviceGridOf(calibration, width, height),
                             CalibrationMapping(calibration));
}

double CentrePixelMetres(int width, int height, const PictureToLonLat& trueMapping) {
    const double cx = width / 2.0;
    const double cy = height / 2.0;
    std::vector<CDoublePoint> pixel{{cx, cy}, {cx + 1.0, cy}, {cx, cy + 1.0}};
    if (!trueMapping || !trueMapping(pixel) || pixel.size() != 3) {
        return kNaN;
    }
    return std::min(GeodesicMetres(pixel[0], pixel[1]), GeodesicMetres(pixel[0], pixel[2]));
}

bool CrossesAntimeridian(const std::vector<CDoublePoint>& lonLat, double centreLon) {
    constexpr double kSlack = 1e-9;
    return std::any_of(lonLat.begin(), lonLat.end(), [centreLon](CDoublePoint p) {
        const double lon = centreLon + std::remainder(p.x - centreLon, 360.0);
        return lon > 180.0 + kSlack || lon < -180.0 - kSlack;
    });
}

} // namespace mapreg

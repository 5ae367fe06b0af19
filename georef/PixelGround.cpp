#include "georef/PixelGround.h"

#include "georef/DeviceError.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace mapreg {

SPixelGround PixelGroundAt(const CCalibration& calibration, CDoublePoint at) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    const SPixelGround none{kNaN, kNaN, kNaN};
    std::vector<CDoublePoint> lonLat{at, {at.x + 1.0, at.y}, {at.x, at.y + 1.0}};
    if (!CalibrationMapping(calibration)(lonLat) || lonLat.size() != 3) {
        return none;
    }
    const SPixelGround ground{GeodesicMetres(lonLat[0], lonLat[1]),
                              GeodesicMetres(lonLat[0], lonLat[2]), kNaN};
    if (!(std::isfinite(ground.xMetres) && std::isfinite(ground.yMetres))) {
        return none;
    }
    // The row's direction in the world of the calibration, in metres east and north.
    const CMapTransform transform = calibration.Transform();
    const CDoublePoint from = transform.PictureToWorld(at);
    const CDoublePoint to = transform.PictureToWorld({at.x + 1.0, at.y});
    double east = to.x - from.x;
    const double north = to.y - from.y;
    if (!calibration.IsUtm()) {
        east *= std::cos(from.y * std::numbers::pi / 180.0);
    }
    double degrees = std::atan2(-north, east) * 180.0 / std::numbers::pi;
    if (degrees <= -180.0) {
        degrees += 360.0;
    }
    return {ground.xMetres, ground.yMetres, std::isfinite(degrees) ? degrees : kNaN};
}

} // namespace mapreg

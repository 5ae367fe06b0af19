#include "georef/WarpFit.h"

#include <algorithm>

namespace mapreg {

std::size_t MinimumPoints(WarpFit fit) {
    switch (fit) {
    case WarpFit::Calibration:
        return 0;
    case WarpFit::Order1:
        return 3;
    case WarpFit::Order2:
        return 6;
    case WarpFit::Order3:
    case WarpFit::ThinPlateSpline:
        break;
    }
    return 10;
}

std::size_t EnabledPoints(const std::vector<ControlPoint>& points) {
    return static_cast<std::size_t>(std::count_if(points.begin(), points.end(),
                                                  [](const ControlPoint& p) { return p.enabled; }));
}

int PolynomialOrder(WarpFit fit) {
    switch (fit) {
    case WarpFit::Order1:
        return 1;
    case WarpFit::Order2:
        return 2;
    case WarpFit::Order3:
        return 3;
    case WarpFit::Calibration:
    case WarpFit::ThinPlateSpline:
        break;
    }
    return 0;
}

} // namespace mapreg

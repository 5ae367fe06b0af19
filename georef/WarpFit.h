#pragma once
// The fits a map's picture can be straightened through: its calibration's affine, or a
// polynomial of order 1..3 or a thin-plate spline through its enabled control points. A map file
// and the device hold only an affine; the other fits bend the picture itself while it is warped.

#include "georef/CPointFit.h"

#include <cstddef>
#include <vector>

namespace mapreg {

enum class WarpFit { Calibration, Order1, Order2, Order3, ThinPlateSpline };

// The fewest enabled control points the fit needs: none for the calibration, then 3, 6, 10 and
// 10 (a thin-plate spline could go through three, but bends wildly between so few).
std::size_t MinimumPoints(WarpFit fit);

// The number of enabled points.
std::size_t EnabledPoints(const std::vector<ControlPoint>& points);

// The polynomial order of fit, 0 for the calibration and the thin-plate spline.
int PolynomialOrder(WarpFit fit);

} // namespace mapreg

#pragma once
// The affine mapping of a three-mark calibration, solved directly from its point pairs: the
// terms the world file and GDAL's geotransform carry.

#include "georef/CDoublePoint.h"
#include "georef/CMapTransform.h"

#include <optional>

namespace mapreg {

// The affine mapping of corner-based picture coordinates (pixel (0, 0) covers 0..1 on both
// axes) to world coordinates: world.x = c + a*x + b*y, world.y = f + d*x + e*y. These are
// GDAL's geotransform terms (c, a, b, f, d, e).
struct CAffine {
    double a = 1.0;
    double b = 0.0;
    double c = 0.0;
    double d = 0.0;
    double e = 1.0;
    double f = 0.0;

    CDoublePoint Apply(CDoublePoint p) const {
        return {c + a * p.x + b * p.y, f + d * p.x + e * p.y};
    }
};

// The affine mapping through the transform's three control point pairs, solved directly from
// them. Nothing when it is not a usable mapping: non-finite terms or a zero determinant.
std::optional<CAffine> AffineOfTransform(const CMapTransform& transform);

} // namespace mapreg

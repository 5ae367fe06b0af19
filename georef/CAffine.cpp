#include "georef/CAffine.h"

#include <cmath>

namespace mapreg {

std::optional<CAffine> AffineOfTransform(const CMapTransform& transform) {
    const auto& p = transform.GetPicturePoints();
    const auto& w = transform.GetWorldPoints();
    const double d1x = p[1].x - p[0].x;
    const double d1y = p[1].y - p[0].y;
    const double d2x = p[2].x - p[0].x;
    const double d2y = p[2].y - p[0].y;
    const double det = d1x * d2y - d1y * d2x;
    const double u1 = w[1].x - w[0].x;
    const double u2 = w[2].x - w[0].x;
    const double v1 = w[1].y - w[0].y;
    const double v2 = w[2].y - w[0].y;
    CAffine affine;
    affine.a = (u1 * d2y - u2 * d1y) / det;
    affine.b = (u2 * d1x - u1 * d2x) / det;
    affine.d = (v1 * d2y - v2 * d1y) / det;
    affine.e = (v2 * d1x - v1 * d2x) / det;
    affine.c = w[0].x - affine.a * p[0].x - affine.b * p[0].y;
    affine.f = w[0].y - affine.d * p[0].x - affine.e * p[0].y;
    const double worldDet = affine.a * affine.e - affine.b * affine.d;
    for (const double term :
         {affine.a, affine.b, affine.c, affine.d, affine.e, affine.f, worldDet}) {
        if (!std::isfinite(term)) {
            return std::nullopt;
        }
    }
    if (worldDet == 0.0) {
        return std::nullopt;
    }
    return affine;
}

} // namespace mapreg

#pragma once
// Triangle geometry behind the picture/world transform and the picture checks of a calibration:
// interior angles (radians), edge parameters, the apex vertex and the scan axis of a triangle.

#include "georef/CDoublePoint.h"

#include <array>

namespace mapreg {

// The interior angle in radians opposite the side of length a in a triangle with sides a, b, c.
// Rounding can take the cosine just past +-1; it is clamped so the result is never NaN for
// finite sides of a real triangle.
double TriangleAngle(double a, double b, double c);

// The parameter at which the value c lies on the way from a to b: (a - c) / (a - b).
double EdgeRatio(double a, double b, double c);

// p + (q - p) * t, component-wise.
CDoublePoint Interpolate(CDoublePoint p, CDoublePoint q, double t);

// 1, 2 or 3 (one-based) for the vertex with the smallest interior angle; on a tie the later
// vertex wins.
int SmallestAngleVertex(CDoublePoint a, CDoublePoint b, CDoublePoint c);

// Scan axis for a triangle whose apex is the first argument: 0 maps along rows (constant y),
// 1 along columns (constant x).
int ChooseScanAxis(CDoublePoint apex, CDoublePoint first, CDoublePoint second);

// True when some pair of points lies closer than distance on both axes; pairs are tried in the
// order (0,1), (0,2), (1,2) and *index receives the first point of the first such pair.
// *index is left alone when the result is false.
bool MarksTooClose(const std::array<CDoublePoint, 3>& pts, double distance, int* index);

// True when an interior angle of the triangle is below degrees; points are tried in the order
// 0, 1, 2 and *index receives the first whose angle is too small. *index is left alone when
// the result is false.
bool MarksNearlyCollinear(const std::array<CDoublePoint, 3>& pts, double degrees, int* index);

} // namespace mapreg

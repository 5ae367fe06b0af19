#include "georef/TransformGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace mapreg {

double TriangleAngle(double a, double b, double c) {
    const double cosine = (a * a - b * b - c * c) / (b * c * (-2.0));
    return std::acos(std::clamp(cosine, -1.0, 1.0));
}

double EdgeRatio(double a, double b, double c) {
    return (a - c) / (a - b);
}

CDoublePoint Interpolate(CDoublePoint p, CDoublePoint q, double t) {
    return {p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t};
}

namespace {

double Distance(CDoublePoint p, CDoublePoint q) {
    return std::hypot(p.x - q.x, p.y - q.y);
}

} // namespace

int SmallestAngleVertex(CDoublePoint a, CDoublePoint b, CDoublePoint c) {
    const double sa = Distance(c, b);
    const double sb = Distance(c, a);
    const double sc = Distance(b, a);
    const double angleA = TriangleAngle(sa, sb, sc);
    const double angleB = TriangleAngle(sb, sa, sc);
    const double angleC = TriangleAngle(sc, sa, sb);
    if (angleA < angleB) {
        return angleA < angleC ? 1 : 3;
    }
    return angleB < angleC ? 2 : 3;
}

int ChooseScanAxis(CDoublePoint apex, CDoublePoint first, CDoublePoint second) {
    constexpr double kFlat = 1e-7;
    if (std::abs(first.x - apex.x) < kFlat || std::abs(second.x - apex.x) < kFlat) {
        return 0; // an edge is vertical: scan along rows
    }
    if (std::abs(first.y - apex.y) < kFlat || std::abs(second.y - apex.y) < kFlat) {
        return 1; // an edge is horizontal: scan along columns
    }
    constexpr double kQuarter = std::numbers::pi / 4.0;
    const double angle1 = std::atan(std::abs(first.y - apex.y) / std::abs(first.x - apex.x));
    const double angle2 = std::atan(std::abs(second.y - apex.y) / std::abs(second.x - apex.x));
    // The edge farther from the diagonal decides; on a tie the second edge.
    const double deciding =
        std::abs(kQuarter - angle2) < std::abs(kQuarter - angle1) ? angle1 : angle2;
    return deciding > kQuarter ? 0 : 1;
}

bool MarksTooClose(const std::array<CDoublePoint, 3>& pts, double distance, int* index) {
    constexpr int kPairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};
    for (const auto& pair : kPairs) {
        const CDoublePoint p = pts[static_cast<std::size_t>(pair[0])];
        const CDoublePoint q = pts[static_cast<std::size_t>(pair[1])];
        if (std::abs(p.x - q.x) < distance && std::abs(p.y - q.y) < distance) {
            *index = pair[0];
            return true;
        }
    }
    return false;
}

bool MarksNearlyCollinear(const std::array<CDoublePoint, 3>& pts, double degrees, int* index) {
    const double sa = Distance(pts[2], pts[1]);
    const double sb = Distance(pts[2], pts[0]);
    const double sc = Distance(pts[1], pts[0]);
    const double angles[3] = {TriangleAngle(sa, sb, sc), TriangleAngle(sb, sa, sc),
                              TriangleAngle(sc, sa, sb)};
    const double limit = degrees * (1.0 / 360.0) * (std::numbers::pi + std::numbers::pi);
    for (int i = 0; i < 3; ++i) {
        if (angles[i] < limit) {
            *index = i;
            return true;
        }
    }
    return false;
}

} // namespace mapreg

#include "CMapTransform.h"

#include "TransformGeometry.h"

#include <cmath>

namespace {

using Triangle = std::array<CDoublePoint, 3>;

// The coordinate across the scan lines (compared with the apex) and the one along them.
template <int Axis> double Across(CDoublePoint p) {
    if constexpr (Axis == 0) {
        return p.y;
    } else {
        return p.x;
    }
}
template <int Axis> double Along(CDoublePoint p) {
    if constexpr (Axis == 0) {
        return p.x;
    } else {
        return p.y;
    }
}
template <int Axis> CDoublePoint WithAcross(CDoublePoint p, double value) {
    if constexpr (Axis == 0) {
        return {p.x, value};
    } else {
        return {value, p.y};
    }
}

// Orders source in apex order (smallest angle first) and target by the same permutation.
void ApexOrder(const Triangle& source, const Triangle& target, Triangle& orderedSource,
               Triangle& orderedTarget) {
    static constexpr int kOrder[3][3] = {{0, 1, 2}, {1, 0, 2}, {2, 0, 1}};
    const int vertex = SmallestAngleVertex(source[0], source[1], source[2]);
    const auto& order = kOrder[vertex - 1];
    for (std::size_t i = 0; i < 3; ++i) {
        const auto from = static_cast<std::size_t>(order[i]);
        orderedSource[i] = source[from];
        orderedTarget[i] = target[from];
    }
}

CDoublePoint Difference(CDoublePoint p, CDoublePoint q) {
    return {p.x - q.x, p.y - q.y};
}

} // namespace

// The mapping of a point takes the edge ratios t1, t2 of its scan line on the two edges from the
// apex, the points f1, f2 where the line meets those edges, the ratio t3 of the point between f1
// and f2, and the same ratios in the target triangle. Everything that depends only on the
// triangles is prepared here, computed by the same operations in the same order as in the
// mapping itself, so the prepared form gives the very same results.
CMapTransform::SDirection CMapTransform::Prepare(const Triangle& source, const Triangle& target) {
    Triangle s;
    Triangle d;
    ApexOrder(source, target, s, d);
    SDirection direction;
    direction.axis = ChooseScanAxis(s[0], s[1], s[2]);
    const auto across = [&](CDoublePoint p) { return direction.axis == 0 ? p.y : p.x; };
    const auto along = [&](CDoublePoint p) { return direction.axis == 0 ? p.x : p.y; };
    direction.apexAcross = across(s[0]);
    direction.edge1 = across(s[0]) - across(s[1]);
    direction.edge2 = across(s[0]) - across(s[2]);
    direction.apexAlong = along(s[0]);
    direction.alongStep1 = along(s[1]) - along(s[0]);
    direction.alongStep2 = along(s[2]) - along(s[0]);
    direction.target0 = d[0];
    direction.targetStep1 = Difference(d[1], d[0]);
    direction.targetStep2 = Difference(d[2], d[0]);
    return direction;
}

// Maps p along scan lines of the given axis. On the apex's own line both edge parameters
// vanish, so the point is mapped as the mean of its neighbours one unit to either side. Where
// one unit is lost in rounding (coordinates of 2^53 and more) the neighbours are taken a fixed
// fraction of the coordinate away instead, and the neighbours themselves are never split again,
// so every call ends.
template <int Axis>
CDoublePoint CMapTransform::MapOnAxis(const SDirection& direction, CDoublePoint p, bool maySplit) {
    const double across = Across<Axis>(p);
    if (maySplit && across == direction.apexAcross) [[unlikely]] {
        double offset = 1.0;
        if (across - offset == across || across + offset == across) {
            offset = std::abs(across) * 0x1p-40;
        }
        const CDoublePoint r1 =
            MapOnAxis<Axis>(direction, WithAcross<Axis>(p, across - offset), false);
        const CDoublePoint r2 =
            MapOnAxis<Axis>(direction, WithAcross<Axis>(p, across + offset), false);
        return {(r1.x + r2.x) * 0.5, (r1.y + r2.y) * 0.5};
    }
    const double fromApex = direction.apexAcross - across;
    const double t1 = fromApex / direction.edge1;
    const double t2 = fromApex / direction.edge2;
    const double f1 = direction.apexAlong + direction.alongStep1 * t1;
    const double f2 = direction.apexAlong + direction.alongStep2 * t2;
    const double t3 = (f1 - Along<Axis>(p)) / (f1 - f2);
    const CDoublePoint d0 = direction.target0;
    const CDoublePoint e1{d0.x + direction.targetStep1.x * t1, d0.y + direction.targetStep1.y * t1};
    const CDoublePoint e2{d0.x + direction.targetStep2.x * t2, d0.y + direction.targetStep2.y * t2};
    return {e1.x + (e2.x - e1.x) * t3, e1.y + (e2.y - e1.y) * t3};
}

CDoublePoint CMapTransform::Map(const SDirection& direction, CDoublePoint p) {
    return direction.axis == 0 ? MapOnAxis<0>(direction, p, true)
                               : MapOnAxis<1>(direction, p, true);
}

CMapTransform::CMapTransform() {
    const Triangle unit = {CDoublePoint{0.0, 0.0}, CDoublePoint{1.0, 0.0}, CDoublePoint{1.0, 1.0}};
    SetControlPoints(unit, unit);
}

void CMapTransform::SetControlPoints(const std::array<CDoublePoint, 3>& world,
                                     const std::array<CDoublePoint, 3>& picture) {
    m_inverse = Prepare(picture, world);
    m_forward = Prepare(world, picture);
    m_world = world;
    m_picture = picture;
}

CDoublePoint CMapTransform::PictureToWorld(CDoublePoint picture) const {
    return Map(m_inverse, picture);
}

CDoublePoint CMapTransform::WorldToPicture(CDoublePoint world) const {
    return Map(m_forward, world);
}

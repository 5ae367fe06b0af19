#include "georef/CMapTransform.h"

#include "georef/TransformGeometry.h"

#include <cmath>

namespace mapreg {

namespace {

using Triangle = std::array<CDoublePoint, 3>;

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

// Everything of the mapping (MapOffApexLine) that depends only on the triangles, computed by the
// same operations in the same order as the mapping would, so it gives the very same results.
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

// On the apex's own scan line both edge parameters vanish, so the point is mapped as the mean
// of its neighbours one unit to either side. Where one unit is lost in rounding (coordinates of
// 2^53 and more) the neighbours are taken a fixed fraction of the coordinate away instead; the
// neighbours lie off the apex line, so every call ends.
CDoublePoint CMapTransform::MapOnApexLine(const SDirection& direction, double across,
                                          double along) {
    double offset = 1.0;
    if (across - offset == across || across + offset == across) {
        offset = std::abs(across) * 0x1p-40;
    }
    const CDoublePoint r1 = MapOffApexLine(direction, across - offset, along);
    const CDoublePoint r2 = MapOffApexLine(direction, across + offset, along);
    return {(r1.x + r2.x) * 0.5, (r1.y + r2.y) * 0.5};
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

} // namespace mapreg

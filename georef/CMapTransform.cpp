#include "CMapTransform.h"

#include "TransformGeometry.h"

#include <cmath>

namespace {

using Triangle = std::array<CDoublePoint, 3>;

// The coordinate across the scan lines (compared with the apex) and the one along them.
double Across(CDoublePoint p, int axis) {
    return axis == 0 ? p.y : p.x;
}
double Along(CDoublePoint p, int axis) {
    return axis == 0 ? p.x : p.y;
}
void SetAcross(CDoublePoint& p, int axis, double value) {
    (axis == 0 ? p.y : p.x) = value;
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

// Maps p from the source triangle s (apex first) to the target triangle d along scan lines of
// the given axis. On the apex's own line both edge parameters vanish, so the point is mapped
// as the mean of its neighbours one unit to either side. Where one unit is lost in rounding
// (coordinates of 2^53 and more) the neighbours are taken a fixed fraction of the coordinate
// away instead, and the neighbours themselves are never split again, so every call ends.
CDoublePoint MapPoint(const Triangle& s, const Triangle& d, int axis, CDoublePoint p,
                      bool maySplit) {
    const double across = Across(p, axis);
    if (maySplit && across == Across(s[0], axis)) {
        double offset = 1.0;
        if (across - offset == across || across + offset == across) {
            offset = std::abs(across) * 0x1p-40;
        }
        CDoublePoint before = p;
        CDoublePoint after = p;
        SetAcross(before, axis, across - offset);
        SetAcross(after, axis, across + offset);
        const CDoublePoint r1 = MapPoint(s, d, axis, before, false);
        const CDoublePoint r2 = MapPoint(s, d, axis, after, false);
        return {(r1.x + r2.x) * 0.5, (r1.y + r2.y) * 0.5};
    }
    const double t1 = EdgeRatio(Across(s[0], axis), Across(s[1], axis), across);
    const double t2 = EdgeRatio(Across(s[0], axis), Across(s[2], axis), across);
    const CDoublePoint f1 = Interpolate(s[0], s[1], t1);
    const CDoublePoint f2 = Interpolate(s[0], s[2], t2);
    const CDoublePoint e1 = Interpolate(d[0], d[1], t1);
    const CDoublePoint e2 = Interpolate(d[0], d[2], t2);
    const double t3 = EdgeRatio(Along(f1, axis), Along(f2, axis), Along(p, axis));
    return Interpolate(e1, e2, t3);
}

} // namespace

CMapTransform::CMapTransform() {
    const Triangle unit = {CDoublePoint{0.0, 0.0}, CDoublePoint{1.0, 0.0}, CDoublePoint{1.0, 1.0}};
    SetControlPoints(unit, unit);
}

void CMapTransform::SetControlPoints(const std::array<CDoublePoint, 3>& world,
                                     const std::array<CDoublePoint, 3>& picture) {
    ApexOrder(picture, world, m_invSource, m_invTarget);
    m_invAxis = ChooseScanAxis(m_invSource[0], m_invSource[1], m_invSource[2]);
    ApexOrder(world, picture, m_fwdSource, m_fwdTarget);
    m_fwdAxis = ChooseScanAxis(m_fwdSource[0], m_fwdSource[1], m_fwdSource[2]);
    m_world = world;
    m_picture = picture;
}

CDoublePoint CMapTransform::PictureToWorld(CDoublePoint picture) const {
    return MapPoint(m_invSource, m_invTarget, m_invAxis, picture, true);
}

CDoublePoint CMapTransform::WorldToPicture(CDoublePoint world) const {
    return MapPoint(m_fwdSource, m_fwdTarget, m_fwdAxis, world, true);
}

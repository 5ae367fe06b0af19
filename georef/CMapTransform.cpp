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

// Maps p from the source triangle s (apex first) to the target triangle d along scan lines of
// the given axis. On the apex's own line both edge parameters vanish, so the point is mapped
// as the mean of its neighbours one unit to either side. Where one unit is lost in rounding
// (coordinates of 2^53 and more) the neighbours are taken a fixed fraction of the coordinate
// away instead, and the neighbours themselves are never split again, so every call ends.
template <int Axis>
CDoublePoint MapPoint(const Triangle& s, const Triangle& d, CDoublePoint p, bool maySplit) {
    const double across = Across<Axis>(p);
    if (maySplit && across == Across<Axis>(s[0])) {
        double offset = 1.0;
        if (across - offset == across || across + offset == across) {
            offset = std::abs(across) * 0x1p-40;
        }
        const CDoublePoint r1 = MapPoint<Axis>(s, d, WithAcross<Axis>(p, across - offset), false);
        const CDoublePoint r2 = MapPoint<Axis>(s, d, WithAcross<Axis>(p, across + offset), false);
        return {(r1.x + r2.x) * 0.5, (r1.y + r2.y) * 0.5};
    }
    const double t1 = EdgeRatio(Across<Axis>(s[0]), Across<Axis>(s[1]), across);
    const double t2 = EdgeRatio(Across<Axis>(s[0]), Across<Axis>(s[2]), across);
    const CDoublePoint f1 = Interpolate(s[0], s[1], t1);
    const CDoublePoint f2 = Interpolate(s[0], s[2], t2);
    const CDoublePoint e1 = Interpolate(d[0], d[1], t1);
    const CDoublePoint e2 = Interpolate(d[0], d[2], t2);
    const double t3 = EdgeRatio(Along<Axis>(f1), Along<Axis>(f2), Along<Axis>(p));
    return Interpolate(e1, e2, t3);
}

CDoublePoint Map(const Triangle& s, const Triangle& d, int axis, CDoublePoint p) {
    return axis == 0 ? MapPoint<0>(s, d, p, true) : MapPoint<1>(s, d, p, true);
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
    return Map(m_invSource, m_invTarget, m_invAxis, picture);
}

CDoublePoint CMapTransform::WorldToPicture(CDoublePoint world) const {
    return Map(m_fwdSource, m_fwdTarget, m_fwdAxis, world);
}

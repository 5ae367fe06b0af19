#pragma once
// The affine mapping between picture pixels and world coordinates defined by three point pairs,
// evaluated by interpolation along two edges of a reordered triangle and a scan line.
// Both directions are prepared in SetControlPoints; mapping a point does not allocate.

#include "georef/CDoublePoint.h"

#include <array>

namespace mapreg {

class CMapTransform {
public:
    // The identity: the unit triangle (0,0), (1,0), (1,1) in both spaces.
    CMapTransform();

    // Replaces both directions. Checks nothing: the caller validates the points first
    // (CheckCalibration). world[i] belongs to picture[i].
    void SetControlPoints(const std::array<CDoublePoint, 3>& world,
                          const std::array<CDoublePoint, 3>& picture);

    CDoublePoint PictureToWorld(CDoublePoint picture) const { return Map(m_inverse, picture); }
    CDoublePoint WorldToPicture(CDoublePoint world) const { return Map(m_forward, world); }

    // The points as last given to SetControlPoints.
    const std::array<CDoublePoint, 3>& GetWorldPoints() const { return m_world; }
    const std::array<CDoublePoint, 3>& GetPicturePoints() const { return m_picture; }

private:
    // One direction, prepared from the source triangle in apex order and the target triangle in
    // the same order: the apex, the edge denominators of the two edge ratios and the edge steps,
    // so that a mapped point takes only the work that depends on it.
    struct SDirection {
        int axis = 0;               // 0: scan lines are rows (constant y), 1: columns
        double apexAcross = 0.0;    // the apex coordinate across the scan lines
        double edge1 = 0.0;         // apex minus vertex 1, across
        double edge2 = 0.0;         // apex minus vertex 2, across
        double apexAlong = 0.0;     // the apex coordinate along the scan lines
        double alongStep1 = 0.0;    // vertex 1 minus apex, along
        double alongStep2 = 0.0;    // vertex 2 minus apex, along
        CDoublePoint target0{};     // the apex's image
        CDoublePoint targetStep1{}; // image of vertex 1 minus image of the apex
        CDoublePoint targetStep2{}; // image of vertex 2 minus image of the apex
    };
    static SDirection Prepare(const std::array<CDoublePoint, 3>& source,
                              const std::array<CDoublePoint, 3>& target);
    static CDoublePoint Map(const SDirection& direction, CDoublePoint p);
    static CDoublePoint MapOffApexLine(const SDirection& direction, double across, double along);
    static CDoublePoint MapOnApexLine(const SDirection& direction, double across, double along);

    std::array<CDoublePoint, 3> m_world{};
    std::array<CDoublePoint, 3> m_picture{};
    SDirection m_forward{}; // world to picture
    SDirection m_inverse{}; // picture to world
};

// Mapping a point is inline: it is a handful of operations, called for every mouse move and
// every drawn figure.

// The edge ratios t1, t2 of the point's scan line on the two edges from the apex, the points
// f1, f2 (along the line) where it meets them, the ratio t3 of the point between f1 and f2, and
// the same ratios applied to the target triangle.
inline CDoublePoint CMapTransform::MapOffApexLine(const SDirection& direction, double across,
                                                  double along) {
    const double fromApex = direction.apexAcross - across;
    const double t1 = fromApex / direction.edge1;
    const double t2 = fromApex / direction.edge2;
    const double f1 = direction.apexAlong + direction.alongStep1 * t1;
    const double f2 = direction.apexAlong + direction.alongStep2 * t2;
    const double t3 = (f1 - along) / (f1 - f2);
    const CDoublePoint d0 = direction.target0;
    const CDoublePoint e1{d0.x + direction.targetStep1.x * t1, d0.y + direction.targetStep1.y * t1};
    const CDoublePoint e2{d0.x + direction.targetStep2.x * t2, d0.y + direction.targetStep2.y * t2};
    return {e1.x + (e2.x - e1.x) * t3, e1.y + (e2.y - e1.y) * t3};
}

inline CDoublePoint CMapTransform::Map(const SDirection& direction, CDoublePoint p) {
    const double across = direction.axis == 0 ? p.y : p.x;
    const double along = direction.axis == 0 ? p.x : p.y;
    if (across == direction.apexAcross) [[unlikely]] {
        return MapOnApexLine(direction, across, along);
    }
    return MapOffApexLine(direction, across, along);
}

} // namespace mapreg

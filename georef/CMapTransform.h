#pragma once
// The affine mapping between picture pixels and world coordinates defined by three point pairs,
// evaluated by interpolation along two edges of a reordered triangle and a scan line.
// Both directions are prepared in SetControlPoints; mapping a point does not allocate.

#include "CDoublePoint.h"

#include <array>

class CMapTransform {
public:
    // The identity: the unit triangle (0,0), (1,0), (1,1) in both spaces.
    CMapTransform();

    // Replaces both directions. Checks nothing: the caller validates the points first
    // (CheckCalibration). world[i] belongs to picture[i].
    void SetControlPoints(const std::array<CDoublePoint, 3>& world,
                          const std::array<CDoublePoint, 3>& picture);

    CDoublePoint PictureToWorld(CDoublePoint picture) const;
    CDoublePoint WorldToPicture(CDoublePoint world) const;

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
    template <int Axis>
    static CDoublePoint MapOnAxis(const SDirection& direction, CDoublePoint p, bool maySplit);

    std::array<CDoublePoint, 3> m_world{};
    std::array<CDoublePoint, 3> m_picture{};
    SDirection m_forward{}; // world to picture
    SDirection m_inverse{}; // picture to world
};

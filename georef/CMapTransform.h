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
    std::array<CDoublePoint, 3> m_world{};
    std::array<CDoublePoint, 3> m_picture{};
    std::array<CDoublePoint, 3> m_fwdSource{};
    std::array<CDoublePoint, 3> m_invSource{};
    std::array<CDoublePoint, 3> m_fwdTarget{};
    std::array<CDoublePoint, 3> m_invTarget{};
    int m_fwdAxis = 0;
    int m_invAxis = 0;
};

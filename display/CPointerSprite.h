#pragma once
// The waypoint pointer: a ring with a cross turned by a heading (degrees clockwise from up; an
// upright x at heading 0, a + at 45), black halo under the coloured lines. Centred on its position.
#include "display/CMarkSprite.h"

namespace mapreg {

class CPointerSprite : public CMarkSprite {
public:
    static constexpr int kKind = 3;

    // rcRing as an ellipse's bounding box (right and bottom exclusive) and the two arms.
    struct SShape {
        QRect rcRing;
        std::array<QLine, 2> arms;
    };
    static SShape ShapeFor(QPoint ptHot, QSize size, int nHeading);

    CPointerSprite(std::uint32_t nDepth, QSize sizeRequested, COLORREF crColor);

    int GetKind() const override { return kKind; }
    bool Draw(QPainter& painter) override;

    int GetHeading() const { return m_nHeading; }
    // Stores nHeading mod 360 with the sign of nHeading (-30 stays -30 and draws like 330).
    void SetHeading(int nHeading);

private:
    int m_nHeading = 0;
};

} // namespace mapreg

#pragma once
// The calibration mark: a ring with four ticks pointing outward and a small cross at the hot
// spot, drawn with a black halo under the coloured lines. Centred on its position.
#include "display/CSprite.h"
#include "display/ColorRef.h"

#include <QLine>

#include <array>

namespace mapreg {

class CMarkSprite : public CSprite {
public:
    static constexpr int kKind = 2;
    // Size taken when the requested one is refused.
    static constexpr int kFallbackSide = 36;

    // The ring and its lines for a mark at ptHot of the given size: rcRing as an ellipse's
    // bounding box (right and bottom exclusive), then the ticks up, down, left, right, then the
    // vertical and the horizontal bar of the centre cross.
    struct SShape {
        QRect rcRing;
        std::array<QLine, 6> lines;
    };
    static SShape ShapeFor(QPoint ptHot, QSize size);

    CMarkSprite(std::uint32_t nDepth, QSize sizeRequested, COLORREF crColor);

    int GetKind() const override { return kKind; }
    bool Draw(QPainter& painter) override;

    COLORREF GetColor() const { return m_crColor; }
    void SetColor(COLORREF crColor);

protected:
    void RecalcOffset() override;
    void RecalcDrawnOffset() override;

private:
    COLORREF m_crColor = 0;
};

} // namespace mapreg

#include "display/CMarkSprite.h"

#include "display/SpritePens.h"

#include <QPainter>

namespace mapreg {

CMarkSprite::SShape CMarkSprite::ShapeFor(QPoint ptHot, QSize size) {
    const int x = ptHot.x();
    const int y = ptHot.y();
    const int cx = size.width();
    const int cy = size.height();
    const int rx = 5 * cx / 16;
    const int ry = 5 * cy / 16;
    SShape shape;
    shape.rcRing = QRect(QPoint(x - rx, y - ry), QSize(2 * rx, 2 * ry));
    shape.lines = {QLine(x, y - ry, x, y - cy / 2 + 2), QLine(x, y + ry, x, y + cy / 2 - 2),
                   QLine(x - rx, y, x - cx / 2 + 2, y), QLine(x + rx, y, x + cx / 2 - 2, y),
                   QLine(x, y - cy / 8, x, y + cy / 8), QLine(x - cx / 8, y, x + cx / 8, y)};
    return shape;
}

CMarkSprite::CMarkSprite(std::uint32_t nDepth, QSize sizeRequested, COLORREF crColor)
    : CSprite(nDepth) {
    SetColor(crColor);
    if (!SetSize(sizeRequested)) {
        SetSize(QSize(kFallbackSide, kFallbackSide));
    }
}

void CMarkSprite::SetColor(COLORREF crColor) {
    m_crColor = crColor & kColorRefMask;
    SetChanged();
}

bool CMarkSprite::Draw(QPainter& painter) {
    const SShape shape = ShapeFor(GetPosition(), GetSize());
    const QColor color = ColorFromColorRef(m_crColor);
    DrawRingFigure(painter, color, shape.rcRing, shape.lines);
    return true;
}

void CMarkSprite::RecalcOffset() {
    SetOffset(QPoint(-GetSize().width() / 2, -GetSize().height() / 2));
    SetChanged();
}

void CMarkSprite::RecalcDrawnOffset() {
    SetDrawnOffset(QPoint(-GetDrawnSize().width() / 2, -GetDrawnSize().height() / 2));
}

} // namespace mapreg

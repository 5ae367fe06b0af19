#include "display/CControlPointSprite.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace mapreg {

CControlPointSprite::CControlPointSprite(std::uint32_t nDepth, QSize sizeRequested,
                                         COLORREF crColor)
    : CPointerSprite(nDepth, sizeRequested, crColor) {
    // A + rather than an x: the cross points at the pixel the point stands on.
    SetHeading(45);
}

void CControlPointSprite::SetNumber(int nNumber) {
    if (nNumber != m_nNumber) {
        m_nNumber = nNumber;
        SetChanged();
    }
}

bool CControlPointSprite::Draw(QPainter& painter) {
    CPointerSprite::Draw(painter);
    // The number fills the corner outside the ring: from the ring's right edge to the box's,
    // and from the box's top to the ring's top.
    const QRect rcBox = GetRect();
    const QPoint ptHot = GetPosition();
    const int nRing = std::min(GetSize().width(), GetSize().height()) / 5;
    const QRect rcText(QPoint(ptHot.x() + nRing / 2, rcBox.top()),
                       QPoint(rcBox.right(), ptHot.y() - nRing / 2));
    QFont font;
    font.setBold(true);
    font.setPixelSize(std::max(8, rcText.height() - 2));
    QPainterPath path;
    path.addText(0, 0, font, QString::number(m_nNumber));
    const QRectF rcPath = path.boundingRect();
    path.translate(rcText.left() + 1 - rcPath.left(), rcText.bottom() - 1 - rcPath.bottom());
    painter.save();
    painter.setClipRect(rcBox);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(path);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(path);
    painter.restore();
    return true;
}

} // namespace mapreg

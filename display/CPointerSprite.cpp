#include "display/CPointerSprite.h"

#include "display/SpritePens.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace mapreg {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kRadiansPerDegree = kPi * 0.005555555555555556;

// The point at angle dAngle (radians, counter-clockwise from the x axis) and radius dRadius
// from ptHot, each coordinate truncated toward zero.
QPoint PolarPoint(QPoint ptHot, double dAngle, double dRadius) {
    return QPoint(ptHot.x() + static_cast<int>(std::trunc(dRadius * std::cos(dAngle))),
                  ptHot.y() - static_cast<int>(std::trunc(dRadius * std::sin(dAngle))));
}

} // namespace

CPointerSprite::SShape CPointerSprite::ShapeFor(QPoint ptHot, QSize size, int nHeading) {
    const int x = ptHot.x();
    const int y = ptHot.y();
    const int cx = size.width();
    const int cy = size.height();
    // The heading as a mathematical angle; 450 - heading is positive for every stored heading.
    const double dTheta = ((450 - nHeading % 360) % 360) * kRadiansPerDegree;
    // The arms reach an eighth of the smaller side, which keeps them inside the figure's box
    // also when it is not square.
    const double r1 = std::min(cx, cy) * 0.125;
    const double r2 = r1 + 1.0;
    SShape shape;
    shape.rcRing = QRect(QPoint(x - cx / 5, y - cy / 5), QSize(2 * (cx / 5), 2 * (cy / 5)));
    shape.arms = {QLine(PolarPoint(ptHot, dTheta - 1.75 * kPi, r1),
                        PolarPoint(ptHot, dTheta - 0.75 * kPi, r2)),
                  QLine(PolarPoint(ptHot, dTheta - 1.25 * kPi, r1),
                        PolarPoint(ptHot, dTheta - 0.25 * kPi, r2))};
    return shape;
}

CPointerSprite::CPointerSprite(std::uint32_t nDepth, QSize sizeRequested, COLORREF crColor)
    : CMarkSprite(nDepth, sizeRequested, crColor) {}

void CPointerSprite::SetHeading(int nHeading) {
    m_nHeading = nHeading % 360;
    SetChanged();
}

bool CPointerSprite::Draw(QPainter& painter) {
    const SShape shape = ShapeFor(GetPosition(), GetSize(), m_nHeading);
    const QColor color = ColorFromColorRef(GetColor());
    DrawRingFigure(painter, color, shape.rcRing, shape.arms);
    return true;
}

} // namespace mapreg

#pragma once
// Pens and primitives shared by the ring figures (mark and pointer): a black halo drawn with
// wide pens under the coloured lines.
#include <QColor>
#include <QLine>
#include <QPainter>
#include <QPen>
#include <QRect>

#include <span>

namespace mapreg {

inline constexpr int kRingWidth = 2;
inline constexpr int kLineWidth = 1;
inline constexpr int kRingHaloWidth = 5;
inline constexpr int kLineHaloWidth = 3;

// Wide pens have round ends; one-pixel lines leave out their end point, as a line drawn to a
// point conventionally does, so that the end stays inside the halo drawn under it.
inline QPen SpritePen(const QColor& color, int nWidth) {
    return QPen(color, nWidth, Qt::SolidLine, nWidth > 1 ? Qt::RoundCap : Qt::FlatCap,
                Qt::RoundJoin);
}

// An ellipse inside rc (right and bottom exclusive): a one-pixel pen covers exactly the pixels
// rc.left() .. rc.right() and rc.top() .. rc.bottom(), since aliased painting puts a pixel to
// the right of and below every point of the outline.
inline void DrawRing(QPainter& painter, const QRect& rc) {
    painter.drawEllipse(QRectF(rc.left(), rc.top(), rc.width() - 1, rc.height() - 1));
}

inline void DrawSegment(QPainter& painter, const QLine& line) {
    painter.drawLine(line);
}

// A ring with its lines in color over a black halo: the whole halo first, so that no halo
// pixel covers a coloured one.
inline void DrawRingFigure(QPainter& painter, const QColor& color, const QRect& rcRing,
                           std::span<const QLine> lines) {
    painter.save();
    painter.setBrush(Qt::NoBrush);
    for (const bool bHalo : {true, false}) {
        painter.setPen(bHalo ? SpritePen(Qt::black, kRingHaloWidth) : SpritePen(color, kRingWidth));
        DrawRing(painter, rcRing);
        painter.setPen(bHalo ? SpritePen(Qt::black, kLineHaloWidth) : SpritePen(color, kLineWidth));
        for (const QLine& line : lines) {
            DrawSegment(painter, line);
        }
    }
    painter.restore();
}

} // namespace mapreg

#pragma once
// Paints the exposed area of the map view: the picture part straight from the picture at 100 %,
// elsewhere sampled nearest-neighbour from its reduced copies; the area beside the picture in
// the outside colour; away from 100 % the figures at their own size over it. Works on any
// painter, so that it is tested on a plain image without a window.

#include "display/CMapZoom.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QSize>

#include <vector>

class QPainter;

namespace mapreg {

class CMapPyramid;
class CSprite;
class CSpriteEngine;

class CZoomedPainter {
public:
    // What one paint shows. Viewport point (0, 0) shows content point scroll.
    struct Scene {
        const QImage* picture = nullptr; // the composed picture; null: no picture
        CMapPyramid* pyramid = nullptr;  // its reduced copies; needed away from 100 %
        CMapZoom zoom;
        QPoint scroll;
        QSize contentSize; // the zoomed picture's size (CMapZoom::ContentSize)
        QColor outside;    // beside the picture
    };

    // Paints every rectangle of region (viewport coordinates). Away from 100 % the figures of
    // the last TakeFigures are drawn back to front, each clipped to its box.
    void Paint(QPainter& painter, const QRegion& region, const Scene& scene);

    // Takes the figures the engine lists (none at 100 % or without an engine) for the paints
    // to come. Answers the content area to repaint: where they were and where they are now.
    QRegion TakeFigures(const CSpriteEngine* pEngine, CMapZoom zoom);
    // Forgets the figures (before the engine goes).
    void ClearFigures();

    // Where a figure lies in content coordinates: its map rectangle at 100 %, elsewhere its own
    // size around the point where its map pixel is drawn.
    static QRect FigureContentRect(const CSprite& sprite, CMapZoom zoom);

private:
    void PaintPicturePart(QPainter& painter, const QRect& rcClient, const Scene& scene);

    // The enlarged or reduced picture part of one paint when it cannot go straight into the
    // painter's image, and the source column of every target column.
    QImage m_imgScratch;
    std::vector<int> m_columns;
    // The figures back to front, and where they were drawn (content coordinates).
    std::vector<CSprite*> m_figures;
    QRegion m_rgnFigures;
};

} // namespace mapreg

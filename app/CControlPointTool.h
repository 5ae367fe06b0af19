#pragma once
// Control point mode: a left click on the picture adds a control point at the pixel under the
// cursor's hot spot (at any zoom level), a press on a point's figure selects it and a drag moves
// it; DeleteSelected removes the selected one. Every change is one undo step of the document.
// The tool also keeps the numbered figures of the document's points on the map, the worst point
// of the fit in its own colour, in every mode.

#include "app/CMapTool.h"

#include <QPoint>

#include <memory>
#include <vector>

namespace mapreg {

class CControlPointSprite;

class CControlPointTool : public CMapTool {
public:
    // Figure colours (COLORREF, 0x00BBGGRR): the points, and the worst one of the fit.
    static constexpr unsigned kPointColor = 0xFF00FF;
    static constexpr unsigned kWorstColor = 0x0000FF;

    explicit CControlPointTool(CGpsView& view);
    ~CControlPointTool() override;

    void LeftPressed(QPoint ptClient) override;
    void LeftReleased(QPoint ptClient) override;
    bool IsDragging() const override { return m_nDragged >= 0; }
    void DragMoved(QPoint ptClient) override;

    // A point at the map pixel, with the world point the current calibration gives it (0, 0
    // on an uncalibrated map); nothing beside the picture.
    void AddPoint(QPoint ptMap);
    // Removes the selected point; false when none is selected.
    bool DeleteSelected();
    // The index of the point whose figure lies under the viewport point, or -1.
    int PointAt(QPoint ptClient) const;

    // Brings the figures up to the document's points: count, places, numbers, the worst one.
    void SyncFigures();
    // Forgets the figures without drawing (the view's engine and picture are gone).
    void DropFigures();
    // The figure of point i, or null.
    const CControlPointSprite* Figure(int i) const;

private:
    std::vector<std::unique_ptr<CControlPointSprite>> m_figures;
    int m_nDragged = -1; // the point being dragged, or -1
    QPoint m_ptDragStart;
};

} // namespace mapreg

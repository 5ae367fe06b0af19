#pragma once
// Calibration mode: the three marks and their number labels, dragged with the left button (the
// map scrolls when a mark is pulled past the window edge), centred on a double click, and moved
// for the calibration coordinates dialog. Map points are picture pixels.

#include "app/CMapTool.h"
#include "app/ICalibrationView.h"

#include <array>

namespace mapreg {

class CMarkTool : public CMapTool, public ICalibrationView {
public:
    using CMapTool::CMapTool;

    // Lists the marks and labels with the engine, at the calibrated positions or at a triangle
    // in the visible area. When the engine cannot take them, IDS_SPRITES_NO_MEMORY, and the
    // document leaves calibration mode with the normal menu back.
    void Activate() override;
    // Takes the marks and labels away.
    void Deactivate() override;
    // Runs the calibration coordinates dialog; OK (committed) takes the marks away.
    void RunCalibrationDialog();

    void LeftPressed(QPoint ptClient) override;
    void LeftReleased(QPoint ptClient) override;
    void LeftDoubleClicked(QPoint ptClient) override;
    bool IsDragging() const override { return m_bDragging; }
    void DragMoved(QPoint ptClient) override;
    // During a drag: scrolls a mark held past the window edge into view and carries it along.
    void TimerTick() override;
    // Keeps the labels beside their marks.
    void ViewMoved() override { AnchorLabels(); }

    // Moves mark k (0..2) and keeps it on the picture; nScroll 1 scrolls it into view.
    void SetMarkPosition(int nMark, QPoint ptPixel, int nScroll) override;

    // The mark drawn under a viewport point, the lowest index first; -1 for none.
    int HitTestMark(QPoint ptClient) const;
    // Moves mark k to ptMap, holds it on the picture and lays its label out again.
    void MoveMark(int nMark, QPoint ptMap);
    // Puts label k beside its mark, or at the edge of the visible area pointing towards a mark
    // outside it.
    void AnchorLabel(int nMark);
    void AnchorLabels();
    // Scrolls so that ptMap lies inside the window shrunk by nMarginPercent of its size on each
    // side. Answers the scroll distance (in the pixels of the zoomed picture), (0, 0) when
    // nothing scrolled or ptMap is off the picture.
    QPoint ScrollPointIntoView(QPoint ptMap, int nMarginPercent);
    QPoint KeepMarkVisible(int nMark);
    // Scrolls mark k into the middle of the window.
    void CenterOnMark(int nMark);

    int DragMark() const { return m_nDragMark; }

private:
    // Holds mark k within 0..W-1, 0..H-1.
    void ClampMark(int nMark);
    void DragAutoScroll();
    void EndDrag();
    std::array<QPoint, 3> MarkPositions() const;

    bool m_bDragging = false;
    int m_nDragMark = -1;
    QPoint m_ptDragOffset;
};

} // namespace mapreg

#pragma once
// The map view with its mouse work on calibration marks and waypoints: in calibration mode the
// three marks and their number labels, dragged with the left button (the map scrolls when a
// mark is pulled past the window edge), centred on a double click, and moved for the
// calibration coordinates dialog; in waypoint mode a left click places a waypoint pointer and
// records its latitude and longitude, a right click takes the most recent one away.

#include "CGpsView.h"
#include "ICalibrationView.h"

#include <array>

class CMarkView : public CGpsView, public ICalibrationView {
    Q_OBJECT
public:
    CMarkView(CGpsDoc& doc, CDisplaySettings& settings, CUserPrompt& prompt,
              QWidget* pParent = nullptr);

    // Calibration mode entered: lists the marks and labels with the engine, at the calibrated
    // positions or at a triangle in the visible area. When the engine cannot take them,
    // IDS_SPRITES_NO_MEMORY, and the document leaves calibration mode with the normal menu back.
    void ShowMarks() override;
    // Calibration mode left: takes the marks and labels away.
    void HideMarks() override;
    // Runs the calibration coordinates dialog; OK (committed) takes the marks away.
    void RunCalibrationDialog() override;

    // Moves mark k (0..2) and keeps it on the picture; nScroll 1 scrolls it into view.
    void SetMarkPosition(int nMark, QPoint ptPixel, int nScroll) override;

    // The mark drawn under a viewport point, the lowest index first; -1 for none.
    int HitTestMark(QPoint ptClient) const;
    // Moves mark k to ptMap, holds it on the picture and lays its label out again.
    void MoveMark(int nMark, QPoint ptMap);
    // Holds mark k within 0..W-1, 0..H-1.
    void ClampMark(int nMark);
    // Puts label k beside its mark, or at the edge of the visible area pointing towards a mark
    // outside it.
    void AnchorLabel(int nMark);
    void AnchorLabels() override;
    // Scrolls so that ptMap lies inside the window shrunk by nMarginPercent of its size on each
    // side. Answers the scroll distance (in the pixels of the zoomed picture), (0, 0) when
    // nothing scrolled or ptMap is off the picture.
    QPoint ScrollPointIntoView(QPoint ptMap, int nMarginPercent);
    QPoint KeepMarkVisible(int nMark);
    // Timer 1 during a drag: scrolls a mark held past the window edge into view and carries it
    // along by the same distance.
    void DragAutoScroll() override;
    // Scrolls mark k into the middle of the window.
    void CenterOnMark(int nMark);

    // Waypoint mode, calibrated map: a pointer at the clicked picture pixel and its latitude
    // and longitude in the waypoint table. A click beside the picture places nothing.
    void AddWaypoint(QPoint ptMap);
    // Takes the most recent pointer off the map; the table keeps its entries.
    void RemoveLastWaypoint();

    bool IsDragging() const { return m_bDragging; }
    int DragMark() const { return m_nDragMark; }

protected:
    void OnLButtonDown(QPoint ptClient) override;
    void OnLButtonUp(QPoint ptClient) override;
    void OnLButtonDblClk(QPoint ptClient) override;
    void OnRButtonDown(QPoint ptClient) override;
    void OnDragMove(QPoint ptClient) override;

private:
    void UpdateEngine();
    void EndDrag();
    std::array<QPoint, 3> MarkPositions() const;
};

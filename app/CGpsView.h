#pragma once
// The scrolling map view: the map picture with the figures of the sprite engine over it, at a
// zoom level from 1/32 to 800 %, the status texts for the position under the mouse, smooth
// scrolling and the view's timers. Map points are picture pixels (x right, y down). Scroll
// positions count pixels of the zoomed picture; a viewport point becomes a map point by adding
// the scroll position and dividing by the zoom factor, rounding down. At 100 % the engine
// composes the figures into the picture itself; at other levels the picture is shown from its
// reduced copies or enlarged pixel by pixel, and the view draws the figures over it at their
// own size. The mouse work belongs to one tool per mode (CMapTools).

#include "app/CMapFigures.h"
#include "app/CMapTools.h"
#include "display/CMapZoom.h"
#include "display/CSmoothScroll.h"
#include "display/CZoomedPainter.h"
#include "display/ISpriteHost.h"
#include "framework/CView.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QRegion>
#include <QSize>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class QImage;

namespace mapreg {

class CDisplaySettings;
class CGpsDoc;
class CLabelSprite;
class CMapPyramid;
class CMarkSprite;
class CPointerSprite;
class CSprite;
class CSpriteEngine;
class CUserPrompt;

class CGpsView : public QAbstractScrollArea, public CView, public ISpriteHost {
    Q_OBJECT
public:
    static constexpr int kMarks = CMapFigures::kMarks;
    static constexpr int kPointers = CMapFigures::kPointers;
    // Timer periods in milliseconds: smooth scrolling (1), "Ready" after leaving (2), idle (3).
    static constexpr int kTimer1Period = 55;
    static constexpr int kTimer2Period = 55;
    static constexpr int kTimer3Period = 1000;

    CGpsView(CGpsDoc& doc, CDisplaySettings& settings, CUserPrompt& prompt,
             QWidget* pParent = nullptr);
    ~CGpsView() override;
    CGpsView(const CGpsView&) = delete;
    CGpsView& operator=(const CGpsView&) = delete;

    // Starts the three timers. False (after IDS_TIMER_FAILED) when one cannot run.
    bool OnCreate();
    // Sets the scroll sizes; from now on the view reports status texts (statusTextChanged).
    void OnInitialUpdate();

    // Document hints: new picture, calibration started or cancelled, mark coordinates wanted;
    // any other value repaints everything.
    void OnUpdate(CDocument* pSender, int nHint) override;
    // Sprite engine: repaint a rectangle of the map.
    void InvalidateMapRect(const QRect& rcMap) override;
    // Sprite engine: the figures changed; away from 100 % the view repaints where they were
    // and where they are now.
    void FiguresUpdated() override;

    // A new map picture: new figures, new engine over the document's picture, scroll to 0, 0.
    void RebuildComposition();

    // The zoom level; a new picture starts at 100 %.
    const CMapZoom& Zoom() const { return m_zoom; }
    // Changes the zoom level so that the map point under the viewport point ptAnchor stays
    // there (as far as the scroll range allows); without an anchor, around the window's middle.
    // Nothing happens while no picture is shown.
    void SetZoom(CMapZoom zoom, QPoint ptAnchor);
    void SetZoom(CMapZoom zoom);
    void ZoomIn();
    void ZoomOut();
    void ZoomActualSize();
    // The level at which the whole picture fits into the window, scrolled to the top left.
    void ZoomToFit();
    bool HasPicture() const { return m_pSurface != nullptr; }

    // The map pixel under a viewport point, and the viewport point where a figure standing on
    // a map pixel is drawn.
    QPoint MapFromClient(QPoint ptClient) const;
    QPoint ClientFromMap(QPoint ptMap) const;
    // The document's picture size, and the size of the zoomed picture (the extent of the
    // scroll coordinates).
    QSize MapSize() const;
    QSize ContentSize() const { return m_zoom.ContentSize(MapSize()); }
    // Where a figure lies in scroll coordinates: its map rectangle at 100 %, elsewhere its own
    // size around the point where its map pixel is drawn.
    QRect FigureContentRect(const CSprite& sprite) const {
        return CZoomedPainter::FigureContentRect(sprite, m_zoom);
    }
    // The reduced copies of the picture (null while no picture is shown).
    CMapPyramid* Pyramid() const { return m_pPyramid.get(); }

    // The top-left point of the zoomed picture shown in the window.
    QPoint GetScrollPosition() const;
    // Scrolls at once, kept within the scroll range.
    void ScrollToPosition(QPoint ptContent);
    // Scrolls so that (x, y) of the zoomed picture is the window's top-left corner, animated in
    // ten steps when smooth scrolling is on.
    void ScrollTo(int x, int y);
    void SmoothScrollStep();
    void StopSmoothScroll();
    bool IsSmoothScrolling() const { return m_smoothScroll.IsRunning(); }
    void SetSmoothScroll(bool bSmooth) { m_bSmoothScroll = bSmooth; }
    bool IsSmoothScrollOn() const { return m_bSmoothScroll; }

    // The part of the map the window shows, in map points, and the same in scroll coordinates.
    QRect GetVisibleMapRect() const;
    QRect GetVisibleContentRect() const;
    // True when the cursor is over this view (over the map or beside it).
    bool IsCursorOverView() const;
    // The picture pixel under the cursor's hot spot; true when the cursor is over the view
    // and that pixel belongs to the picture.
    bool GetCursorMapPoint(QPoint& ptMap) const;
    // Calibration prompt, "press Shift+F2" prompt, cursor position or "Ready" after the
    // cursor's place.
    void UpdateStatusText();

    // Scrolls so that ptMap is drawn in the middle of the window (on an axis the window is
    // wider or taller than the picture, to 0).
    void ScrollToCentre(QPoint ptMap);
    // Ctrl+F: scrolls the first pointer into the middle of the window, else
    // IDS_POSITION_NOT_FOUND.
    void OnFindCurrentPosition();

    CGpsDoc& Doc() const { return m_doc; }
    CDisplaySettings& Settings() const { return m_settings; }
    CSpriteEngine* Engine() const { return m_pEngine.get(); }
    // The engine's Update, when there is an engine.
    void UpdateEngine();
    const CMapFigures& Figures() const { return m_figures; }
    CMarkSprite* Mark(int k) const { return m_figures.Mark(k); }
    CLabelSprite* Label(int k) const { return m_figures.Label(k); }
    CPointerSprite* Pointer(int i) const { return m_figures.Pointer(i); }
    QSize SpriteSize() const { return m_figures.Size(); }
    CMarkTool& MarkTool() const { return m_tools.Marks(); }
    CWaypointTool& WaypointTool() const { return m_tools.Waypoints(); }
    CControlPointTool& PointTool() const { return m_tools.Points(); }
    // Control point mode (CMapTools): the frame turns it on with the points' table.
    void SetControlPointMode(bool bOn) { m_tools.SetControlPointMode(bOn); }
    bool IsControlPointMode() const { return m_tools.IsControlPointMode(); }
    // The selected control point (-1: none); selecting tells selectedPointChanged.
    int SelectedControlPoint() const { return m_nSelectedPoint; }
    void SelectControlPoint(int nPoint);
    // Removes the selected control point as one undo step; false when none is selected.
    bool DeleteSelectedControlPoint();
    const QTimer& Timer(int nTimer) const {
        return nTimer == 1 ? m_timer1 : nTimer == 2 ? m_timer2 : m_timer3;
    }
    // Number of paint events handled so far (the first painted frame, benchmarks).
    int PaintCount() const { return m_nPaintCount; }

signals:
    // The zoom level changed, a new picture included.
    void zoomChanged();
    // The text for the first pane of the status bar.
    void statusTextChanged(const QString& text);
    // The map has been painted for the first time: the window's first frame is there.
    void firstPainted();
    // Another control point was selected on the map or by SelectControlPoint (-1: none).
    void selectedPointChanged(int nPoint);

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void moveEvent(QMoveEvent* pEvent) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    // Ctrl+wheel zooms around the mouse, one level per notch; other wheel turns scroll.
    void wheelEvent(QWheelEvent* pEvent) override;

private:
    // Forgets the engine and every figure over the picture without drawing; then CreateFigures
    // or the end.
    void DropFigures();
    void CreateFigures();
    void SetScrollSizes();
    void OnTimer1();
    void OnTimer2();
    void ShowStatusText(const QString& text);
    [[noreturn]] void FatalFailure(unsigned nMessageId);
    QWidget* WidgetUnderCursor() const;

    CGpsDoc& m_doc;
    CDisplaySettings& m_settings;
    CUserPrompt& m_prompt;
    bool m_bInitialUpdateDone = false;
    CMapFigures m_figures;
    std::unique_ptr<CSpriteEngine> m_pEngine;
    CMapTools m_tools;
    int m_nSelectedPoint = -1;
    bool m_bMouseInside = false;
    bool m_bSmoothScroll = true;
    QImage* m_pSurface = nullptr; // the document's picture, composed into by the engine
    QTimer m_timer1;
    QTimer m_timer2;
    QTimer m_timer3;
    CSmoothScroll m_smoothScroll;
    bool m_bScrollSizesSet = false;
    int m_nPaintCount = 0;
    CMapZoom m_zoom;
    std::unique_ptr<CMapPyramid> m_pPyramid;
    CZoomedPainter m_painter; // away from 100 % it also keeps the figures it draws
    int m_nWheelDelta = 0;
    bool m_bZooming = false;
};

} // namespace mapreg

#pragma once
// The scrolling map view: the map picture with the figures of the sprite engine over it, at a
// zoom level from 1/32 to 800 %, the status texts for the position under the mouse, smooth
// scrolling and the view's timers. Map points are picture pixels (x right, y down). Scroll
// positions count pixels of the zoomed picture; a viewport point becomes a map point by adding
// the scroll position and dividing by the zoom factor, rounding down. At 100 % the engine
// composes the figures into the picture itself; at other levels the picture is shown from its
// reduced copies or enlarged pixel by pixel, and the view draws the figures over it at their
// own size.

#include "CMapZoom.h"
#include "CView.h"
#include "ISpriteHost.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QSize>
#include <QTimer>

#include <QImage>
#include <QRegion>

#include <array>
#include <memory>
#include <vector>

class CDisplaySettings;
class CGpsDoc;
class CLabelSprite;
class CMainFrame;
class CMapPyramid;
class CMarkSprite;
class CPointerSprite;
class CSprite;
class CSpriteEngine;
class CUserPrompt;

class CGpsView : public QAbstractScrollArea, public CView, public ISpriteHost {
    Q_OBJECT
public:
    static constexpr int kMarks = 3;
    static constexpr int kPointers = 100;
    // Timer periods in milliseconds: smooth scrolling (1), "Ready" after leaving (2), idle (3).
    static constexpr int kTimer1Period = 55;
    static constexpr int kTimer2Period = 55;
    static constexpr int kTimer3Period = 1000;
    // A smooth scroll moves a tenth of the distance per tick of timer 1.
    static constexpr int kScrollPercentPerTick = 10;

    CGpsView(CGpsDoc& doc, CDisplaySettings& settings, CUserPrompt& prompt,
             QWidget* pParent = nullptr);
    ~CGpsView() override;
    CGpsView(const CGpsView&) = delete;
    CGpsView& operator=(const CGpsView&) = delete;

    // Starts the three timers. False (after IDS_TIMER_FAILED) when one cannot run.
    bool OnCreate();
    // Takes the frame that receives the status texts and sets the scroll sizes.
    void OnInitialUpdate(CMainFrame* pMainFrame);

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
    // The size of the zoomed picture, the extent of the scroll coordinates.
    QSize ContentSize() const;
    // Where a figure lies in scroll coordinates: its map rectangle at 100 %, elsewhere its own
    // size around the point where its map pixel is drawn.
    QRect FigureContentRect(const CSprite& sprite) const;
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
    bool IsSmoothScrolling() const;
    void SetSmoothScroll(bool bSmooth) { m_bSmoothScroll = bSmooth; }

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

    // Ctrl+F: scrolls the first pointer into the middle of the window, else
    // IDS_POSITION_NOT_FOUND.
    void OnFindCurrentPosition();
    bool FindCurrentPosition();

    // Figure size of a settings figure size 0 (small), 1 (medium), 2 (large); 1 x 1 otherwise.
    static QSize SpriteSizeFor(int nSpriteSize);

    CSpriteEngine* Engine() const { return m_pEngine.get(); }
    CMarkSprite* Mark(int k) const;
    CLabelSprite* Label(int k) const;
    CPointerSprite* Pointer(int i) const;
    QSize SpriteSize() const { return m_sizeSprite; }
    const QTimer& Timer(int nTimer) const;
    // Number of paint events handled so far (the first painted frame, benchmarks).
    int PaintCount() const { return m_nPaintCount; }

signals:
    // The zoom level changed, a new picture included.
    void zoomChanged();

protected:
    // Mark and waypoint work. The view itself only tracks the mouse and calls these at the
    // right moments; ptClient is in viewport coordinates (add GetScrollPosition() for the
    // map point).
    virtual void ShowMarks() {}
    virtual void HideMarks() {}
    virtual void RunCalibrationDialog() {}
    virtual void OnLButtonDown(QPoint ptClient) { Q_UNUSED(ptClient); }
    virtual void OnLButtonUp(QPoint ptClient) { Q_UNUSED(ptClient); }
    virtual void OnLButtonDblClk(QPoint ptClient) { Q_UNUSED(ptClient); }
    virtual void OnRButtonDown(QPoint ptClient) { Q_UNUSED(ptClient); }
    // A mouse move while m_bDragging is set, before the status text.
    virtual void OnDragMove(QPoint ptClient) { Q_UNUSED(ptClient); }
    // Timer 1 in calibration mode while m_nDragMark is not -1.
    virtual void DragAutoScroll() {}
    // After every scroll and resize in calibration mode: keep the labels beside their marks.
    virtual void AnchorLabels() {}

    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;
    void scrollContentsBy(int dx, int dy) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
    // Ctrl+wheel zooms around the mouse, one level per notch; other wheel turns scroll.
    void wheelEvent(QWheelEvent* pEvent) override;

    CGpsDoc& Doc() const { return m_doc; }
    CDisplaySettings& Settings() const { return m_settings; }
    CMainFrame* Frame() const { return m_pMainFrame; }
    QSize MapSize() const;
    bool IsCalibrationMode() const;

    // Figures and drag state, shared with the mark and waypoint work.
    std::unique_ptr<CSpriteEngine> m_pEngine;
    std::array<std::unique_ptr<CPointerSprite>, kPointers> m_pPointers;
    std::array<std::unique_ptr<CMarkSprite>, kMarks> m_pMarks;
    std::array<std::unique_ptr<CLabelSprite>, kMarks> m_pLabels;
    bool m_bDragging = false;
    bool m_bMouseInside = false;
    int m_nDragMark = -1;
    QPoint m_ptDragOffset;
    bool m_bSmoothScroll = true;
    QSize m_sizeSprite;

private:
    void CreateFigures();
    void DeleteFigures();
    void SetScrollSizes();
    void OnTimer1();
    void OnTimer2();
    [[noreturn]] void FatalFailure(unsigned nMessageId);
    QWidget* WidgetUnderCursor() const;
    void PaintZoomed(QPainter& painter, const QRegion& region);
    void PaintPicturePart(QPainter& painter, const QRect& rcClient);

    CGpsDoc& m_doc;
    CDisplaySettings& m_settings;
    CUserPrompt& m_prompt;
    CMainFrame* m_pMainFrame = nullptr;
    QImage* m_pSurface = nullptr; // the document's picture, composed into by the engine
    QTimer m_timer1;
    QTimer m_timer2;
    QTimer m_timer3;
    QPoint m_ptScrollFrom;
    QPoint m_ptScrollTo;
    int m_nScrollProgress = 0;
    bool m_bScrollSizesSet = false;
    int m_nPaintCount = 0;
    CMapZoom m_zoom;
    std::unique_ptr<CMapPyramid> m_pPyramid;
    // Away from 100 %: the listed figures back to front, and where they were drawn (scroll
    // coordinates).
    std::vector<CSprite*> m_shownFigures;
    QRegion m_rgnFigures;
    // The enlarged or reduced picture part of one paint when it cannot go straight into the
    // painter's image.
    QImage m_imgScratch;
    std::vector<int> m_columns;
    int m_nWheelDelta = 0;
    bool m_bZooming = false;
};

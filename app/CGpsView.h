#pragma once
// The scrolling map view: the map picture at one picture pixel per screen pixel with the
// figures of the sprite engine composed into it, the status texts for the position under the
// mouse, smooth scrolling and the view's timers. Map points are picture pixels (x right,
// y down); a viewport point becomes a map point by adding the scroll position.

#include "CView.h"
#include "ISpriteHost.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QSize>
#include <QTimer>

#include <array>
#include <memory>

class CDisplaySettings;
class CGpsDoc;
class CLabelSprite;
class CMainFrame;
class CMarkSprite;
class CPointerSprite;
class CSpriteEngine;
class CUserPrompt;
class QImage;

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

    // A new map picture: new figures, new engine over the document's picture, scroll to 0, 0.
    void RebuildComposition();

    // The top-left map point shown in the window.
    QPoint GetScrollPosition() const;
    // Scrolls at once, kept within the scroll range.
    void ScrollToPosition(QPoint ptMap);
    // Scrolls so that ptMap is the window's top-left corner, animated in ten steps when
    // smooth scrolling is on.
    void ScrollTo(int x, int y);
    void SmoothScrollStep();
    void StopSmoothScroll();
    bool IsSmoothScrolling() const;
    void SetSmoothScroll(bool bSmooth) { m_bSmoothScroll = bSmooth; }

    // The part of the map the window shows, in map points.
    QRect GetVisibleMapRect() const;
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
};

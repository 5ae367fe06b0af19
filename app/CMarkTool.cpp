#include "app/CMarkTool.h"

#include "app/CCalibrationDlg.h"
#include "app/CGpsView.h"
#include "app/CMapFigures.h"
#include "display/CLabelSprite.h"
#include "display/CMarkSprite.h"
#include "display/CSpriteEngine.h"
#include "document/CDisplaySettings.h"
#include "document/CGpsDoc.h"
#include "framework/CUserPrompt.h"
#include "resources/StringTable.h"

#include <algorithm>

namespace mapreg {

namespace {

constexpr int kMarks = CMapFigures::kMarks;

bool IsMarkIndex(int k) {
    return k >= 0 && k < kMarks;
}

// Turns smooth scrolling off for the lifetime of the object and restores it afterwards.
class CJumpScroll {
public:
    explicit CJumpScroll(CGpsView& view) : m_view(view), m_bOld(view.IsSmoothScrollOn()) {
        m_view.SetSmoothScroll(false);
    }
    ~CJumpScroll() { m_view.SetSmoothScroll(m_bOld); }
    CJumpScroll(const CJumpScroll&) = delete;
    CJumpScroll& operator=(const CJumpScroll&) = delete;

private:
    CGpsView& m_view;
    bool m_bOld;
};

} // namespace

// --- Showing and hiding the marks ----------------------------------------------------------

void CMarkTool::Activate() {
    // Placed waypoints stay on the map: entering calibration mode must not drop the most
    // recent one from the map and from the next waypoint file.
    CGpsDoc& doc = View().Doc();
    const CMapFigures& figures = View().Figures();
    CSpriteEngine* pEngine = View().Engine();
    bool bListed = pEngine != nullptr;
    for (int k = 0; k < kMarks && bListed; ++k) {
        bListed = pEngine->AddSprite(figures.Mark(k)) && pEngine->AddSprite(figures.Label(k));
    }
    if (!bListed) {
        if (pEngine != nullptr) {
            for (int k = 0; k < kMarks; ++k) {
                pEngine->RemoveSprite(figures.Mark(k));
                pEngine->RemoveSprite(figures.Label(k));
            }
            doc.Prompt().MessageBoxId(IDS_SPRITES_NO_MEMORY, MsgIcon::Stop);
        }
        // Calibration mode and its menu go together: without marks there is nothing to
        // calibrate with, so both return to normal.
        doc.LeaveCalibrationMode();
        doc.UpdateAllViews(UpdateHint::HINT_CALIBRATION_MODE, &View());
        return;
    }

    std::array<QPoint, 3> ptStart{};
    if (doc.IsCalibrated()) {
        ptStart = doc.GetMarkPixels();
    } else {
        // A triangle in the visible area: one mark near the top middle, two lower left and
        // right.
        const QRect rc = View().GetVisibleMapRect();
        const int nLeft = rc.left();
        const int nTop = rc.top();
        const int w = rc.width();
        const int h = rc.height();
        ptStart[0] = QPoint(nLeft + w / 2, nTop + h / 6);
        ptStart[1] = QPoint(nLeft + w / 5, nTop + 2 * h / 3);
        ptStart[2] = QPoint(nLeft + 4 * w / 5, nTop + 2 * h / 3);
    }
    for (int k = 0; k < kMarks; ++k) {
        MoveMark(k, ptStart[static_cast<std::size_t>(k)]);
    }
    View().UpdateEngine();
}

void CMarkTool::Deactivate() {
    EndDrag();
    CSpriteEngine* pEngine = View().Engine();
    if (pEngine == nullptr) {
        return;
    }
    for (int k = 0; k < kMarks; ++k) {
        pEngine->RemoveSprite(View().Figures().Mark(k));
        pEngine->RemoveSprite(View().Figures().Label(k));
    }
    View().UpdateEngine();
}

void CMarkTool::RunCalibrationDialog() {
    CGpsDoc& doc = View().Doc();
    const QSize sizeMap = View().MapSize();
    CCalibrationDlg dlg(doc, View().window());
    dlg.SetData(doc.GetCoordType(), View().Settings().GetLatLonFormat(), doc.GetMarkWorldPoints(),
                MarkPositions(), doc.GetUtmZone(), doc.GetUtmLetter(), sizeMap.width(),
                sizeMap.height(), this);
    if (dlg.DoModal() == QDialog::Accepted) {
        Deactivate();
    }
}

void CMarkTool::SetMarkPosition(int nMark, QPoint ptPixel, int nScroll) {
    if (!IsMarkIndex(nMark)) {
        return;
    }
    MoveMark(nMark, ptPixel);
    if (nScroll == 1) {
        KeepMarkVisible(nMark);
    }
    View().UpdateEngine();
}

// --- Marks and labels ------------------------------------------------------------------------

int CMarkTool::HitTestMark(QPoint ptClient) const {
    // Marks keep their size on screen, so the test is made where they are drawn.
    const QPoint ptContent = ptClient + View().GetScrollPosition();
    for (int k = 0; k < kMarks; ++k) {
        const CMarkSprite* pMark = View().Figures().Mark(k);
        if (pMark != nullptr && View().FigureContentRect(*pMark).contains(ptContent)) {
            return k;
        }
    }
    return -1;
}

void CMarkTool::MoveMark(int nMark, QPoint ptMap) {
    View().Figures().Mark(nMark)->SetPosition(ptMap);
    ClampMark(nMark);
    AnchorLabel(nMark);
}

void CMarkTool::ClampMark(int nMark) {
    CMarkSprite* pMark = View().Figures().Mark(nMark);
    const QSize sizeMap = View().MapSize();
    const QPoint pt = pMark->GetPosition();
    int x = pt.x();
    int y = pt.y();
    if (x < 0) {
        x = 0;
    }
    if (x >= sizeMap.width()) {
        x = sizeMap.width() - 1;
    }
    if (y < 0) {
        y = 0;
    }
    if (y >= sizeMap.height()) {
        y = sizeMap.height() - 1;
    }
    if (x != pt.x() || y != pt.y()) {
        pMark->SetPosition(x, y);
        AnchorLabel(nMark);
    }
}

void CMarkTool::AnchorLabel(int nMark) {
    // Worked out where the figures are drawn (scroll coordinates), as they keep their size on
    // screen; at 100 % these are map points.
    const CMapZoom zoom = View().Zoom();
    const QPoint ptMarkMap = View().Figures().Mark(nMark)->GetPosition();
    const QPoint ptMark = zoom.ContentFromMap(ptMarkMap);
    const int mx = ptMark.x();
    const int my = ptMark.y();
    const QSize sizeSprite = View().Figures().Size();
    const int sx = sizeSprite.width();
    const int sy = sizeSprite.height();

    // The visible area (right and bottom exclusive), less half a figure on every side.
    const QRect rcVisible = View().GetVisibleContentRect();
    const int nLeft = rcVisible.left() + sx / 2;
    const int nTop = rcVisible.top() + sy / 2;
    const int nRight = rcVisible.left() + rcVisible.width() - sx / 2;
    const int nBottom = rcVisible.top() + rcVisible.height() - sy / 2;

    int nAnchor = CLabelSprite::kBelow;
    if (mx < nLeft) {
        nAnchor = my < nTop      ? CLabelSprite::kBelowRight
                  : my > nBottom ? CLabelSprite::kAboveRight
                                 : CLabelSprite::kRight;
    } else if (mx > nRight) {
        nAnchor = my < nTop      ? CLabelSprite::kBelowLeft
                  : my > nBottom ? CLabelSprite::kAboveLeft
                                 : CLabelSprite::kLeft;
    } else if (my > nBottom - sy) {
        // Near the bottom edge the flag goes above the mark so that it stays in view.
        nAnchor = CLabelSprite::kAbove;
    }

    CLabelSprite* pLabel = View().Figures().Label(nMark);
    pLabel->SetAnchor(nAnchor);
    // A label whose mark is out of view waits at the edge of the visible area.
    const QPoint ptLabel(std::clamp(mx, nLeft - sx, nRight + sx),
                         std::clamp(my, nTop - sy, nBottom + sy));
    pLabel->SetPosition(ptLabel == ptMark ? ptMarkMap : zoom.MapFromContent(ptLabel));
}

void CMarkTool::AnchorLabels() {
    for (int k = 0; k < kMarks; ++k) {
        AnchorLabel(k);
    }
    View().UpdateEngine();
}

// --- Scrolling -------------------------------------------------------------------------------

QPoint CMarkTool::ScrollPointIntoView(QPoint ptMap, int nMarginPercent) {
    // Measured where the point is drawn, in the pixels of the zoomed picture.
    // The part of the window that shows the map: the window less its frame and whichever
    // scroll bars it shows, in the view's own coordinates.
    const QRect rcWindow = View().viewport()->geometry();
    const long long w = rcWindow.width();
    const long long h = rcWindow.height();
    const int mx = static_cast<int>(w * nMarginPercent / 100);
    const int my = static_cast<int>(h * nMarginPercent / 100);
    const int nLeft = rcWindow.left() + mx;
    const int nRight = rcWindow.left() + rcWindow.width() - mx;
    const int nTop = rcWindow.top() + my;
    const int nBottom = rcWindow.top() + rcWindow.height() - my;

    const QSize sizeMap = View().MapSize();
    if (ptMap.x() < 0 || ptMap.x() > sizeMap.width() || ptMap.y() < 0 ||
        ptMap.y() > sizeMap.height()) {
        return {};
    }
    const QPoint ptClient = View().ClientFromMap(ptMap);
    const QPoint ptScroll = View().GetScrollPosition();
    const int px = ptClient.x() + rcWindow.left();
    const int py = ptClient.y() + rcWindow.top();
    const int dx = px < nLeft ? px - nLeft : px >= nRight ? px - nRight + 1 : 0;
    const int dy = py < nTop ? py - nTop : py >= nBottom ? py - nBottom + 1 : 0;
    if (dx == 0 && dy == 0) {
        return {};
    }
    View().ScrollTo(ptScroll.x() + dx, ptScroll.y() + dy);
    return {dx, dy};
}

QPoint CMarkTool::KeepMarkVisible(int nMark) {
    const QPoint d = ScrollPointIntoView(View().Figures().Mark(nMark)->GetPosition(), 0);
    if (!d.isNull()) {
        AnchorLabels();
    }
    return d;
}

void CMarkTool::DragAutoScroll() {
    if (!IsMarkIndex(m_nDragMark)) {
        return;
    }
    const CJumpScroll jump(View());
    const QPoint d = KeepMarkVisible(m_nDragMark);
    if (!d.isNull()) {
        // The mark travels with the map: the scroll distance in map pixels, at least one.
        MoveMark(m_nDragMark,
                 View().Figures().Mark(m_nDragMark)->GetPosition() + View().Zoom().MapDistance(d));
    }
}

void CMarkTool::CenterOnMark(int nMark) {
    View().ScrollToCentre(View().Figures().Mark(nMark)->GetPosition());
    AnchorLabels();
}

// --- Mouse -----------------------------------------------------------------------------------

void CMarkTool::LeftPressed(QPoint ptClient) {
    const int k = HitTestMark(ptClient);
    if (k < 0) {
        return;
    }
    m_nDragMark = k;
    m_bDragging = true;
    m_ptDragOffset = View().Figures().Mark(k)->GetPosition() - View().MapFromClient(ptClient);
    // The view keeps the mouse until the button is released (Qt's implicit grab), so the drag
    // goes on outside the window.
}

void CMarkTool::DragMoved(QPoint ptClient) {
    if (!IsMarkIndex(m_nDragMark)) {
        return;
    }
    MoveMark(m_nDragMark, View().MapFromClient(ptClient) + m_ptDragOffset);
    View().UpdateEngine();
}

void CMarkTool::TimerTick() {
    if (m_nDragMark != -1) {
        DragAutoScroll();
    }
}

void CMarkTool::LeftReleased(QPoint /*ptClient*/) {
    if (!m_bDragging) {
        return;
    }
    if (View().Doc().IsCalibrationMode() && IsMarkIndex(m_nDragMark)) {
        // A mark let go outside the window comes into view at once, not animated.
        const CJumpScroll jump(View());
        KeepMarkVisible(m_nDragMark);
    }
    EndDrag();
    View().UpdateEngine();
}

void CMarkTool::LeftDoubleClicked(QPoint ptClient) {
    const int k = HitTestMark(ptClient);
    if (k >= 0) {
        CenterOnMark(k);
    }
}

// --- Helpers ---------------------------------------------------------------------------------

void CMarkTool::EndDrag() {
    m_nDragMark = -1;
    m_bDragging = false;
}

std::array<QPoint, 3> CMarkTool::MarkPositions() const {
    std::array<QPoint, 3> pts{};
    for (int k = 0; k < kMarks; ++k) {
        pts[static_cast<std::size_t>(k)] = View().Figures().Mark(k)->GetPosition();
    }
    return pts;
}

} // namespace mapreg

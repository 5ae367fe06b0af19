#include "CMarkView.h"

#include "CCalibrationDlg.h"
#include "CDisplaySettings.h"
#include "CGeoPosition.h"
#include "CGpsDoc.h"
#include "CLabelSprite.h"
#include "CMarkSprite.h"
#include "CPointerSprite.h"
#include "CSpriteEngine.h"
#include "CUserPrompt.h"
#include "StringTable.h"

#include <algorithm>
#include <cstddef>

namespace {

std::size_t Index(int k) {
    return static_cast<std::size_t>(k);
}

bool IsMarkIndex(int k) {
    return k >= 0 && k < CGpsView::kMarks;
}

// Turns smooth scrolling off for the lifetime of the object and restores it afterwards.
class CJumpScroll {
public:
    explicit CJumpScroll(bool& bSmoothScroll)
        : m_bSmoothScroll(bSmoothScroll), m_bOld(bSmoothScroll) {
        m_bSmoothScroll = false;
    }
    ~CJumpScroll() { m_bSmoothScroll = m_bOld; }
    CJumpScroll(const CJumpScroll&) = delete;
    CJumpScroll& operator=(const CJumpScroll&) = delete;

private:
    bool& m_bSmoothScroll;
    bool m_bOld;
};

} // namespace

CMarkView::CMarkView(CGpsDoc& doc, CDisplaySettings& settings, CUserPrompt& prompt,
                     QWidget* pParent)
    : CGpsView(doc, settings, prompt, pParent) {}

// --- Showing and hiding the marks ----------------------------------------------------------

void CMarkView::ShowMarks() {
    // Placed waypoints stay on the map: entering calibration mode must not drop the most
    // recent one from the map and from the next waypoint file.

    bool bListed = m_pEngine != nullptr;
    for (int k = 0; k < kMarks && bListed; ++k) {
        bListed = m_pEngine->AddSprite(m_pMarks[Index(k)].get()) &&
                  m_pEngine->AddSprite(m_pLabels[Index(k)].get());
    }
    if (!bListed) {
        if (m_pEngine != nullptr) {
            for (int k = 0; k < kMarks; ++k) {
                m_pEngine->RemoveSprite(m_pMarks[Index(k)].get());
                m_pEngine->RemoveSprite(m_pLabels[Index(k)].get());
            }
            Doc().Prompt().MessageBoxId(IDS_SPRITES_NO_MEMORY, MsgIcon::Stop);
        }
        // Calibration mode and its menu go together: without marks there is nothing to
        // calibrate with, so both return to normal.
        Doc().LeaveCalibrationMode();
        Doc().UpdateAllViews(HINT_CALIBRATION_MODE, this);
        return;
    }

    std::array<QPoint, 3> ptStart{};
    if (Doc().IsCalibrated()) {
        ptStart = Doc().GetMarkPixels();
    } else {
        // A triangle in the visible area: one mark near the top middle, two lower left and
        // right.
        const QRect rc = GetVisibleMapRect();
        const int nLeft = rc.left();
        const int nTop = rc.top();
        const int w = rc.width();
        const int h = rc.height();
        ptStart[0] = QPoint(nLeft + w / 2, nTop + h / 6);
        ptStart[1] = QPoint(nLeft + w / 5, nTop + 2 * h / 3);
        ptStart[2] = QPoint(nLeft + 4 * w / 5, nTop + 2 * h / 3);
    }
    for (int k = 0; k < kMarks; ++k) {
        MoveMark(k, ptStart[Index(k)]);
    }
    UpdateEngine();
}

void CMarkView::HideMarks() {
    EndDrag();
    if (m_pEngine == nullptr) {
        return;
    }
    for (int k = 0; k < kMarks; ++k) {
        m_pEngine->RemoveSprite(m_pMarks[Index(k)].get());
        m_pEngine->RemoveSprite(m_pLabels[Index(k)].get());
    }
    UpdateEngine();
}

void CMarkView::RunCalibrationDialog() {
    const QSize sizeMap = MapSize();
    CCalibrationDlg dlg(Doc(), window());
    dlg.SetData(Doc().GetCoordType(), Settings().GetLatLonFormat(), Doc().GetMarkWorldPoints(),
                MarkPositions(), Doc().GetUtmZone(), Doc().GetUtmLetter(), sizeMap.width(),
                sizeMap.height(), this);
    if (dlg.DoModal() == QDialog::Accepted) {
        HideMarks();
    }
}

void CMarkView::SetMarkPosition(int nMark, QPoint ptPixel, int nScroll) {
    if (!IsMarkIndex(nMark)) {
        return;
    }
    MoveMark(nMark, ptPixel);
    if (nScroll == 1) {
        KeepMarkVisible(nMark);
    }
    UpdateEngine();
}

// --- Marks and labels ------------------------------------------------------------------------

int CMarkView::HitTestMark(QPoint ptClient) const {
    // Marks keep their size on screen, so the test is made where they are drawn.
    const QPoint ptContent = ptClient + GetScrollPosition();
    for (int k = 0; k < kMarks; ++k) {
        const CMarkSprite* pMark = m_pMarks[Index(k)].get();
        if (pMark != nullptr && FigureContentRect(*pMark).contains(ptContent)) {
            return k;
        }
    }
    return -1;
}

void CMarkView::MoveMark(int nMark, QPoint ptMap) {
    CMarkSprite* pMark = m_pMarks[Index(nMark)].get();
    pMark->SetPosition(ptMap);
    ClampMark(nMark);
    AnchorLabel(nMark);
}

void CMarkView::ClampMark(int nMark) {
    CMarkSprite* pMark = m_pMarks[Index(nMark)].get();
    const QSize sizeMap = MapSize();
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

void CMarkView::AnchorLabel(int nMark) {
    // Worked out where the figures are drawn (scroll coordinates), as they keep their size on
    // screen; at 100 % these are map points.
    const QPoint ptMarkMap = m_pMarks[Index(nMark)]->GetPosition();
    const QPoint ptMark = Zoom().ContentFromMap(ptMarkMap);
    const int mx = ptMark.x();
    const int my = ptMark.y();
    const int sx = m_sizeSprite.width();
    const int sy = m_sizeSprite.height();

    // The visible area (right and bottom exclusive), less half a figure on every side.
    const QRect rcVisible = GetVisibleContentRect();
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

    CLabelSprite* pLabel = m_pLabels[Index(nMark)].get();
    pLabel->SetAnchor(nAnchor);
    // A label whose mark is out of view waits at the edge of the visible area.
    const QPoint ptLabel(std::clamp(mx, nLeft - sx, nRight + sx),
                         std::clamp(my, nTop - sy, nBottom + sy));
    pLabel->SetPosition(ptLabel == ptMark ? ptMarkMap : Zoom().MapFromContent(ptLabel));
}

void CMarkView::AnchorLabels() {
    for (int k = 0; k < kMarks; ++k) {
        AnchorLabel(k);
    }
    UpdateEngine();
}

// --- Scrolling -------------------------------------------------------------------------------

QPoint CMarkView::ScrollPointIntoView(QPoint ptMap, int nMarginPercent) {
    // Measured where the point is drawn, in the pixels of the zoomed picture.
    // The part of the window that shows the map: the window less its frame and whichever
    // scroll bars it shows, in the view's own coordinates.
    const QRect rcWindow = viewport()->geometry();
    const long long w = rcWindow.width();
    const long long h = rcWindow.height();
    const int mx = static_cast<int>(w * nMarginPercent / 100);
    const int my = static_cast<int>(h * nMarginPercent / 100);
    const int nLeft = rcWindow.left() + mx;
    const int nRight = rcWindow.left() + rcWindow.width() - mx;
    const int nTop = rcWindow.top() + my;
    const int nBottom = rcWindow.top() + rcWindow.height() - my;

    const QSize sizeMap = MapSize();
    if (ptMap.x() < 0 || ptMap.x() > sizeMap.width() || ptMap.y() < 0 ||
        ptMap.y() > sizeMap.height()) {
        return {};
    }
    const QPoint ptClient = ClientFromMap(ptMap);
    const QPoint ptScroll = GetScrollPosition();
    const int px = ptClient.x() + rcWindow.left();
    const int py = ptClient.y() + rcWindow.top();
    const int dx = px < nLeft ? px - nLeft : px >= nRight ? px - nRight + 1 : 0;
    const int dy = py < nTop ? py - nTop : py >= nBottom ? py - nBottom + 1 : 0;
    if (dx == 0 && dy == 0) {
        return {};
    }
    ScrollTo(ptScroll.x() + dx, ptScroll.y() + dy);
    return {dx, dy};
}

QPoint CMarkView::KeepMarkVisible(int nMark) {
    const QPoint d = ScrollPointIntoView(m_pMarks[Index(nMark)]->GetPosition(), 0);
    if (!d.isNull()) {
        AnchorLabels();
    }
    return d;
}

void CMarkView::DragAutoScroll() {
    if (!IsMarkIndex(m_nDragMark)) {
        return;
    }
    const CJumpScroll jump(m_bSmoothScroll);
    const QPoint d = KeepMarkVisible(m_nDragMark);
    if (!d.isNull()) {
        // The mark travels with the map: the scroll distance in map pixels, at least one.
        MoveMark(m_nDragMark, m_pMarks[Index(m_nDragMark)]->GetPosition() + Zoom().MapDistance(d));
    }
}

void CMarkView::CenterOnMark(int nMark) {
    const QPoint ptMark = Zoom().ContentFromMap(m_pMarks[Index(nMark)]->GetPosition());
    const QSize sizeMap = ContentSize();
    const QSize sizeClient = viewport()->size();
    const int x = sizeMap.width() < sizeClient.width() ? 0 : ptMark.x() - sizeClient.width() / 2;
    const int y = sizeMap.height() < sizeClient.height() ? 0 : ptMark.y() - sizeClient.height() / 2;
    ScrollTo(x, y);
    AnchorLabels();
}

// --- Waypoints -------------------------------------------------------------------------------

void CMarkView::AddWaypoint(QPoint ptMap) {
    if (!Doc().IsCalibrated() || !Doc().IsWaypointMode() || m_pEngine == nullptr) {
        return;
    }
    // Beside the picture (the window can be larger than the map) there is nothing to mark.
    const QSize sizeMap = MapSize();
    if (ptMap.x() < 0 || ptMap.x() >= sizeMap.width() || ptMap.y() < 0 ||
        ptMap.y() >= sizeMap.height()) {
        return;
    }
    const int n = m_pEngine->GetCount();
    Doc().SetLastWaypoint(n);
    if (n >= kPointers) {
        return;
    }
    CPointerSprite* pPointer = m_pPointers[Index(n)].get();
    pPointer->SetPosition(ptMap);
    if (m_pEngine->AddSprite(pPointer)) {
        CGeoPosition& position = Doc().PictureToPosition(
            CDoublePoint{static_cast<double>(ptMap.x()), static_cast<double>(ptMap.y())});
        double dLatitude = 0.0;
        double dLongitude = 0.0;
        position.GetLatLon(dLatitude, dLongitude);
        Doc().AddWaypoint(n, CDoublePoint{dLatitude, dLongitude});
    }
    UpdateEngine();
}

void CMarkView::RemoveLastWaypoint() {
    if (m_pEngine == nullptr) {
        return;
    }
    const int n = m_pEngine->GetCount();
    const int i = n > 0 ? n - 1 : 0;
    if (i >= kPointers) {
        // With the marks listed the count is no pointer's index.
        return;
    }
    CPointerSprite* pPointer = m_pPointers[Index(i)].get();
    if (pPointer->GetEngine() != nullptr && pPointer->GetEngine()->RemoveSprite(pPointer)) {
        Doc().RemoveLastWaypoint(i);
    }
}

// --- Mouse -----------------------------------------------------------------------------------

void CMarkView::OnLButtonDown(QPoint ptClient) {
    const QPoint ptMap = MapFromClient(ptClient);
    if (IsCalibrationMode()) {
        const int k = HitTestMark(ptClient);
        if (k < 0) {
            return;
        }
        m_nDragMark = k;
        m_bDragging = true;
        m_ptDragOffset = m_pMarks[Index(k)]->GetPosition() - ptMap;
        // The view keeps the mouse until the button is released (Qt's implicit grab), so the
        // drag goes on outside the window.
        return;
    }
    if (Doc().IsWaypointMode()) {
        AddWaypoint(ptMap);
    }
}

void CMarkView::OnDragMove(QPoint ptClient) {
    if (!IsMarkIndex(m_nDragMark)) {
        return;
    }
    MoveMark(m_nDragMark, MapFromClient(ptClient) + m_ptDragOffset);
    UpdateEngine();
}

void CMarkView::OnLButtonUp(QPoint /*ptClient*/) {
    if (!m_bDragging) {
        return;
    }
    if (IsCalibrationMode() && IsMarkIndex(m_nDragMark)) {
        // A mark let go outside the window comes into view at once, not animated.
        const CJumpScroll jump(m_bSmoothScroll);
        KeepMarkVisible(m_nDragMark);
    }
    EndDrag();
    UpdateEngine();
}

void CMarkView::OnLButtonDblClk(QPoint ptClient) {
    if (!IsCalibrationMode()) {
        return;
    }
    const int k = HitTestMark(ptClient);
    if (k >= 0) {
        CenterOnMark(k);
    }
}

void CMarkView::OnRButtonDown(QPoint /*ptClient*/) {
    if (!Doc().IsWaypointMode()) {
        return;
    }
    RemoveLastWaypoint();
    UpdateEngine();
}

// --- Helpers ---------------------------------------------------------------------------------

void CMarkView::UpdateEngine() {
    if (m_pEngine != nullptr) {
        m_pEngine->Update();
    }
}

void CMarkView::EndDrag() {
    m_nDragMark = -1;
    m_bDragging = false;
}

std::array<QPoint, 3> CMarkView::MarkPositions() const {
    std::array<QPoint, 3> pts{};
    for (int k = 0; k < kMarks; ++k) {
        pts[Index(k)] = m_pMarks[Index(k)]->GetPosition();
    }
    return pts;
}

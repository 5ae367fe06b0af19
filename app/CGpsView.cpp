#include "CGpsView.h"

#include "AppStrings.h"
#include "CMainFrame.h"
#include "StringTable.h"

#include "CDisplaySettings.h"
#include "CGeoPosition.h"
#include "CGpsDoc.h"
#include "CLabelSprite.h"
#include "CMarkSprite.h"
#include "CPointerSprite.h"
#include "CSpriteEngine.h"
#include "CUserPrompt.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

constexpr COLORREF kMarkColors[CGpsView::kMarks] = {0x00FFFF, 0x00FF00, 0xFFFF00};
constexpr std::uint32_t kMarkDepths[CGpsView::kMarks] = {10, 20, 30};
constexpr std::uint32_t kLabelDepths[CGpsView::kMarks] = {11, 21, 31};
constexpr std::uint32_t kPointerDepth = 30;

} // namespace

CGpsView::CGpsView(CGpsDoc& doc, CDisplaySettings& settings, CUserPrompt& prompt, QWidget* pParent)
    : QAbstractScrollArea(pParent), m_doc(doc), m_settings(settings), m_prompt(prompt) {
    setObjectName(QStringLiteral("mapView"));
    viewport()->setObjectName(QStringLiteral("mapViewport"));
    viewport()->setMouseTracking(true);
    // The view paints every pixel itself: the picture from the surface, the rest in the
    // button-shadow colour. No background erase, so repaints do not flicker.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setFrameShape(QFrame::StyledPanel);

    m_sizeSprite = SpriteSizeFor(m_settings.GetSpriteSize());
    CreateFigures();

    // A scroll-bar action ends a smooth scroll before the bar moves.
    for (QScrollBar* pBar : {horizontalScrollBar(), verticalScrollBar()}) {
        connect(pBar, &QAbstractSlider::actionTriggered, this, [this] { StopSmoothScroll(); });
    }
    connect(&m_timer1, &QTimer::timeout, this, &CGpsView::OnTimer1);
    connect(&m_timer2, &QTimer::timeout, this, &CGpsView::OnTimer2);
    // Timer 3 has no work of its own; it keeps the once-a-second tick for later use.
    m_doc.AddView(this);
}

CGpsView::~CGpsView() {
    m_doc.RemoveView(this);
    m_timer2.stop();
    m_timer1.stop();
    m_timer3.stop();
    // The engine detaches the sprites it still lists; then the figures go.
    m_pEngine.reset();
    DeleteFigures();
}

bool CGpsView::OnCreate() {
    struct TimerStart {
        int nId;
        QTimer* pTimer;
        int nPeriod;
    };
    const TimerStart timers[] = {{2, &m_timer2, kTimer2Period},
                                 {1, &m_timer1, kTimer1Period},
                                 {3, &m_timer3, kTimer3Period}};
    for (const TimerStart& t : timers) {
        t.pTimer->start(t.nPeriod);
        if (!t.pTimer->isActive()) {
            m_prompt.MessageBoxId1(IDS_TIMER_FAILED, std::to_string(t.nId), MsgIcon::Stop);
            return false;
        }
    }
    return true;
}

void CGpsView::OnInitialUpdate(CMainFrame* pMainFrame) {
    OnUpdate(nullptr, HINT_REFRESH);
    m_pMainFrame = pMainFrame;
    SetScrollSizes();
}

QSize CGpsView::SpriteSizeFor(int nSpriteSize) {
    switch (nSpriteSize) {
    case 0:
        return {40, 40};
    case 1:
        return {64, 64};
    case 2:
        return {80, 80};
    default:
        return {1, 1};
    }
}

void CGpsView::CreateFigures() {
    try {
        for (int k = 0; k < kMarks; ++k) {
            m_pMarks[static_cast<std::size_t>(k)] =
                std::make_unique<CMarkSprite>(kMarkDepths[k], m_sizeSprite, kMarkColors[k]);
        }
        for (int k = 0; k < kMarks; ++k) {
            m_pLabels[static_cast<std::size_t>(k)] =
                std::make_unique<CLabelSprite>(kLabelDepths[k], m_sizeSprite, kMarkColors[k],
                                               CLabelSprite::kBelow, QString::number(k + 1));
        }
        const COLORREF crPointer = m_settings.GetLocationSpriteColor();
        for (auto& pPointer : m_pPointers) {
            pPointer = std::make_unique<CPointerSprite>(kPointerDepth, m_sizeSprite, crPointer);
        }
    } catch (const std::bad_alloc&) {
        FatalFailure(IDS_NOT_ENOUGH_MEMORY);
    }
}

void CGpsView::DeleteFigures() {
    for (auto& pMark : m_pMarks) {
        pMark.reset();
    }
    for (auto& pLabel : m_pLabels) {
        pLabel.reset();
    }
    for (auto& pPointer : m_pPointers) {
        pPointer.reset();
    }
}

void CGpsView::FatalFailure(unsigned nMessageId) {
    m_prompt.MessageBoxId(nMessageId, MsgIcon::Stop);
    std::_Exit(EXIT_FAILURE);
}

CMarkSprite* CGpsView::Mark(int k) const {
    return k >= 0 && k < kMarks ? m_pMarks[static_cast<std::size_t>(k)].get() : nullptr;
}

CLabelSprite* CGpsView::Label(int k) const {
    return k >= 0 && k < kMarks ? m_pLabels[static_cast<std::size_t>(k)].get() : nullptr;
}

CPointerSprite* CGpsView::Pointer(int i) const {
    return i >= 0 && i < kPointers ? m_pPointers[static_cast<std::size_t>(i)].get() : nullptr;
}

const QTimer& CGpsView::Timer(int nTimer) const {
    return nTimer == 1 ? m_timer1 : nTimer == 2 ? m_timer2 : m_timer3;
}

QSize CGpsView::MapSize() const {
    return {m_doc.GetMapWidth(), m_doc.GetMapHeight()};
}

bool CGpsView::IsCalibrationMode() const {
    return m_doc.IsCalibrationMode();
}

void CGpsView::OnUpdate(CDocument* /*pSender*/, int nHint) {
    switch (nHint) {
    case HINT_NEW_BITMAP:
        RebuildComposition();
        break;
    case HINT_CALIBRATION_STARTED:
        ShowMarks();
        break;
    case HINT_CALIBRATION_CANCELLED:
        HideMarks();
        break;
    case HINT_SET_MARK_COORDINATES:
        RunCalibrationDialog();
        break;
    case HINT_CALIBRATION_MODE:
        // The frame's menu; the marks come and go with the hints that follow.
        break;
    default:
        viewport()->update();
        break;
    }
}

void CGpsView::RebuildComposition() {
    // The old engine goes without a last update: its sprites' saved backgrounds belong to the
    // previous picture and must not be written into the new one.
    m_pEngine.reset();
    DeleteFigures();
    m_sizeSprite = SpriteSizeFor(m_settings.GetSpriteSize());
    CreateFigures();

    m_pSurface = m_doc.GetMapBitmap();
    if (m_pSurface == nullptr || m_pSurface->isNull()) {
        // No picture: the view shows only its background until the next picture arrives.
        m_pSurface = nullptr;
        SetScrollSizes();
        viewport()->update();
        return;
    }
    try {
        m_pEngine = std::make_unique<CSpriteEngine>(this, m_pSurface);
    } catch (const std::bad_alloc&) {
        FatalFailure(IDS_NOT_ENOUGH_MEMORY);
    }
    SetScrollSizes();
    ScrollTo(0, 0);
    m_ptScrollFrom = m_ptScrollTo = QPoint(0, 0);
    m_nScrollProgress = 0;
    ScrollToPosition(QPoint(0, 0));
    viewport()->update();
}

void CGpsView::SetScrollSizes() {
    const QSize sizeMap = MapSize();
    const QSize sizeView = viewport()->size();
    QScrollBar* pH = horizontalScrollBar();
    QScrollBar* pV = verticalScrollBar();
    pH->setRange(0, std::max(0, sizeMap.width() - sizeView.width()));
    pV->setRange(0, std::max(0, sizeMap.height() - sizeView.height()));
    // A page is the window; a line a tenth of it.
    pH->setPageStep(std::max(1, sizeView.width()));
    pV->setPageStep(std::max(1, sizeView.height()));
    pH->setSingleStep(std::max(1, sizeView.width() / 10));
    pV->setSingleStep(std::max(1, sizeView.height() / 10));
    m_bScrollSizesSet = true;
}

QPoint CGpsView::GetScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CGpsView::ScrollToPosition(QPoint ptMap) {
    // The scroll bars keep each value within their range.
    horizontalScrollBar()->setValue(ptMap.x());
    verticalScrollBar()->setValue(ptMap.y());
}

void CGpsView::ScrollTo(int x, int y) {
    if (m_bSmoothScroll) {
        m_ptScrollFrom = GetScrollPosition();
        m_ptScrollTo = QPoint(x, y);
        m_nScrollProgress = 0;
    } else {
        ScrollToPosition(QPoint(x, y));
    }
    if (m_pMainFrame != nullptr) {
        UpdateStatusText();
    }
}

void CGpsView::SmoothScrollStep() {
    m_nScrollProgress = std::min(m_nScrollProgress + kScrollPercentPerTick, 100);
    if (m_ptScrollFrom == m_ptScrollTo) {
        if (m_nScrollProgress == 100) {
            StopSmoothScroll();
        }
        return;
    }
    // 64-bit products: scroll distances times 100 stay exact for any picture size.
    const auto step = [this](int nFrom, int nTo) {
        return nFrom +
               static_cast<int>(static_cast<long long>(nTo - nFrom) * m_nScrollProgress / 100);
    };
    ScrollToPosition(QPoint(step(m_ptScrollFrom.x(), m_ptScrollTo.x()),
                            step(m_ptScrollFrom.y(), m_ptScrollTo.y())));
    if (IsCalibrationMode()) {
        AnchorLabels();
    }
    if (m_nScrollProgress == 100) {
        StopSmoothScroll();
    }
}

void CGpsView::StopSmoothScroll() {
    if (!m_bScrollSizesSet) {
        return;
    }
    m_ptScrollFrom = m_ptScrollTo = GetScrollPosition();
    m_nScrollProgress = 0;
}

bool CGpsView::IsSmoothScrolling() const {
    return m_ptScrollFrom != m_ptScrollTo && m_nScrollProgress < 100;
}

QRect CGpsView::GetVisibleMapRect() const {
    const QPoint ptScroll = GetScrollPosition();
    const QSize sizeMap = MapSize();
    const QSize sizeView = viewport()->size();
    int nLeft = 0;
    int nRight = sizeMap.width();
    int nTop = 0;
    int nBottom = sizeMap.height();
    if (sizeMap.width() > sizeView.width()) {
        nLeft = ptScroll.x();
        nRight = ptScroll.x() + sizeView.width();
    }
    if (sizeMap.height() > sizeView.height()) {
        nTop = ptScroll.y();
        nBottom = ptScroll.y() + sizeView.height();
    }
    // QRect's right and bottom are inclusive; the map rectangle's are exclusive.
    return {QPoint(nLeft, nTop), QPoint(nRight - 1, nBottom - 1)};
}

QWidget* CGpsView::WidgetUnderCursor() const {
    return QApplication::widgetAt(QCursor::pos());
}

bool CGpsView::IsCursorOverView() const {
    const QPoint ptGlobal = QCursor::pos();
    if (!rect().contains(mapFromGlobal(ptGlobal))) {
        return false;
    }
    const QWidget* pUnder = WidgetUnderCursor();
    return pUnder == this || pUnder == viewport();
}

bool CGpsView::GetCursorMapPoint(QPoint& ptMap) const {
    const QPoint ptGlobal = QCursor::pos();
    const QPoint ptClient = viewport()->mapFromGlobal(ptGlobal);
    ptMap = ptClient + GetScrollPosition();
    if (!viewport()->rect().contains(ptClient) || WidgetUnderCursor() != viewport()) {
        return false;
    }
    const QSize sizeMap = MapSize();
    return ptMap.x() >= 0 && ptMap.x() < sizeMap.width() && ptMap.y() >= 0 &&
           ptMap.y() < sizeMap.height();
}

void CGpsView::UpdateStatusText() {
    if (m_pMainFrame == nullptr) {
        return;
    }
    QPoint ptMap;
    if (GetCursorMapPoint(ptMap)) {
        if (IsCalibrationMode()) {
            m_pMainFrame->SetStatusText(AppString(IDS_CALIBRATION_PROMPT));
        } else if (!m_doc.IsCalibrated()) {
            m_pMainFrame->SetStatusText(AppString(IDS_UNCALIBRATED_PROMPT));
        } else {
            CGeoPosition& position = m_doc.PictureToPosition(
                CDoublePoint{static_cast<double>(ptMap.x()), static_cast<double>(ptMap.y())});
            m_pMainFrame->ShowCursorPosition(m_settings.ConvertPosition(position));
        }
    } else if (IsCursorOverView()) {
        m_pMainFrame->SetStatusText(AppString(AFX_IDS_IDLEMESSAGE));
    }
}

void CGpsView::OnTimer1() {
    if (IsCalibrationMode() && m_nDragMark != -1) {
        DragAutoScroll();
    }
    SmoothScrollStep();
}

void CGpsView::OnTimer2() {
    if (m_bMouseInside && WidgetUnderCursor() != viewport()) {
        m_bMouseInside = false;
        if (m_pMainFrame != nullptr) {
            m_pMainFrame->SetStatusText(AppString(AFX_IDS_IDLEMESSAGE));
        }
    }
}

bool CGpsView::FindCurrentPosition() {
    CPointerSprite* pPointer = m_pPointers[0].get();
    if (pPointer == nullptr || pPointer->GetEngine() == nullptr) {
        return false;
    }
    const QPoint pt = pPointer->GetPosition();
    const QSize sizeMap = MapSize();
    if (pt.x() < 0 || pt.x() > sizeMap.width() || pt.y() < 0 || pt.y() > sizeMap.height()) {
        return false;
    }
    const QSize sizeView = viewport()->size();
    const int x = sizeMap.width() < sizeView.width() ? 0 : pt.x() - sizeView.width() / 2;
    const int y = sizeMap.height() < sizeView.height() ? 0 : pt.y() - sizeView.height() / 2;
    ScrollTo(x, y);
    return true;
}

void CGpsView::OnFindCurrentPosition() {
    if (!FindCurrentPosition()) {
        m_prompt.MessageBoxId(IDS_POSITION_NOT_FOUND, MsgIcon::Exclamation);
    }
}

void CGpsView::InvalidateMapRect(const QRect& rcMap) {
    viewport()->update(rcMap.translated(-GetScrollPosition()));
}

void CGpsView::paintEvent(QPaintEvent* pEvent) {
    QPainter painter(viewport());
    const QColor crOutside = palette().color(QPalette::Dark);
    const QPoint ptScroll = GetScrollPosition();
    const QRect rcPicture = m_pSurface != nullptr ? QRect(-ptScroll, m_pSurface->size()) : QRect();
    // Only the exposed area: the picture part is copied from the surface, the rest filled.
    for (const QRect& rc : pEvent->region()) {
        const QRect rcInside = rc.intersected(rcPicture);
        if (!rcInside.isEmpty()) {
            painter.drawImage(rcInside.topLeft(), *m_pSurface, rcInside.translated(ptScroll));
        }
        const QRegion outside = QRegion(rc).subtracted(QRegion(rcInside));
        for (const QRect& rcOut : outside) {
            painter.fillRect(rcOut, crOutside);
        }
    }
    ++m_nPaintCount;
}

void CGpsView::resizeEvent(QResizeEvent* pEvent) {
    StopSmoothScroll();
    QAbstractScrollArea::resizeEvent(pEvent);
    SetScrollSizes();
    if (IsCalibrationMode()) {
        AnchorLabels();
    }
}

void CGpsView::scrollContentsBy(int dx, int dy) {
    // Moves the pixels already on screen and repaints only the strip that comes into view.
    viewport()->scroll(dx, dy);
    if (IsCalibrationMode()) {
        AnchorLabels();
    }
}

void CGpsView::mouseMoveEvent(QMouseEvent* pEvent) {
    if (!m_bDragging) {
        m_bMouseInside = true;
    } else {
        OnDragMove(pEvent->position().toPoint());
    }
    UpdateStatusText();
    QAbstractScrollArea::mouseMoveEvent(pEvent);
}

void CGpsView::mousePressEvent(QMouseEvent* pEvent) {
    const QPoint ptClient = pEvent->position().toPoint();
    if (pEvent->button() == Qt::LeftButton) {
        OnLButtonDown(ptClient);
    } else if (pEvent->button() == Qt::RightButton) {
        OnRButtonDown(ptClient);
        return;
    }
    QAbstractScrollArea::mousePressEvent(pEvent);
}

void CGpsView::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton) {
        OnLButtonUp(pEvent->position().toPoint());
    }
    QAbstractScrollArea::mouseReleaseEvent(pEvent);
}

void CGpsView::mouseDoubleClickEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton) {
        OnLButtonDblClk(pEvent->position().toPoint());
    }
    QAbstractScrollArea::mouseDoubleClickEvent(pEvent);
}

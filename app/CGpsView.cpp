#include "CGpsView.h"

#include "AppStrings.h"
#include "CMainFrame.h"
#include "StringTable.h"

#include "CDisplaySettings.h"
#include "CGeoPosition.h"
#include "CGpsDoc.h"
#include "CLabelSprite.h"
#include "CMapPyramid.h"
#include "CMarkSprite.h"
#include "CPointerSprite.h"
#include "CSpriteEngine.h"
#include "CUserPrompt.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTransform>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr COLORREF kMarkColors[CGpsView::kMarks] = {0x00FFFF, 0x00FF00, 0xFFFF00};
constexpr std::uint32_t kMarkDepths[CGpsView::kMarks] = {10, 20, 30};
constexpr std::uint32_t kLabelDepths[CGpsView::kMarks] = {11, 21, 31};
constexpr std::uint32_t kPointerDepth = 30;
// One notch of a mouse wheel.
constexpr int kWheelNotch = 120;
// Wheel turns beyond this many notches in one direction are not kept for later.
constexpr int kMaxPendingNotches = 20;

// The image a painter writes into, and where viewport point rcClient.topLeft() lies in it, when
// rows of a picture in sourceFormat can be written there directly with the same result as
// drawing them: a raster engine on an unshared 32-bit RGB image, one image pixel per viewport
// pixel, rcClient inside the image. Null otherwise (a scaled screen, a pixmap, a printer).
QImage* DirectTarget(QPainter& painter, const QRect& rcClient, QImage::Format sourceFormat,
                     QPoint& ptDevice) {
    QPaintEngine* pEngine = painter.paintEngine();
    if (sourceFormat != QImage::Format_RGB32 || pEngine == nullptr ||
        pEngine->type() != QPaintEngine::Raster || pEngine->paintDevice() == nullptr ||
        pEngine->paintDevice()->devType() != QInternal::Image) {
        return nullptr;
    }
    // Drawing copies RGB32 pixels unchanged onto both of these formats.
    auto* pImage = static_cast<QImage*>(pEngine->paintDevice());
    if ((pImage->format() != QImage::Format_RGB32 &&
         pImage->format() != QImage::Format_ARGB32_Premultiplied) ||
        !pImage->isDetached() || painter.hasClipping() || painter.opacity() != 1.0 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        return nullptr;
    }
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate ||
        transform.dx() != std::floor(transform.dx()) ||
        transform.dy() != std::floor(transform.dy())) {
        return nullptr;
    }
    ptDevice = rcClient.topLeft() +
               QPoint(static_cast<int>(transform.dx()), static_cast<int>(transform.dy()));
    return pImage->rect().contains(QRect(ptDevice, rcClient.size())) ? pImage : nullptr;
}

// One row of nearest-neighbour samples: pOut[x] = pIn[pColumns[x]]. pNext (may be null) is the
// source row wanted next; its lines are fetched ahead while this row is sampled, as each row of a
// reduced copy starts where the processor's own prefetch has not reached.
void SampleRow(const std::uint32_t* pIn, const std::uint32_t* pNext, const int* pColumns,
               std::uint32_t* pOut, int w) {
    constexpr int kLinePixels = 16; // one 64-byte cache line of the destination row
    int x = 0;
#if defined(__GNUC__)
    if (pNext != nullptr) {
        for (; x + kLinePixels <= w; x += kLinePixels) {
            __builtin_prefetch(pNext + pColumns[x]);
            __builtin_prefetch(pNext + pColumns[x + kLinePixels - 1]);
            for (int i = x; i < x + kLinePixels; ++i) {
                pOut[i] = pIn[pColumns[i]];
            }
        }
    }
#endif
    for (; x < w; ++x) {
        pOut[x] = pIn[pColumns[x]];
    }
}

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
    m_shownFigures.clear();
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
    m_shownFigures.clear();
    m_rgnFigures = QRegion();
    DeleteFigures();
    m_sizeSprite = SpriteSizeFor(m_settings.GetSpriteSize());
    CreateFigures();

    // A new picture starts at 100 %, with no reduced copies yet.
    m_zoom = CMapZoom();
    m_pPyramid.reset();
    m_nWheelDelta = 0;
    m_pSurface = m_doc.GetMapBitmap();
    if (m_pSurface == nullptr || m_pSurface->isNull()) {
        // No picture: the view shows only its background until the next picture arrives.
        m_pSurface = nullptr;
        SetScrollSizes();
        viewport()->update();
        emit zoomChanged();
        return;
    }
    m_pPyramid = std::make_unique<CMapPyramid>(m_pSurface);
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
    emit zoomChanged();
}

void CGpsView::SetScrollSizes() {
    const QSize sizeMap = ContentSize();
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

void CGpsView::ScrollToPosition(QPoint ptContent) {
    // The scroll bars keep each value within their range.
    horizontalScrollBar()->setValue(ptContent.x());
    verticalScrollBar()->setValue(ptContent.y());
}

QSize CGpsView::ContentSize() const {
    return m_zoom.ContentSize(MapSize());
}

QPoint CGpsView::MapFromClient(QPoint ptClient) const {
    return m_zoom.MapFromContent(ptClient + GetScrollPosition());
}

QPoint CGpsView::ClientFromMap(QPoint ptMap) const {
    return m_zoom.ContentFromMap(ptMap) - GetScrollPosition();
}

QRect CGpsView::FigureContentRect(const CSprite& sprite) const {
    const QPoint ptMap = sprite.GetPosition();
    return sprite.GetRect().translated(m_zoom.ContentFromMap(ptMap) - ptMap);
}

// --- Zoom ------------------------------------------------------------------------------------

void CGpsView::SetZoom(CMapZoom zoom) {
    const QSize sizeView = viewport()->size();
    SetZoom(zoom, QPoint(sizeView.width() / 2, sizeView.height() / 2));
}

void CGpsView::SetZoom(CMapZoom zoom, QPoint ptAnchor) {
    if (m_pSurface == nullptr || zoom == m_zoom) {
        return;
    }
    StopSmoothScroll();
    // The map point in the middle of the zoomed pixel under the anchor, in map pixels.
    const QPoint ptContent = ptAnchor + GetScrollPosition();
    const double dMapX = (ptContent.x() + 0.5) / m_zoom.Factor();
    const double dMapY = (ptContent.y() + 0.5) / m_zoom.Factor();
    const QPoint ptMapUnder = m_zoom.MapFromContent(ptContent);
    // Away from 100 % the picture must show without figures: the engine takes them off and the
    // view draws them itself.
    if (m_zoom.IsActual() && m_pEngine != nullptr) {
        m_pEngine->SuspendDrawing();
    }
    m_zoom = zoom;
    const auto scrollFor = [&](double dMap, int nMap, int nAnchor) {
        // The zoomed pixel under that point, or the nearest one that shows the same map pixel.
        auto c = static_cast<int>(std::clamp(std::floor(dMap * m_zoom.Factor()),
                                             -static_cast<double>(CMapZoom::kContentLimit),
                                             static_cast<double>(CMapZoom::kContentLimit)));
        const int nFirst = m_zoom.FirstContent(nMap);
        const int nLast = m_zoom.FirstContent(nMap + 1) - 1;
        if (nFirst <= nLast) {
            c = std::clamp(c, nFirst, nLast);
        }
        return std::max(0, c - nAnchor);
    };
    m_bZooming = true;
    // Scroll bars that come or go resize the window once more.
    for (int i = 0; i < 2; ++i) {
        SetScrollSizes();
        ScrollToPosition(QPoint(scrollFor(dMapX, ptMapUnder.x(), ptAnchor.x()),
                                scrollFor(dMapY, ptMapUnder.y(), ptAnchor.y())));
    }
    m_bZooming = false;
    StopSmoothScroll();
    m_nScrollProgress = 0;
    if (m_zoom.IsActual() && m_pEngine != nullptr) {
        m_pEngine->ResumeDrawing();
    }
    if (IsCalibrationMode()) {
        AnchorLabels();
    }
    if (m_pEngine != nullptr) {
        m_pEngine->Update();
    }
    viewport()->update();
    UpdateStatusText();
    emit zoomChanged();
}

void CGpsView::ZoomIn() {
    SetZoom(m_zoom.NextIn());
}

void CGpsView::ZoomOut() {
    SetZoom(m_zoom.NextOut());
}

void CGpsView::ZoomActualSize() {
    SetZoom(CMapZoom());
}

void CGpsView::ZoomToFit() {
    SetZoom(CMapZoom::Fit(MapSize(), maximumViewportSize()), QPoint(0, 0));
    ScrollToPosition(QPoint(0, 0));
}

void CGpsView::wheelEvent(QWheelEvent* pEvent) {
    if (!pEvent->modifiers().testFlag(Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(pEvent);
        return;
    }
    pEvent->accept();
    const int nDelta = pEvent->angleDelta().y();
    // A turn the other way starts afresh; turns beyond a few notches are not stored up.
    if ((nDelta > 0 && m_nWheelDelta < 0) || (nDelta < 0 && m_nWheelDelta > 0)) {
        m_nWheelDelta = 0;
    }
    constexpr int nLimit = kMaxPendingNotches * kWheelNotch;
    m_nWheelDelta =
        std::clamp(m_nWheelDelta + std::clamp(nDelta, -nLimit, nLimit), -nLimit, nLimit);
    const QPoint ptAnchor = pEvent->position().toPoint();
    for (; m_nWheelDelta >= kWheelNotch; m_nWheelDelta -= kWheelNotch) {
        SetZoom(m_zoom.NextIn(), ptAnchor);
    }
    for (; m_nWheelDelta <= -kWheelNotch; m_nWheelDelta += kWheelNotch) {
        SetZoom(m_zoom.NextOut(), ptAnchor);
    }
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
    const QRect rc = GetVisibleContentRect();
    if (rc.isEmpty()) {
        return rc;
    }
    const QPoint ptTopLeft = m_zoom.MapFromContent(rc.topLeft());
    const QPoint ptBottomRight = m_zoom.MapFromContent(rc.bottomRight());
    return {ptTopLeft, QPoint(std::min(ptBottomRight.x(), MapSize().width() - 1),
                              std::min(ptBottomRight.y(), MapSize().height() - 1))};
}

QRect CGpsView::GetVisibleContentRect() const {
    const QPoint ptScroll = GetScrollPosition();
    const QSize sizeMap = ContentSize();
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
    ptMap = MapFromClient(ptClient);
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
    const QSize sizeContent = ContentSize();
    const QPoint ptContent = m_zoom.ContentFromMap(pt);
    const int x = sizeContent.width() < sizeView.width() ? 0 : ptContent.x() - sizeView.width() / 2;
    const int y =
        sizeContent.height() < sizeView.height() ? 0 : ptContent.y() - sizeView.height() / 2;
    ScrollTo(x, y);
    return true;
}

void CGpsView::OnFindCurrentPosition() {
    if (!FindCurrentPosition()) {
        m_prompt.MessageBoxId(IDS_POSITION_NOT_FOUND, MsgIcon::Exclamation);
    }
}

void CGpsView::InvalidateMapRect(const QRect& rcMap) {
    if (m_zoom.IsActual()) {
        viewport()->update(rcMap.translated(-GetScrollPosition()));
        return;
    }
    const QPoint ptTopLeft(m_zoom.FirstContent(rcMap.left()), m_zoom.FirstContent(rcMap.top()));
    const QPoint ptEnd(m_zoom.FirstContent(rcMap.right() + 1),
                       m_zoom.FirstContent(rcMap.bottom() + 1));
    viewport()->update(QRect(ptTopLeft, ptEnd - QPoint(1, 1)).translated(-GetScrollPosition()));
}

void CGpsView::FiguresUpdated() {
    if (m_zoom.IsActual() || m_pEngine == nullptr) {
        m_shownFigures.clear();
        m_rgnFigures = QRegion();
        return;
    }
    // Back to front, in the order the engine draws them.
    m_shownFigures.clear();
    for (int i = 0; i < m_pEngine->GetCount(); ++i) {
        m_shownFigures.push_back(m_pEngine->GetSprite(i));
    }
    std::stable_sort(
        m_shownFigures.begin(), m_shownFigures.end(),
        [](const CSprite* a, const CSprite* b) { return a->GetDepth() > b->GetDepth(); });
    QRegion rgnNow;
    for (const CSprite* pSprite : m_shownFigures) {
        rgnNow += FigureContentRect(*pSprite);
    }
    viewport()->update((m_rgnFigures + rgnNow).translated(-GetScrollPosition()));
    m_rgnFigures = rgnNow;
}

void CGpsView::paintEvent(QPaintEvent* pEvent) {
    QPainter painter(viewport());
    if (!m_zoom.IsActual()) {
        PaintZoomed(painter, pEvent->region());
        ++m_nPaintCount;
        return;
    }
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

void CGpsView::PaintZoomed(QPainter& painter, const QRegion& region) {
    const QColor crOutside = palette().color(QPalette::Dark);
    const QPoint ptScroll = GetScrollPosition();
    const QRect rcPicture = m_pSurface != nullptr ? QRect(-ptScroll, ContentSize()) : QRect();
    for (const QRect& rc : region) {
        const QRect rcInside = rc.intersected(rcPicture);
        if (!rcInside.isEmpty()) {
            PaintPicturePart(painter, rcInside);
        }
        const QRegion outside = QRegion(rc).subtracted(QRegion(rcInside));
        for (const QRect& rcOut : outside) {
            painter.fillRect(rcOut, crOutside);
        }
    }
    // The figures at their own size over the picture, back to front, each clipped to its box as
    // the engine clips them.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    for (CSprite* pSprite : m_shownFigures) {
        const QRect rcClient = FigureContentRect(*pSprite).translated(-ptScroll);
        if (!region.intersects(rcClient)) {
            continue;
        }
        painter.save();
        painter.setClipRegion(region);
        painter.translate(rcClient.topLeft() - pSprite->GetRect().topLeft());
        painter.setClipRect(pSprite->GetRect(), Qt::IntersectClip);
        pSprite->Draw(painter);
        painter.restore();
    }
}

void CGpsView::PaintPicturePart(QPainter& painter, const QRect& rcClient) {
    // Nearest neighbour from the finest reduced copy that is not coarser than the zoom, so that
    // every pixel on screen is the one whose map point the status bar reports.
    const int nWantedLevel = CMapPyramid::LevelFor(m_zoom.Factor());
    const QImage& source = m_pPyramid->Level(nWantedLevel);
    const int nLevel = std::min(nWantedLevel, m_pPyramid->BuiltLevels());
    const QRect rcContent = rcClient.translated(GetScrollPosition());
    const int w = rcContent.width();
    const int h = rcContent.height();
    if (m_zoom.Factor() == std::ldexp(1.0, -nLevel)) {
        // An exact level: its pixels are the content pixels.
        painter.drawImage(rcClient.topLeft(), source, rcContent);
        return;
    }
    if (source.depth() != 32) {
        // The map picture is always 32-bit; anything else is not sampled.
        painter.fillRect(rcClient, palette().color(QPalette::Dark));
        return;
    }
    // The rows go straight into the window's image when the painter writes there pixel for
    // pixel, else into the scratch picture, which is then drawn.
    QPoint ptDevice;
    QImage* pTarget = DirectTarget(painter, rcClient, source.format(), ptDevice);
    if (pTarget == nullptr) {
        if (m_imgScratch.width() < w || m_imgScratch.height() < h ||
            m_imgScratch.format() != source.format()) {
            m_imgScratch = QImage(std::max(w, m_imgScratch.width()),
                                  std::max(h, m_imgScratch.height()), source.format());
            if (m_imgScratch.isNull()) {
                painter.fillRect(rcClient, palette().color(QPalette::Dark));
                return;
            }
        }
        pTarget = &m_imgScratch;
        ptDevice = QPoint(0, 0);
    }
    m_columns.resize(static_cast<std::size_t>(w));
    for (int x = 0; x < w; ++x) {
        m_columns[static_cast<std::size_t>(x)] = std::clamp(
            m_zoom.MapFromContent(rcContent.left() + x) >> nLevel, 0, source.width() - 1);
    }
    const qsizetype nStride = pTarget->bytesPerLine();
    uchar* pFirst = pTarget->bits() + ptDevice.y() * nStride + ptDevice.x() * qsizetype{4};
    const std::size_t nRowBytes = static_cast<std::size_t>(w) * sizeof(std::uint32_t);
    const auto sourceRow = [&](int y) {
        return std::clamp(m_zoom.MapFromContent(rcContent.top() + y) >> nLevel, 0,
                          source.height() - 1);
    };
    int nLastRow = -1;
    int nRow = sourceRow(0);
    for (int y = 0; y < h; ++y) {
        const int nNextRow = y + 1 < h ? sourceRow(y + 1) : nRow;
        uchar* pOut = pFirst + y * nStride;
        if (nRow == nLastRow) {
            // Enlarged views repeat a row as many times as the zoom factor.
            std::memcpy(pOut, pOut - nStride, nRowBytes);
        } else {
            SampleRow(reinterpret_cast<const std::uint32_t*>(source.constScanLine(nRow)),
                      nNextRow != nRow
                          ? reinterpret_cast<const std::uint32_t*>(source.constScanLine(nNextRow))
                          : nullptr,
                      m_columns.data(), reinterpret_cast<std::uint32_t*>(pOut), w);
            nLastRow = nRow;
        }
        nRow = nNextRow;
    }
    if (pTarget == &m_imgScratch) {
        painter.drawImage(rcClient.topLeft(), m_imgScratch, QRect(0, 0, w, h));
    }
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
    if (m_bZooming) {
        // The whole window is painted anew at the new level.
        return;
    }
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

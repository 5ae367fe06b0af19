#include "app/CGpsView.h"

#include "app/AppStrings.h"
#include "app/CControlPointTool.h"
#include "app/CMarkTool.h"
#include "app/CWaypointTool.h"
#include "resources/StringTable.h"

#include "display/CMapPyramid.h"
#include "display/CSpriteEngine.h"
#include "document/CDisplaySettings.h"
#include "document/CGpsDoc.h"
#include "framework/CUserPrompt.h"

#include <QApplication>
#include <QCursor>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <new>

namespace mapreg {

CGpsView::CGpsView(CGpsDoc& doc, CDisplaySettings& settings, CUserPrompt& prompt, QWidget* pParent)
    : QAbstractScrollArea(pParent), m_doc(doc), m_settings(settings), m_prompt(prompt),
      m_tools(*this) {
    setObjectName(QStringLiteral("mapView"));
    viewport()->setObjectName(QStringLiteral("mapViewport"));
    viewport()->setMouseTracking(true);
    // The view paints every pixel itself: the picture from the surface, the rest in the
    // button-shadow colour. No background erase, so repaints do not flicker.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    setFrameShape(QFrame::StyledPanel);

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
    DropFigures();
    m_figures.Delete();
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

void CGpsView::OnInitialUpdate() {
    OnUpdate(nullptr, static_cast<int>(UpdateHint::HINT_REFRESH));
    m_bInitialUpdateDone = true;
    SetScrollSizes();
}

void CGpsView::DropFigures() {
    // The engine detaches the sprites it still lists; its saved backgrounds are not drawn back.
    m_pEngine.reset();
    m_painter.ClearFigures();
    m_tools.Points().DropFigures();
}

void CGpsView::CreateFigures() {
    try {
        m_figures.Create(m_settings.GetSpriteSize(), m_settings.GetLocationSpriteColor());
    } catch (const std::bad_alloc&) {
        FatalFailure(IDS_NOT_ENOUGH_MEMORY);
    }
}

void CGpsView::FatalFailure(unsigned nMessageId) {
    m_prompt.MessageBoxId(nMessageId, MsgIcon::Stop);
    std::_Exit(EXIT_FAILURE);
}

QSize CGpsView::MapSize() const {
    return {m_doc.GetMapWidth(), m_doc.GetMapHeight()};
}

void CGpsView::UpdateEngine() {
    if (m_pEngine != nullptr) {
        m_pEngine->Update();
    }
}

void CGpsView::OnUpdate(CDocument* /*pSender*/, int nHint) {
    const auto hint = static_cast<UpdateHint>(nHint);
    switch (hint) {
    case UpdateHint::HINT_NEW_BITMAP:
        RebuildComposition();
        break;
    case UpdateHint::HINT_CALIBRATION_STARTED:
        m_tools.Marks().Activate();
        break;
    case UpdateHint::HINT_CALIBRATION_CANCELLED:
        m_tools.Marks().Deactivate();
        break;
    case UpdateHint::HINT_SET_MARK_COORDINATES:
        m_tools.Marks().RunCalibrationDialog();
        break;
    case UpdateHint::HINT_CALIBRATION_MODE:
        // The frame's menu; the marks come and go with the hints that follow.
        break;
    case UpdateHint::HINT_CONTROL_POINTS:
        // Only the point figures change; the engine repaints where they were and are.
        break;
    default:
        viewport()->update();
        break;
    }
    // Points may have come, gone or moved; a new calibration may make another one the worst.
    if (hint != UpdateHint::HINT_SET_MARK_COORDINATES) {
        m_tools.Points().SyncFigures();
        m_tools.Waypoints().SyncFigures();
        if (m_nSelectedPoint >= static_cast<int>(m_doc.GetControlPoints().size())) {
            SelectControlPoint(static_cast<int>(m_doc.GetControlPoints().size()) - 1);
        }
    }
    // A new picture or calibration changes what lies under the cursor without a mouse move.
    UpdateStatusText();
}

void CGpsView::SelectControlPoint(int nPoint) {
    nPoint = std::max(nPoint, -1);
    if (nPoint != m_nSelectedPoint) {
        m_nSelectedPoint = nPoint;
        emit selectedPointChanged(nPoint);
    }
}

bool CGpsView::DeleteSelectedControlPoint() {
    return m_tools.Points().DeleteSelected();
}

void CGpsView::RebuildComposition() {
    // The old engine goes without a last update: its sprites' saved backgrounds belong to the
    // previous picture and must not be written into the new one.
    DropFigures();
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
    m_smoothScroll.Stop(QPoint(0, 0));
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

QPoint CGpsView::MapFromClient(QPoint ptClient) const {
    return m_zoom.MapFromContent(ptClient + GetScrollPosition());
}

QPoint CGpsView::ClientFromMap(QPoint ptMap) const {
    return m_zoom.ContentFromMap(ptMap) - GetScrollPosition();
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
    const QPoint ptScroll = zoom.ScrollKeepingAnchor(m_zoom, GetScrollPosition(), ptAnchor);
    // Away from 100 % the picture must show without figures: the engine takes them off and the
    // view draws them itself.
    if (m_zoom.IsActual() && m_pEngine != nullptr) {
        m_pEngine->SuspendDrawing();
    }
    m_zoom = zoom;
    m_bZooming = true;
    // Scroll bars that come or go resize the window once more.
    for (int i = 0; i < 2; ++i) {
        SetScrollSizes();
        ScrollToPosition(ptScroll);
    }
    m_bZooming = false;
    StopSmoothScroll();
    if (m_zoom.IsActual() && m_pEngine != nullptr) {
        m_pEngine->ResumeDrawing();
    }
    m_tools.ViewMoved();
    UpdateEngine();
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
    const int nNotches = CMapZoom::TakeWheelNotches(m_nWheelDelta, pEvent->angleDelta().y());
    const QPoint ptAnchor = pEvent->position().toPoint();
    for (int i = 0; i < nNotches; ++i) {
        SetZoom(m_zoom.NextIn(), ptAnchor);
    }
    for (int i = 0; i > nNotches; --i) {
        SetZoom(m_zoom.NextOut(), ptAnchor);
    }
}

void CGpsView::ScrollTo(int x, int y) {
    if (m_bSmoothScroll) {
        m_smoothScroll.Start(GetScrollPosition(), QPoint(x, y));
    } else {
        ScrollToPosition(QPoint(x, y));
    }
    if (m_bInitialUpdateDone) {
        UpdateStatusText();
    }
}

void CGpsView::SmoothScrollStep() {
    if (const std::optional<QPoint> pt = m_smoothScroll.Step()) {
        ScrollToPosition(*pt);
        m_tools.ViewMoved();
    }
    if (m_smoothScroll.IsLastStep()) {
        StopSmoothScroll();
    }
}

void CGpsView::StopSmoothScroll() {
    if (m_bScrollSizesSet) {
        m_smoothScroll.Stop(GetScrollPosition());
    }
}

QRect CGpsView::GetVisibleMapRect() const {
    return m_zoom.VisibleMapRect(MapSize(), viewport()->size(), GetScrollPosition());
}

QRect CGpsView::GetVisibleContentRect() const {
    return m_zoom.VisibleContentRect(MapSize(), viewport()->size(), GetScrollPosition());
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

void CGpsView::ShowStatusText(const QString& text) {
    emit statusTextChanged(text);
}

void CGpsView::UpdateStatusText() {
    if (!m_bInitialUpdateDone) {
        return;
    }
    QPoint ptMap;
    if (GetCursorMapPoint(ptMap)) {
        if (m_doc.IsCalibrationMode()) {
            ShowStatusText(AppString(IDS_CALIBRATION_PROMPT));
        } else if (!m_doc.IsCalibrated()) {
            ShowStatusText(AppString(IDS_UNCALIBRATED_PROMPT));
        } else {
            const SMapPosition position = m_doc.PictureToPosition(
                CDoublePoint{static_cast<double>(ptMap.x()), static_cast<double>(ptMap.y())});
            std::string text;
            m_settings.ConvertPosition(position).Format(text);
            ShowStatusText(AppFormatString1(IDS_CURSOR_POSITION, QString::fromStdString(text)) +
                           QStringLiteral("  "));
        }
    } else if (IsCursorOverView()) {
        ShowStatusText(AppString(AFX_IDS_IDLEMESSAGE));
    }
}

void CGpsView::OnTimer1() {
    m_tools.TimerTick();
    SmoothScrollStep();
}

void CGpsView::OnTimer2() {
    if (m_bMouseInside && WidgetUnderCursor() != viewport()) {
        m_bMouseInside = false;
        if (m_bInitialUpdateDone) {
            ShowStatusText(AppString(AFX_IDS_IDLEMESSAGE));
        }
    }
}

void CGpsView::ScrollToCentre(QPoint ptMap) {
    const QSize sizeView = viewport()->size();
    const QSize sizeContent = ContentSize();
    const QPoint ptContent = m_zoom.ContentFromMap(ptMap);
    ScrollTo(sizeContent.width() < sizeView.width() ? 0 : ptContent.x() - sizeView.width() / 2,
             sizeContent.height() < sizeView.height() ? 0 : ptContent.y() - sizeView.height() / 2);
}

void CGpsView::OnFindCurrentPosition() {
    if (!m_tools.Waypoints().FindCurrentPosition()) {
        m_prompt.MessageBoxId(IDS_POSITION_NOT_FOUND, MsgIcon::Exclamation);
    }
}

void CGpsView::InvalidateMapRect(const QRect& rcMap) {
    viewport()->update(m_zoom.ContentRectOfMap(rcMap).translated(-GetScrollPosition()));
}

void CGpsView::FiguresUpdated() {
    const QRegion rgnChanged = m_painter.TakeFigures(m_pEngine.get(), m_zoom);
    if (!rgnChanged.isEmpty()) {
        viewport()->update(rgnChanged.translated(-GetScrollPosition()));
    }
}

void CGpsView::paintEvent(QPaintEvent* pEvent) {
    QPainter painter(viewport());
    const CZoomedPainter::Scene scene{m_pSurface,    m_pPyramid.get(),
                                      m_zoom,        GetScrollPosition(),
                                      ContentSize(), palette().color(QPalette::Dark)};
    m_painter.Paint(painter, pEvent->region(), scene);
    if (++m_nPaintCount == 1) {
        emit firstPainted();
    }
}

void CGpsView::resizeEvent(QResizeEvent* pEvent) {
    StopSmoothScroll();
    QAbstractScrollArea::resizeEvent(pEvent);
    SetScrollSizes();
    m_tools.ViewMoved();
}

void CGpsView::moveEvent(QMoveEvent* pEvent) {
    QAbstractScrollArea::moveEvent(pEvent);
    // The window laid out anew (a menu bar of another height): another pixel lies under a still
    // cursor.
    UpdateStatusText();
}

void CGpsView::scrollContentsBy(int dx, int dy) {
    if (m_bZooming) {
        // The whole window is painted anew at the new level.
        return;
    }
    // Moves the pixels already on screen and repaints only the strip that comes into view.
    viewport()->scroll(dx, dy);
    m_tools.ViewMoved();
    // Another pixel now lies under the cursor.
    UpdateStatusText();
}

void CGpsView::mouseMoveEvent(QMouseEvent* pEvent) {
    if (!m_tools.DragMoved(pEvent->position().toPoint())) {
        m_bMouseInside = true;
    }
    UpdateStatusText();
    QAbstractScrollArea::mouseMoveEvent(pEvent);
}

void CGpsView::mousePressEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton) {
        m_tools.LeftPressed(pEvent->position().toPoint());
    } else if (pEvent->button() == Qt::RightButton) {
        m_tools.RightPressed(pEvent->position().toPoint());
        return;
    }
    QAbstractScrollArea::mousePressEvent(pEvent);
}

void CGpsView::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton) {
        m_tools.LeftReleased(pEvent->position().toPoint());
    }
    QAbstractScrollArea::mouseReleaseEvent(pEvent);
}

void CGpsView::mouseDoubleClickEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton) {
        m_tools.LeftDoubleClicked(pEvent->position().toPoint());
    }
    QAbstractScrollArea::mouseDoubleClickEvent(pEvent);
}

} // namespace mapreg

#include "app/CControlPointTool.h"

#include "app/CGpsView.h"

#include "display/CControlPointSprite.h"
#include "display/CSpriteEngine.h"
#include "document/CGpsDoc.h"
#include "resources/StringTable.h"

#include <algorithm>
#include <cmath>

namespace mapreg {

namespace {

// Figures of control points lie over the waypoint pointers and under the marks' labels.
constexpr std::uint32_t kPointDepth = 25;

std::string StepName(unsigned nId, int nIndex) {
    return FormatString1(nId, std::to_string(nIndex + 1));
}

} // namespace

CControlPointTool::CControlPointTool(CGpsView& view) : CMapTool(view) {}

CControlPointTool::~CControlPointTool() = default;

int CControlPointTool::PointAt(QPoint ptClient) const {
    // The figure drawn last (the highest number) is on top.
    const int nRadius = std::max(4, View().SpriteSize().width() / 4);
    const QPoint ptContent = ptClient + View().GetScrollPosition();
    for (int i = static_cast<int>(m_figures.size()) - 1; i >= 0; --i) {
        const CControlPointSprite& figure = *m_figures[static_cast<std::size_t>(i)];
        if (figure.GetEngine() == nullptr) {
            continue;
        }
        const QPoint d = ptContent - View().FigureContentRect(figure).center();
        if (d.x() * d.x() + d.y() * d.y() <= nRadius * nRadius) {
            return i;
        }
    }
    return -1;
}

void CControlPointTool::LeftPressed(QPoint ptClient) {
    const int nPoint = PointAt(ptClient);
    if (nPoint < 0) {
        AddPoint(View().MapFromClient(ptClient));
        return;
    }
    View().SelectControlPoint(nPoint);
    m_nDragged = nPoint;
    m_ptDragStart = m_figures[static_cast<std::size_t>(nPoint)]->GetPosition();
}

void CControlPointTool::DragMoved(QPoint ptClient) {
    if (m_nDragged < 0 || m_nDragged >= static_cast<int>(m_figures.size())) {
        m_nDragged = -1;
        return;
    }
    const QSize sizeMap = View().MapSize();
    const QPoint ptMap = View().MapFromClient(ptClient);
    const QPoint ptHeld(std::clamp(ptMap.x(), 0, std::max(0, sizeMap.width() - 1)),
                        std::clamp(ptMap.y(), 0, std::max(0, sizeMap.height() - 1)));
    m_figures[static_cast<std::size_t>(m_nDragged)]->SetPosition(ptHeld);
    View().UpdateEngine();
}

void CControlPointTool::LeftReleased(QPoint ptClient) {
    if (m_nDragged < 0) {
        return;
    }
    DragMoved(ptClient);
    const int nPoint = m_nDragged;
    m_nDragged = -1;
    if (nPoint < 0 || nPoint >= static_cast<int>(m_figures.size())) {
        return;
    }
    const QPoint ptEnd = m_figures[static_cast<std::size_t>(nPoint)]->GetPosition();
    CGpsDoc& doc = View().Doc();
    std::vector<ControlPoint> points = doc.GetControlPoints();
    if (ptEnd == m_ptDragStart || nPoint >= static_cast<int>(points.size())) {
        return;
    }
    points[static_cast<std::size_t>(nPoint)].picture = {static_cast<double>(ptEnd.x()),
                                                        static_cast<double>(ptEnd.y())};
    doc.ChangeControlPoints(std::move(points), StepName(IDS_UNDO_MOVE_POINT, nPoint));
}

void CControlPointTool::AddPoint(QPoint ptMap) {
    const QSize sizeMap = View().MapSize();
    if (ptMap.x() < 0 || ptMap.x() >= sizeMap.width() || ptMap.y() < 0 ||
        ptMap.y() >= sizeMap.height()) {
        return;
    }
    CGpsDoc& doc = View().Doc();
    const CDoublePoint picture{static_cast<double>(ptMap.x()), static_cast<double>(ptMap.y())};
    CDoublePoint world{};
    if (doc.IsCalibrated()) {
        world = doc.PictureToWorld(picture);
        if (!std::isfinite(world.x) || !std::isfinite(world.y)) {
            world = {};
        }
    }
    std::vector<ControlPoint> points = doc.GetControlPoints();
    points.push_back(ControlPoint{picture, world, true});
    const int nAdded = static_cast<int>(points.size()) - 1;
    doc.ChangeControlPoints(std::move(points), StepName(IDS_UNDO_ADD_POINT, nAdded));
    View().SelectControlPoint(nAdded);
}

bool CControlPointTool::DeleteSelected() {
    CGpsDoc& doc = View().Doc();
    const int nPoint = View().SelectedControlPoint();
    std::vector<ControlPoint> points = doc.GetControlPoints();
    if (nPoint < 0 || nPoint >= static_cast<int>(points.size())) {
        return false;
    }
    points.erase(points.begin() + nPoint);
    doc.ChangeControlPoints(std::move(points), StepName(IDS_UNDO_DELETE_POINT, nPoint));
    View().SelectControlPoint(std::min(nPoint, static_cast<int>(points.size()) - 1));
    return true;
}

void CControlPointTool::SyncFigures() {
    CSpriteEngine* pEngine = View().Engine();
    if (pEngine == nullptr) {
        return;
    }
    const CGpsDoc& doc = View().Doc();
    const std::vector<ControlPoint>& points = doc.GetControlPoints();
    const CPointFit& fit = doc.GetPointFit();
    const std::size_t n = points.size();
    while (m_figures.size() < n) {
        m_figures.push_back(
            std::make_unique<CControlPointSprite>(kPointDepth, View().SpriteSize(), kPointColor));
    }
    for (std::size_t i = 0; i < m_figures.size(); ++i) {
        CControlPointSprite& figure = *m_figures[i];
        if (i >= n) {
            if (figure.GetEngine() == pEngine) {
                pEngine->RemoveSprite(&figure);
            }
            continue;
        }
        const CDoublePoint p = points[i].picture;
        const QPoint ptMap(static_cast<int>(std::clamp(std::floor(p.x), -1e9, 1e9)),
                           static_cast<int>(std::clamp(std::floor(p.y), -1e9, 1e9)));
        if (figure.GetPosition() != ptMap) {
            figure.SetPosition(ptMap);
        }
        figure.SetNumber(static_cast<int>(i) + 1);
        const unsigned color = fit.GetWorst() == static_cast<int>(i) ? kWorstColor : kPointColor;
        if (figure.GetColor() != color) {
            figure.SetColor(color);
        }
        if (figure.GetEngine() == nullptr) {
            pEngine->AddSprite(&figure);
        }
    }
    View().UpdateEngine();
}

void CControlPointTool::DropFigures() {
    m_nDragged = -1;
    m_figures.clear();
}

const CControlPointSprite* CControlPointTool::Figure(int i) const {
    return i >= 0 && i < static_cast<int>(m_figures.size())
               ? m_figures[static_cast<std::size_t>(i)].get()
               : nullptr;
}

} // namespace mapreg

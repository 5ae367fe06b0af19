#include "app/CMapTools.h"

#include "app/CControlPointTool.h"
#include "app/CGpsView.h"
#include "app/CMarkTool.h"
#include "app/CWaypointTool.h"

#include "document/CGpsDoc.h"

namespace mapreg {

CMapTools::CMapTools(CGpsView& view)
    : m_view(view), m_pMarks(std::make_unique<CMarkTool>(view)),
      m_pWaypoints(std::make_unique<CWaypointTool>(view)),
      m_pPoints(std::make_unique<CControlPointTool>(view)) {}

CMapTools::~CMapTools() = default;

CMapTool* CMapTools::Active() const {
    if (m_view.Doc().IsCalibrationMode()) {
        return m_pMarks.get();
    }
    if (m_bControlPointMode) {
        return m_pPoints.get();
    }
    return m_view.Doc().IsWaypointMode() ? m_pWaypoints.get() : nullptr;
}

void CMapTools::LeftPressed(QPoint ptClient) {
    if (CMapTool* pTool = Active()) {
        pTool->LeftPressed(ptClient);
        // The drag goes on with this tool wherever the mode goes meanwhile.
        m_pDragTool = pTool->IsDragging() ? pTool : nullptr;
    }
}

void CMapTools::RightPressed(QPoint ptClient) {
    if (CMapTool* pTool = Active()) {
        pTool->RightPressed(ptClient);
    }
}

bool CMapTools::DragMoved(QPoint ptClient) {
    if (m_pDragTool == nullptr || !m_pDragTool->IsDragging()) {
        return false;
    }
    m_pDragTool->DragMoved(ptClient);
    return true;
}

void CMapTools::LeftReleased(QPoint ptClient) {
    if (m_pDragTool != nullptr) {
        m_pDragTool->LeftReleased(ptClient);
        m_pDragTool = nullptr;
    }
}

void CMapTools::LeftDoubleClicked(QPoint ptClient) {
    if (CMapTool* pTool = Active()) {
        pTool->LeftDoubleClicked(ptClient);
    }
}

void CMapTools::TimerTick() {
    if (CMapTool* pTool = Active()) {
        pTool->TimerTick();
    }
}

void CMapTools::ViewMoved() {
    if (CMapTool* pTool = Active()) {
        pTool->ViewMoved();
    }
}

} // namespace mapreg

#include "CWaypointTool.h"

#include "CGpsDoc.h"
#include "CGpsView.h"
#include "CMapFigures.h"
#include "CPointerSprite.h"
#include "CSpriteEngine.h"

void CWaypointTool::LeftPressed(QPoint ptClient) {
    AddWaypoint(View().MapFromClient(ptClient));
}

void CWaypointTool::RightPressed(QPoint /*ptClient*/) {
    RemoveLastWaypoint();
    View().UpdateEngine();
}

void CWaypointTool::AddWaypoint(QPoint ptMap) {
    CGpsDoc& doc = View().Doc();
    CSpriteEngine* pEngine = View().Engine();
    if (!doc.IsCalibrated() || !doc.IsWaypointMode() || pEngine == nullptr) {
        return;
    }
    // Beside the picture (the window can be larger than the map) there is nothing to mark.
    const QSize sizeMap = View().MapSize();
    if (ptMap.x() < 0 || ptMap.x() >= sizeMap.width() || ptMap.y() < 0 ||
        ptMap.y() >= sizeMap.height()) {
        return;
    }
    const int n = doc.GetPlacedWaypoints();
    doc.SetLastWaypoint(n);
    CPointerSprite* pPointer = View().Figures().Pointer(n);
    if (pPointer == nullptr) {
        return;
    }
    pPointer->SetPosition(ptMap);
    if (pEngine->AddSprite(pPointer)) {
        const SMapPosition position = doc.PictureToPosition(
            CDoublePoint{static_cast<double>(ptMap.x()), static_cast<double>(ptMap.y())});
        double dLatitude = 0.0;
        double dLongitude = 0.0;
        position.GetLatLon(dLatitude, dLongitude);
        doc.AddWaypoint(n, CDoublePoint{dLatitude, dLongitude});
    }
    View().UpdateEngine();
}

void CWaypointTool::RemoveLastWaypoint() {
    const int n = View().Doc().GetPlacedWaypoints();
    CPointerSprite* pPointer = View().Figures().Pointer(n > 0 ? n - 1 : 0);
    if (pPointer != nullptr && pPointer->GetEngine() != nullptr &&
        pPointer->GetEngine()->RemoveSprite(pPointer)) {
        View().Doc().RemoveLastWaypoint(n - 1);
    }
}

bool CWaypointTool::FindCurrentPosition() {
    const CPointerSprite* pPointer = View().Figures().Pointer(0);
    if (pPointer == nullptr || pPointer->GetEngine() == nullptr) {
        return false;
    }
    const QPoint pt = pPointer->GetPosition();
    const QSize sizeMap = View().MapSize();
    if (pt.x() < 0 || pt.x() > sizeMap.width() || pt.y() < 0 || pt.y() > sizeMap.height()) {
        return false;
    }
    View().ScrollToCentre(pt);
    return true;
}

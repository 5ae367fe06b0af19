#include "app/CWaypointTool.h"

#include "app/CGpsView.h"
#include "app/CMapFigures.h"
#include "display/CPointerSprite.h"
#include "display/CSpriteEngine.h"
#include "document/CGpsDoc.h"

namespace mapreg {

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
        doc.PlaceWaypoint(
            n, CDoublePoint{static_cast<double>(ptMap.x()), static_cast<double>(ptMap.y())},
            CDoublePoint{dLatitude, dLongitude});
    }
    View().UpdateEngine();
}

void CWaypointTool::RemoveLastWaypoint() {
    const int n = View().Doc().GetPlacedWaypoints();
    CPointerSprite* pPointer = View().Figures().Pointer(n > 0 ? n - 1 : 0);
    if (pPointer != nullptr && pPointer->GetEngine() != nullptr &&
        pPointer->GetEngine()->RemoveSprite(pPointer)) {
        View().Doc().TakeWaypoint(n - 1);
    }
}

void CWaypointTool::SyncFigures() {
    const CGpsDoc& doc = View().Doc();
    CSpriteEngine* pEngine = View().Engine();
    if (pEngine == nullptr) {
        return;
    }
    bool bChanged = false;
    for (int i = 0; i < CGpsDoc::kMaxWaypoints; ++i) {
        CPointerSprite* pPointer = View().Figures().Pointer(i);
        if (pPointer == nullptr) {
            break;
        }
        const bool bShown = pPointer->GetEngine() != nullptr;
        if (i >= doc.GetPlacedWaypoints()) {
            bChanged |= bShown && pEngine->RemoveSprite(pPointer);
            continue;
        }
        const CDoublePoint pixel = doc.GetWaypointPixels()[static_cast<std::size_t>(i)];
        const QPoint pt(static_cast<int>(pixel.x), static_cast<int>(pixel.y));
        if (!bShown || pPointer->GetPosition() != pt) {
            pPointer->SetPosition(pt);
            bChanged |= bShown || pEngine->AddSprite(pPointer);
        }
    }
    if (bChanged) {
        View().UpdateEngine();
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

} // namespace mapreg

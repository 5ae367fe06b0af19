#pragma once
// Waypoint mode: a left click on a calibrated map places the next waypoint pointer and records
// the clicked point's latitude and longitude in the document; a right click takes the most
// recent pointer away, each an undo step of the document. The waypoint numbers are the
// document's count of placed waypoints.

#include "app/CMapTool.h"

namespace mapreg {

class CWaypointTool : public CMapTool {
public:
    using CMapTool::CMapTool;

    void LeftPressed(QPoint ptClient) override;
    void RightPressed(QPoint ptClient) override;

    // A pointer at the map pixel and its latitude and longitude in the document. A point beside
    // the picture, an uncalibrated map or a full table places nothing.
    void AddWaypoint(QPoint ptMap);
    // Takes the most recent pointer off the map; the table keeps its entries.
    void RemoveLastWaypoint();
    // Shows a pointer for each waypoint the document has placed, where the document says, and
    // none for the others: after an undo or redo.
    void SyncFigures();
    // Scrolls the first pointer into the middle of the window; false when it is not on the map.
    bool FindCurrentPosition();
};

} // namespace mapreg

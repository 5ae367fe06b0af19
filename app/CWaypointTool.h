#pragma once
// Waypoint mode: a left click on a calibrated map places the next waypoint pointer and records
// the clicked point's latitude and longitude in the document; a right click takes the most
// recent pointer away. The waypoint numbers are the document's count of placed waypoints.

#include "CMapTool.h"

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
    // Scrolls the first pointer into the middle of the window; false when it is not on the map.
    bool FindCurrentPosition();
};

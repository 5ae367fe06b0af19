#pragma once
// The map view's three mouse tools and which of them has the mouse: the marks in calibration
// mode, else the control points in control point mode, else the waypoints in waypoint mode. A
// drag stays with the tool it began with wherever the mode goes meanwhile. Points are viewport
// coordinates.

#include <QPoint>

#include <memory>

namespace mapreg {

class CControlPointTool;
class CGpsView;
class CMapTool;
class CMarkTool;
class CWaypointTool;

class CMapTools {
public:
    explicit CMapTools(CGpsView& view);
    ~CMapTools();
    CMapTools(const CMapTools&) = delete;
    CMapTools& operator=(const CMapTools&) = delete;

    CMarkTool& Marks() const { return *m_pMarks; }
    CWaypointTool& Waypoints() const { return *m_pWaypoints; }
    CControlPointTool& Points() const { return *m_pPoints; }

    // Control point mode: outside calibration mode the mouse places and moves control points
    // instead of waypoints.
    void SetControlPointMode(bool bOn) { m_bControlPointMode = bOn; }
    bool IsControlPointMode() const { return m_bControlPointMode; }
    // The tool of the document's mode; null in none.
    CMapTool* Active() const;

    void LeftPressed(QPoint ptClient);
    void RightPressed(QPoint ptClient);
    // Hands a mouse move to the tool whose drag is under way; false when there is none.
    bool DragMoved(QPoint ptClient);
    // Ends the drag under way, if any.
    void LeftReleased(QPoint ptClient);
    void LeftDoubleClicked(QPoint ptClient);
    // The active tool's TimerTick and ViewMoved.
    void TimerTick();
    void ViewMoved();

private:
    CGpsView& m_view;
    std::unique_ptr<CMarkTool> m_pMarks;
    std::unique_ptr<CWaypointTool> m_pWaypoints;
    std::unique_ptr<CControlPointTool> m_pPoints;
    bool m_bControlPointMode = false;
    CMapTool* m_pDragTool = nullptr; // the tool whose drag is under way
};

} // namespace mapreg

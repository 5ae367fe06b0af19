#pragma once
// One mouse mode of the map view. The view hands the mouse and timer events to CMapTools, which
// passes them to the tool of the document's mode; each tool keeps its own drag state and works
// on the view through its public interface. Points are viewport coordinates.

#include <QPoint>

namespace mapreg {

class CGpsView;

class CMapTool {
public:
    explicit CMapTool(CGpsView& view) : m_view(view) {}
    virtual ~CMapTool() = default;
    CMapTool(const CMapTool&) = delete;
    CMapTool& operator=(const CMapTool&) = delete;

    // The mode begins or ends.
    virtual void Activate() {}
    virtual void Deactivate() {}

    virtual void LeftPressed(QPoint ptClient) { static_cast<void>(ptClient); }
    virtual void LeftReleased(QPoint ptClient) { static_cast<void>(ptClient); }
    virtual void LeftDoubleClicked(QPoint ptClient) { static_cast<void>(ptClient); }
    virtual void RightPressed(QPoint ptClient) { static_cast<void>(ptClient); }
    // True while a drag is under way: mouse moves then go to DragMoved.
    virtual bool IsDragging() const { return false; }
    virtual void DragMoved(QPoint ptClient) { static_cast<void>(ptClient); }
    // Timer 1 of the view, before its smooth-scroll step.
    virtual void TimerTick() {}
    // After every scroll, resize and zoom.
    virtual void ViewMoved() {}

protected:
    CGpsView& View() const { return m_view; }

private:
    CGpsView& m_view;
};

} // namespace mapreg

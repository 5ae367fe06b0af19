#pragma once
// The window that shows the composition surface. The sprite engine tells it which rectangles
// of the map changed so that it repaints exactly those from the surface.
#include <QRect>

namespace mapreg {

class ISpriteHost {
public:
    virtual ~ISpriteHost() = default;

    // Repaint rcMap (map pixels; the host moves it by its scroll position into window
    // coordinates) without erasing the window background first.
    virtual void InvalidateMapRect(const QRect& rcMap) = 0;
    // Called at the end of every engine Update, after removals: a host that draws the figures
    // itself (while the engine's drawing is suspended) takes the new list from here.
    virtual void FiguresUpdated() {}
};

} // namespace mapreg

#pragma once
// The pictures of the program drawn in code: the 16 x 15 toolbar buttons and the application
// icon (a map sheet with a grid and a position pin), so no binary image files are needed.

#include <QIcon>
#include <QPixmap>

namespace mapreg {

class CToolbarArt {
public:
    static constexpr int kButtonWidth = 16;
    static constexpr int kButtonHeight = 15;

    // Picture of the toolbar button of a command; a null pixmap for a command without one.
    static QPixmap ButtonImage(unsigned nCommandId);

    // The application icon at the usual sizes, drawn when first asked for: a window system
    // that shows no window icons (Wayland, the offscreen platform) never waits for it.
    static QIcon AppIcon();
    // The same icon drawn at once, as AppIcon draws it when it is first used.
    static QIcon AppIconDrawn();

    // The application icon drawn square at nSize pixels.
    static QPixmap AppIconImage(int nSize);
};

} // namespace mapreg

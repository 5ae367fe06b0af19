#include "display/CDisplayCapabilities.h"

#include <QGuiApplication>
#include <QScreen>

namespace mapreg {

namespace {

class CScreenCapabilities final : public CDisplayCapabilities {
public:
    bool HasPalette() const override {
        if (qGuiApp == nullptr) {
            return false;
        }
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen != nullptr && screen->depth() <= 8;
    }
};

} // namespace

const CDisplayCapabilities& CDisplayCapabilities::Screen() {
    static const CScreenCapabilities screen;
    return screen;
}

} // namespace mapreg

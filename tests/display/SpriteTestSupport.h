#pragma once
// Helpers of the sprite tests: a host that records repaints, an allocator that refuses on
// demand, a plain box figure and a patterned picture.
#include "display/CSprite.h"
#include "display/ISpriteAllocator.h"
#include "display/ISpriteHost.h"

#include <QImage>
#include <QPainter>

#include <vector>

namespace mapreg {

class CRecordingHost : public ISpriteHost {
public:
    void InvalidateMapRect(const QRect& rcMap) override { rects.push_back(rcMap); }
    std::vector<QRect> rects;
};

// Grants each purpose's requests while its budget lasts; -1 is no limit.
class CBudgetAllocator : public ISpriteAllocator {
public:
    bool MayAllocate(EPurpose ePurpose, std::size_t) override {
        int& nBudget = budget[static_cast<int>(ePurpose)];
        if (nBudget == 0) {
            return false;
        }
        nBudget -= nBudget > 0 ? 1 : 0;
        return true;
    }
    int budget[3] = {-1, -1, -1}; // indexed by EPurpose
};

// A solid square centred on its position; told to, it refuses to draw.
class CBoxSprite : public CSprite {
public:
    CBoxSprite(std::uint32_t nDepth, QColor color, int nSide = 20)
        : CSprite(nDepth), m_color(color) {
        SetSize(QSize(nSide, nSide));
    }
    int GetKind() const override { return 99; }
    bool Draw(QPainter& painter) override {
        if (!bFailDraw) {
            painter.fillRect(GetRect(), m_color);
        }
        return !bFailDraw;
    }
    bool bFailDraw = false;

protected:
    void RecalcOffset() override {
        SetOffset(QPoint(-GetSize().width() / 2, -GetSize().height() / 2));
        SetChanged();
    }
    void RecalcDrawnOffset() override {
        SetDrawnOffset(QPoint(-GetDrawnSize().width() / 2, -GetDrawnSize().height() / 2));
    }

private:
    QColor m_color;
};

// A picture whose neighbouring pixels all differ, so that a pixel put back in the wrong place
// shows.
inline QImage PatternSurface(int w, int h, QImage::Format eFormat = QImage::Format_RGB32) {
    QImage img(w, h, eFormat);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.setPixel(x, y, qRgb((x * 7 + y) & 0xFF, (y * 5 + x * 3) & 0xFF, (x ^ y) & 0xFF));
        }
    }
    return img;
}

} // namespace mapreg

#pragma once
// Helpers of the sprite tests: a host that records repaints, an allocator that refuses on
// demand, a plain box figure and patterned surfaces.
#include "CSprite.h"
#include "ISpriteAllocator.h"
#include "ISpriteHost.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <cstring>
#include <vector>

class CRecordingHost : public ISpriteHost {
public:
    void InvalidateMapRect(const QRect& rcMap) override { rects.push_back(rcMap); }
    std::vector<QRect> rects;
};

// Grants each purpose's requests until its budget runs out; -1 grants without limit.
class CBudgetAllocator : public ISpriteAllocator {
public:
    bool MayAllocate(EPurpose ePurpose, std::size_t nBytes) override {
        requests.push_back({ePurpose, nBytes});
        int& nBudget = budget[static_cast<int>(ePurpose)];
        if (nBudget == 0) {
            return false;
        }
        if (nBudget > 0) {
            --nBudget;
        }
        return true;
    }
    void Set(EPurpose ePurpose, int nBudget) { budget[static_cast<int>(ePurpose)] = nBudget; }

    struct SRequest {
        EPurpose ePurpose;
        std::size_t nBytes;
    };
    std::vector<SRequest> requests;
    int budget[3] = {-1, -1, -1};
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
        ++nDraws;
        if (bFailDraw) {
            return false;
        }
        painter.fillRect(GetRect(), m_color);
        return true;
    }
    bool bFailDraw = false;
    int nDraws = 0;

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

// A map-like picture where every pixel differs from its neighbours, so that a pixel restored
// to the wrong place shows.
inline QImage PatternSurface(int w, int h, QImage::Format eFormat = QImage::Format_RGB32) {
    QImage img(w, h, eFormat);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.setPixel(x, y, qRgb((x * 7 + y) & 0xFF, (y * 5 + x * 3) & 0xFF, (x ^ y) & 0xFF));
        }
    }
    return img;
}

// Byte for byte, row by row (padding excluded).
inline bool SameBytes(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.format() != b.format()) {
        return false;
    }
    const auto nRow = static_cast<std::size_t>(a.width() * a.depth() / 8);
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), nRow) != 0) {
            return false;
        }
    }
    return true;
}

// The smallest rectangle holding every pixel in which a and b differ (null when none).
inline QRect DiffBounds(const QImage& a, const QImage& b) {
    QRect rc;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (a.pixel(x, y) != b.pixel(x, y)) {
                rc |= QRect(x, y, 1, 1);
            }
        }
    }
    return rc;
}

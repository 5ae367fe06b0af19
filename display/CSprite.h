#pragma once
// Base of every movable figure composed over the map picture: hot spot, size, depth, the saved
// pixels under the figure and the links to the sprite engine that lists it. Coordinates are map
// pixels, x to the right and y downwards.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>

class QPainter;

namespace mapreg {

class CSpriteEngine;
class ISpriteHost;

class CSprite {
public:
    // Every side of a figure lies in this range.
    static constexpr int kMinSide = 16;
    static constexpr int kMaxSide = 128;
    // Positions are kept within +-kPositionLimit so that rectangle arithmetic cannot overflow.
    static constexpr int kPositionLimit = 1 << 30;

    // A larger depth is drawn earlier, that is further back.
    explicit CSprite(std::uint32_t nDepth);
    // A sprite still listed by an engine leaves it at once (its pixels stay on the surface);
    // owners normally remove it and update first.
    virtual ~CSprite();
    CSprite(const CSprite&) = delete;
    CSprite& operator=(const CSprite&) = delete;

    virtual int GetKind() const = 0;
    // Accepts sides of kMinSide..kMaxSide: stores the size, recomputes the offset and marks the
    // figure changed. Otherwise answers false and changes nothing.
    virtual bool SetSize(QSize size);
    // Paints the figure around its position. A figure that cannot draw paints nothing and
    // answers false. Every painted pixel lies inside GetRect().
    virtual bool Draw(QPainter& painter) = 0;

    void SetPosition(int x, int y);
    void SetPosition(QPoint pt) { SetPosition(pt.x(), pt.y()); }
    QPoint GetPosition() const { return m_ptPosition; }
    QSize GetSize() const { return m_size; }
    std::uint32_t GetDepth() const { return m_nDepth; }
    // Marks the figure for drawing at the next engine update.
    void SetChanged() { m_bChanged = true; }
    bool IsChanged() const { return m_bChanged; }
    // Index in the engine's list (valid after an update), -1 before the first AddSprite.
    int GetSlot() const { return m_nSlot; }
    // The engine that lists the sprite, or null.
    CSpriteEngine* GetEngine() const { return m_pEngine; }

    // The bounding box at the current position and size; right and bottom exclusive.
    QRect GetRect() const;
    // Where the figure and its saved background lie on the surface since the last save.
    QRect GetDrawnRect() const;
    bool Intersects(const CSprite& other) const;
    bool DrawnIntersects(const CSprite& other) const;

    // Copies the surface under GetRect() into the background buffer, making the buffer first
    // when there is none of the current size. False when there is no surface or no memory.
    bool SaveBackground();
    // Puts the saved pixels back at the drawn rectangle; nothing when none are saved.
    // Answers whether anything was restored.
    bool RestoreBackground();
    // True while the buffer holds the surface pixels under the drawn rectangle.
    bool HasSavedBackground() const { return m_bSaved; }
    // The buffer itself (null image before the first successful save); kept across removals.
    const QImage& GetBackgroundBuffer() const { return m_imgBackground; }

    void AttachEngine(CSpriteEngine* pEngine);
    void DetachEngine();

protected:
    // Offset of the bounding box's top-left corner from the position for the current size;
    // also marks the figure changed.
    virtual void RecalcOffset() = 0;
    // The same rule for the drawn size; marks nothing.
    virtual void RecalcDrawnOffset() = 0;

    void SetOffset(QPoint pt) { m_ptOffset = pt; }
    void SetDrawnOffset(QPoint pt) { m_ptDrawnOffset = pt; }
    QSize GetDrawnSize() const { return m_sizeDrawn; }

private:
    friend class CSpriteEngine;

    ISpriteHost* m_pHost = nullptr;
    QImage* m_pSurface = nullptr;
    QImage m_imgBackground;
    std::uint32_t m_nDepth;
    QPoint m_ptPosition;
    QPoint m_ptDrawnPosition;
    QSize m_size{1, 1};
    QSize m_sizeDrawn{1, 1};
    QPoint m_ptOffset;
    QPoint m_ptDrawnOffset;
    bool m_bSaved = false;
    bool m_bChanged = true;
    int m_nSlot = -1;
    CSpriteEngine* m_pEngine = nullptr;
};

} // namespace mapreg

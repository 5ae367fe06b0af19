#pragma once
// Keeps the list of sprites composed over the map picture and brings the picture up to date
// after a batch of changes: erases, re-saves and redraws only the sprites a change touches, in
// depth order, and tells the host which rectangles to repaint.
#include <QImage>

#include <cstdint>
#include <vector>

namespace mapreg {

class CSprite;
class ISpriteAllocator;
class ISpriteHost;

class CSpriteEngine {
public:
    static constexpr int kInitialCapacity = 50;
    static constexpr int kGrowBy = 10;

    // Update results.
    static constexpr int kUpdateDone = 0;
    static constexpr int kUpdateOutOfMemory = 1;
    static constexpr int kUpdateSpriteFailed = 2;

    // pSurface is the picture the sprites draw into (not owned; it must not be shared with
    // another QImage, or the first write copies it). pHost may be null: the surface is then
    // updated all the same. pAllocator null means DefaultSpriteAllocator().
    CSpriteEngine(ISpriteHost* pHost, QImage* pSurface, ISpriteAllocator* pAllocator = nullptr);
    // Detaches every listed sprite; deletes none (they belong to the caller).
    ~CSpriteEngine();
    CSpriteEngine(const CSpriteEngine&) = delete;
    CSpriteEngine& operator=(const CSpriteEngine&) = delete;

    // Lists the sprite; it is drawn at the next Update. False when there is no memory for the
    // list (nothing changes) or the sprite is listed by another engine. A sprite whose removal
    // is pending here stays listed; one listed here already is left as it is (true).
    bool AddSprite(CSprite* pSprite);
    // Marks a sprite listed by this engine for removal at the next Update; false otherwise.
    bool RemoveSprite(CSprite* pSprite);
    // Applies every change since the last call: kUpdateDone; kUpdateOutOfMemory when the work
    // list could not be made (nothing done, retried next time); kUpdateSpriteFailed when a
    // sprite could not save its background (it stays listed, undrawn, and is retried) or could
    // not draw (removed when it was being drawn anew, retried when it was only repainted).
    int Update();

    // Takes every drawn figure off the surface (its saved pixels go back, last drawn first) and
    // leaves the surface alone from then on: Update only applies additions and removals, so the
    // host can draw the figures elsewhere. ResumeDrawing draws every listed figure anew at the
    // next Update.
    void SuspendDrawing();
    void ResumeDrawing();
    bool IsDrawingSuspended() const { return m_bSuspended; }

    int GetCount() const { return static_cast<int>(m_slots.size()); }
    CSprite* GetSprite(int nSlot) const;
    ISpriteHost* GetHost() const { return m_pHost; }
    QImage* GetSurface() const { return m_pSurface; }
    ISpriteAllocator& GetAllocator() const { return *m_pAllocator; }

private:
    friend class CSprite;

    enum class EState { Idle = 0, Added = 1, Removed = 2, Changed = 3 };
    enum class ERect { Current, Drawn };

    struct SSlot {
        CSprite* pSprite = nullptr;
        EState eState = EState::Idle;
        bool bErase = false;
        bool bRedraw = false;
        bool bRetry = false;
    };

    bool Reserve(std::size_t nSlots);
    // Marks every slot connected to nStart by a chain of overlapping rectangles.
    void Spread(int nStart, ERect eRect, bool SSlot::*pMark, std::vector<int>& stack);
    void SortByDepth(std::vector<int>& work) const;
    void Invalidate(const QRect& rc) const;
    // Takes out the sprites whose removal is pending and clears every slot's marks and flags.
    void Settle();
    // Drops a sprite that is being destroyed while still listed, without drawing.
    void ForgetSprite(CSprite* pSprite);

    ISpriteHost* m_pHost;
    QImage* m_pSurface;
    ISpriteAllocator* m_pAllocator;
    std::vector<SSlot> m_slots;
    bool m_bSuspended = false;
};

} // namespace mapreg

#include "display/CSpriteEngine.h"

#include "display/CSprite.h"
#include "display/ISpriteAllocator.h"
#include "display/ISpriteHost.h"

#include <QPainter>

#include <algorithm>
#include <new>
#include <utility>

namespace mapreg {

namespace {

// Draws a sprite clipped to its rectangle: a pixel outside it would not be covered by the
// saved background and could never be erased.
bool DrawClipped(QPainter& painter, CSprite& sprite) {
    painter.setClipRect(sprite.GetRect());
    return sprite.Draw(painter);
}

} // namespace

CSpriteEngine::CSpriteEngine(ISpriteHost* pHost, QImage* pSurface, ISpriteAllocator* pAllocator)
    : m_pHost(pHost), m_pSurface(pSurface),
      m_pAllocator(pAllocator != nullptr ? pAllocator : &DefaultSpriteAllocator()) {
    // Room for the usual figures up front; when even that fails the list grows on demand.
    Reserve(kInitialCapacity);
}

CSpriteEngine::~CSpriteEngine() {
    for (SSlot& slot : m_slots) {
        slot.pSprite->DetachEngine();
    }
}

CSprite* CSpriteEngine::GetSprite(int nSlot) const {
    if (nSlot < 0 || nSlot >= GetCount()) {
        return nullptr;
    }
    return m_slots[static_cast<std::size_t>(nSlot)].pSprite;
}

bool CSpriteEngine::Reserve(std::size_t nSlots) {
    if (nSlots <= m_slots.capacity()) {
        return true;
    }
    if (!m_pAllocator->MayAllocate(ISpriteAllocator::EPurpose::SpriteList,
                                   nSlots * sizeof(SSlot))) {
        return false;
    }
    try {
        m_slots.reserve(nSlots);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

bool CSpriteEngine::AddSprite(CSprite* pSprite) {
    if (pSprite == nullptr) {
        return false;
    }
    if (pSprite->m_pEngine == this) {
        SSlot& slot = m_slots[static_cast<std::size_t>(pSprite->m_nSlot)];
        if (slot.eState == EState::Removed) {
            // Adding back a sprite whose removal is pending keeps it listed; listing it twice
            // would leave the second slot pointing at a detached sprite.
            slot.eState = pSprite->HasSavedBackground() ? EState::Changed : EState::Added;
        }
        return true;
    }
    if (pSprite->m_pEngine != nullptr) {
        return false;
    }
    if (m_slots.size() == m_slots.capacity() &&
        !Reserve(m_slots.capacity() + static_cast<std::size_t>(kGrowBy))) {
        return false;
    }
    SSlot slot;
    slot.pSprite = pSprite;
    slot.eState = EState::Added;
    m_slots.push_back(slot); // within capacity: cannot throw
    pSprite->m_nSlot = GetCount() - 1;
    pSprite->AttachEngine(this);
    return true;
}

bool CSpriteEngine::RemoveSprite(CSprite* pSprite) {
    if (pSprite == nullptr || pSprite->m_pEngine != this) {
        return false;
    }
    m_slots[static_cast<std::size_t>(pSprite->m_nSlot)].eState = EState::Removed;
    return true;
}

void CSpriteEngine::ForgetSprite(CSprite* pSprite) {
    const auto it = std::find_if(m_slots.begin(), m_slots.end(),
                                 [pSprite](const SSlot& slot) { return slot.pSprite == pSprite; });
    if (it == m_slots.end()) {
        return;
    }
    m_slots.erase(it);
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        m_slots[i].pSprite->m_nSlot = static_cast<int>(i);
    }
    pSprite->DetachEngine();
}

void CSpriteEngine::Spread(int nStart, ERect eRect, bool SSlot::*pMark, std::vector<int>& stack) {
    auto rectOf = [this, eRect](int nSlot) {
        const CSprite* pSprite = m_slots[static_cast<std::size_t>(nSlot)].pSprite;
        return eRect == ERect::Current ? pSprite->GetRect() : pSprite->GetDrawnRect();
    };
    // Each slot is pushed once (it is marked when pushed), so the stack never outgrows the
    // work list's capacity of one entry per slot.
    stack.clear();
    m_slots[static_cast<std::size_t>(nStart)].*pMark = true;
    stack.push_back(nStart);
    while (!stack.empty()) {
        const QRect rc = rectOf(stack.back());
        stack.pop_back();
        for (int j = 0; j < GetCount(); ++j) {
            SSlot& slot = m_slots[static_cast<std::size_t>(j)];
            if (!(slot.*pMark) && rectOf(j).intersects(rc)) {
                slot.*pMark = true;
                stack.push_back(j);
            }
        }
    }
}

void CSpriteEngine::SortByDepth(std::vector<int>& work) const {
    // Exchange sort into descending depth. Sprites of equal depth keep the order this gives,
    // which decides which of them ends on top.
    auto depthOf = [this](int nSlot) {
        return m_slots[static_cast<std::size_t>(nSlot)].pSprite->GetDepth();
    };
    for (std::size_t i = 0; i < work.size(); ++i) {
        for (std::size_t j = i + 1; j < work.size(); ++j) {
            if (depthOf(work[i]) < depthOf(work[j])) {
                std::swap(work[i], work[j]);
            }
        }
    }
}

void CSpriteEngine::Invalidate(const QRect& rc) const {
    if (m_pHost != nullptr) {
        m_pHost->InvalidateMapRect(rc);
    }
}

int CSpriteEngine::Update() {
    if (m_bSuspended) {
        Settle();
        return kUpdateDone;
    }
    const int nCount = GetCount();
    std::vector<int> work;
    if (nCount > 0) {
        const auto nSlots = static_cast<std::size_t>(nCount);
        if (!m_pAllocator->MayAllocate(ISpriteAllocator::EPurpose::WorkList,
                                       nSlots * sizeof(int))) {
            return kUpdateOutOfMemory;
        }
        try {
            work.reserve(nSlots);
        } catch (const std::bad_alloc&) {
            return kUpdateOutOfMemory;
        }
    }
    int nResult = kUpdateDone;

    // A changed flag makes an idle sprite changed; it does not cancel a pending removal.
    for (SSlot& slot : m_slots) {
        if (slot.pSprite->IsChanged() && slot.eState == EState::Idle) {
            slot.eState = EState::Changed;
        }
    }
    for (SSlot& slot : m_slots) {
        if (slot.eState != EState::Idle) {
            slot.bErase = true;
            slot.bRedraw = true;
        }
    }
    // Neighbours whose pixels an erased sprite's old background will wipe are painted again.
    for (int i = 0; i < nCount; ++i) {
        const EState eState = m_slots[static_cast<std::size_t>(i)].eState;
        if (eState == EState::Changed || eState == EState::Removed) {
            Spread(i, ERect::Drawn, &SSlot::bRedraw, work);
        }
    }
    // Sprites overlapping a changed one where it now stands are erased and drawn with it, so
    // the depth order holds there.
    for (int i = 0; i < nCount; ++i) {
        if (m_slots[static_cast<std::size_t>(i)].eState != EState::Idle) {
            Spread(i, ERect::Current, &SSlot::bErase, work);
        }
    }

    // Erase: put the saved pixels back. Nothing is repainted for a sprite that has none on
    // the surface (never drawn here, or its save failed).
    for (SSlot& slot : m_slots) {
        if (slot.bErase && slot.pSprite->RestoreBackground()) {
            Invalidate(slot.pSprite->GetDrawnRect());
        }
    }
    // Save what will lie under the sprites drawn anew. A sprite that cannot save stays
    // listed but undrawn, so that the picture can always be restored, and is retried.
    for (SSlot& slot : m_slots) {
        if ((slot.eState == EState::Changed || slot.eState == EState::Added) &&
            !slot.pSprite->SaveBackground()) {
            nResult = kUpdateSpriteFailed;
            slot.bRetry = true;
        }
    }

    // The painter opens on the first sprite to draw: an update that draws nothing costs none.
    QPainter painter;
    auto draw = [this, &painter](CSprite& sprite) {
        if (!painter.isActive()) {
            if (m_pSurface == nullptr || !painter.begin(m_pSurface)) {
                return false;
            }
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setRenderHint(QPainter::TextAntialiasing, false);
        }
        return DrawClipped(painter, sprite);
    };
    auto drawable = [](const SSlot& slot) {
        return slot.eState != EState::Removed && slot.pSprite->HasSavedBackground();
    };

    // First pass: every erased sprite, back to front; each drawn rectangle is repainted.
    work.clear();
    for (int i = 0; i < nCount; ++i) {
        const SSlot& slot = m_slots[static_cast<std::size_t>(i)];
        if (slot.bErase && drawable(slot)) {
            work.push_back(i);
        }
    }
    SortByDepth(work);
    for (const int i : work) {
        SSlot& slot = m_slots[static_cast<std::size_t>(i)];
        if (!draw(*slot.pSprite)) {
            nResult = kUpdateSpriteFailed;
            slot.eState = EState::Removed;
        }
        Invalidate(slot.pSprite->GetRect());
    }

    // Second pass: neighbours partly wiped by the erase, painted over themselves where they
    // stand; their rectangles were repainted by the erase already.
    work.clear();
    for (int i = 0; i < nCount; ++i) {
        const SSlot& slot = m_slots[static_cast<std::size_t>(i)];
        if (slot.bRedraw && !slot.bErase && drawable(slot)) {
            work.push_back(i);
        }
    }
    SortByDepth(work);
    for (const int i : work) {
        SSlot& slot = m_slots[static_cast<std::size_t>(i)];
        if (!draw(*slot.pSprite)) {
            nResult = kUpdateSpriteFailed;
            slot.bRetry = true;
        }
    }
    if (painter.isActive()) {
        painter.end();
    }
    Settle();
    return nResult;
}

void CSpriteEngine::Settle() {
    // Removal, keeping every remaining sprite's slot equal to its index.
    std::size_t nTo = 0;
    for (std::size_t nFrom = 0; nFrom < m_slots.size(); ++nFrom) {
        SSlot& slot = m_slots[nFrom];
        if (slot.eState == EState::Removed) {
            slot.pSprite->DetachEngine();
            continue;
        }
        slot.pSprite->m_nSlot = static_cast<int>(nTo);
        m_slots[nTo++] = slot;
    }
    m_slots.resize(nTo);

    for (SSlot& slot : m_slots) {
        slot.pSprite->m_bChanged = slot.bRetry;
        slot.eState = EState::Idle;
        slot.bErase = false;
        slot.bRedraw = false;
        slot.bRetry = false;
    }
    if (m_pHost != nullptr) {
        m_pHost->FiguresUpdated();
    }
}

void CSpriteEngine::SuspendDrawing() {
    if (m_bSuspended) {
        return;
    }
    // Figures were drawn back to front, so the front ones go first: each puts back what lay
    // under it when it was drawn. Without memory for the order, the reverse slot order serves.
    std::vector<int> order;
    try {
        order.reserve(m_slots.size());
        for (int i = 0; i < GetCount(); ++i) {
            order.push_back(i);
        }
        SortByDepth(order);
    } catch (const std::bad_alloc&) {
        order.clear();
    }
    auto takeOff = [this](int i) {
        CSprite* pSprite = m_slots[static_cast<std::size_t>(i)].pSprite;
        if (pSprite->RestoreBackground()) {
            Invalidate(pSprite->GetDrawnRect());
        }
        pSprite->m_bSaved = false;
    };
    if (order.size() == m_slots.size()) {
        std::for_each(order.rbegin(), order.rend(), takeOff);
    } else {
        for (int i = GetCount() - 1; i >= 0; --i) {
            takeOff(i);
        }
    }
    m_bSuspended = true;
}

void CSpriteEngine::ResumeDrawing() {
    if (!m_bSuspended) {
        return;
    }
    m_bSuspended = false;
    // Nothing of the figures is on the surface: each is saved and drawn as if just added.
    for (SSlot& slot : m_slots) {
        if (slot.eState != EState::Removed) {
            slot.eState = EState::Added;
        }
        slot.pSprite->m_bChanged = true;
    }
}

} // namespace mapreg

#include "app/CMapFigures.h"

#include "display/CLabelSprite.h"
#include "display/CMarkSprite.h"
#include "display/CPointerSprite.h"

#include <QString>

#include <cstdint>
#include <new>

namespace mapreg {

namespace {

constexpr COLORREF kMarkColors[CMapFigures::kMarks] = {0x00FFFF, 0x00FF00, 0xFFFF00};
constexpr std::uint32_t kMarkDepths[CMapFigures::kMarks] = {10, 20, 30};
constexpr std::uint32_t kLabelDepths[CMapFigures::kMarks] = {11, 21, 31};
constexpr std::uint32_t kPointerDepth = 30;

} // namespace

CMapFigures::CMapFigures() = default;
CMapFigures::~CMapFigures() = default;

QSize CMapFigures::SizeFor(int nSpriteSize) {
    switch (nSpriteSize) {
    case 0:
        return {40, 40};
    case 1:
        return {64, 64};
    case 2:
        return {80, 80};
    default:
        return {1, 1};
    }
}

void CMapFigures::Create(int nSpriteSize, COLORREF crPointer) {
    Delete();
    m_sizeSprite = SizeFor(nSpriteSize);
    try {
        for (int k = 0; k < kMarks; ++k) {
            m_pMarks[static_cast<std::size_t>(k)] =
                std::make_unique<CMarkSprite>(kMarkDepths[k], m_sizeSprite, kMarkColors[k]);
        }
        for (int k = 0; k < kMarks; ++k) {
            m_pLabels[static_cast<std::size_t>(k)] =
                std::make_unique<CLabelSprite>(kLabelDepths[k], m_sizeSprite, kMarkColors[k],
                                               CLabelSprite::kBelow, QString::number(k + 1));
        }
        for (auto& pPointer : m_pPointers) {
            pPointer = std::make_unique<CPointerSprite>(kPointerDepth, m_sizeSprite, crPointer);
        }
    } catch (const std::bad_alloc&) {
        Delete();
        throw;
    }
}

void CMapFigures::Delete() {
    for (auto& pMark : m_pMarks) {
        pMark.reset();
    }
    for (auto& pLabel : m_pLabels) {
        pLabel.reset();
    }
    for (auto& pPointer : m_pPointers) {
        pPointer.reset();
    }
}

CMarkSprite* CMapFigures::Mark(int k) const {
    return k >= 0 && k < kMarks ? m_pMarks[static_cast<std::size_t>(k)].get() : nullptr;
}

CLabelSprite* CMapFigures::Label(int k) const {
    return k >= 0 && k < kMarks ? m_pLabels[static_cast<std::size_t>(k)].get() : nullptr;
}

CPointerSprite* CMapFigures::Pointer(int i) const {
    return i >= 0 && i < kPointers ? m_pPointers[static_cast<std::size_t>(i)].get() : nullptr;
}

} // namespace mapreg

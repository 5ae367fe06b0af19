#include "display/CSprite.h"

#include "display/CSpriteEngine.h"
#include "display/ISpriteAllocator.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace mapreg {

namespace {

bool IsSideAccepted(int n) {
    return n >= CSprite::kMinSide && n <= CSprite::kMaxSide;
}

enum class EDirection { SurfaceToBuffer, BufferToSurface };

// Copies between the buffer placed with its top-left corner at ptOrigin on the surface and the
// surface, row by row, only where the two overlap: what lies outside the surface is skipped.
void Transfer(QImage& surface, QImage& buffer, QPoint ptOrigin, EDirection eDirection) {
    const QRect rcPart = QRect(ptOrigin, buffer.size()).intersected(surface.rect());
    if (rcPart.isEmpty()) {
        return;
    }
    const qsizetype nPixelBytes = surface.depth() / 8;
    const qsizetype nRowBytes = rcPart.width() * nPixelBytes;
    const qsizetype nSurfaceStride = surface.bytesPerLine();
    const qsizetype nBufferStride = buffer.bytesPerLine();
    uchar* pSurface = surface.bits() + rcPart.top() * nSurfaceStride + rcPart.left() * nPixelBytes;
    uchar* pBuffer = buffer.bits() + (rcPart.top() - ptOrigin.y()) * nBufferStride +
                     (rcPart.left() - ptOrigin.x()) * nPixelBytes;
    for (int nRow = 0; nRow < rcPart.height(); ++nRow) {
        if (eDirection == EDirection::SurfaceToBuffer) {
            std::memcpy(pBuffer, pSurface, static_cast<std::size_t>(nRowBytes));
        } else {
            std::memcpy(pSurface, pBuffer, static_cast<std::size_t>(nRowBytes));
        }
        pSurface += nSurfaceStride;
        pBuffer += nBufferStride;
    }
}

// Surfaces the engine can save from: whole bytes per pixel.
bool IsCopyable(const QImage* pSurface) {
    return pSurface != nullptr && !pSurface->isNull() && pSurface->depth() >= 8 &&
           pSurface->depth() % 8 == 0;
}

} // namespace

CSprite::CSprite(std::uint32_t nDepth) : m_nDepth(nDepth) {}

CSprite::~CSprite() {
    if (m_pEngine != nullptr) {
        m_pEngine->ForgetSprite(this);
    }
}

bool CSprite::SetSize(QSize size) {
    if (!IsSideAccepted(size.width()) || !IsSideAccepted(size.height())) {
        return false;
    }
    m_size = size;
    RecalcOffset();
    m_bChanged = true;
    return true;
}

void CSprite::SetPosition(int x, int y) {
    m_ptPosition = QPoint(std::clamp(x, -kPositionLimit, kPositionLimit),
                          std::clamp(y, -kPositionLimit, kPositionLimit));
    m_bChanged = true;
}

QRect CSprite::GetRect() const {
    return QRect(m_ptPosition + m_ptOffset, m_size);
}

QRect CSprite::GetDrawnRect() const {
    return QRect(m_ptDrawnPosition + m_ptDrawnOffset, m_sizeDrawn);
}

bool CSprite::Intersects(const CSprite& other) const {
    return GetRect().intersects(other.GetRect());
}

bool CSprite::DrawnIntersects(const CSprite& other) const {
    return GetDrawnRect().intersects(other.GetDrawnRect());
}

bool CSprite::SaveBackground() {
    m_bSaved = false;
    if (!IsCopyable(m_pSurface)) {
        return false;
    }
    if (m_imgBackground.isNull() || m_imgBackground.size() != m_size ||
        m_imgBackground.format() != m_pSurface->format()) {
        m_imgBackground = QImage();
        ISpriteAllocator& allocator =
            m_pEngine != nullptr ? m_pEngine->GetAllocator() : DefaultSpriteAllocator();
        const auto nBytes = static_cast<std::size_t>(m_size.width()) *
                            static_cast<std::size_t>(m_size.height()) *
                            static_cast<std::size_t>(m_pSurface->depth() / 8);
        if (!allocator.MayAllocate(ISpriteAllocator::EPurpose::Background, nBytes)) {
            return false;
        }
        // QImage answers a null image when it cannot get the memory.
        QImage img(m_size, m_pSurface->format());
        if (img.isNull()) {
            return false;
        }
        m_imgBackground = std::move(img);
    }
    Transfer(*m_pSurface, m_imgBackground, m_ptPosition + m_ptOffset, EDirection::SurfaceToBuffer);
    m_ptDrawnPosition = m_ptPosition;
    m_sizeDrawn = m_size;
    RecalcDrawnOffset();
    m_bSaved = true;
    return true;
}

bool CSprite::RestoreBackground() {
    if (!m_bSaved || !IsCopyable(m_pSurface) || m_imgBackground.format() != m_pSurface->format()) {
        return false;
    }
    Transfer(*m_pSurface, m_imgBackground, m_ptDrawnPosition + m_ptDrawnOffset,
             EDirection::BufferToSurface);
    return true;
}

void CSprite::AttachEngine(CSpriteEngine* pEngine) {
    m_pEngine = pEngine;
    m_pHost = pEngine != nullptr ? pEngine->GetHost() : nullptr;
    m_pSurface = pEngine != nullptr ? pEngine->GetSurface() : nullptr;
}

void CSprite::DetachEngine() {
    m_pEngine = nullptr;
    m_pHost = nullptr;
    m_pSurface = nullptr;
    // Out of an engine the saved pixels no longer describe the surface: putting them back
    // later could wipe figures drawn there since. The buffer itself is kept for reuse.
    m_bSaved = false;
}

} // namespace mapreg

#include "display/CMapPyramid.h"

#include "display/CBmpDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <system_error>
#include <thread>

namespace mapreg {

namespace {

// Two channels at a time in one word, each with room for the sum of four pixels: blue and red
// of the pixel, and green and alpha shifted down by one channel.
constexpr std::uint32_t kPair = 0x00FF00FFu;
// Reduced copies of at least this many pixels are made by two threads.
constexpr qsizetype kParallelPixels = qsizetype{1} << 20;

inline std::uint32_t Low(std::uint32_t n) {
    return n & kPair;
}
inline std::uint32_t High(std::uint32_t n) {
    return (n >> 8) & kPair;
}
// Sums of n pixels (n = 2 or 4, shift = log2 n) back to one rounded pixel.
inline std::uint32_t Average(std::uint32_t nLow, std::uint32_t nHigh, unsigned nShift) {
    const std::uint32_t nRound = (1u << nShift >> 1) * 0x00010001u;
    return (((nLow + nRound) >> nShift) & kPair) | ((((nHigh + nRound) >> nShift) & kPair) << 8);
}

void HalveRow(const std::uint32_t* pTop, const std::uint32_t* pBottom, std::uint32_t* pOut,
              int nSourceWidth) {
    const int nPairs = nSourceWidth / 2;
    for (int x = 0; x < nPairs; ++x) {
        const std::uint32_t a = pTop[2 * x];
        const std::uint32_t b = pTop[2 * x + 1];
        const std::uint32_t c = pBottom[2 * x];
        const std::uint32_t d = pBottom[2 * x + 1];
        pOut[x] =
            Average(Low(a) + Low(b) + Low(c) + Low(d), High(a) + High(b) + High(c) + High(d), 2);
    }
    if (nSourceWidth % 2 != 0) {
        const std::uint32_t a = pTop[nSourceWidth - 1];
        const std::uint32_t c = pBottom[nSourceWidth - 1];
        pOut[nPairs] = Average(Low(a) + Low(c), High(a) + High(c), 1);
    }
}

} // namespace

CMapPyramid::CMapPyramid(const QImage* pPicture) : m_pPicture(pPicture) {}

int CMapPyramid::LevelFor(double dFactor) {
    if (!(dFactor < 1.0)) {
        return 0;
    }
    const int n = static_cast<int>(std::floor(-std::log2(dFactor)));
    return std::clamp(n, 0, kMaxLevel);
}

qsizetype CMapPyramid::LevelBytes() const {
    qsizetype n = 0;
    for (const QImage& level : m_levels) {
        n += level.sizeInBytes();
    }
    return n;
}

const QImage& CMapPyramid::Level(int nLevel) {
    if (m_pPicture == nullptr) {
        return m_none;
    }
    nLevel = std::clamp(nLevel, 0, kMaxLevel);
    while (static_cast<int>(m_levels.size()) < nLevel) {
        const QImage& finer = m_levels.empty() ? *m_pPicture : m_levels.back();
        QImage half = HalfSize(finer);
        if (half.isNull()) {
            break;
        }
        m_levels.push_back(std::move(half));
    }
    const int nHave = std::min(nLevel, static_cast<int>(m_levels.size()));
    return nHave == 0 ? *m_pPicture : m_levels[static_cast<std::size_t>(nHave - 1)];
}

QImage CMapPyramid::HalfSize(const QImage& source) {
    if (source.isNull() || source.depth() != 32) {
        return {};
    }
    const int nWidth = source.width();
    const int nHeight = source.height();
    // RGB32 like the picture: the averages keep alpha at 255.
    QImage half = source.format() == QImage::Format_RGB32
                      ? CBmpDecoder::AllocatePicture((nWidth + 1) / 2, (nHeight + 1) / 2)
                      : QImage((nWidth + 1) / 2, (nHeight + 1) / 2, source.format());
    if (half.isNull()) {
        return {};
    }
    const uchar* pSource = source.constBits();
    uchar* pHalf = half.bits();
    const qsizetype nSourceStride = source.bytesPerLine();
    const qsizetype nHalfStride = half.bytesPerLine();
    auto halveRows = [=](int nFrom, int nTo) {
        for (int y = nFrom; y < nTo; ++y) {
            const auto* pTop =
                reinterpret_cast<const std::uint32_t*>(pSource + 2 * y * nSourceStride);
            const auto* pBottom = reinterpret_cast<const std::uint32_t*>(
                pSource + std::min(2 * y + 1, nHeight - 1) * nSourceStride);
            auto* pOut = reinterpret_cast<std::uint32_t*>(pHalf + y * nHalfStride);
            HalveRow(pTop, pBottom, pOut, nWidth);
        }
    };
    // A large picture is shared out between two threads; the work is bound by memory, which a
    // second core reads in parallel.
    const int nRows = half.height();
    if (static_cast<qsizetype>(nRows) * half.width() >= kParallelPixels &&
        std::thread::hardware_concurrency() > 1) {
        try {
            std::thread lower(halveRows, nRows / 2, nRows);
            halveRows(0, nRows / 2);
            lower.join();
            return half;
        } catch (const std::system_error&) {
            // No second thread: the rows not done yet are done below (the work is idempotent).
        }
    }
    halveRows(0, nRows);
    return half;
}

} // namespace mapreg

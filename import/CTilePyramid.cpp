#include "import/CTilePyramid.h"

#include <algorithm>
#include <cmath>

namespace mapreg {

struct CTilePyramid::SRun {
    const Touches& touches;
    const Fill& fill;
    const Put& put;
    const Progress& progress;
    std::int64_t blocks = 0; // blocks to fill, for the progress
    std::int64_t filled = 0;
};

CTilePyramid::CTilePyramid(int minZoom, int maxZoom, int components, Reduction reduction,
                           int blockLevels)
    : m_minZoom(minZoom), m_maxZoom(maxZoom),
      m_blockZoom(std::max(minZoom, maxZoom - std::max(0, blockLevels))), m_components(components),
      m_reduction(reduction) {}

void CTilePyramid::Halve(const std::uint8_t* source, std::size_t sourceStride, int side,
                         std::uint8_t* target, std::size_t targetStride, int components,
                         Reduction reduction, int levels) {
    const std::size_t c = static_cast<std::size_t>(components);
    const std::size_t alpha = c - 1;
    // The nearest neighbour's pixel: lower right, upper left, lower right, ... level by level.
    const std::size_t pick = levels % 2 != 0 ? sourceStride + c : 0;
    for (int y = 0; y < side / 2; ++y) {
        const std::uint8_t* top = source + 2 * static_cast<std::size_t>(y) * sourceStride;
        const std::uint8_t* bottom = top + sourceStride;
        std::uint8_t* out = target + static_cast<std::size_t>(y) * targetStride;
        for (int x = 0; x < side / 2; ++x, top += 2 * c, bottom += 2 * c, out += c) {
            if (reduction == Reduction::Nearest) {
                std::copy(top + pick, top + pick + c, out);
                continue;
            }
            const std::uint8_t* four[4] = {top, top + c, bottom, bottom + c};
            unsigned alphas = 0;
            unsigned covered = 0;
            unsigned sums[8] = {};
            for (const std::uint8_t* p : four) {
                alphas += p[alpha];
                if (p[alpha] != 0) {
                    ++covered;
                    for (std::size_t i = 0; i < alpha; ++i) {
                        sums[i] += p[i];
                    }
                }
            }
            for (std::size_t i = 0; i < alpha; ++i) {
                out[i] =
                    static_cast<std::uint8_t>(covered == 0 ? 0 : (sums[i] + covered / 2) / covered);
            }
            out[alpha] = static_cast<std::uint8_t>((alphas + 2) / 4);
        }
    }
}

bool CTilePyramid::AnyCovered(const std::uint8_t* pixels, std::size_t stride, int side,
                              int components) {
    const std::size_t c = static_cast<std::size_t>(components);
    for (int y = 0; y < side; ++y) {
        const std::uint8_t* p = pixels + static_cast<std::size_t>(y) * stride + c - 1;
        for (int x = 0; x < side; ++x, p += c) {
            if (*p != 0) {
                return true;
            }
        }
    }
    return false;
}

bool CTilePyramid::TileTouches(const SRun& run, int zoom, std::int64_t column,
                               std::int64_t row) const {
    const double side = std::ldexp(static_cast<double>(kTileSide), m_maxZoom - zoom);
    const auto x = static_cast<double>(column);
    const auto y = static_cast<double>(row);
    return run.touches(x * side, y * side, (x + 1.0) * side, (y + 1.0) * side);
}

std::int64_t CTilePyramid::CountBlocks(const SRun& run, int zoom, std::int64_t column,
                                       std::int64_t row) const {
    if (!TileTouches(run, zoom, column, row)) {
        return 0;
    }
    if (zoom == m_blockZoom) {
        return 1;
    }
    std::int64_t count = 0;
    for (int i = 0; i < 4; ++i) {
        count += CountBlocks(run, zoom + 1, 2 * column + i % 2, 2 * row + i / 2);
    }
    return count;
}

bool CTilePyramid::MakeBlock(SRun& run, std::int64_t column, std::int64_t row, std::uint8_t* tile,
                             bool& covered) {
    const std::size_t c = static_cast<std::size_t>(m_components);
    const int levels = m_maxZoom - m_blockZoom;
    const int side = kTileSide << levels;
    m_block.resize(static_cast<std::size_t>(side) * side * c);
    if (run.progress &&
        !run.progress(static_cast<double>(run.filled) / static_cast<double>(run.blocks))) {
        return false;
    }
    if (!run.fill(column * side, row * side, side, m_block.data())) {
        return false;
    }
    ++run.filled;
    // Level by level from the highest, the block halved in place in between.
    for (int level = 0;; ++level) {
        const int levelSide = side >> level;
        const std::size_t stride = static_cast<std::size_t>(levelSide) * c;
        const int tiles = levelSide / kTileSide;
        const int zoom = m_maxZoom - level;
        for (int ty = 0; ty < tiles; ++ty) {
            for (int tx = 0; tx < tiles; ++tx) {
                const std::uint8_t* pixels = m_block.data() +
                                             static_cast<std::size_t>(ty) * kTileSide * stride +
                                             static_cast<std::size_t>(tx) * kTileSide * c;
                if (AnyCovered(pixels, stride, kTileSide, m_components) &&
                    !run.put(zoom, column * tiles + tx, row * tiles + ty, pixels, stride)) {
                    return false;
                }
            }
        }
        if (level == levels) {
            break;
        }
        Halve(m_block.data(), stride, levelSide, m_block.data(), stride / 2, m_components,
              m_reduction, level + 1);
    }
    std::copy(m_block.begin(), m_block.begin() + kTileSide * kTileSide * c, tile);
    covered = AnyCovered(tile, kTileSide * c, kTileSide, m_components);
    return true;
}

bool CTilePyramid::MakeTile(SRun& run, int zoom, std::int64_t column, std::int64_t row,
                            std::uint8_t* tile, bool& covered) {
    if (zoom == m_blockZoom) {
        return MakeBlock(run, column, row, tile, covered);
    }
    const std::size_t c = static_cast<std::size_t>(m_components);
    const std::size_t stride = kTileSide * c;
    std::fill(tile, tile + kTileSide * stride, std::uint8_t{0});
    covered = false;
    std::vector<std::uint8_t> child(kTileSide * stride);
    for (int i = 0; i < 4; ++i) {
        const std::int64_t childColumn = 2 * column + i % 2;
        const std::int64_t childRow = 2 * row + i / 2;
        if (!TileTouches(run, zoom + 1, childColumn, childRow)) {
            continue;
        }
        bool childCovered = false;
        if (!MakeTile(run, zoom + 1, childColumn, childRow, child.data(), childCovered)) {
            return false;
        }
        if (childCovered) {
            std::uint8_t* quarter =
                tile + (i / 2) * (kTileSide / 2) * stride + (i % 2) * (kTileSide / 2) * c;
            Halve(child.data(), stride, kTileSide, quarter, stride, m_components, m_reduction,
                  m_maxZoom - zoom);
            covered = true;
        }
    }
    covered = covered && AnyCovered(tile, stride, kTileSide, m_components);
    return !covered || run.put(zoom, column, row, tile, stride);
}

bool CTilePyramid::Build(double x0, double y0, double x1, double y1, const Touches& touches,
                         const Fill& fill, const Put& put, const Progress& progress) {
    SRun run{touches, fill, put, progress};
    // The tiles of the lowest level over the box, within the world.
    const double rootSide = std::ldexp(static_cast<double>(kTileSide), m_maxZoom - m_minZoom);
    const double last = std::ldexp(1.0, m_minZoom) - 1.0;
    const auto first = [&](double v) {
        return static_cast<std::int64_t>(std::clamp(std::floor(v / rootSide), 0.0, last));
    };
    const std::int64_t columns[2] = {first(x0), first(x1)};
    const std::int64_t rows[2] = {first(y0), first(y1)};
    for (std::int64_t row = rows[0]; row <= rows[1]; ++row) {
        for (std::int64_t column = columns[0]; column <= columns[1]; ++column) {
            run.blocks += CountBlocks(run, m_minZoom, column, row);
        }
    }
    run.blocks = std::max<std::int64_t>(run.blocks, 1);
    std::vector<std::uint8_t> tile(static_cast<std::size_t>(kTileSide) * kTileSide *
                                   static_cast<std::size_t>(m_components));
    for (std::int64_t row = rows[0]; row <= rows[1]; ++row) {
        for (std::int64_t column = columns[0]; column <= columns[1]; ++column) {
            bool covered = false;
            if (TileTouches(run, m_minZoom, column, row) &&
                !MakeTile(run, m_minZoom, column, row, tile.data(), covered)) {
                return false;
            }
        }
    }
    return !progress || progress(1.0);
}

} // namespace mapreg

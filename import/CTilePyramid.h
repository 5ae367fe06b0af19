#pragma once
// The zoom levels of a Web Mercator tile set made tile by tile, so that memory does not depend on
// the map's size: the highest level is filled in blocks of a few tiles (one warp each), every
// lower tile is reduced from the four below it, and the work runs down the quadtree of each tile
// of the lowest level, keeping one tile per level and one block. Plain C++: the pixels come from
// a Fill callback and go to a Put callback.
//
// A pixel is `components` bytes, the last one its alpha (0 where the map does not reach): red,
// green, blue and alpha reduced by averaging (the colours of the covered pixels, the alphas of
// all four), or a palette index and alpha reduced by nearest neighbour (one pixel of each four:
// the lower right one for the first level down, the upper left one for the next, and so on, which
// keeps the pixel picked within a sixth of a pixel of the middle of those it stands for at every
// level; always the same corner would drift to half a pixel). A tile whose alphas are all 0 is
// empty: it is neither put nor looked at again.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace mapreg {

class CTilePyramid {
public:
    static constexpr int kTileSide = 256;
    enum class Reduction { Average, Nearest };

    // Fills the side x side pixels of the highest level from (x0, y0) (pixels from the world's
    // north-west corner) into pixels, rows side * components bytes apart; false stops.
    using Fill =
        std::function<bool(std::int64_t x0, std::int64_t y0, int side, std::uint8_t* pixels)>;
    // A tile that is not empty: its zoom, column and row counted from the north, and its
    // kTileSide x kTileSide pixels, rows stride bytes apart; false stops.
    using Put = std::function<bool(int zoom, std::int64_t column, std::int64_t row,
                                   const std::uint8_t* pixels, std::size_t stride)>;
    // Whether the map may reach into x0..x1, y0..y1, pixels of the highest level: the parts it
    // does not reach are neither filled nor looked at.
    using Touches = std::function<bool(double x0, double y0, double x1, double y1)>;
    // The fraction done, 0..1; false stops.
    using Progress = std::function<bool(double)>;

    // Levels minZoom..maxZoom (0 <= minZoom <= maxZoom); the highest level is filled in blocks of
    // 2^blockLevels tiles a side (fewer when there are fewer levels). Blocks of 2 x 2 tiles cost
    // no more time than 4 x 4 (a 10000 x 10000 map, bicubic, through GDAL's warper) and hold a
    // quarter of the memory; single tiles take a tenth longer.
    CTilePyramid(int minZoom, int maxZoom, int components, Reduction reduction,
                 int blockLevels = 1);

    // Makes every tile of the levels that the map reaches within the box x0..x1, y0..y1 (pixels
    // of the highest level); false when a callback stopped it.
    bool Build(double x0, double y0, double x1, double y1, const Touches& touches, const Fill& fill,
               const Put& put, const Progress& progress = {});

    // Reduces the side x side pixels at source (rows sourceStride bytes apart) to side / 2 x side
    // / 2 pixels at target (rows targetStride apart); target may be source itself with a
    // targetStride of at most half the sourceStride. Levels is how many levels below the highest
    // the target is (it chooses the nearest neighbour's corner).
    static void Halve(const std::uint8_t* source, std::size_t sourceStride, int side,
                      std::uint8_t* target, std::size_t targetStride, int components,
                      Reduction reduction, int levels = 1);
    // Whether any of the side x side pixels has an alpha above 0.
    static bool AnyCovered(const std::uint8_t* pixels, std::size_t stride, int side,
                           int components);

private:
    struct SRun; // one Build's callbacks and counts
    // The pixels of tile (column, row) at zoom into tile (kTileSide a side, contiguous); covered
    // tells whether it is not empty. False when a callback stopped.
    bool MakeTile(SRun& run, int zoom, std::int64_t column, std::int64_t row, std::uint8_t* tile,
                  bool& covered);
    bool MakeBlock(SRun& run, std::int64_t column, std::int64_t row, std::uint8_t* tile,
                   bool& covered);
    // Whether the map may reach into tile (column, row) at zoom.
    bool TileTouches(const SRun& run, int zoom, std::int64_t column, std::int64_t row) const;
    // How many blocks the map reaches below tile (column, row) at zoom.
    std::int64_t CountBlocks(const SRun& run, int zoom, std::int64_t column,
                             std::int64_t row) const;

    int m_minZoom;
    int m_maxZoom;
    int m_blockZoom; // the level whose tiles are filled as one block of the highest level
    int m_components;
    Reduction m_reduction;
    std::vector<std::uint8_t> m_block;
};

} // namespace mapreg

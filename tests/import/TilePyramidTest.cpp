// The tile pyramid of the MBTiles export apart from any picture: a made-up map filled pixel by
// pixel, its tiles compared with the same reduction done on the whole level at once; and the Web
// Mercator arithmetic beside it.

#include "import/CTilePyramid.h"
#include "import/DeviceTiling.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <tuple>
#include <vector>

using namespace mapreg;

namespace {

using Pixels = std::vector<std::uint8_t>;

TEST(TilePyramid, averages_the_covered_colours_and_all_four_alphas) {
    // Two covered pixels (10, 20, 30) and (20, 40, 61), two uncovered ones of any colour.
    const std::uint8_t four[] = {10, 20, 30, 255, 99, 99, 99, 0, //
                                 20, 40, 61, 255, 77, 77, 77, 0};
    std::uint8_t out[4] = {};
    CTilePyramid::Halve(four, 8, 2, out, 4, 4, CTilePyramid::Reduction::Average);
    EXPECT_EQ((std::array<std::uint8_t, 4>{15, 30, 46, 128}),
              (std::array<std::uint8_t, 4>{out[0], out[1], out[2], out[3]}));
    // Nothing covered: black and transparent, as GDAL's warp leaves it.
    const std::uint8_t none[] = {9, 9, 9, 0, 9, 9, 9, 0, 9, 9, 9, 0, 9, 9, 9, 0};
    CTilePyramid::Halve(none, 8, 2, out, 4, 4, CTilePyramid::Reduction::Average);
    EXPECT_EQ((std::array<std::uint8_t, 4>{0, 0, 0, 0}),
              (std::array<std::uint8_t, 4>{out[0], out[1], out[2], out[3]}));
}

TEST(TilePyramid, nearest_picks_the_lower_right_pixel_then_the_upper_left_one_level_by_level) {
    // Palette indices 1 2 / 3 4, all covered.
    const std::uint8_t four[] = {1, 255, 2, 255, 3, 255, 4, 255};
    std::uint8_t out[2] = {};
    for (int levels = 1; levels <= 4; ++levels) {
        CTilePyramid::Halve(four, 4, 2, out, 2, 2, CTilePyramid::Reduction::Nearest, levels);
        EXPECT_EQ(levels % 2 != 0 ? 4 : 1, out[0]) << levels;
        EXPECT_EQ(255, out[1]);
    }
}

// A made-up map on the highest level (zoom 3, 2048 pixels a side): a rectangle of pixels whose
// colours follow their position, nothing outside it.
struct MadeUpMap {
    static constexpr int kZoom = 3;
    static constexpr int kSide = CTilePyramid::kTileSide << kZoom;
    int x0 = 350, y0 = 150, x1 = 1450, y1 = 667; // covered: x0 <= x < x1, y0 <= y < y1
    bool Covers(std::int64_t x, std::int64_t y) const {
        return x >= x0 && x < x1 && y >= y0 && y < y1;
    }
    void Pixel(std::int64_t x, std::int64_t y, std::uint8_t* p) const {
        const bool covered = Covers(x, y);
        p[0] = covered ? static_cast<std::uint8_t>(x * 7 + y) : 0;
        p[1] = covered ? static_cast<std::uint8_t>(x ^ y) : 0;
        p[2] = covered ? static_cast<std::uint8_t>(y * 3) : 0;
        p[3] = covered ? 255 : 0;
    }
};

TEST(TilePyramid, builds_each_covered_tile_once_as_the_whole_level_reduces_whatever_the_block) {
    const MadeUpMap map;
    // The reference: every level of the whole world, reduced at once.
    std::vector<Pixels> levels(MadeUpMap::kZoom + 1);
    int side = MadeUpMap::kSide;
    levels[MadeUpMap::kZoom].resize(std::size_t(side) * side * 4);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            map.Pixel(x, y, &levels[MadeUpMap::kZoom][(std::size_t(y) * side + x) * 4]);
        }
    }
    for (int zoom = MadeUpMap::kZoom - 1; zoom >= 0; --zoom, side /= 2) {
        levels[zoom].resize(std::size_t(side / 2) * (side / 2) * 4);
        CTilePyramid::Halve(levels[zoom + 1].data(), std::size_t(side) * 4, side,
                            levels[zoom].data(), std::size_t(side / 2) * 4, 4,
                            CTilePyramid::Reduction::Average);
    }
    const auto touches = [&](double x0, double y0, double x1, double y1) {
        return x1 > map.x0 && x0 < map.x1 && y1 > map.y0 && y0 < map.y1;
    };
    for (const int minZoom : {0, 2}) {
        for (const int blockLevels : {0, 1, 2, 3}) {
            CTilePyramid pyramid(minZoom, MadeUpMap::kZoom, 4, CTilePyramid::Reduction::Average,
                                 blockLevels);
            int fills = 0;
            const auto fill = [&](std::int64_t x0, std::int64_t y0, int blockSide,
                                  std::uint8_t* pixels) {
                EXPECT_EQ(CTilePyramid::kTileSide
                              << std::min(blockLevels, MadeUpMap::kZoom - minZoom),
                          blockSide);
                for (int y = 0; y < blockSide; ++y) {
                    for (int x = 0; x < blockSide; ++x) {
                        map.Pixel(x0 + x, y0 + y, pixels + (std::size_t(y) * blockSide + x) * 4);
                    }
                }
                ++fills;
                return true;
            };
            std::map<std::tuple<int, std::int64_t, std::int64_t>, int> seen;
            const auto put = [&](int zoom, std::int64_t column, std::int64_t row,
                                 const std::uint8_t* pixels, std::size_t stride) {
                ++seen[{zoom, column, row}];
                const int levelSide = CTilePyramid::kTileSide << zoom;
                for (int y = 0; y < CTilePyramid::kTileSide; ++y) {
                    const std::uint8_t* expected =
                        &levels[zoom]
                               [((std::size_t(row) * CTilePyramid::kTileSide + y) * levelSide +
                                 std::size_t(column) * CTilePyramid::kTileSide) *
                                4];
                    const std::uint8_t* got = pixels + std::size_t(y) * stride;
                    if (!std::equal(got, got + CTilePyramid::kTileSide * 4, expected)) {
                        ADD_FAILURE() << "tile " << zoom << "/" << column << "/" << row << " row "
                                      << y << " blocks " << blockLevels;
                        return false;
                    }
                }
                return true;
            };
            double last = -1.0;
            const auto progress = [&](double done) {
                EXPECT_GE(done, last);
                last = done;
                return true;
            };
            ASSERT_TRUE(
                pyramid.Build(map.x0, map.y0, map.x1, map.y1, touches, fill, put, progress));
            EXPECT_EQ(1.0, last);
            // Every tile of every level with a covered pixel, once; no other.
            for (int zoom = minZoom; zoom <= MadeUpMap::kZoom; ++zoom) {
                const int tiles = 1 << zoom;
                const int step = 1 << (MadeUpMap::kZoom - zoom);
                for (int row = 0; row < tiles; ++row) {
                    for (int column = 0; column < tiles; ++column) {
                        const int px0 = column * CTilePyramid::kTileSide * step;
                        const int py0 = row * CTilePyramid::kTileSide * step;
                        const int px1 = px0 + CTilePyramid::kTileSide * step;
                        const int py1 = py0 + CTilePyramid::kTileSide * step;
                        const bool covered =
                            px1 > map.x0 && px0 < map.x1 && py1 > map.y0 && py0 < map.y1;
                        const auto it = seen.find({zoom, column, row});
                        EXPECT_EQ(covered ? 1 : 0, it == seen.end() ? 0 : it->second)
                            << zoom << "/" << column << "/" << row << " blocks " << blockLevels;
                    }
                }
            }
            // Only the blocks the map reaches are filled.
            const int blockSide = CTilePyramid::kTileSide
                                  << std::min(blockLevels, MadeUpMap::kZoom - minZoom);
            const int across = (map.x1 - 1) / blockSide - map.x0 / blockSide + 1;
            const int down = (map.y1 - 1) / blockSide - map.y0 / blockSide + 1;
            EXPECT_EQ(across * down, fills) << blockLevels;
        }
    }
}

TEST(TilePyramid, stops_when_a_callback_says_so) {
    const MadeUpMap map;
    const auto touches = [](double, double, double, double) { return true; };
    const auto fill = [&](std::int64_t x0, std::int64_t y0, int side, std::uint8_t* pixels) {
        for (int y = 0; y < side; ++y) {
            for (int x = 0; x < side; ++x) {
                map.Pixel(x0 + x, y0 + y, pixels + (std::size_t(y) * side + x) * 4);
            }
        }
        return true;
    };
    int puts = 0;
    const auto put = [&](int, std::int64_t, std::int64_t, const std::uint8_t*, std::size_t) {
        return ++puts < 3;
    };
    CTilePyramid pyramid(0, MadeUpMap::kZoom, 4, CTilePyramid::Reduction::Average);
    EXPECT_FALSE(pyramid.Build(0, 0, MadeUpMap::kSide, MadeUpMap::kSide, touches, fill, put));
    EXPECT_EQ(3, puts);
    int reports = 0;
    const auto cancel = [&](double) { return ++reports < 2; };
    const auto keep = [](int, std::int64_t, std::int64_t, const std::uint8_t*, std::size_t) {
        return true;
    };
    EXPECT_FALSE(
        pyramid.Build(0, 0, MadeUpMap::kSide, MadeUpMap::kSide, touches, fill, keep, cancel));
    EXPECT_EQ(2, reports);
}

TEST(WebMercator, places_degrees_and_pixels_as_epsg_3857_does) {
    const CDoublePoint origin = LonLatToMercator({0.0, 0.0});
    EXPECT_NEAR(0.0, origin.x, 1e-9);
    EXPECT_NEAR(0.0, origin.y, 1e-9);
    // The world's corner, and latitudes beyond it clamped to it.
    const CDoublePoint corner = LonLatToMercator({180.0, 85.0511287798066});
    EXPECT_NEAR(kMercatorHalfWorld, corner.x, 1e-6);
    EXPECT_NEAR(kMercatorHalfWorld, corner.y, 1e-3);
    EXPECT_EQ(kMercatorHalfWorld, LonLatToMercator({0.0, 90.0}).y);
    EXPECT_EQ(-kMercatorHalfWorld, LonLatToMercator({0.0, -90.0}).y);
    // gdaltransform -s_srs EPSG:4326 -t_srs EPSG:3857: 10 E 47 N.
    const CDoublePoint alps = LonLatToMercator({10.0, 47.0});
    EXPECT_NEAR(1113194.9079327357, alps.x, 1e-6);
    EXPECT_NEAR(5942074.0724311, alps.y, 1e-6);
    EXPECT_DOUBLE_EQ(156543.03392804097 / 256.0 * 256.0, MercatorPixelSize(0));
    EXPECT_DOUBLE_EQ(MercatorPixelSize(0) / 1024.0, MercatorPixelSize(10));
    // A 300 x 400 picture whose corners lie 3000 m and 4000 m apart: 10 m pixels.
    EXPECT_DOUBLE_EQ(10.0, SuggestedPixelSize({0.0, 0.0}, {3000.0, -4000.0}, 300, 400));
    EXPECT_EQ(14, MaxZoomFor(SuggestedPixelSize({0.0, 0.0}, {3000.0, -4000.0}, 300, 400)));
}

} // namespace

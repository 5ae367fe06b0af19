// The reduced copies of the map picture: each pixel the rounded average of its block, against a
// plain per-channel computation; level sizes, memory and the level chosen for a zoom factor.

#include "display/CMapPyramid.h"

#include <QImage>
#include <QRandomGenerator>

#include <algorithm>

#include <gtest/gtest.h>

using namespace mapreg;

namespace {

// The rounded average of each channel over the pixels of the 2 x 2 block that exist.
QRgb BlockAverage(const QImage& image, int x, int y) {
    int nSums[4] = {};
    int n = 0;
    for (int yy = 2 * y; yy < std::min(2 * y + 2, image.height()); ++yy) {
        for (int xx = 2 * x; xx < std::min(2 * x + 2, image.width()); ++xx) {
            const QRgb c = image.pixel(xx, yy);
            nSums[0] += qRed(c);
            nSums[1] += qGreen(c);
            nSums[2] += qBlue(c);
            nSums[3] += qAlpha(c);
            ++n;
        }
    }
    auto avg = [n](int nSum) { return (nSum + n / 2) / n; };
    return qRgba(avg(nSums[0]), avg(nSums[1]), avg(nSums[2]), avg(nSums[3]));
}

} // namespace

TEST(MapPyramid, half_size_averages_each_block_with_odd_edges) {
    for (const QSize size : {QSize(7, 5), QSize(8, 6), QSize(1, 1)}) {
        QImage image(size, QImage::Format_ARGB32);
        QRandomGenerator random(42);
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                image.setPixel(x, y, random.generate());
            }
        }
        const QImage half = CMapPyramid::HalfSize(image);
        ASSERT_EQ(half.size(), QSize((size.width() + 1) / 2, (size.height() + 1) / 2));
        for (int y = 0; y < half.height(); ++y) {
            for (int x = 0; x < half.width(); ++x) {
                EXPECT_EQ(half.pixel(x, y), BlockAverage(image, x, y)) << x << ", " << y;
            }
        }
    }
}

TEST(MapPyramid, levels_are_made_on_demand_within_a_third_of_the_picture) {
    QImage picture(1001, 300, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    CMapPyramid pyramid(&picture);
    EXPECT_EQ(&pyramid.Level(0), &picture);
    EXPECT_EQ(pyramid.BuiltLevels(), 0);
    EXPECT_EQ(pyramid.Level(2).size(), QSize(251, 75));
    EXPECT_EQ(pyramid.BuiltLevels(), 2);
    EXPECT_EQ(pyramid.Level(CMapPyramid::kMaxLevel).size(), QSize(32, 10));
    EXPECT_LE(pyramid.LevelBytes() * 300, picture.sizeInBytes() * 102);
    const std::pair<double, int> levels[] = {{8.0, 0}, {1.0, 0},  {0.99, 0},    {0.5, 1},
                                             {0.3, 1}, {0.25, 2}, {1.0 / 32, 5}};
    for (const auto& [dFactor, nLevel] : levels) {
        EXPECT_EQ(CMapPyramid::LevelFor(dFactor), nLevel) << dFactor;
    }
}

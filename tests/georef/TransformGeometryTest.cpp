#include "georef/TransformGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace mapreg;

namespace {

using Marks = std::array<CDoublePoint, 3>;

// Both checks name a mark through the index only when they fail; -1 here: passes.
TEST(TransformGeometry, close_and_nearly_collinear_marks_name_the_mark) {
    const double tan10 = std::tan(10.0 * std::numbers::pi / 180.0);
    const std::pair<Marks, int> close[] = {
        {{{{0, 0}, {7, 7}, {100, 0}}}, 0},   {{{{0, 0}, {8, 0}, {100, 0}}}, -1},
        {{{{0, 0}, {100, 0}, {103, 5}}}, 1}, {{{{0, 0}, {100, 0}, {-3, -7.9}}}, 0},
        {{{{0, 0}, {1, 50}, {50, 1}}}, -1},
    };
    const std::pair<Marks, int> collinear[] = {
        {{{{0, 0}, {100, 0}, {200, 10}}}, 0},
        {{{{100, -5}, {100, 5}, {0, 0}}}, 2},
        {{{{0, 0}, {100, 0}, {100, 100 * tan10 * 1.001}}}, -1},
        {{{{0, 0}, {50, 50}, {100, 100}}}, 0},
    };
    for (const auto& [marks, expected] : close) {
        int index = -7;
        EXPECT_EQ(MarksTooClose(marks, 8.0, &index), expected >= 0)
            << marks[1].x << " " << marks[2].x;
        EXPECT_EQ(index, expected >= 0 ? expected : -7) << marks[1].x << " " << marks[2].x;
    }
    for (const auto& [marks, expected] : collinear) {
        int index = -7;
        EXPECT_EQ(MarksNearlyCollinear(marks, 10.0, &index), expected >= 0)
            << marks[1].x << " " << marks[2].x;
        EXPECT_EQ(index, expected >= 0 ? expected : -7) << marks[1].x << " " << marks[2].x;
    }
}

} // namespace

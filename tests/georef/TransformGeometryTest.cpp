#include "TransformGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using Marks = std::array<CDoublePoint, 3>;

TEST(TransformGeometry, smallest_angle_vertex_prefers_the_later_vertex_on_a_tie) {
    struct Case {
        const char* name;
        CDoublePoint a, b, c;
        int expected;
    };
    const Case cases[] = {
        {"tie_of_a_and_b", {0, 0}, {100, 0}, {50, 10}, 2},
        {"tie_of_b_and_c", {50, 10}, {0, 0}, {100, 0}, 3},
        {"a_smallest", {0, 0}, {100, 10}, {100, -10}, 1},
        {"b_smallest", {100, 10}, {0, 0}, {100, -10}, 2},
        {"c_smallest", {100, 10}, {100, -10}, {0, 0}, 3},
        {"equilateral_goes_to_c", {0, 0}, {2, 0}, {1, std::sqrt(3.0)}, 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SmallestAngleVertex(c.a, c.b, c.c), c.expected) << c.name;
    }
}

TEST(TransformGeometry, scan_axis_follows_the_steeper_edge) {
    const auto at = [](double degrees) {
        const double r = degrees * std::numbers::pi / 180.0;
        return CDoublePoint{100.0 * std::cos(r), 100.0 * std::sin(r)};
    };
    struct Case {
        const char* name;
        CDoublePoint first, second;
        int expected;
    };
    const Case cases[] = {
        {"vertical_edge_wins_over_horizontal", {0, 50}, {50, 0}, 0},
        {"horizontal_edge_alone", {50, 0}, {40, 30}, 1},
        {"edges_at_30_and_80_degrees", at(30), at(80), 0},
        {"edges_at_10_and_60_degrees", at(10), at(60), 1},
        {"edges_at_50_and_88_degrees", at(50), at(88), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseScanAxis({0, 0}, c.first, c.second), c.expected) << c.name;
    }
}

TEST(TransformGeometry, marks_too_close_reports_the_first_mark_of_the_first_close_pair) {
    struct Case {
        const char* name;
        Marks marks;
        int expected; // -1: not too close
    };
    const Case cases[] = {
        {"pair_0_1", {{{0, 0}, {7, 7}, {100, 0}}}, 0},
        {"eight_is_not_less_than_eight", {{{0, 0}, {8, 0}, {100, 0}}}, -1},
        {"pair_1_2", {{{0, 0}, {100, 0}, {103, 5}}}, 1},
        {"pair_0_2", {{{0, 0}, {100, 0}, {-3, -7.9}}}, 0},
        {"close_on_one_axis_only", {{{0, 0}, {1, 50}, {50, 1}}}, -1},
    };
    for (const Case& c : cases) {
        int index = -7;
        EXPECT_EQ(MarksTooClose(c.marks, 8.0, &index), c.expected >= 0) << c.name;
        EXPECT_EQ(index, c.expected >= 0 ? c.expected : -7) << c.name;
    }
}

TEST(TransformGeometry, nearly_collinear_marks_name_the_narrow_angle) {
    struct Case {
        const char* name;
        Marks marks;
        int expected; // -1: accepted
    };
    const double tan10 = std::tan(10.0 * std::numbers::pi / 180.0);
    const Case cases[] = {
        {"narrow_at_mark_0", {{{0, 0}, {100, 0}, {200, 10}}}, 0},
        {"narrow_at_mark_2", {{{100, -5}, {100, 5}, {0, 0}}}, 2},
        {"angle_just_above_ten_degrees", {{{0, 0}, {100, 0}, {100, 100 * tan10 * 1.001}}}, -1},
        {"right_isosceles", {{{0, 0}, {100, 0}, {0, 100}}}, -1},
        {"all_on_a_line", {{{0, 0}, {50, 50}, {100, 100}}}, 0},
    };
    for (const Case& c : cases) {
        int index = -7;
        EXPECT_EQ(MarksNearlyCollinear(c.marks, 10.0, &index), c.expected >= 0) << c.name;
        EXPECT_EQ(index, c.expected >= 0 ? c.expected : -7) << c.name;
    }
}

TEST(TransformGeometry, triangle_angle_of_a_flat_triangle_is_never_nan) {
    // Sides whose rounded cosine lands just past -1 or +1.
    const double sides[][3] = {{0.3, 0.1, 0.2}, {0.7, 0.1, 0.6}, {3.3, 1.1, 2.2}, {0.1, 0.3, 0.2}};
    for (const auto& s : sides) {
        const double angle = TriangleAngle(s[0], s[1], s[2]);
        EXPECT_FALSE(std::isnan(angle)) << s[0] << " " << s[1] << " " << s[2];
    }
    EXPECT_NEAR(TriangleAngle(0.3, 0.1, 0.2), std::numbers::pi, 1e-7);
    EXPECT_NEAR(TriangleAngle(0.1, 0.3, 0.2), 0.0, 1e-7);
}

} // namespace

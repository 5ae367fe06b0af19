#include "CalibrationCheck.h"
#include "CMapTransform.h"
#include "StringTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>

namespace {

using Marks = std::array<CDoublePoint, 3>;

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const Marks kGoodPicture = {{{10, 10}, {300, 40}, {120, 260}}};
const Marks kGoodLatLon = {{{-123.5, 48.25}, {-123.0, 48.3}, {-123.2, 47.9}}};
const Marks kGoodUtm = {{{462737, 5345598}, {500000, 5350000}, {480000, 5300000}}};

struct Case {
    const char* name;
    int coordType;
    Marks world;
    Marks picture;
    int zone;
    char letter;
    int code;
    int mark;  // expected markIndex, -7 when it must stay untouched
    int field; // expected fieldIndex, -7 when it must stay untouched
};

Marks WithWorld(Marks m, std::size_t i, double x, double y) {
    m[i] = {x, y};
    return m;
}

void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        int mark = -7;
        int field = -7;
        EXPECT_EQ(
            CheckCalibration(c.coordType, c.world, c.picture, c.zone, c.letter, &mark, &field),
            c.code)
            << c.name;
        EXPECT_EQ(mark, c.mark) << c.name;
        EXPECT_EQ(field, c.field) << c.name;
    }
}

TEST(CalibrationCheck, zone_rules) {
    const Marks tooClose = {{{10, 10}, {17, 17}, {300, 40}}};
    std::vector<Case> cases = {
        {"zone_error_comes_first", 1, kGoodUtm, tooClose, 0, 'U', 5, -7, -7},
        {"lat_lon_ignores_the_zone", 0, kGoodLatLon, kGoodPicture, 0, '?', 0, -7, -7},
        {"zone_60", 1, kGoodUtm, kGoodPicture, 60, 'U', 0, -7, -7},
        {"zone_61", 1, kGoodUtm, kGoodPicture, 61, 'U', 5, -7, -7},
        {"zone_negative", 1, kGoodUtm, kGoodPicture, -10, 'U', 5, -7, -7},
        {"lower_case_c", 1, kGoodUtm, kGoodPicture, 10, 'c', 0, -7, -7},
        {"lower_case_x", 1, kGoodUtm, kGoodPicture, 10, 'x', 0, -7, -7},
        {"outside_marker", 1, kGoodUtm, kGoodPicture, 10, '*', 5, -7, -7},
        {"byte_above_ascii", 1, kGoodUtm, kGoodPicture, 10, static_cast<char>(0xD5), 5, -7, -7},
    };
    for (const char bad : std::string("IOioABYZ")) {
        cases.push_back({"excluded_letter", 1, kGoodUtm, kGoodPicture, 10, bad, 5, -7, -7});
    }
    RunCases(cases);
}

TEST(CalibrationCheck, picture_checks_come_before_world_checks) {
    const Marks outOfRange = {{{200, 0}, {0, 100}, {0, 0}}};
    RunCases({
        {"too_close", 0, kGoodLatLon, {{{10, 10}, {17, 17}, {300, 40}}}, 0, ' ', 1, 0, 0},
        {"eight_pixels_apart_pass",
         0,
         kGoodLatLon,
         {{{10, 10}, {18, 10}, {14, 18}}},
         0,
         ' ',
         0,
         -7,
         -7},
        {"narrow_angle", 0, kGoodLatLon, {{{10, 10}, {18, 10}, {300, 40}}}, 0, ' ', 2, 0, 0},
        {"too_close_and_out_of_range",
         0,
         outOfRange,
         {{{10, 10}, {17, 17}, {300, 40}}},
         0,
         ' ',
         1,
         0,
         0},
    });
}

TEST(CalibrationCheck, equal_world_points_and_ranges) {
    RunCases({
        {"equal_marks_1_2", 0, {{{0, 0}, {10, 20}, {10, 20}}}, kGoodPicture, 0, ' ', 3, 1, 3},
        {"equal_marks_0_2", 0, {{{10, 20}, {0, 0}, {10, 20}}}, kGoodPicture, 0, ' ', 3, 0, 3},
        {"limits_are_valid",
         0,
         {{{-180, 90}, {180, 90}, {180, -90}}},
         kGoodPicture,
         0,
         ' ',
         0,
         -7,
         -7},
        {"longitude_past_180", 0, WithWorld(kGoodLatLon, 2, 180.000001, 0), kGoodPicture, 0, ' ', 4,
         2, 2},
        {"latitude_below_minus_90", 0, WithWorld(kGoodLatLon, 1, 0, -90.5), kGoodPicture, 0, ' ', 4,
         1, 3},
        {"x_checked_before_y", 0, WithWorld(kGoodLatLon, 1, 200, 100), kGoodPicture, 0, ' ', 4, 1,
         2},
        {"easting_just_below_a_million", 1, WithWorld(kGoodUtm, 0, 999999.99, 5e6), kGoodPicture,
         10, 'U', 0, -7, -7},
        {"easting_a_million", 1, WithWorld(kGoodUtm, 1, 1e6, 5e6), kGoodPicture, 10, 'U', 4, 1, 2},
        {"northing_zero", 1, WithWorld(kGoodUtm, 2, 470000, 0.0), kGoodPicture, 10, 'U', 0, -7, -7},
        {"northing_negative", 1, WithWorld(kGoodUtm, 2, 470000, -0.01), kGoodPicture, 10, 'U', 4, 2,
         3},
        {"northing_ten_million", 1, WithWorld(kGoodUtm, 0, 470000, 1e7), kGoodPicture, 10, 'U', 4,
         0, 3},
    });
}

TEST(CalibrationCheck, non_finite_world_values_are_out_of_range) {
    RunCases({
        {"nan_longitude", 0, WithWorld(kGoodLatLon, 1, kNan, 10), kGoodPicture, 0, ' ', 4, 1, 2},
        {"nan_latitude", 0, WithWorld(kGoodLatLon, 0, 10, kNan), kGoodPicture, 0, ' ', 4, 0, 3},
        {"infinite_latitude", 0, WithWorld(kGoodLatLon, 2, 10, -kInf), kGoodPicture, 0, ' ', 4, 2,
         3},
        {"nan_easting", 1, WithWorld(kGoodUtm, 2, kNan, 5e6), kGoodPicture, 10, 'U', 4, 2, 2},
        {"infinite_northing", 1, WithWorld(kGoodUtm, 1, 4e5, kInf), kGoodPicture, 10, 'U', 4, 1, 3},
        {"nan_on_two_marks",
         0,
         {{{kNan, kNan}, {kNan, kNan}, {0, 0}}},
         kGoodPicture,
         0,
         ' ',
         4,
         0,
         2},
    });
}

TEST(CalibrationCheck, flat_world_triangle_is_rejected_at_its_smallest_angle) {
    RunCases({
        {"on_one_line_ends_0_and_2",
         0,
         {{{0, 0}, {10, 10}, {20, 20}}},
         kGoodPicture,
         0,
         ' ',
         2,
         0,
         3},
        {"on_one_line_ends_1_and_2",
         0,
         {{{10, 10}, {0, 0}, {20, 20}}},
         kGoodPicture,
         0,
         ' ',
         2,
         1,
         3},
        {"on_one_line_ends_0_and_1",
         0,
         {{{0, 0}, {20, 20}, {10, 10}}},
         kGoodPicture,
         0,
         ' ',
         2,
         0,
         3},
        {"nearly_on_one_line",
         0,
         {{{0, 0}, {5, 5 + 1e-12}, {20, 20}}},
         kGoodPicture,
         0,
         ' ',
         2,
         2,
         3},
        {"utm_on_one_line",
         1,
         {{{400000, 5e6}, {450000, 5e6}, {420000, 5e6}}},
         kGoodPicture,
         10,
         'U',
         2,
         0,
         3},
        {"thin_but_usable", 0, {{{0, 0}, {10, 0}, {20, 1e-3}}}, kGoodPicture, 0, ' ', 0, -7, -7},
    });
}

TEST(CalibrationCheck, accepted_calibrations_give_finite_transforms) {
    // Accepted world triangles may be arbitrarily thin, but never so thin that the transform
    // divides by zero.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> lon(-180.0, 180.0);
    std::uniform_real_distribution<double> lat(-90.0, 90.0);
    std::uniform_real_distribution<double> tiny(-1e-9, 1e-9);
    int accepted = 0;
    for (int n = 0; n < 2000; ++n) {
        Marks world;
        world[0] = {lon(random), lat(random)};
        world[1] = {lon(random), lat(random)};
        const double t = n % 2 == 0 ? 0.5 : 1.7;
        // Third point on or very near the line through the first two.
        world[2] = {world[0].x + (world[1].x - world[0].x) * t + tiny(random),
                    world[0].y + (world[1].y - world[0].y) * t + tiny(random)};
        int mark = 0;
        int field = 0;
        if (CheckCalibration(0, world, kGoodPicture, 0, ' ', &mark, &field) != 0) {
            continue;
        }
        ++accepted;
        CMapTransform transform;
        transform.SetControlPoints(world, kGoodPicture);
        const CDoublePoint p = transform.WorldToPicture({0, 0});
        const CDoublePoint w = transform.PictureToWorld({500, 500});
        EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(w.x) &&
                    std::isfinite(w.y));
    }
    EXPECT_GT(accepted, 0);
}

TEST(CalibrationCheck, message_ids_and_texts) {
    struct MessageCase {
        int code;
        unsigned id;
        const char* text;
    };
    const MessageCase cases[] = {
        {0, 0, ""},
        {1, 61211,
         "Two of the calibration marks are too close together.  Increase the distance between "
         "those two calibration marks."},
        {2, 61212,
         "The calibration marks form a nearly straight line.  Move the points so that they do not "
         "form a nearly straight line."},
        {3, 61213,
         "Two of the calibration points have equal coordinates.  Change one of these coordinates."},
        {4, 61224, "One of the coordinate values is not valid and is out of range."},
        {5, 61225,
         "Invalid UTM zone.  Valid zone numbers range from 1 to 60; valid zone letters range from "
         "C to X, except I and O."},
        {6, 0, ""},
    };
    for (const MessageCase& c : cases) {
        EXPECT_EQ(CalibrationMessageId(c.code), c.id) << c.code;
        EXPECT_EQ(LoadStringId(CalibrationMessageId(c.code)), c.text) << c.code;
    }
}

} // namespace

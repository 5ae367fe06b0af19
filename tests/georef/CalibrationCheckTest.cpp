#include "georef/CalibrationCheck.h"
#include "resources/StringTable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace mapreg;

namespace {

using Marks = std::array<CDoublePoint, 3>;

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const Marks kGoodPicture = {{{10, 10}, {300, 40}, {120, 260}}};
const Marks kGoodLatLon = {{{-123.5, 48.25}, {-123.0, 48.3}, {-123.2, 47.9}}};
const Marks kGoodUtm = {{{462737, 5345598}, {500000, 5350000}, {480000, 5300000}}};

// Latitude/longitude cases leave zone and letter at their defaults; mark and field are -1 where
// none is named.
struct Case {
    const char* name;
    int code, mark, field;
    int coordType;
    Marks world;
    int zone = 10;
    char letter = 'U';
    Marks picture = kGoodPicture;
};

Marks WithWorld(Marks m, std::size_t i, double x, double y) {
    m[i] = {x, y};
    return m;
}

void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        const CalibrationCheckResult r = CheckCalibration(
            {static_cast<CoordType>(c.coordType), c.world, c.picture, c.zone, c.letter});
        EXPECT_EQ(r.code, c.code) << c.name;
        EXPECT_EQ(r.mark, c.mark) << c.name;
        EXPECT_EQ(r.field, c.field) << c.name;
    }
}

TEST(CalibrationCheck, zone_rules) {
    const Marks tooClose = {{{10, 10}, {17, 17}, {300, 40}}};
    std::vector<Case> cases = {
        {"zone_error_comes_first", 5, -1, -1, 1, kGoodUtm, 0, 'U', tooClose},
        {"lat_lon_ignores_the_zone", 0, -1, -1, 0, kGoodLatLon, 0, '?'},
        {"zone_60", 0, -1, -1, 1, kGoodUtm, 60},
        {"zone_61", 5, -1, -1, 1, kGoodUtm, 61},
        {"zone_negative", 5, -1, -1, 1, kGoodUtm, -10},
        {"lower_case_c", 0, -1, -1, 1, kGoodUtm, 10, 'c'},
        {"lower_case_x", 0, -1, -1, 1, kGoodUtm, 10, 'x'},
        {"outside_marker", 5, -1, -1, 1, kGoodUtm, 10, '*'},
        {"byte_above_ascii", 5, -1, -1, 1, kGoodUtm, 10, static_cast<char>(0xD5)},
    };
    for (const char bad : std::string("IOioABYZ")) {
        cases.push_back({"excluded_letter", 5, -1, -1, 1, kGoodUtm, 10, bad});
    }
    RunCases(cases);
}

TEST(CalibrationCheck, picture_checks_come_before_world_checks) {
    const Marks outOfRange = {{{200, 0}, {0, 100}, {0, 0}}};
    const Marks tooClose = {{{10, 10}, {17, 17}, {300, 40}}};
    const Marks eightApart = {{{10, 10}, {18, 10}, {14, 18}}};
    const Marks narrow = {{{10, 10}, {18, 10}, {300, 40}}};
    RunCases({
        {"too_close", 1, 0, 0, 0, kGoodLatLon, 0, ' ', tooClose},
        {"eight_pixels_apart_pass", 0, -1, -1, 0, kGoodLatLon, 0, ' ', eightApart},
        {"narrow_angle", 2, 0, 0, 0, kGoodLatLon, 0, ' ', narrow},
        {"too_close_and_out_of_range", 1, 0, 0, 0, outOfRange, 0, ' ', tooClose},
    });
}

TEST(CalibrationCheck, world_points_equal_out_of_range_or_in_a_line) {
    const Marks& ll = kGoodLatLon;
    const Marks& utm = kGoodUtm;
    RunCases({
        {"equal_marks_1_2", 3, 1, 3, 0, {{{0, 0}, {10, 20}, {10, 20}}}},
        {"equal_marks_0_2", 3, 0, 3, 0, {{{10, 20}, {0, 0}, {10, 20}}}},
        {"limits_are_valid", 0, -1, -1, 0, {{{-180, 90}, {180, 90}, {180, -90}}}},
        {"longitude_past_180", 4, 2, 2, 0, WithWorld(ll, 2, 180.000001, 0)},
        {"latitude_below_minus_90", 4, 1, 3, 0, WithWorld(ll, 1, 0, -90.5)},
        {"x_checked_before_y", 4, 1, 2, 0, WithWorld(ll, 1, 200, 100)},
        {"easting_just_below_a_million", 0, -1, -1, 1, WithWorld(utm, 0, 999999.99, 5e6)},
        {"easting_a_million", 4, 1, 2, 1, WithWorld(utm, 1, 1e6, 5e6)},
        {"northing_zero", 0, -1, -1, 1, WithWorld(utm, 2, 470000, 0.0)},
        {"northing_negative", 4, 2, 3, 1, WithWorld(utm, 2, 470000, -0.01)},
        {"northing_ten_million", 4, 0, 3, 1, WithWorld(utm, 0, 470000, 1e7)},
        // Non-finite values are out of range too.
        {"nan_longitude", 4, 1, 2, 0, WithWorld(ll, 1, kNan, 10)},
        {"nan_latitude", 4, 0, 3, 0, WithWorld(ll, 0, 10, kNan)},
        {"infinite_latitude", 4, 2, 3, 0, WithWorld(ll, 2, 10, -kInf)},
        {"nan_easting", 4, 2, 2, 1, WithWorld(utm, 2, kNan, 5e6)},
        {"infinite_northing", 4, 1, 3, 1, WithWorld(utm, 1, 4e5, kInf)},
        {"nan_on_two_marks", 4, 0, 2, 0, {{{kNan, kNan}, {kNan, kNan}, {0, 0}}}},
        // A flat world triangle is rejected at its smallest angle.
        {"on_one_line_ends_0_and_2", 2, 0, 3, 0, {{{0, 0}, {10, 10}, {20, 20}}}},
        {"on_one_line_ends_1_and_2", 2, 1, 3, 0, {{{10, 10}, {0, 0}, {20, 20}}}},
        {"on_one_line_ends_0_and_1", 2, 0, 3, 0, {{{0, 0}, {20, 20}, {10, 10}}}},
        {"nearly_on_one_line", 2, 2, 3, 0, {{{0, 0}, {5, 5 + 1e-12}, {20, 20}}}},
        {"utm_on_one_line", 2, 0, 3, 1, {{{400000, 5e6}, {450000, 5e6}, {420000, 5e6}}}},
        {"thin_but_usable", 0, -1, -1, 0, {{{0, 0}, {10, 0}, {20, 1e-3}}}},
    });
}

TEST(CalibrationCheck, each_rejection_has_its_message) {
    const std::pair<int, unsigned> cases[] = {{0, 0},     {1, 61211}, {2, 61212}, {3, 61213},
                                              {4, 61224}, {5, 61225}, {6, 0}};
    for (const auto& [code, id] : cases) {
        EXPECT_EQ(CalibrationMessageId(code), id) << code;
        EXPECT_EQ(LoadStringId(id).empty(), id == 0) << code;
    }
}

} // namespace

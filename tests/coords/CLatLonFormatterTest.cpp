#include "coords/CLatLonFormatter.h"
#include "coords/AngleParser.h"
#include "coords/CUtmConverter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using namespace mapreg;

namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(CLatLonFormatter, angle_texts_in_every_layout) {
    const struct {
        int format;
        double value;
        bool isLongitude;
        const char* text;
    } cases[] = {
        // clang-format off
        // The sample position in each layout.
        {0, 48.2625, false, "N 48.26250*"},   {0, -123.50208333, true, "W 123.50208*"},
        {1, 48.2625, false, "N 48*15.750'"},  {1, -123.50208333, true, "W 123*30.125'"},
        {2, 48.2625, false, "N 48*15'45.0\""}, {2, -123.50208333, true, "W 123*30'07.5\""},
        // The sign is decided before rounding; negative zero is north or east.
        {0, -0.000004, false, "S 00.00000*"}, {0, -0.0, false, "N 00.00000*"},
        {2, -0.0, true, "E 000*00'00.0\""},
        // Rounding carries into minutes and degrees.
        {0, 9.999996, false, "N 10.00000*"}, {1, 48.999999, false, "N 49*00.000'"},
        {2, 10.9999999, false, "N 11*00'00.0\""},
        {2, 10.0 + 59.99999 / 3600.0, false, "N 10*01'00.0\""},
        // Counts beyond 32 bits; a placeholder where no layout can show the value; an unknown
        // layout writes nothing.
        {2, 1e13, false, "N 10000000000000*00'00.0\""},
        {0, kNan, false, "---"}, {1, -kInf, true, "---"}, {2, 1e300, false, "---"},
        {3, 10.0, false, "unchanged"}, {-1, 10.0, false, "unchanged"},
        // clang-format on
    };
    for (const auto& c : cases) {
        CLatLonFormatter formatter;
        formatter.SetLatLonFormat(c.format);
        std::string text = "unchanged";
        formatter.FormatAngle(text, c.value, c.isLongitude);
        EXPECT_EQ(text, c.text) << c.format << " " << c.value;
    }
}

TEST(CLatLonFormatter, whole_position_is_latitude_then_longitude_and_xy_is_the_reverse) {
    CLatLonFormatter formatter;
    formatter.SetLatLonFormat(1);
    formatter.SetLatLon(48.2625, -123.50208333);
    std::string text;
    formatter.Format(text);
    EXPECT_EQ(text, "N 48*15.750', W 123*30.125'");
    std::string x;
    std::string y;
    formatter.FormatXY(x, y);
    EXPECT_EQ(x, "W 123*30.125'");
    EXPECT_EQ(y, "N 48*15.750'");

    formatter.SetLatLon(kNan, 7.5);
    formatter.Format(text);
    EXPECT_EQ(text, "---, E 007*30.000'");
}

// Every layout the formatter writes reads back to the value within the layout's resolution.
TEST(CLatLonFormatter, texts_parse_back_to_their_value) {
    const double resolution[] = {0.5e-5, 0.5e-3 / 60.0, 0.05 / 3600.0};
    std::mt19937 random(3);
    std::uniform_real_distribution<double> lat(-90.0, 90.0);
    std::uniform_real_distribution<double> lon(-180.0, 180.0);
    CLatLonFormatter formatter;
    for (int format = 0; format < 3; ++format) {
        formatter.SetLatLonFormat(format);
        for (int i = 0; i < 1000; ++i) {
            const double latitude = lat(random);
            const double longitude = lon(random);
            formatter.SetLatLon(latitude, longitude);
            std::string x;
            std::string y;
            formatter.FormatXY(x, y);
            ASSERT_NEAR(ParseAngle(y), latitude, resolution[format] * 1.0001) << y;
            ASSERT_NEAR(ParseAngle(x), longitude, resolution[format] * 1.0001) << x;
        }
    }
}

// The status bar formats a position on every mouse move: no allocation once the text has room.
TEST(CGeoPosition, formatting_reuses_the_callers_buffer) {
    CLatLonFormatter latLon;
    latLon.SetLatLonFormat(2);
    CUtmConverter utm;
    for (CGeoPosition* position : std::initializer_list<CGeoPosition*>{&latLon, &utm}) {
        std::string text;
        text.reserve(64);
        const char* buffer = text.data();
        for (int i = 0; i < 100; ++i) {
            position->SetLatLon(-80.0 + i, 170.0 - i);
            position->Format(text);
        }
        EXPECT_EQ(text.data(), buffer);
    }
}

} // namespace

#include "CLatLonFormatter.h"
#include "AngleParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

std::string AngleText(int format, double value, bool isLongitude) {
    CLatLonFormatter formatter;
    formatter.SetLatLonFormat(format);
    std::string text = "unchanged";
    formatter.FormatAngle(text, value, isLongitude);
    return text;
}

TEST(CLatLonFormatter, angle_texts_in_every_layout) {
    const struct {
        const char* name;
        int format;
        double value;
        bool isLongitude;
        const char* text;
    } cases[] = {
        {"sample_degrees_lat", 0, 48.2625, false, "N 48.26250*"},
        {"sample_degrees_lon", 0, -123.50208333, true, "W 123.50208*"},
        {"sample_minutes_lat", 1, 48.2625, false, "N 48*15.750'"},
        {"sample_minutes_lon", 1, -123.50208333, true, "W 123*30.125'"},
        {"sample_seconds_lat", 2, 48.2625, false, "N 48*15'45.0\""},
        {"sample_seconds_lon", 2, -123.50208333, true, "W 123*30'07.5\""},
        {"sign_decides_before_rounding", 0, -0.000004, false, "S 00.00000*"},
        {"negative_zero_is_north", 0, -0.0, false, "N 00.00000*"},
        {"negative_zero_is_east", 2, -0.0, true, "E 000*00'00.0\""},
        {"degrees_rounding_carries", 0, 9.999996, false, "N 10.00000*"},
        {"minutes_carry_into_degrees", 1, 48.999999, false, "N 49*00.000'"},
        {"seconds_carry_into_degrees", 2, 10.9999999, false, "N 11*00'00.0\""},
        {"seconds_carry_into_minutes", 2, 10.0 + 59.99999 / 3600.0, false, "N 10*01'00.0\""},
        {"longitude_padding", 2, 7.5, true, "E 007*30'00.0\""},
        {"far_south_formats_normally", 1, -85.5, false, "S 85*30.000'"},
        {"wider_than_int", 0, 123456789.5, true, "E 123456789.50000*"},
        {"sixty_four_bit_count", 2, 1e13, false, "N 10000000000000*00'00.0\""},
        {"nan", 0, kNan, false, "---"},
        {"infinity", 1, -kInf, true, "---"},
        {"count_beyond_64_bits", 2, 1e300, false, "---"},
        {"unknown_format_leaves_text", 3, 10.0, false, "unchanged"},
        {"negative_format_leaves_text", -1, 10.0, false, "unchanged"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AngleText(c.format, c.value, c.isLongitude), c.text) << c.name;
    }
}

TEST(CLatLonFormatter, whole_position_and_xy_texts) {
    CLatLonFormatter formatter;
    formatter.SetLatLon(48.2625, -123.50208333);
    const char* expected[] = {"N 48.26250*, W 123.50208*", "N 48*15.750', W 123*30.125'",
                              "N 48*15'45.0\", W 123*30'07.5\""};
    for (int format = 0; format < 3; ++format) {
        formatter.SetLatLonFormat(format);
        EXPECT_EQ(formatter.GetLatLonFormat(), format);
        std::string text;
        formatter.Format(text);
        EXPECT_EQ(text, expected[format]);
    }
    formatter.SetLatLonFormat(1);
    std::string x;
    std::string y;
    formatter.FormatXY(x, y);
    EXPECT_EQ(x, "W 123*30.125'");
    EXPECT_EQ(y, "N 48*15.750'");
    double gx = 0;
    double gy = 0;
    formatter.GetXY(gx, gy);
    EXPECT_EQ(gx, -123.50208333);
    EXPECT_EQ(gy, 48.2625);
    EXPECT_FALSE(formatter.IsUtm());

    formatter.SetLatLon(kNan, 7.5);
    std::string text;
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

TEST(CLatLonFormatter, formatting_reuses_the_callers_buffer) {
    CLatLonFormatter formatter;
    formatter.SetLatLonFormat(2);
    std::string text;
    text.reserve(64);
    const char* buffer = text.data();
    for (int i = 0; i < 100; ++i) {
        formatter.SetLatLon(-80.0 + i, 170.0 - i);
        formatter.Format(text);
    }
    EXPECT_EQ(text.data(), buffer);
}

} // namespace

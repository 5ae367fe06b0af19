#include "coords/AngleParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace mapreg;

namespace {

TEST(ParseAngle, reads_every_layout_and_sign_rule) {
    // clang-format off
    const std::pair<const char*, double> cases[] = {
        {"N 48*15.750'", 48.2625}, {"48 15.75 N", 48.2625}, {"N 48*15'45.0\"", 48.2625},
        {"N 48.26250*", 48.2625}, {"W 123*30.125'", -(123.0 + 30.125 / 60.0)},
        {"-48 15", -48.25}, {"48 15 S", -48.25}, {"-48 15 S", -48.25},
        // The minus of a zero degree count still counts.
        {"-0 30", -0.5}, {"-0 30 S", -0.5}, {"0 30 S", -0.5}, {"-0.0 0 36", -0.01},
        {"12.5.7", 12.5}, {"48 15 30 99", 48.0 + 15.0 / 60.0 + 30.0 / 3600.0}, {"  \t48", 48.0},
        {"", 0.0}, {"abc", 0.0}, {"+-5", 0.0}, {"--5 30", 0.5}, {".5", 0.5},
        {"1e5", 1.0 + 5.0 / 60.0}, {"s48w", -48.0}, {"48 -30", 47.5}, {"48 60", 49.0}};
    // clang-format on
    for (const auto& [text, value] : cases) {
        EXPECT_NEAR(ParseAngle(text), value, 1e-12) << text;
        EXPECT_NEAR(ParseAngle(std::string_view(text)), value, 1e-12) << text;
    }
}

TEST(ParseAngle, signed_zero_and_numbers_beyond_a_double) {
    EXPECT_TRUE(std::signbit(ParseAngle("-0")));
    EXPECT_FALSE(std::signbit(ParseAngle("S")));
    const std::string huge = "1" + std::string(400, '0');
    EXPECT_EQ(ParseAngle(huge), HUGE_VAL);
    EXPECT_EQ(ParseAngle("-" + huge), -HUGE_VAL);
    EXPECT_EQ(ParseAngle("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_TRUE(std::isnan(ParseAngle(huge + " -" + huge)));
    EXPECT_EQ(ParseAngle(static_cast<const char*>(nullptr)), 0.0);
}

} // namespace

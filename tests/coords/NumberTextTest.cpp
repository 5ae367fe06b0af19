#include "coords/NumberText.h"
#include "coords/UtmZoneText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

using namespace mapreg;

namespace {

TEST(NumberText, integer_fields_read_like_atoi_but_saturate) {
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        {"  -17px", -17}, {"+8", 8}, {"", 0}, {"- 5", 0}, {"12.9", 12},
        {"2147483647", INT_MAX}, {"2147483648", INT_MAX}, {"-2147483648", INT_MIN},
        {"-99999999999999999999999", INT_MIN}};
    // clang-format on
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(ReadIntField(text), value) << text;
    }
}

TEST(NumberText, decimal_fields_read_like_atof) {
    // clang-format off
    const std::pair<const char*, double> cases[] = {
        {"  -3.5xyz", -3.5}, {"+2e3", 2000.0}, {"", 0.0}, {"+-1", 0.0}, {"1e400", HUGE_VAL},
        {"-1e400", -HUGE_VAL}, {"0.000001e-318", 0.0}, {"inf", HUGE_VAL}, {"0x1A", 0.0},
        {"5e", 5.0}, {"1,5", 1.0}};
    // clang-format on
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(ReadDoubleField(text), value) << text;
    }
    EXPECT_TRUE(std::isnan(ReadDoubleField(" -NaN")));
}

TEST(UtmZoneText, letters_are_taken_out_and_the_rest_read_as_a_number) {
    const struct {
        const char* text;
        int zone;
        char letter;
    } cases[] = {// clang-format off
        {"10U", 10, 'U'}, {"u10", 10, 'u'}, {"10", 10, 'X'}, {"1O", 1, 'O'}, {"", 0, 'X'},
        {" 7 c", 7, 'c'}, {"U1V0", 10, 'V'}, {"1 0U", 1, 'U'},
        {"99999999999999999999U", INT_MAX, 'U'}, {"\xC3\xA9" "12", 0, 'X'}};
    // clang-format on
    for (const auto& c : cases) {
        int zone = -1;
        char letter = '?';
        ParseUtmZoneText(c.text, zone, letter);
        EXPECT_EQ(zone, c.zone) << c.text;
        EXPECT_EQ(letter, c.letter) << c.text;
    }
}

} // namespace

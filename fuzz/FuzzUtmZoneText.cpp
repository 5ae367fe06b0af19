// The UTM zone text rule on arbitrary text: the letter is the last ASCII letter of the text ('X'
// when there is none), and the number is what atoi reads from the text without its letters,
// here compared with strtoll clamped to the int range.
#include "CalibrationCheck.h"
#include "FuzzSupport.h"
#include "UtmZoneText.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    int zone = -1;
    char letter = 0;
    ParseUtmZoneText(text, zone, letter);

    char expectedLetter = 'X';
    std::string rest;
    for (const char c : text) {
        if (IsAsciiLetter(c)) {
            expectedLetter = c;
        } else {
            rest.push_back(c);
        }
    }
    if (letter != expectedLetter) {
        fuzz::Fail("the zone letter is not the last letter of the text");
    }
    // strtoll skips the same blanks as atoi in the C locale and stops at the first NUL.
    const long long wide = std::strtoll(rest.c_str(), nullptr, 10);
    const long long clamped = std::clamp<long long>(wide, INT_MIN, INT_MAX);
    if (zone != clamped) {
        fuzz::Fail("the zone number is not what atoi reads");
    }
    // The calibration accepts exactly zones 1..60 with a band letter.
    const bool accepted =
        CheckCalibration(
            1,
            {CDoublePoint{400000.0, 5300000.0}, CDoublePoint{402000.0, 5300000.0},
             CDoublePoint{402000.0, 5299000.0}},
            {CDoublePoint{0.0, 0.0}, CDoublePoint{100.0, 0.0}, CDoublePoint{100.0, 100.0}}, zone,
            letter)
            .code != CALIBRATION_INVALID_ZONE;
    if (accepted != (zone >= 1 && zone <= 60 && IsValidUtmLetter(letter))) {
        fuzz::Fail("the zone check disagrees with 1..60 and a band letter");
    }
    return 0;
}

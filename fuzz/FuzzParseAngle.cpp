// ParseAngle on arbitrary text. Besides running clean, the result must match a plain reading of
// the rule with the C library's strtod: up to three numbers made of "0123456789+-." (a
// minus sign or a full stop alone reading as zero), the last hemisphere letter, and S or W
// turning a positive value. The NUL-terminated form must read up to the first NUL.
#include "AngleParser.h"
#include "FuzzSupport.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool IsNumberChar(char c) {
    return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.';
}

double Reference(std::string_view text) {
    double numbers[3] = {0.0, 0.0, 0.0};
    int count = 0;
    char hemisphere = ' ';
    std::string token;
    const auto complete = [&] {
        if (!token.empty() && count < 3) {
            numbers[count++] = std::strtod(token.c_str(), nullptr);
        }
        token.clear();
    };
    for (const char c : text) {
        if (IsNumberChar(c)) {
            token.push_back(c);
            continue;
        }
        complete();
        if (std::string_view("NESWnesw").find(c) != std::string_view::npos) {
            hemisphere = c;
        }
    }
    complete();
    const double d = numbers[0];
    const double m = numbers[1];
    const double s = numbers[2];
    constexpr double kPerSecond = 0.0002777777777777778;
    const double value = std::signbit(d) ? (d * 3600.0 - m * 60.0 - s) * kPerSecond
                                         : (d * 3600.0 + m * 60.0 + s) * kPerSecond;
    const bool southOrWest =
        hemisphere == 'S' || hemisphere == 's' || hemisphere == 'W' || hemisphere == 'w';
    return value > 0.0 && southOrWest ? -value : value;
}

bool Same(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double parsed = ParseAngle(text);
    if (!Same(parsed, Reference(text))) {
        fuzz::Fail("ParseAngle differs from the strtod reading");
    }
    const std::string terminated(text);
    const double fromCString = ParseAngle(terminated.c_str());
    if (!Same(fromCString, ParseAngle(text.substr(0, text.find('\0'))))) {
        fuzz::Fail("the NUL-terminated form does not stop at the first NUL");
    }
    bool digits = false;
    for (const char c : text) {
        digits = digits || (c >= '0' && c <= '9');
    }
    if (!digits && parsed != 0.0) {
        fuzz::Fail("a text without digits must read as zero");
    }
    return 0;
}

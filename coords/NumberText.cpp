#include "coords/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace mapreg {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// For a decimal number that from_chars found out of range: true when it is too large (rather
// than too small) to represent. Compares the position of its first significant digit, moved by
// the exponent, with the decimal point.
bool IsOverflow(const char* begin, const char* end) {
    long long position = 0; // decimal exponent of the first significant digit, plus one
    bool seenPoint = false;
    bool significant = false;
    const char* p = begin;
    for (; p != end && (IsDigit(*p) || *p == '.'); ++p) {
        if (*p == '.') {
            seenPoint = true;
        } else if (!significant && *p == '0') {
            if (seenPoint) {
                --position;
            }
        } else {
            significant = true;
            if (!seenPoint) {
                ++position;
            }
        }
    }
    long long exponent = 0;
    if (p != end && (*p == 'e' || *p == 'E')) {
        ++p;
        const bool negative = p != end && *p == '-';
        if (p != end && (*p == '-' || *p == '+')) {
            ++p;
        }
        for (; p != end && IsDigit(*p); ++p) {
            if (exponent < 1000000000LL) {
                exponent = exponent * 10 + (*p - '0');
            }
        }
        exponent = negative ? -exponent : exponent;
    }
    return position + exponent > 0;
}

} // namespace

int ReadIntField(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate the magnitude as a negative number so that INT_MIN itself is reachable.
    constexpr long long kMin = std::numeric_limits<int>::min();
    long long value = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        value = value * 10 - (text[i] - '0');
        if (value < kMin) {
            value = kMin;
        }
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<int>::max()) {
            value = std::numeric_limits<int>::max();
        }
    }
    return static_cast<int>(value);
}

double ReadDoubleField(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    while (p != end && IsBlank(*p)) {
        ++p;
    }
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    if (p == end || *p == '+' || *p == '-') {
        return 0.0;
    }
    double value = 0.0;
    const auto [next, error] = std::from_chars(p, end, value, std::chars_format::general);
    if (error == std::errc::invalid_argument) {
        return 0.0;
    }
    if (error == std::errc::result_out_of_range) {
        value = IsOverflow(p, next) ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}

} // namespace mapreg

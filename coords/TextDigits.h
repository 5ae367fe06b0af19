#pragma once
// Internal to coords: writes integers into a character buffer the way printf's "%0Nd" does,
// without the C library's locale and format parsing, for the allocation-free text paths.

#include <cstdint>

namespace mapreg {

namespace coords_detail {

// Longest text WritePadded can produce for a width up to kMaxWidth.
inline constexpr int kMaxWidth = 8;
inline constexpr int kMaxIntText = 21; // sign and 20 digits

// Writes value with at least width characters, zero-padded after the sign like "%0*lld".
// Returns the position after the last character written.
inline char* WritePadded(char* out, std::int64_t value, int width) {
    std::uint64_t magnitude =
        value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        *out++ = '-';
        --width;
    }
    for (int i = count; i < width; ++i) {
        *out++ = '0';
    }
    while (count > 0) {
        *out++ = digits[--count];
    }
    return out;
}

// True when the finite double v truncates to a value of std::int64_t; NaN fails.
inline bool FitsInt64(double v) {
    return v > -9223372036854775808.0 && v < 9223372036854775808.0;
}

} // namespace coords_detail

} // namespace mapreg

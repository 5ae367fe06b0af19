#pragma once
// Reads a typed latitude or longitude into decimal degrees: up to three numbers (degrees,
// minutes, seconds) with any separators, an optional sign on the degrees and an optional
// hemisphere letter (N, E, S, W in either case) anywhere. Never fails: what cannot be read
// counts as zero; the result is not range-checked and can be infinite or NaN for numbers too
// large to represent.

#include <string_view>

namespace mapreg {

double ParseAngle(std::string_view text);
// Reads up to the terminating NUL; a null pointer reads as an empty text.
double ParseAngle(const char* text);

} // namespace mapreg

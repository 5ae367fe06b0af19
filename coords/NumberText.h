#pragma once
// Plain number fields read the way typed fields are read throughout the program: leading blanks,
// an optional sign, then the leading number; text without one reads as 0. Unlike atoi, an
// integer saturates at the int range instead of overflowing.

#include <string_view>

namespace mapreg {

// atoi-like: decimal digits only; saturates at INT_MIN / INT_MAX.
int ReadIntField(std::string_view text);

// atof-like: the leading decimal (or "inf"/"nan") number; out of range gives +-HUGE_VAL or 0.
double ReadDoubleField(std::string_view text);

} // namespace mapreg

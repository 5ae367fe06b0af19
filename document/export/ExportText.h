#pragma once
// Numbers as the export formats write them: the same text whatever the locale.

#include <string>
#include <string_view>

namespace mapreg {

// A number that reads back to the same double: printf's "%.17g", whatever the locale.
std::string ExactNumber(double value);
// Shortest fixed-point text that reads back to the same double (no exponent, as XML decimals
// and GPX need); "0" for a non-finite value, which callers refuse before.
std::string ExactDecimal(double value);

// Brings a longitude into [-180, 180).
double NormalizeLongitude(double longitude);

// Text for XML character data (or, with attribute, a double-quoted attribute value): markup
// characters escaped, valid UTF-8 kept, any other byte taken as its Latin-1 character, control
// characters that XML 1.0 cannot hold written as '?'.
std::string XmlText(std::string_view text, bool attribute = false);

} // namespace mapreg

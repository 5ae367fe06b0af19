#pragma once
// The UTM zone as typed in one text, such as "10U", "u10" or "10": every letter is removed,
// the last letter is the zone letter ('X' when there is none) and the rest is read as a
// decimal integer in the manner of atoi, saturating at the int range.

#include <string_view>

namespace mapreg {

void ParseUtmZoneText(std::string_view text, int& zone, char& letter);

} // namespace mapreg

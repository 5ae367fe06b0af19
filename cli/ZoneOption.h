#pragma once
// The UTM zone a user types after --utm ("32", "32U", "33 s"), read the same way by every
// command that takes one.

#include "cli/CliContext.h"

#include <optional>
#include <string>

namespace mapreg {

struct SZoneOption {
    int zone = 0;    // 1..60
    char letter = 0; // the band letter typed, 0 for none
    bool HasLetter() const { return letter != 0; }
};

// The zone in text; nothing for a zone outside 1..60 or a letter that is no band, after the
// usage message (exit status CLI_EXIT_USAGE).
std::optional<SZoneOption> ReadZoneOption(const std::string& text, CliContext& context);

} // namespace mapreg

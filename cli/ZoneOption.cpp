#include "cli/ZoneOption.h"

#include "coords/UtmZoneText.h"
#include "georef/CalibrationCheck.h"
#include "resources/StringTable.h"

#include <algorithm>
#include <cctype>

namespace mapreg {

std::optional<SZoneOption> ReadZoneOption(const std::string& text, CliContext& context) {
    SZoneOption option;
    char letter = 0;
    ParseUtmZoneText(text, option.zone, letter);
    const bool hasLetter =
        std::any_of(text.begin(), text.end(), [](unsigned char c) { return std::isalpha(c) != 0; });
    if (option.zone < 1 || option.zone > 60 || (hasLetter && !IsValidUtmLetter(letter))) {
        context.err << FormatString1(IDS_IMPORT_BAD_ZONE, text) << '\n';
        context.exitCode = CLI_EXIT_USAGE;
        return std::nullopt;
    }
    option.letter = hasLetter ? letter : 0;
    return option;
}

} // namespace mapreg

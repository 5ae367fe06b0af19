#include "cli/CalibrationInput.h"

#include "coords/AngleParser.h"
#include "coords/NumberText.h"
#include "coords/UtmZoneText.h"
#include "resources/StringTable.h"

namespace mapreg {

double ReadWorldField(std::string_view text, bool isUtm) {
    return isUtm ? ReadDoubleField(text) : ParseAngle(text);
}

bool ReadCalibrationInput(const std::vector<std::string>& marks, bool isUtm,
                          const std::string& zoneText, CliContext& context, CCalibration& input) {
    if (marks.size() != 12) {
        context.err << LoadStringId(IDS_CLI_THREE_MARKS) << '\n';
        context.exitCode = CLI_EXIT_USAGE;
        return false;
    }
    input.coordType = isUtm ? CoordType::Utm : CoordType::LatLon;
    input.zone = 10;
    input.letter = 'U';
    if (isUtm) {
        ParseUtmZoneText(zoneText, input.zone, input.letter);
    }
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string* m = &marks[4 * i];
        input.picture[i] = {static_cast<double>(ReadIntField(m[0])),
                            static_cast<double>(ReadIntField(m[1]))};
        input.world[i] = {ReadWorldField(m[2], isUtm), ReadWorldField(m[3], isUtm)};
    }
    return true;
}

} // namespace mapreg

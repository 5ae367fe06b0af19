#pragma once
// Three calibration marks as the command line gives them ("X Y WX WY" each), read the way the
// calibration dialog reads its fields, shared by the calibrate and register commands.

#include "cli/CliContext.h"
#include "georef/CCalibration.h"

#include <string>
#include <string_view>
#include <vector>

namespace mapreg {

// A world value: an angle text for latitude/longitude, a plain number for UTM.
double ReadWorldField(std::string_view text, bool isUtm);

// Reads the twelve mark values and, for UTM, the zone text (zone 10, letter U where the text
// names none). Without exactly three marks it writes the usage message to context.err, sets
// the usage exit code and returns false.
bool ReadCalibrationInput(const std::vector<std::string>& marks, bool isUtm,
                          const std::string& zoneText, CliContext& context, CCalibration& input);

} // namespace mapreg

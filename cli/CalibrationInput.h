#pragma once
// Three calibration marks as the command line gives them ("X Y WX WY" each), read the way the
// calibration dialog reads its fields, shared by the calibrate and register commands.

#include "CDoublePoint.h"
#include "CliContext.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

struct CalibrationInput {
    int coordType = 0; // 0 latitude/longitude, 1 UTM
    int zone = 10;     // read only for UTM
    char letter = 'U';
    std::array<CDoublePoint, 3> picture{};
    std::array<CDoublePoint, 3> world{};
};

// A world value: an angle text for latitude/longitude, a plain number for UTM.
double ReadWorldField(std::string_view text, bool isUtm);

// Reads the twelve mark values and, for UTM, the zone text. Without exactly three marks it
// writes the usage message to context.err, sets the usage exit code and returns false.
bool ReadCalibrationInput(const std::vector<std::string>& marks, bool isUtm,
                          const std::string& zoneText, CliContext& context,
                          CalibrationInput& input);

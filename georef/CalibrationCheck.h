#pragma once
// The checks a calibration must pass before it is committed: zone, picture closeness and
// straightness, equal world points, world value ranges and a degenerate world triangle.
// Nothing is changed here; the document commits an accepted calibration.

#include "georef/CCalibration.h"
#include "georef/CDoublePoint.h"

#include <array>

namespace mapreg {

// Result codes of CheckCalibration.
enum CalibrationResult : int {
    CALIBRATION_OK = 0,
    CALIBRATION_MARKS_TOO_CLOSE = 1,
    CALIBRATION_MARKS_COLLINEAR = 2,
    CALIBRATION_EQUAL_COORDINATES = 3,
    CALIBRATION_OUT_OF_RANGE = 4,
    CALIBRATION_INVALID_ZONE = 5,
};

// Field indices written by CheckCalibration.
enum CalibrationField : int {
    FIELD_PICTURE_X = 0,
    FIELD_PICTURE_Y = 1,
    FIELD_WORLD_X = 2, // longitude or easting
    FIELD_WORLD_Y = 3, // latitude or northing
};

// The verdict on a calibration: a CalibrationResult code and, for codes 1..4, the mark
// (0..2) and the CalibrationField to correct; -1 where none is named.
struct CalibrationCheckResult {
    int code = CALIBRATION_OK;
    int mark = -1;
    int field = -1;
};

// The zone and letter are checked for a UTM calibration only.
CalibrationCheckResult CheckCalibration(const CCalibration& calibration);

// The string id of the message for a CheckCalibration code; 0 for code 0 or an unknown code.
unsigned CalibrationMessageId(int code);

// True for the twenty UTM band letters "CDEFGHJKLMNPQRSTUVWX" in either case.
bool IsValidUtmLetter(char letter);

} // namespace mapreg

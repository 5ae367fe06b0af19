#include "georef/CalibrationCheck.h"

#include "georef/TransformGeometry.h"
#include "resources/StringTable.h"

#include <algorithm>
#include <cmath>

namespace mapreg {

namespace {

constexpr double kMinMarkDistance = 8.0;   // pixels, on both axes
constexpr double kMinPictureAngle = 10.0;  // degrees
constexpr double kDegenerateRatio = 1e-12; // twice the area against the longest side squared

bool IsValidZone(int zoneNumber, char zoneLetter) {
    return zoneNumber >= 1 && zoneNumber <= 60 && IsValidUtmLetter(zoneLetter);
}

// Written so that NaN fails: a value that is not a number is out of range.
bool LongitudeInRange(double x) {
    return x >= -180.0 && x <= 180.0;
}
bool LatitudeInRange(double y) {
    return y >= -90.0 && y <= 90.0;
}
bool EastingInRange(double x) {
    return x >= 0.0 && x < 1e6;
}
bool NorthingInRange(double y) {
    return y >= 0.0 && y < 1e7;
}

// The vertex with the smallest interior angle, the first in the order 0, 1, 2 on a tie.
// atan2 of cross and dot products stays defined for every finite triangle, flat ones included.
int SmallestWorldAngleMark(const std::array<CDoublePoint, 3>& pts) {
    int best = 0;
    double bestAngle = 0.0;
    for (int i = 0; i < 3; ++i) {
        const CDoublePoint p = pts[static_cast<std::size_t>(i)];
        const CDoublePoint q = pts[static_cast<std::size_t>((i + 1) % 3)];
        const CDoublePoint r = pts[static_cast<std::size_t>((i + 2) % 3)];
        const double ux = q.x - p.x;
        const double uy = q.y - p.y;
        const double vx = r.x - p.x;
        const double vy = r.y - p.y;
        const double angle = std::atan2(std::abs(ux * vy - uy * vx), ux * vx + uy * vy);
        if (i == 0 || angle < bestAngle) {
            best = i;
            bestAngle = angle;
        }
    }
    return best;
}

// True when the triangle's area is negligible against its longest side: the mapping through
// such a triangle would divide by (nearly) zero.
bool IsDegenerate(const std::array<CDoublePoint, 3>& pts) {
    const double ux = pts[1].x - pts[0].x;
    const double uy = pts[1].y - pts[0].y;
    const double vx = pts[2].x - pts[0].x;
    const double vy = pts[2].y - pts[0].y;
    const double wx = pts[2].x - pts[1].x;
    const double wy = pts[2].y - pts[1].y;
    const double twiceArea = std::abs(ux * vy - uy * vx);
    const double longestSquared =
        std::max({ux * ux + uy * uy, vx * vx + vy * vy, wx * wx + wy * wy});
    return !(twiceArea >= kDegenerateRatio * longestSquared);
}

} // namespace

bool IsValidUtmLetter(char letter) {
    const bool upper = letter >= 'C' && letter <= 'X';
    const bool lower = letter >= 'c' && letter <= 'x';
    const bool excluded = letter == 'I' || letter == 'i' || letter == 'O' || letter == 'o';
    return (upper || lower) && !excluded;
}

CalibrationCheckResult CheckCalibration(const CCalibration& calibration) {
    const auto& world = calibration.world;
    const auto& picture = calibration.picture;
    const bool utm = calibration.IsUtm();
    if (utm && !IsValidZone(calibration.zone, calibration.letter)) {
        return {CALIBRATION_INVALID_ZONE};
    }
    int mark = -1;
    if (MarksTooClose(picture, kMinMarkDistance, &mark)) {
        return {CALIBRATION_MARKS_TOO_CLOSE, mark, FIELD_PICTURE_X};
    }
    if (MarksNearlyCollinear(picture, kMinPictureAngle, &mark)) {
        return {CALIBRATION_MARKS_COLLINEAR, mark, FIELD_PICTURE_X};
    }
    constexpr int kPairs[3][2] = {{0, 1}, {0, 2}, {1, 2}};
    for (const auto& pair : kPairs) {
        const CDoublePoint p = world[static_cast<std::size_t>(pair[0])];
        const CDoublePoint q = world[static_cast<std::size_t>(pair[1])];
        if (p.x == q.x && p.y == q.y) {
            return {CALIBRATION_EQUAL_COORDINATES, pair[0], FIELD_WORLD_Y};
        }
    }
    for (int i = 0; i < 3; ++i) {
        const CDoublePoint p = world[static_cast<std::size_t>(i)];
        const bool xOk = utm ? EastingInRange(p.x) : LongitudeInRange(p.x);
        const bool yOk = utm ? NorthingInRange(p.y) : LatitudeInRange(p.y);
        if (!xOk || !yOk) {
            return {CALIBRATION_OUT_OF_RANGE, i, xOk ? FIELD_WORLD_Y : FIELD_WORLD_X};
        }
    }
    // Three distinct world points can still lie on one line; the transform cannot map through
    // such a triangle, so it is rejected like a flat picture triangle, naming the world field.
    if (IsDegenerate(world)) {
        return {CALIBRATION_MARKS_COLLINEAR, SmallestWorldAngleMark(world), FIELD_WORLD_Y};
    }
    return {};
}

unsigned CalibrationMessageId(int code) {
    switch (code) {
    case CALIBRATION_MARKS_TOO_CLOSE:
        return IDS_MARKS_TOO_CLOSE;
    case CALIBRATION_MARKS_COLLINEAR:
        return IDS_MARKS_COLLINEAR;
    case CALIBRATION_EQUAL_COORDINATES:
        return IDS_EQUAL_COORDINATES;
    case CALIBRATION_OUT_OF_RANGE:
        return IDS_VALUE_OUT_OF_RANGE;
    case CALIBRATION_INVALID_ZONE:
        return IDS_INVALID_UTM_ZONE;
    default:
        return 0;
    }
}

} // namespace mapreg

#pragma once
// A calibration as the user gives it and a map file stores it: the coordinate type, the three
// marks' picture points with their world points, and the UTM zone and band letter the world
// points of a UTM calibration belong to. CheckCalibration judges it; CMapTransform maps by it.

#include "georef/CDoublePoint.h"
#include "georef/CMapTransform.h"

#include <array>
#include <optional>

namespace mapreg {

// The kind of world points: (longitude, latitude) in degrees, or UTM (easting, northing) in
// metres in the calibration's zone. Stored files and the profile keep it as 0 and 1.
enum class CoordType : int { LatLon = 0, Utm = 1 };

// The stored number of a coordinate type.
constexpr int CoordTypeNumber(CoordType type) {
    return static_cast<int>(type);
}
// The coordinate type a stored number names; nothing for numbers other than 0 and 1.
std::optional<CoordType> CoordTypeOfNumber(int number);

struct CCalibration {
    CoordType coordType = CoordType::LatLon;
    std::array<CDoublePoint, 3> world{};   // world[i] belongs to picture[i]
    std::array<CDoublePoint, 3> picture{}; // pixels from the top-left corner
    int zone = 0;                          // UTM zone, 1..60 when valid; unused for LatLon
    char letter = 0;                       // UTM band letter; unused for LatLon

    bool IsUtm() const { return coordType == CoordType::Utm; }
    // The transform through the three point pairs. Meaningful once CheckCalibration accepted
    // them; any other points give finite or non-finite values, never undefined behaviour.
    CMapTransform Transform() const;
};

} // namespace mapreg

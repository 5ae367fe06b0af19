#pragma once
// One world position of a calibrated map, as a value: the world point in the calibration's
// coordinate type (longitude/latitude in degrees, or UTM easting/northing in metres in the
// calibration's zone and band letter). Formatting is the caller's: CDisplaySettings shows it in
// the chosen coordinate type.

#include "georef/CCalibration.h"
#include "georef/CDoublePoint.h"

namespace mapreg {

struct SMapPosition {
    CoordType coordType = CoordType::LatLon;
    CDoublePoint world; // x: longitude or easting, y: latitude or northing
    int zone = 0;       // UTM only
    char letter = 0;    // UTM only; the hemisphere comes from it

    // Latitude and longitude in degrees, north and east positive; UTM through the inverse
    // series on WGS 84 (UtmToLatLon).
    void GetLatLon(double& latitude, double& longitude) const;
};

} // namespace mapreg

#include "document/export/CExportSource.h"

#include "coords/CUtmConverter.h"

namespace mapreg {

CDoublePoint WorldToLatLon(const CExportSource& source, CDoublePoint world) {
    if (!source.calibration.IsUtm()) {
        return world;
    }
    CUtmConverter position;
    position.SetUtm(source.calibration.zone, source.calibration.letter, world.x, world.y);
    double latitude = 0.0;
    double longitude = 0.0;
    position.GetLatLon(latitude, longitude);
    return {longitude, latitude};
}

} // namespace mapreg

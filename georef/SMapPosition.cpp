#include "georef/SMapPosition.h"

#include "coords/UtmProjection.h"

namespace mapreg {

void SMapPosition::GetLatLon(double& latitude, double& longitude) const {
    switch (coordType) {
    case CoordType::LatLon:
        latitude = world.y;
        longitude = world.x;
        return;
    case CoordType::Utm:
        UtmToLatLon(kWgs84SemiMajorAxis, kWgs84Flattening, zone, letter, world.x, world.y, latitude,
                    longitude);
        return;
    }
}

} // namespace mapreg

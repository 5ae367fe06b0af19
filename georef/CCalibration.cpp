#include "georef/CCalibration.h"

namespace mapreg {

std::optional<CoordType> CoordTypeOfNumber(int number) {
    switch (number) {
    case CoordTypeNumber(CoordType::LatLon):
        return CoordType::LatLon;
    case CoordTypeNumber(CoordType::Utm):
        return CoordType::Utm;
    default:
        return std::nullopt;
    }
}

CMapTransform CCalibration::Transform() const {
    CMapTransform transform;
    transform.SetControlPoints(world, picture);
    return transform;
}

} // namespace mapreg

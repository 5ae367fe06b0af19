#include "coords/CGeoPosition.h"

namespace mapreg {

CGeoPosition::~CGeoPosition() = default;

void CGeoPosition::GetLatLon(double& latitude, double& longitude) {
    latitude = m_dLatitude;
    longitude = m_dLongitude;
}

void CGeoPosition::SetLatLon(double latitude, double longitude) {
    m_dLatitude = latitude;
    m_dLongitude = longitude;
}

} // namespace mapreg

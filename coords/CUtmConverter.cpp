#include "coords/CUtmConverter.h"

#include "coords/TextDigits.h"
#include "coords/UtmProjection.h"
#include "resources/StringTable.h"

#include <cstdint>

namespace mapreg {

using coords_detail::FitsInt64;
using coords_detail::WritePadded;

namespace {

// Appends metres truncated toward zero to whole metres, zero-padded to width; a value that is
// not finite or does not fit a 64-bit count shows the placeholder.
void AppendMetres(std::string& text, double metres, int width) {
    if (!FitsInt64(metres)) {
        text.append(LoadStringId(IDS_NO_VALUE));
        return;
    }
    char buf[coords_detail::kMaxIntText + 1];
    const char* end = WritePadded(buf, static_cast<std::int64_t>(metres), width);
    text.append(buf, static_cast<std::size_t>(end - buf));
}

} // namespace

CUtmConverter::CUtmConverter() {
    CUtmConverter::SetLatLon(0.0, 0.0);
}

void CUtmConverter::Format(std::string& text) {
    UpdateUtm();
    if (m_cLetter == kUtmOutsideLetter) {
        text.assign(LoadStringId(IDS_OUTSIDE_UTM));
        return;
    }
    text.clear();
    char buf[coords_detail::kMaxIntText + 1];
    const char* end = WritePadded(buf, m_nZone, 2);
    text.append(buf, static_cast<std::size_t>(end - buf));
    text.push_back(m_cLetter);
    text.push_back(' ');
    AppendMetres(text, m_dEasting, 6);
    text.push_back(' ');
    AppendMetres(text, m_dNorthing, 7);
}

void CUtmConverter::FormatXY(std::string& x, std::string& y) {
    UpdateUtm();
    x.clear();
    AppendMetres(x, m_dEasting, 6);
    y.clear();
    AppendMetres(y, m_dNorthing, 7);
}

void CUtmConverter::GetLatLon(double& latitude, double& longitude) {
    if (m_bLatLonStale) {
        UtmToLatLon(kWgs84SemiMajorAxis, kWgs84Flattening, m_nZone, m_cLetter, m_dEasting,
                    m_dNorthing, m_dLatitude, m_dLongitude);
        m_bLatLonStale = false;
    }
    latitude = m_dLatitude;
    longitude = m_dLongitude;
}

void CUtmConverter::GetXY(double& x, double& y) {
    UpdateUtm();
    x = m_dEasting;
    y = m_dNorthing;
}

void CUtmConverter::SetLatLon(double latitude, double longitude) {
    m_dLatitude = latitude;
    m_dLongitude = longitude;
    m_bLatLonStale = false;
    m_bUtmStale = true;
}

void CUtmConverter::GetUtm(int& zone, char& letter, double& easting, double& northing) {
    UpdateUtm();
    zone = m_nZone;
    letter = m_cLetter;
    easting = m_dEasting;
    northing = m_dNorthing;
}

void CUtmConverter::SetUtm(int zone, char letter, double easting, double northing) {
    m_nZone = zone;
    m_cLetter = letter;
    m_dEasting = easting;
    m_dNorthing = northing;
    m_bLatLonStale = true;
    m_bUtmStale = false;
}

void CUtmConverter::GetZone(int& zone, char& letter) {
    UpdateUtm();
    zone = m_nZone;
    letter = m_cLetter;
}

void CUtmConverter::UpdateUtm() {
    if (m_bUtmStale) {
        LatLonToUtm(kWgs84SemiMajorAxis, kWgs84Flattening, m_dLatitude, m_dLongitude, m_nZone,
                    m_cLetter, m_dEasting, m_dNorthing);
        m_bUtmStale = false;
    }
}

} // namespace mapreg

#pragma once
// Transverse Mercator series between latitude/longitude (degrees) and UTM (zone, band letter,
// easting and northing in metres) on an ellipsoid given by semi-major axis a (metres) and
// flattening f. Accuracy is that of the fourth-order series: about a millimetre near the
// central meridian, degrading with distance from it. Neither routine checks its input; a
// non-finite or huge input gives non-finite or meaningless output, never undefined behaviour.

namespace mapreg {

// WGS 84.
inline constexpr double kWgs84SemiMajorAxis = 6378137.0;          // metres
inline constexpr double kWgs84Flattening = 0.0033528106647474805; // 1 / 298.257223563
inline constexpr double kUtmScaleFactor = 0.9996;
inline constexpr double kUtmFalseEasting = 500000.0;         // metres
inline constexpr double kUtmFalseNorthingSouth = 10000000.0; // metres
inline constexpr double kUtmMaxNorthing = 9999999.0;         // metres
// The twenty latitude bands of 8 degrees from 80 degrees south (X spans 72..84 north).
inline constexpr char kUtmBandLetters[] = "CDEFGHJKLMNPQRSTUVWX";
// Band letter of a latitude outside [-80, 84).
inline constexpr char kUtmOutsideLetter = '*';
// Width of a zone in degrees of longitude; zone 1 begins at 180 degrees west.
inline constexpr double kUtmZoneWidth = 6.0;

// Central meridian of a zone in degrees (zone 1: -177, zone 31: 3). Meaningful for zones
// 1..60; every int gives a finite, exact value.
constexpr double UtmCentralMeridian(int zone) {
    return kUtmZoneWidth * zone - 183.0;
}

// True for the southern band letters C..M in either case, whose northings count from
// 10000000 m at the equator; every other letter, '*' included, is northern.
constexpr bool UtmIsSouthernLetter(char letter) {
    return (letter >= 'C' && letter <= 'M') || (letter >= 'c' && letter <= 'm');
}

// Zone number of a longitude in degrees: 0 belongs to zone 30, an exact multiple of 6 degrees
// west to the zone on its west side, east to the zone on its east side; -180 gives 0.
// A non-finite longitude gives 0; the result saturates at the int range.
int UtmZoneOfLongitude(double longitude);

// Band letter of a latitude in degrees, or '*' outside [-80, 84) (NaN included).
char UtmBandLetter(double latitude);

// Easting and northing carry half a metre, so that truncation gives the nearest metre; the
// northing is clamped to 9999999.0.
void LatLonToUtm(double a, double f, double latitude, double longitude, int& zone, char& letter,
                 double& easting, double& northing);

// The same series about the central meridian of a given zone, whatever zone the longitude lies
// in (for points of a map that reaches past its zone's edge); easting and northing as above.
void LatLonToUtmInZone(double a, double f, int zone, double latitude, double longitude,
                       double& easting, double& northing);

// The hemisphere comes from the letter (UtmIsSouthernLetter).
void UtmToLatLon(double a, double f, int zone, char letter, double easting, double northing,
                 double& latitude, double& longitude);

} // namespace mapreg

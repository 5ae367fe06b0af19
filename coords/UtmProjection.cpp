#include "coords/UtmProjection.h"

#include <cmath>
#include <limits>

namespace mapreg {

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDegToRad = kPi * 0.005555555555555556;
constexpr double kRadToDeg = 180.0 / kPi;

// Derived quantities of an ellipsoid and the coefficients of its meridian arc series.
struct Ellipsoid {
    double a;
    double e2;  // first eccentricity squared
    double ep2; // second eccentricity squared
    double c1, c2, c3, c4, c5;
};

constexpr Ellipsoid MakeEllipsoid(double a, double f) {
    const double invF = 1.0 / f;
    const double b = (invF - 1.0) * a / invF;
    const double n = (a - b) / (a + b);
    const double n2 = n * n;
    const double n3 = n2 * n;
    const double n4 = n3 * n;
    const double n5 = n4 * n;
    Ellipsoid e{};
    e.a = a;
    e.e2 = (a * a - b * b) / (a * a);
    e.ep2 = (a * a - b * b) / (b * b);
    e.c1 = a * (1.0 - n + 1.25 * (n2 - n3) + 1.265625 * (n4 - n5));
    e.c2 = 1.5 * a * (n - n2 + 0.875 * (n3 - n4) + 0.859375 * n5);
    e.c3 = 0.9375 * a * (n2 - n3 + 0.75 * (n4 - n5));
    e.c4 = 0.7291666666666666 * a * (n3 - n4 + 0.6875 * n5);
    e.c5 = 0.615234375 * a * (n4 - n5);
    return e;
}

// The ellipsoid of a call. WGS 84, the one the program uses, is derived once at compile time
// (the same arithmetic, so the same values).
Ellipsoid EllipsoidOf(double a, double f) {
    static constexpr Ellipsoid kWgs84 = MakeEllipsoid(kWgs84SemiMajorAxis, kWgs84Flattening);
    if (a == kWgs84SemiMajorAxis && f == kWgs84Flattening) {
        return kWgs84;
    }
    return MakeEllipsoid(a, f);
}

// Length of the meridian from the equator to latitude phi (radians), metres.
double MeridianArc(const Ellipsoid& e, double phi) {
    return e.c1 * phi - e.c2 * std::sin(2.0 * phi) + e.c3 * std::sin(4.0 * phi) -
           e.c4 * std::sin(6.0 * phi) + e.c5 * std::sin(8.0 * phi);
}

// The meridian arc (the series above) and the meridional radius of curvature at phi, given the
// sine s and cosine c of phi: the multiple angles follow from the angle-sum formulas, so the
// inverse, which evaluates these several times per point, takes one sine and cosine for each.
struct ArcAndRadius {
    double arc;
    double rho;
};
ArcAndRadius MeridianArcAndRho(const Ellipsoid& e, double phi, double s, double c) {
    const double s2 = 2.0 * s * c;
    const double c2 = (c - s) * (c + s);
    const double s4 = 2.0 * s2 * c2;
    const double c4 = (c2 - s2) * (c2 + s2);
    const double s6 = s4 * c2 + c4 * s2;
    const double s8 = 2.0 * s4 * c4;
    const double arc = e.c1 * phi - e.c2 * s2 + e.c3 * s4 - e.c4 * s6 + e.c5 * s8;
    const double w = std::sqrt(1.0 - e.e2 * s * s);
    return {arc, e.a * (1.0 - e.e2) / (w * w * w)};
}

double W(const Ellipsoid& e, double phi) {
    const double s = std::sin(phi);
    return std::sqrt(1.0 - e.e2 * s * s);
}

// Radius of curvature in the prime vertical.
double Nu(const Ellipsoid& e, double phi) {
    return e.a / W(e, phi);
}

double CentralMeridian(int zone) {
    return UtmCentralMeridian(zone) * kDegToRad;
}

} // namespace

int UtmZoneOfLongitude(double longitude) {
    if (!std::isfinite(longitude)) {
        return 0;
    }
    const double zone =
        longitude > 0.0 ? 31.0 + std::trunc(longitude / 6.0) : 30.0 - std::trunc(-longitude / 6.0);
    constexpr double kMax = std::numeric_limits<int>::max();
    constexpr double kMin = std::numeric_limits<int>::min();
    if (zone >= kMax) {
        return std::numeric_limits<int>::max();
    }
    if (zone <= kMin) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(zone);
}

char UtmBandLetter(double latitude) {
    if (!(latitude >= -80.0 && latitude < 84.0)) {
        return kUtmOutsideLetter;
    }
    if (latitude >= 72.0) {
        return 'X';
    }
    return kUtmBandLetters[static_cast<int>((latitude + 80.0) / 8.0)];
}

void LatLonToUtm(double a, double f, double latitude, double longitude, int& zone, char& letter,
                 double& easting, double& northing) {
    zone = UtmZoneOfLongitude(longitude);
    letter = UtmBandLetter(latitude);
    LatLonToUtmInZone(a, f, zone, latitude, longitude, easting, northing);
}

void LatLonToUtmInZone(double a, double f, int zone, double latitude, double longitude,
                       double& easting, double& northing) {
    const Ellipsoid e = EllipsoidOf(a, f);
    const double phi = latitude * kDegToRad;
    const double p = longitude * kDegToRad - CentralMeridian(zone);
    const double s = std::sin(phi);
    const double c = std::cos(phi);
    const double t = s / c;
    const double t2 = t * t;
    const double eta2 = e.ep2 * c * c;
    const double nu = Nu(e, phi);
    const double k0 = kUtmScaleFactor;
    const double c3 = c * c * c;
    const double p2 = p * p;

    const double falseNorthing = phi >= 0.0 ? 0.0 : kUtmFalseNorthingSouth;
    northing = falseNorthing + k0 * MeridianArc(e, phi) + (k0 * nu * s * c / 2.0) * p2 +
               (k0 * nu * s * c3 * (5.0 - t2 + 9.0 * eta2 + 4.0 * eta2 * eta2) / 24.0) * p2 * p2 +
               0.5;
    easting = kUtmFalseEasting + k0 * nu * c * p +
              (k0 * nu * c3 * (1.0 - t2 + eta2) / 6.0) * p2 * p + 0.5;
    if (northing >= kUtmMaxNorthing) {
        northing = kUtmMaxNorthing;
    }
}

void UtmToLatLon(double a, double f, int zone, char letter, double easting, double northing,
                 double& latitude, double& longitude) {
    const Ellipsoid e = EllipsoidOf(a, f);
    const bool south = UtmIsSouthernLetter(letter);
    const double falseNorthing = south ? kUtmFalseNorthingSouth : 0.0;
    const double k0 = kUtmScaleFactor;

    // Footpoint latitude: Newton's method on the meridian arc, from the arc's leading term.
    // The first guess is off by at most c2 / c1 (about 0.0025 rad) and each step leaves an
    // error of about 0.005 times its square, so the second step is near 3e-8 rad and leaves
    // less than 1e-17: a step below 1e-7 ends the iteration. The sine and cosine of the final
    // latitude then follow from those before the step by the angle-sum formulas to second order
    // (the third-order term is below 1e-21).
    const double arc = (northing - falseNorthing) / k0;
    double phi = arc / e.c1;
    double s = std::sin(phi);
    double c = std::cos(phi);
    for (int i = 0; i < 5; ++i) {
        const ArcAndRadius m = MeridianArcAndRho(e, phi, s, c);
        const double step = (arc - m.arc) / m.rho;
        phi += step;
        if (std::abs(step) < 1e-7) {
            const double half = 0.5 * step * step;
            const double sNext = s + (c * step - s * half);
            c = c - (s * step + c * half);
            s = sNext;
            break;
        }
        s = std::sin(phi);
        c = std::cos(phi);
    }

    const double w = std::sqrt(1.0 - e.e2 * s * s);
    const double nu = e.a / w;
    const double rho = e.a * (1.0 - e.e2) / (w * w * w);
    const double t = s / c;
    const double t2 = t * t;
    const double eta2 = e.ep2 * c * c;
    const double x = easting - kUtmFalseEasting;
    const double x2 = x * x;
    const double k02 = k0 * k0;
    const double nu3 = nu * nu * nu;

    const double lat = phi - t * x2 / (2.0 * k02 * nu * rho) +
                       t * (5.0 + 3.0 * t2 + eta2 - 4.0 * eta2 * eta2 - 9.0 * t2 * eta2) * x2 * x2 /
                           (24.0 * k02 * k02 * nu3 * rho);
    const double lon = CentralMeridian(zone) + x / (k0 * nu * c) -
                       (1.0 + 2.0 * t2 + eta2) * x2 * x / (6.0 * k02 * k0 * nu3 * c);
    latitude = lat * kRadToDeg;
    longitude = lon * kRadToDeg;
}

} // namespace mapreg

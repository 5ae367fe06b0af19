#pragma once
// The calibration a georeferenced picture brings with it: three marks on the corner pixels
// (0,0), (W-1,0) and (0,H-1), their world points in the chosen coordinate system (latitude/
// longitude in degrees, or UTM easting/northing in metres on WGS 84), and how far that affine
// three-mark calibration strays from the source's true mapping: the largest distance in metres
// between the two on a 33 x 33 grid over the whole picture, corners and edges included; and the
// device error, how far the device (which reads only the two outer corners) puts the picture from
// the source's true mapping.
// Coordinate systems other than WGS 84 and its UTM zones go through PROJ.

#include "georef/CCalibration.h"

class OGRSpatialReference;

namespace mapreg {

class CRasterCalibration {
public:
    enum class Outcome {
        Ready,               // marks, world points and deviation are set
        UnknownSystem,       // no coordinate system, or one that cannot be converted
        OutsideProjection,   // a known system, but the picture lies outside the area it maps
        CrossesAntimeridian, // latitude/longitude chosen for a picture across 180 degrees
    };
    // The coordinate system of the calibration: the source's own choice, or the user's.
    struct Choice {
        enum class System { Auto, LatLon, Utm };
        System system = System::Auto;
        int zone = 0;    // UTM zone 1..60; 0: the source's UTM zone, else the picture centre's
        char letter = 0; // band letter; 0: from the picture centre's latitude
    };
    static constexpr int kGridPoints = 33;

    // geoTransform maps picture points (from the top-left corner) into srs, x east, y north.
    CRasterCalibration(const std::array<double, 6>& geoTransform, const OGRSpatialReference* srs,
                       int width, int height, const Choice& choice);

    Outcome GetOutcome() const { return m_outcome; }
    // The three marks with their world points, the coordinate type and, for both types, the
    // zone and band letter of the picture's centre (or the chosen ones).
    const CCalibration& GetCalibration() const { return m_calibration; }
    // Largest distance between the three-mark calibration and the true mapping, metres.
    double GetDeviation() const { return m_dDeviation; }
    // Largest distance between the device's placement and the true mapping, metres.
    double GetDeviceError() const { return m_dDeviceError; }
    // Ground size of the picture's centre pixel, its shorter side, metres.
    double GetPixelSize() const { return m_dPixelSize; }
    // True when the device error exceeds one pixel: the user sees the map off its place.
    bool IsDeviceErrorVisible() const { return m_dDeviceError > m_dPixelSize; }

private:
    Outcome m_outcome = Outcome::UnknownSystem;
    CCalibration m_calibration;
    double m_dDeviation = 0.0;
    double m_dDeviceError = 0.0;
    double m_dPixelSize = 0.0;
};

} // namespace mapreg

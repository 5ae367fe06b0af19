// The device error against closed forms: a picture turned by theta about its top-left corner is
// off on the device by 2 r s sin(theta / 2) at distance r pixels of size s from that corner.

#include "georef/DeviceError.h"
#include "coords/UtmProjection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace mapreg;

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// Turned UTM pictures in zone 33 north, anchored on the central meridian where the grid's scale
// factor is 0.9996: a grid metre is 1 / 0.9996 metres on the ellipsoid, to 3e-4 within 90 km.
TEST(DeviceError, turned_picture_is_off_by_the_chord_of_its_turn) {
    struct Row {
        double thetaDegrees;
        double pixelMetres;
        int width;
        int height;
    };
    const Row rows[] = {{0.0, 10.0, 400, 300},
                        {6.0, 30.0, 3000, 3000},
                        {-2.5, 1.0, 5000, 800},
                        {0.1, 2.0, 100, 20000},
                        {45.0, 5.0, 900, 900}};
    const CDoublePoint anchor{500000.0, 5000000.0};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.thetaDegrees);
        SDeviceGrid grid{
            CoordType::Utm,
            33,
            true,
            anchor,
            {anchor.x + row.pixelMetres * row.width, anchor.y - row.pixelMetres * row.height},
            row.width,
            row.height};
        const double c = std::cos(row.thetaDegrees * kDegree);
        const double s = std::sin(row.thetaDegrees * kDegree);
        const auto turned = [&](std::vector<CDoublePoint>& points) {
            for (CDoublePoint& p : points) {
                const double e = anchor.x + row.pixelMetres * (c * p.x + s * p.y);
                const double n = anchor.y + row.pixelMetres * (s * p.x - c * p.y);
                p = GridToLonLat(grid, {e, n});
            }
            return true;
        };
        const double r = std::hypot(row.width, row.height);
        const double expected =
            2.0 * r * row.pixelMetres * std::abs(std::sin(row.thetaDegrees * kDegree / 2.0));
        EXPECT_NEAR(DeviceErrorMetres(grid, turned), expected / kUtmScaleFactor,
                    3e-4 * expected + 1e-6);
    }
}

// A calibration by hand is its own truth: north-up in either kind it is exact on the device; a
// turned one is off by what the turn moves the far corner.
TEST(DeviceError, hand_calibration_is_exact_only_when_north_up) {
    struct Row {
        const char* name;
        CoordType coordType;
        std::array<CDoublePoint, 3> world;
        double expected; // metres
        double tolerance;
    };
    // 1000 x 800 pixels of 1 m; the marks on (0,0), (1000,0), (0,800).
    const Row rows[] = {
        {"utm north-up",
         CoordType::Utm,
         {{{400000, 5300000}, {401000, 5300000}, {400000, 5299200}}},
         0,
         1e-6},
        {"lat/lon north-up",
         CoordType::LatLon,
         {{{-123.6, 48.4}, {-123.4, 48.4}, {-123.6, 48.2}}},
         0,
         1e-6},
        // Turned by 90 degrees: the device stretches the picture over the same box, so the
        // corners (1000,0) and (0,800) land 1000 m along and 800 m across from their place
        // (grid metres, 100 km from the central meridian: scale 0.99972).
        {"utm turned",
         CoordType::Utm,
         {{{400000, 5300000}, {400000, 5299000}, {399200, 5300000}}},
         std::hypot(1000.0, 800.0) / 0.99972,
         0.05}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CCalibration calibration{
            row.coordType, row.world, {CDoublePoint{0, 0}, {1000, 0}, {0, 800}}, 10, 'U'};
        const double error = CalibrationDeviceError(calibration, 1000, 800);
        EXPECT_NEAR(error, row.expected, row.tolerance);
    }
}

TEST(DeviceError, unmappable_input_gives_nan) {
    const SDeviceGrid grid{CoordType::LatLon, 0, true, {0, 1}, {1, 0}, 10, 10};
    EXPECT_TRUE(std::isnan(DeviceErrorMetres(grid, [](auto&) { return false; })));
    EXPECT_TRUE(std::isnan(DeviceErrorMetres({}, [](auto&) { return true; })));
    EXPECT_TRUE(std::isnan(GeodesicMetres({0, 91}, {0, 0})));
}

// Longitudes as PROJ gives them (in -180..180) around the picture's centre.
TEST(DeviceError, pictures_across_180_degrees_are_told_apart_from_whole_world_ones) {
    struct Row {
        std::vector<CDoublePoint> lonLat;
        double centreLon;
        bool crosses;
    };
    const Row rows[] = {
        {{{-180, 90}, {180, -90}, {0, 0}}, 0.0, false}, // the whole world, edge to edge
        {{{170, 10}, {179.9, 9}}, 175.0, false},        // up to 180 degrees east
        {{{179.4, -16}, {-179.6, -17}}, 179.9, true},   // Fiji, centre west of 180
        {{{179.4, -16}, {-179.6, -17}}, -179.95, true}, // centre east of it
        {{{-179.9, 65}, {-170, 66}}, -175.0, false},    // up to 180 degrees west
        {{{std::nextafter(180.0, 0.0), 0}, {180, 0}}, 179.0, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.crosses, CrossesAntimeridian(row.lonLat, row.centreLon))
            << row.lonLat[0].x << " .. " << row.lonLat[1].x;
    }
}

} // namespace

// The ground of one pixel against closed forms: UTM grids at the central meridian, where a grid
// metre is 1 / 0.9996 metres on the ellipsoid, and a latitude/longitude grid, whose pixel sides
// are arcs of the parallel and the meridian (radii of curvature of WGS 84).

#include "georef/PixelGround.h"
#include "coords/UtmProjection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace mapreg;

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// Three marks on picture points (0,0), (1000,0), (0,1000) of a picture whose pixel steps right
// and down go to the world vectors right and down from origin.
CCalibration Marks(CoordType type, CDoublePoint origin, CDoublePoint right, CDoublePoint down) {
    CCalibration calibration{.coordType = type, .zone = 33, .letter = 'T'};
    calibration.picture = {{{0.0, 0.0}, {1000.0, 0.0}, {0.0, 1000.0}}};
    calibration.world = {{origin,
                          {origin.x + 1000.0 * right.x, origin.y + 1000.0 * right.y},
                          {origin.x + 1000.0 * down.x, origin.y + 1000.0 * down.y}}};
    return calibration;
}

TEST(PixelGround, sizes_and_turn_of_utm_pictures) {
    struct Row {
        const char* name;
        CDoublePoint right; // grid metres per pixel step right
        CDoublePoint down;  // and down
        double xMetres;     // on the grid; the ellipsoid has them / 0.9996
        double yMetres;
        double rotation;
    };
    const double c = std::cos(6.0 * kDegree);
    const double s = std::sin(6.0 * kDegree);
    const Row rows[] = {
        {"north-up, 2.5 m", {2.5, 0.0}, {0.0, -2.5}, 2.5, 2.5, 0.0},
        {"3 m by 2 m", {3.0, 0.0}, {0.0, -2.0}, 3.0, 2.0, 0.0},
        {"turned 6 degrees clockwise",
         {30.0 * c, -30.0 * s},
         {-30.0 * s, -30.0 * c},
         30.0,
         30.0,
         6.0},
        {"turned 6 degrees anticlockwise",
         {30.0 * c, 30.0 * s},
         {30.0 * s, -30.0 * c},
         30.0,
         30.0,
         -6.0},
        {"easting swapped: mirrored", {-2.5, 0.0}, {0.0, -2.5}, 2.5, 2.5, 180.0},
    };
    // Pixel (500, 500) sits on the central meridian of zone 33.
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CDoublePoint origin{500000.0 - 500.0 * (row.right.x + row.down.x),
                                  5000000.0 - 500.0 * (row.right.y + row.down.y)};
        const SPixelGround ground =
            PixelGroundAt(Marks(CoordType::Utm, origin, row.right, row.down), {500.0, 500.0});
        EXPECT_NEAR(ground.xMetres, row.xMetres / kUtmScaleFactor, 1e-5 * row.xMetres);
        EXPECT_NEAR(ground.yMetres, row.yMetres / kUtmScaleFactor, 1e-5 * row.yMetres);
        EXPECT_NEAR(ground.rotationDegrees, row.rotation, 1e-9);
    }
}

TEST(PixelGround, a_latlon_pixel_spans_arcs_of_parallel_and_meridian) {
    const double e2 = kWgs84Flattening * (2.0 - kWgs84Flattening);
    for (const double latitude : {0.0, 45.0, -60.0, 80.0}) {
        SCOPED_TRACE(latitude);
        const double step = 0.001; // degrees per pixel both ways
        const CCalibration calibration =
            Marks(CoordType::LatLon, {10.0 - 500.0 * step, latitude + 500.0 * step}, {step, 0.0},
                  {0.0, -step});
        const SPixelGround ground = PixelGroundAt(calibration, {500.0, 500.0});
        const double sin2 = std::pow(std::sin(latitude * kDegree), 2.0);
        const double parallel = kWgs84SemiMajorAxis / std::sqrt(1.0 - e2 * sin2) *
                                std::cos(latitude * kDegree) * step * kDegree;
        const double meridian =
            kWgs84SemiMajorAxis * (1.0 - e2) / std::pow(1.0 - e2 * sin2, 1.5) * step * kDegree;
        EXPECT_NEAR(ground.xMetres, parallel, 1e-5 * parallel);
        EXPECT_NEAR(ground.yMetres, meridian, 1e-5 * meridian);
        EXPECT_NEAR(ground.rotationDegrees, 0.0, 1e-9);
    }
    // A point the calibration maps beyond the pole gives no figures.
    const SPixelGround none =
        PixelGroundAt(Marks(CoordType::LatLon, {0.0, 89.95}, {0.1, 0.0}, {0.0, 0.1}), {1.0, 1.0});
    EXPECT_TRUE(std::isnan(none.xMetres) && std::isnan(none.rotationDegrees));
}

} // namespace

#include "georef/CMapTransform.h"
#include "georef/TransformGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace mapreg;

namespace {

using Triangle = std::array<CDoublePoint, 3>;

// The affine mapping through three point pairs, solved independently of CMapTransform by
// Cramer's rule: target = A * (source - s0) + t0.
struct Affine {
    double a11, a12, a21, a22;
    CDoublePoint s0, t0;

    static Affine Solve(const Triangle& source, const Triangle& target) {
        const double ux = source[1].x - source[0].x, uy = source[1].y - source[0].y;
        const double vx = source[2].x - source[0].x, vy = source[2].y - source[0].y;
        const double px = target[1].x - target[0].x, py = target[1].y - target[0].y;
        const double qx = target[2].x - target[0].x, qy = target[2].y - target[0].y;
        const double det = ux * vy - uy * vx;
        return {(px * vy - qx * uy) / det,
                (qx * ux - px * vx) / det,
                (py * vy - qy * uy) / det,
                (qy * ux - py * vx) / det,
                source[0],
                target[0]};
    }
    CDoublePoint operator()(CDoublePoint p) const {
        const double dx = p.x - s0.x, dy = p.y - s0.y;
        return {t0.x + a11 * dx + a12 * dy, t0.y + a21 * dx + a22 * dy};
    }
};

void ExpectNear(CDoublePoint actual, CDoublePoint expected, double tolerance, const char* what) {
    EXPECT_NEAR(actual.x, expected.x, tolerance) << what;
    EXPECT_NEAR(actual.y, expected.y, tolerance) << what;
}

const Triangle kWorldMapPicture = {{{0, 0}, {998, 0}, {998, 500}}};
const Triangle kWorldMapWorld = {{{-180, 90}, {180, 90}, {180, -90}}};

TEST(CMapTransform, new_transform_is_the_identity) {
    CMapTransform transform;
    ExpectNear(transform.PictureToWorld({-40, 13.5}), {-40, 13.5}, 1e-9, "picture to world");
    ExpectNear(transform.WorldToPicture({1e6, -3}), {1e6, -3}, 1e-9, "world to picture");
}

// Random calibrations that pass the picture checks, mapped at random points inside and far
// outside the marks (extrapolated, not clamped), at every vertex and on the apex row and column,
// agree with the independently solved affine mapping.
TEST(CMapTransform, agrees_with_the_affine_solution_on_random_triangles) {
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> pixel(0.0, 4000.0);
    std::uniform_real_distribution<double> lon(-180.0, 180.0);
    std::uniform_real_distribution<double> lat(-90.0, 90.0);
    int tested = 0;
    while (tested < 300) {
        Triangle picture, world;
        for (std::size_t i = 0; i < 3; ++i) {
            picture[i] = {std::round(pixel(random)), std::round(pixel(random))};
            world[i] = {lon(random), lat(random)};
        }
        // Marks are often put on one row or column, or one meridian or parallel.
        if (tested % 4 == 1) {
            picture[1].y = picture[0].y;
            world[2].x = world[0].x;
        } else if (tested % 4 == 2) {
            picture[2].x = picture[1].x;
            world[1].y = world[2].y;
        }
        int index = 0;
        if (MarksTooClose(picture, 8.0, &index) || MarksNearlyCollinear(picture, 10.0, &index) ||
            MarksNearlyCollinear(world, 10.0, &index)) {
            continue;
        }
        ++tested;
        CMapTransform transform;
        transform.SetControlPoints(world, picture);
        const Affine toWorld = Affine::Solve(picture, world);
        const Affine toPicture = Affine::Solve(world, picture);

        std::vector<CDoublePoint> pictureProbes;
        std::vector<CDoublePoint> worldProbes;
        for (std::size_t i = 0; i < 3; ++i) { // every vertex, and its row and column
            const CDoublePoint p = picture[i];
            const CDoublePoint w = world[i];
            pictureProbes.insert(pictureProbes.end(), {p, {p.x + 37.0, p.y}, {p.x, p.y - 21.5}});
            worldProbes.insert(worldProbes.end(), {w, {w.x + 3.0, w.y}, {w.x, w.y - 2.5}});
            pictureProbes.push_back({pixel(random) * 2 - 2000, pixel(random) * 2 - 2000});
            worldProbes.push_back({lon(random) * 2, lat(random) * 2});
        }
        for (const CDoublePoint p : pictureProbes) {
            ExpectNear(transform.PictureToWorld(p), toWorld(p), 1e-7, "picture to world");
        }
        for (const CDoublePoint w : worldProbes) {
            ExpectNear(transform.WorldToPicture(w), toPicture(w), 1e-6, "world to picture");
        }
    }
}

TEST(CMapTransform, apex_row_far_beyond_unit_resolution_terminates_with_the_affine_value) {
    // From 2^53 on, one unit is lost in rounding: the apex row must still be mapped.
    const double big = 0x1p60;
    const Triangle picture = {
        {{big, big}, {big + 0x1p50, big + 0x1p49}, {big + 0x1p49, big + 0x1p50}}};
    const Triangle world = {{{0, 0}, {100, 0}, {0, 100}}};
    CMapTransform transform;
    transform.SetControlPoints(world, picture);
    const Affine toWorld = Affine::Solve(picture, world);
    const CDoublePoint probes[] = {{big + 0x1p48, big}, {big, big + 0x1p48}, {big, big}};
    for (const CDoublePoint p : probes) {
        ExpectNear(transform.PictureToWorld(p), toWorld(p), 1e-3, "huge picture coordinates");
    }
    const CDoublePoint back = transform.WorldToPicture({50, 50});
    EXPECT_NEAR(back.x - big, 0x1p49 + 0x1p48, 4096.0);
    EXPECT_NEAR(back.y - big, 0x1p49 + 0x1p48, 4096.0);
}

TEST(CMapTransform, non_finite_points_and_triangles_return) {
    // Unvalidated input must still come back (no endless apex-row recursion), whatever it yields.
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Triangle triangles[] = {
        {{{0, inf}, {1, 0}, {0, 1}}},
        {{{inf, inf}, {-inf, 0}, {0, -inf}}},
        {{{nan, 0}, {1, 0}, {0, 1}}},
    };
    const CDoublePoint probes[] = {{0, inf}, {inf, inf}, {-inf, 0}, {nan, nan}, {0, 1}, {3, 0}};
    for (const Triangle& t : triangles) {
        CMapTransform transform;
        transform.SetControlPoints(t, kWorldMapPicture);
        for (const CDoublePoint p : probes) {
            (void)transform.WorldToPicture(p);
        }
        transform.SetControlPoints(kWorldMapWorld, t);
        for (const CDoublePoint p : probes) {
            (void)transform.PictureToWorld(p);
        }
    }
}

} // namespace

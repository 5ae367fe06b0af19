#include "georef/CPointFit.h"
#include "georef/CMapTransform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using namespace mapreg;

namespace {

// An independent least-squares solution: the normal equations of the centred problem in long
// double, solved by Gaussian elimination with partial pivoting.
AffineTransform NormalEquations(const std::vector<ControlPoint>& points) {
    long double n = 0, mx = 0, my = 0, wx = 0, wy = 0;
    for (const ControlPoint& p : points) {
        if (p.enabled) {
            n += 1;
            mx += p.picture.x;
            my += p.picture.y;
            wx += p.world.x;
            wy += p.world.y;
        }
    }
    mx /= n, my /= n, wx /= n, wy /= n;
    // With centred pixels the constant term separates: it is the world mean.
    long double m[2][4] = {};
    for (const ControlPoint& p : points) {
        if (p.enabled) {
            const long double u = p.picture.x - mx, v = p.picture.y - my;
            const long double x = p.world.x - wx, y = p.world.y - wy;
            m[0][0] += u * u, m[0][1] += u * v, m[1][1] += v * v;
            m[0][2] += u * x, m[0][3] += u * y, m[1][2] += v * x, m[1][3] += v * y;
        }
    }
    m[1][0] = m[0][1];
    if (std::fabs(m[1][0]) > std::fabs(m[0][0])) {
        std::swap(m[0], m[1]);
    }
    const long double f = m[1][0] / m[0][0];
    for (int j = 0; j < 4; ++j) {
        m[1][j] -= f * m[0][j];
    }
    AffineTransform t;
    for (int s = 0; s < 2; ++s) {
        const long double b = m[1][2 + s] / m[1][1];
        const long double a = (m[0][2 + s] - m[0][1] * b) / m[0][0];
        const long double w0 = s == 0 ? wx : wy;
        t.c[3 * s] = static_cast<double>(w0 - a * mx - b * my);
        t.c[3 * s + 1] = static_cast<double>(a);
        t.c[3 * s + 2] = static_cast<double>(b);
    }
    return t;
}

double DistanceM(CDoublePoint a, CDoublePoint b, bool latLon) {
    const CDoublePoint k = MetresPerWorldUnit(b, latLon);
    return std::hypot((a.x - b.x) * k.x, (a.y - b.y) * k.y);
}

struct Case {
    const char* name;
    bool latLon;
    CDoublePoint origin;  // world point of pixel (0, 0)
    double unitsPerPixel; // world units per pixel
    double noiseM;        // standard deviation of the world noise, metres
};

// Random affine maps with noise, fitted from 4 to 40 points with a few disabled, agree with the
// normal equations; every leave-one-out residual agrees with an explicit refit without the
// point, and the rms and worst point follow from those.
TEST(CPointFit, agrees_with_an_independent_solver_on_noisy_random_affines) {
    const Case cases[] = {
        {"utm", false, {999000.0, 9990000.0}, 2.5, 3.0},
        {"latlon", true, {-123.6, 48.4}, 2.5e-5, 3.0},
        {"latlon_south_east", true, {151.1, -33.9}, 1e-4, 10.0},
    };
    std::mt19937 random(1234);
    for (const Case& c : cases) {
        for (int n = 4; n <= 40; n += 3) {
            SCOPED_TRACE(std::string(c.name) + " n=" + std::to_string(n));
            std::uniform_real_distribution<double> pixel(0.0, 12000.0);
            std::uniform_real_distribution<double> skew(-0.2, 0.2);
            std::normal_distribution<double> noise(0.0, c.noiseM);
            const double k = c.unitsPerPixel;
            const AffineTransform truth{
                {c.origin.x, k, k * skew(random), c.origin.y, k * skew(random), -k}};
            std::vector<ControlPoint> points(static_cast<std::size_t>(n));
            for (std::size_t i = 0; i < points.size(); ++i) {
                ControlPoint& p = points[i];
                p.picture = {std::round(pixel(random)), std::round(pixel(random))};
                const CDoublePoint w = truth.Map(p.picture);
                const CDoublePoint perM = MetresPerWorldUnit(w, c.latLon);
                p.world = {w.x + noise(random) / perM.x, w.y + noise(random) / perM.y};
                p.enabled = n < 10 || i % 7 != 3;
            }
            const CPointFit fit = CPointFit::Fit(points, c.latLon);
            ASSERT_TRUE(fit.IsOk());
            const AffineTransform expected = NormalEquations(points);
            for (const CDoublePoint corner : {CDoublePoint{0, 0}, CDoublePoint{12000, 12000}}) {
                EXPECT_LT(DistanceM(fit.GetTransform().Map(corner), expected.Map(corner), c.latLon),
                          1e-6);
            }
            double sum = 0.0;
            double enabled = 0.0;
            double worst = -1.0;
            int worstIndex = -1;
            for (std::size_t i = 0; i < points.size(); ++i) {
                const ControlPoint& p = points[i];
                const PointResidual& r = fit.GetResiduals()[i];
                const double residual = DistanceM(expected.Map(p.picture), p.world, c.latLon);
                EXPECT_NEAR(r.lengthM, residual, 1e-6);
                EXPECT_NEAR(r.lengthM, std::hypot(r.dxM, r.dyM), 1e-9);
                double loo = residual;
                if (p.enabled) {
                    std::vector<ControlPoint> others = points;
                    others[i].enabled = false;
                    loo = DistanceM(NormalEquations(others).Map(p.picture), p.world, c.latLon);
                    sum += residual * residual;
                    enabled += 1;
                    if (loo > worst) {
                        worst = loo;
                        worstIndex = static_cast<int>(i);
                    }
                }
                EXPECT_NEAR(r.leaveOneOutM, loo, 1e-6 * (1.0 + loo));
            }
            EXPECT_NEAR(fit.GetRmsM(), std::sqrt(sum / enabled), 1e-6);
            EXPECT_EQ(fit.GetWorst(), worstIndex);
        }
    }
}

// Three points fit exactly: the transform is the three-mark calibration's, nothing is left over,
// and no point has a leave-one-out residual. The tolerance is 1e-9 of the triangle's extent.
TEST(CPointFit, three_points_give_the_three_mark_calibration) {
    using Triangle = std::array<CDoublePoint, 3>;
    struct Row {
        bool latLon;
        Triangle picture;
        Triangle world;
    };
    const Row rows[] = {
        {true, {{{0, 0}, {997, 0}, {0, 499}}}, {{{-180, 90}, {180, 90}, {-180, -90}}}},
        {false,
         {{{120, 40}, {15800, 300}, {700, 15900}}},
         {{{999123.25, 9876543.5}, {989000.75, 9831000.0}, {960400.5, 9874000.25}}}},
        {true,
         {{{3, 7}, {2048, 95}, {400, 3000}}},
         {{{8.5411, 47.3769}, {8.6, 47.37}, {8.55, 47.31}}}},
    };
    for (const Row& row : rows) {
        std::vector<ControlPoint> points;
        for (std::size_t i = 0; i < 3; ++i) {
            points.push_back({row.picture[i], row.world[i], true});
        }
        const CPointFit fit = CPointFit::Fit(points, row.latLon);
        ASSERT_TRUE(fit.IsOk());
        CMapTransform marks;
        marks.SetControlPoints(row.world, row.picture);
        const double extent =
            std::hypot(row.world[1].x - row.world[0].x, row.world[2].y - row.world[0].y);
        for (const CDoublePoint p : {CDoublePoint{0, 0}, CDoublePoint{5000, 0},
                                     CDoublePoint{0, 5000}, CDoublePoint{777.5, 333.25}}) {
            const CDoublePoint a = fit.GetTransform().Map(p);
            const CDoublePoint b = marks.PictureToWorld(p);
            EXPECT_LT(std::hypot(a.x - b.x, a.y - b.y), 1e-9 * extent);
        }
        for (const PointResidual& r : fit.GetResiduals()) {
            EXPECT_LT(r.lengthM, 1e-6);
            EXPECT_TRUE(std::isnan(r.leaveOneOutM));
        }
        EXPECT_EQ(fit.GetWorst(), -1);
    }
}

// A point 50 pixels off among eight good ones hides part of its error in the fit: its own
// residual is smaller than the leave-one-out one, which names it as the worst.
TEST(CPointFit, leave_one_out_names_a_point_moved_by_50_pixels) {
    const AffineTransform truth{{500000.0, 2.0, 0.1, 5300000.0, 0.05, -2.0}};
    std::vector<ControlPoint> points;
    const CDoublePoint pixels[] = {{100, 100},   {3900, 150},  {2000, 2100}, {150, 3800},
                                   {3800, 3900}, {1000, 3000}, {3000, 900},  {2500, 3300}};
    for (const CDoublePoint p : pixels) {
        points.push_back({p, truth.Map(p), true});
    }
    points[5].picture.x += 50.0;
    const CPointFit fit = CPointFit::Fit(points, false);
    ASSERT_TRUE(fit.IsOk());
    EXPECT_EQ(fit.GetWorst(), 5);
    const PointResidual& moved = fit.GetResiduals()[5];
    EXPECT_LT(moved.lengthM, moved.leaveOneOutM);
    EXPECT_NEAR(moved.leaveOneOutM, std::hypot(100.0, 2.5), 1e-6); // 50 px through the truth
    EXPECT_NEAR(moved.pixels, moved.lengthM / 2.0, 0.1 * moved.pixels);
}

// Fits that cannot be made: too few enabled points, a line of points, non-finite values.
TEST(CPointFit, refuses_too_few_points_and_a_line) {
    const double nan = std::nan("");
    struct Row {
        std::vector<ControlPoint> points;
        CPointFit::Status status;
    };
    const Row rows[] = {
        {{}, CPointFit::Status::TooFewPoints},
        {{{{0, 0}, {1, 1}}, {{10, 0}, {2, 1}}, {{0, 10}, {1, 2}, false}},
         CPointFit::Status::TooFewPoints},
        {{{{0, 0}, {1, 1}}, {{10, 10}, {2, 1}}, {{20, 20}, {1, 2}}, {{35, 35}, {1, 3}}},
         CPointFit::Status::Degenerate},
        {{{{0, 0}, {1, 1}}, {{10, 0}, {2, 1}}, {{0, 10}, {nan, 2}}}, CPointFit::Status::Degenerate},
        {{{{0, 0}, {1, 1}}, {{10, 0}, {1, 1}}, {{0, 10}, {1, 1}}}, CPointFit::Status::Degenerate},
    };
    for (const Row& row : rows) {
        const CPointFit fit = CPointFit::Fit(row.points, false);
        EXPECT_EQ(fit.GetStatus(), row.status);
        EXPECT_TRUE(fit.GetResiduals().empty());
    }
}

} // namespace

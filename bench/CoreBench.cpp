// The per-mouse-move work of the status bar: picture to world, UTM conversion and the position
// text, plus the reverse directions and the parser that reads typed angles.

#include "coords/AngleParser.h"
#include "coords/CLatLonFormatter.h"
#include "coords/CUtmConverter.h"
#include "coords/UtmProjection.h"
#include "georef/CMapTransform.h"
#include "georef/CPointFit.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using namespace mapreg;

namespace {

CMapTransform MakeTransform() {
    CMapTransform transform;
    transform.SetControlPoints({{{-123.9, 48.6}, {-123.1, 48.55}, {-123.5, 48.0}}},
                               {{{40, 30}, {1900, 120}, {900, 1500}}});
    return transform;
}

void BM_PictureToWorld(benchmark::State& state) {
    const CMapTransform transform = MakeTransform();
    CDoublePoint p{100.0, 200.0};
    for (auto _ : state) {
        benchmark::DoNotOptimize(transform.PictureToWorld(p));
        p.x = p.x < 1900.0 ? p.x + 1.0 : 0.0;
    }
}
BENCHMARK(BM_PictureToWorld);

void BM_WorldToPicture(benchmark::State& state) {
    const CMapTransform transform = MakeTransform();
    CDoublePoint w{-123.6, 48.3};
    for (auto _ : state) {
        benchmark::DoNotOptimize(transform.WorldToPicture(w));
        w.x = w.x < -123.0 ? w.x + 1e-4 : -123.9;
    }
}
BENCHMARK(BM_WorldToPicture);

// The lower bound of both directions: the same mapping as a plain 2 x 3 matrix, taken from the
// transform's images of (0, 0), (1, 0) and (0, 1), applied inline.
void BM_AffineMultiply(benchmark::State& state) {
    const CMapTransform transform = MakeTransform();
    const CDoublePoint o = transform.PictureToWorld({0.0, 0.0});
    const CDoublePoint ex = transform.PictureToWorld({1.0, 0.0});
    const CDoublePoint ey = transform.PictureToWorld({0.0, 1.0});
    const double m[2][3] = {{ex.x - o.x, ey.x - o.x, o.x}, {ex.y - o.y, ey.y - o.y, o.y}};
    CDoublePoint p{100.0, 200.0};
    for (auto _ : state) {
        const CDoublePoint w{m[0][0] * p.x + m[0][1] * p.y + m[0][2],
                             m[1][0] * p.x + m[1][1] * p.y + m[1][2]};
        benchmark::DoNotOptimize(w);
        p.x = p.x < 1900.0 ? p.x + 1.0 : 0.0;
    }
}
BENCHMARK(BM_AffineMultiply);

void BM_LatLonToUtm(benchmark::State& state) {
    double latitude = 48.2625;
    int zone = 0;
    char letter = 0;
    double easting = 0.0;
    double northing = 0.0;
    for (auto _ : state) {
        LatLonToUtm(kWgs84SemiMajorAxis, kWgs84Flattening, latitude, -123.50208333, zone, letter,
                    easting, northing);
        benchmark::DoNotOptimize(easting);
        benchmark::DoNotOptimize(northing);
        latitude = latitude < 49.0 ? latitude + 1e-6 : 48.0;
    }
}
BENCHMARK(BM_LatLonToUtm);

void BM_UtmToLatLon(benchmark::State& state) {
    double easting = 462737.0;
    double latitude = 0.0;
    double longitude = 0.0;
    for (auto _ : state) {
        UtmToLatLon(kWgs84SemiMajorAxis, kWgs84Flattening, 10, 'U', easting, 5345598.0, latitude,
                    longitude);
        benchmark::DoNotOptimize(latitude);
        benchmark::DoNotOptimize(longitude);
        easting = easting < 470000.0 ? easting + 0.1 : 462737.0;
    }
}
BENCHMARK(BM_UtmToLatLon);

// Format in each layout: 0, 1, 2 for latitude/longitude; the UTM text includes the conversion,
// as on a mouse move.
void BM_FormatLatLon(benchmark::State& state) {
    CLatLonFormatter position;
    position.SetLatLonFormat(static_cast<int>(state.range(0)));
    std::string text;
    double latitude = 48.2625;
    for (auto _ : state) {
        position.SetLatLon(latitude, -123.50208333);
        position.Format(text);
        benchmark::DoNotOptimize(text.data());
        latitude = latitude < 49.0 ? latitude + 1e-6 : 48.0;
    }
}
BENCHMARK(BM_FormatLatLon)->Arg(0)->Arg(1)->Arg(2);

void BM_FormatUtm(benchmark::State& state) {
    CUtmConverter position;
    std::string text;
    double latitude = 48.2625;
    for (auto _ : state) {
        position.SetLatLon(latitude, -123.50208333);
        position.Format(text);
        benchmark::DoNotOptimize(text.data());
        latitude = latitude < 49.0 ? latitude + 1e-6 : 48.0;
    }
}
BENCHMARK(BM_FormatUtm);

// The C library's own number text, as a reference for Format: both numbers of a position with
// five decimals into one buffer.
void BM_SnprintfTwoNumbers(benchmark::State& state) {
    char text[64];
    double latitude = 48.2625;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            std::snprintf(text, sizeof text, "%.5f, %.5f", latitude, -123.50208333));
        benchmark::DoNotOptimize(text);
        latitude = latitude < 49.0 ? latitude + 1e-6 : 48.0;
    }
}
BENCHMARK(BM_SnprintfTwoNumbers);

// The C library's number parser, as a reference for ParseAngle: one plain decimal number.
void BM_Strtod(benchmark::State& state) {
    const char* const texts[] = {"48.2625", "-123.50208333", "-48.26250", "48.015"};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::strtod(texts[i], nullptr));
        i = (i + 1) % 4;
    }
}
BENCHMARK(BM_Strtod);

void BM_ParseAngle(benchmark::State& state) {
    const char* const texts[] = {"N 48*15.750'", "W 123*30'07.5\"", "-48.26250", "48 15 45.0 S"};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ParseAngle(texts[i]));
        i = (i + 1) % 4;
    }
}
BENCHMARK(BM_ParseAngle);

} // namespace

// A least-squares fit of control points with residuals and leave-one-out residuals, against
// the floor of any such fit: one pass accumulating the normal equations of the same points.
std::vector<ControlPoint> MakeControlPoints(std::size_t n) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> pixel(0.0, 16000.0);
    std::normal_distribution<double> noise(0.0, 2.0);
    std::vector<ControlPoint> points(n);
    for (ControlPoint& p : points) {
        p.picture = {pixel(random), pixel(random)};
        p.world = {480000.0 + 1.5 * p.picture.x + noise(random),
                   5400000.0 - 1.5 * p.picture.y + noise(random)};
    }
    return points;
}

void BM_PointFit(benchmark::State& state) {
    const std::vector<ControlPoint> points = MakeControlPoints(std::size_t(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(CPointFit::Fit(points, false));
    }
}
BENCHMARK(BM_PointFit)->Arg(1000);

void BM_PointFitNormalSums(benchmark::State& state) {
    const std::vector<ControlPoint> points = MakeControlPoints(std::size_t(state.range(0)));
    for (auto _ : state) {
        double s[9] = {};
        for (const ControlPoint& p : points) {
            s[0] += p.picture.x, s[1] += p.picture.y, s[2] += p.picture.x * p.picture.x;
            s[3] += p.picture.x * p.picture.y, s[4] += p.picture.y * p.picture.y;
            s[5] += p.picture.x * p.world.x, s[6] += p.picture.y * p.world.x;
            s[7] += p.picture.x * p.world.y, s[8] += p.picture.y * p.world.y;
        }
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_PointFitNormalSums)->Arg(1000);

BENCHMARK_MAIN();

#include "georef/CPointFit.h"

#include "coords/UtmProjection.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace mapreg {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// 1 - h below this leaves the point alone in determining the fit: without it the rest is
// rank-deficient, so its leave-one-out residual does not exist.
constexpr double kMinLeverageGap = 1e-9;
// A column of the centred design shrunk below this fraction of its length by the reflections
// before it lies in the span of the earlier ones: the picture points are on one line.
constexpr double kRankTolerance = 1e-10;

// Householder QR of the n x 3 design matrix [1, u, v] (u, v centred pixels), applied to the two
// right-hand sides (centred world x, y). Keeps R and the reflected right-hand sides.
struct SQr {
    std::array<std::array<double, 3>, 3> r{};
    std::array<std::array<double, 3>, 2> qtb{}; // the first three entries of Q^T b per side
    bool fullRank = false;
};

SQr Decompose(std::vector<std::array<double, 3>>& a, std::vector<std::array<double, 2>>& b) {
    SQr qr;
    const std::size_t n = a.size();
    for (std::size_t k = 0; k < 3; ++k) {
        double norm = 0.0;
        double scale = 0.0;
        for (std::size_t i = k; i < n; ++i) {
            scale = std::max(scale, std::abs(a[i][k]));
        }
        double original = 0.0;
        for (std::size_t i = 0; i < n; ++i) {
            original = std::max(original, std::abs(a[i][k]));
        }
        if (!(scale > kRankTolerance * original) || !std::isfinite(scale)) {
            return qr;
        }
        for (std::size_t i = k; i < n; ++i) {
            const double s = a[i][k] / scale;
            norm += s * s;
        }
        norm = std::sqrt(norm) * scale;
        const double alpha = a[k][k] > 0.0 ? -norm : norm;
        // v = x - alpha e_k, stored over column k; beta = 2 / (v^T v) = 1 / (norm (norm + |x_k|)).
        a[k][k] -= alpha;
        const double beta = 1.0 / (norm * (norm + std::abs(a[k][k] + alpha)));
        for (std::size_t j = k + 1; j < 3; ++j) {
            double dot = 0.0;
            for (std::size_t i = k; i < n; ++i) {
                dot += a[i][k] * a[i][j];
            }
            const double f = beta * dot;
            for (std::size_t i = k; i < n; ++i) {
                a[i][j] -= f * a[i][k];
            }
        }
        for (std::size_t s = 0; s < 2; ++s) {
            double dot = 0.0;
            for (std::size_t i = k; i < n; ++i) {
                dot += a[i][k] * b[i][s];
            }
            const double f = beta * dot;
            for (std::size_t i = k; i < n; ++i) {
                b[i][s] -= f * a[i][k];
            }
        }
        qr.r[k][k] = alpha;
        for (std::size_t j = k + 1; j < 3; ++j) {
            qr.r[k][j] = a[k][j];
        }
    }
    for (std::size_t s = 0; s < 2; ++s) {
        for (std::size_t k = 0; k < 3; ++k) {
            qr.qtb[s][k] = b[k][s];
        }
    }
    qr.fullRank = true;
    return qr;
}

// Solves R x = y.
std::array<double, 3> SolveUpper(const std::array<std::array<double, 3>, 3>& r,
                                 std::array<double, 3> y) {
    for (std::size_t k = 3; k-- > 0;) {
        for (std::size_t j = k + 1; j < 3; ++j) {
            y[k] -= r[k][j] * y[j];
        }
        y[k] /= r[k][k];
    }
    return y;
}

// The leverage h = a^T (A^T A)^-1 a = |R^-T a|^2 of a design row a.
double Leverage(const std::array<std::array<double, 3>, 3>& r, const std::array<double, 3>& a) {
    std::array<double, 3> z{};
    double h = 0.0;
    for (std::size_t k = 0; k < 3; ++k) {
        double s = a[k];
        for (std::size_t j = 0; j < k; ++j) {
            s -= r[j][k] * z[j];
        }
        z[k] = s / r[k][k];
        h += z[k] * z[k];
    }
    return h;
}

} // namespace

CDoublePoint MetresPerWorldUnit(CDoublePoint world, bool latLon) {
    if (!latLon) {
        return {1.0, 1.0};
    }
    const double e2 = kWgs84Flattening * (2.0 - kWgs84Flattening);
    const double s = std::sin(world.y * kDegree);
    const double w = std::sqrt(1.0 - e2 * s * s);
    const double meridian = kWgs84SemiMajorAxis * (1.0 - e2) / (w * w * w);
    const double primeVertical = kWgs84SemiMajorAxis / w;
    return {kDegree * primeVertical * std::cos(world.y * kDegree), kDegree * meridian};
}

CPointFit CPointFit::Fit(const std::vector<ControlPoint>& points, bool latLon) {
    CPointFit fit;
    std::size_t n = 0;
    CDoublePoint pictureMean{};
    CDoublePoint worldMean{};
    for (const ControlPoint& p : points) {
        if (p.enabled) {
            ++n;
            pictureMean.x += p.picture.x;
            pictureMean.y += p.picture.y;
            worldMean.x += p.world.x;
            worldMean.y += p.world.y;
        }
    }
    if (n < kMinPoints) {
        return fit;
    }
    const double count = static_cast<double>(n);
    pictureMean = {pictureMean.x / count, pictureMean.y / count};
    worldMean = {worldMean.x / count, worldMean.y / count};

    std::vector<std::array<double, 3>> a;
    std::vector<std::array<double, 2>> b;
    a.reserve(n);
    b.reserve(n);
    for (const ControlPoint& p : points) {
        if (p.enabled) {
            a.push_back({1.0, p.picture.x - pictureMean.x, p.picture.y - pictureMean.y});
            b.push_back({p.world.x - worldMean.x, p.world.y - worldMean.y});
        }
    }
    const SQr qr = Decompose(a, b);
    fit.m_status = Status::Degenerate;
    if (!qr.fullRank) {
        return fit;
    }
    const std::array<double, 3> cx = SolveUpper(qr.r, qr.qtb[0]);
    const std::array<double, 3> cy = SolveUpper(qr.r, qr.qtb[1]);
    // Back from centred coordinates: w - wm = c0 + c1 (px - pm.x) + c2 (py - pm.y).
    AffineTransform& t = fit.m_transform;
    t.c = {worldMean.x + cx[0] - cx[1] * pictureMean.x - cx[2] * pictureMean.y, cx[1], cx[2],
           worldMean.y + cy[0] - cy[1] * pictureMean.x - cy[2] * pictureMean.y, cy[1], cy[2]};
    const double det = t.c[1] * t.c[5] - t.c[2] * t.c[4];
    for (const double c : t.c) {
        if (!std::isfinite(c)) {
            return fit;
        }
    }
    if (!(det != 0.0) || !std::isfinite(det)) {
        return fit;
    }

    fit.m_residuals.resize(points.size());
    double sumSquares = 0.0;
    double worstLoo = -1.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ControlPoint& p = points[i];
        const CDoublePoint u{p.picture.x - pictureMean.x, p.picture.y - pictureMean.y};
        // Residual in world units, computed in centred form so that no large value cancels.
        const CDoublePoint e{cx[0] + cx[1] * u.x + cx[2] * u.y - (p.world.x - worldMean.x),
                             cy[0] + cy[1] * u.x + cy[2] * u.y - (p.world.y - worldMean.y)};
        const CDoublePoint scale = MetresPerWorldUnit(p.world, latLon);
        PointResidual& r = fit.m_residuals[i];
        r.dxM = e.x * scale.x;
        r.dyM = e.y * scale.y;
        r.lengthM = std::hypot(r.dxM, r.dyM);
        // The picture step the fit needs to cover the world residual.
        r.pixels =
            std::hypot(t.c[5] * e.x - t.c[2] * e.y, -t.c[4] * e.x + t.c[1] * e.y) / std::abs(det);
        if (!p.enabled) {
            r.leaveOneOutM = r.lengthM;
            continue;
        }
        sumSquares += r.lengthM * r.lengthM;
        // Without the point the fit moves by e h / (1 - h) at its pixel, so the point's
        // prediction error becomes e / (1 - h).
        const double gap = 1.0 - Leverage(qr.r, {1.0, u.x, u.y});
        r.leaveOneOutM =
            gap > kMinLeverageGap ? r.lengthM / gap : std::numeric_limits<double>::quiet_NaN();
        if (r.leaveOneOutM > worstLoo) {
            worstLoo = r.leaveOneOutM;
            fit.m_nWorst = static_cast<int>(i);
        }
    }
    fit.m_dRmsM = std::sqrt(sumSquares / count);
    fit.m_status = Status::Ok;
    return fit;
}

CCalibration CalibrationOfFit(const AffineTransform& fit, CoordType coordType, int zone,
                              char letter, int width, int height) {
    const std::array<CDoublePoint, 3> picture = {
        CDoublePoint{0.0, 0.0}, CDoublePoint{width - 1.0, 0.0}, CDoublePoint{0.0, height - 1.0}};
    const std::array<CDoublePoint, 3> world = {fit.Map(picture[0]), fit.Map(picture[1]),
                                               fit.Map(picture[2])};
    return CCalibration{coordType, world, picture, zone, letter};
}

} // namespace mapreg

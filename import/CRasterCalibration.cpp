#include "import/CRasterCalibration.h"

#include "coords/UtmProjection.h"
#include "georef/CMapTransform.h"
#include "georef/DeviceError.h"

#include <ogr_spatialref.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace mapreg {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

struct STransformDeleter {
    void operator()(OGRCoordinateTransformation* ct) const {
        OGRCoordinateTransformation::DestroyCT(ct);
    }
};
using TransformPtr = std::unique_ptr<OGRCoordinateTransformation, STransformDeleter>;

OGRSpatialReference FromEpsg(int code) {
    OGRSpatialReference srs;
    srs.importFromEPSG(code);
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

// A mapping from picture points into one coordinate system: the geotransform, then PROJ when
// the system differs from the source's.
class CTrueMapping {
public:
    CTrueMapping(const std::array<double, 6>& gt, OGRCoordinateTransformation* ct)
        : m_gt(gt), m_pCt(ct) {}

    // Maps the points in place; false when any of them fails.
    bool Map(std::vector<CDoublePoint>& points) const {
        std::vector<double> x(points.size());
        std::vector<double> y(points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            const CDoublePoint p = points[i];
            x[i] = m_gt[0] + p.x * m_gt[1] + p.y * m_gt[2];
            y[i] = m_gt[3] + p.x * m_gt[4] + p.y * m_gt[5];
        }
        std::vector<int> ok(points.size(), TRUE);
        if (m_pCt != nullptr && !points.empty()) {
            m_pCt->Transform(static_cast<int>(points.size()), x.data(), y.data(), nullptr,
                             ok.data());
        }
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (!ok[i] || !std::isfinite(x[i]) || !std::isfinite(y[i])) {
                return false;
            }
            points[i] = {x[i], y[i]};
        }
        return true;
    }

private:
    std::array<double, 6> m_gt;
    OGRCoordinateTransformation* m_pCt;
};

// Distance in metres between two world points of the calibration's type. Latitude/longitude
// differences are measured on the WGS 84 ellipsoid at a's latitude (meridian and prime vertical
// radii), which is exact to first order for the small differences measured here.
double Metres(CoordType coordType, CDoublePoint a, CDoublePoint b) {
    if (coordType == CoordType::Utm) {
        return std::hypot(a.x - b.x, a.y - b.y);
    }
    const double e2 = kWgs84Flattening * (2.0 - kWgs84Flattening);
    const double s = std::sin(a.y * kDegree);
    const double w = std::sqrt(1.0 - e2 * s * s);
    const double meridian = kWgs84SemiMajorAxis * (1.0 - e2) / (w * w * w);
    const double primeVertical = kWgs84SemiMajorAxis / w;
    const double dLon = std::remainder(a.x - b.x, 360.0);
    return std::hypot(dLon * kDegree * primeVertical * std::cos(a.y * kDegree),
                      (a.y - b.y) * kDegree * meridian);
}

// The band letter of a latitude, kept on the side of the equator the zone's northings count
// from (N and above north, M and below south).
char BandLetter(double latitude, bool north) {
    char letter = UtmBandLetter(latitude);
    if (letter == kUtmOutsideLetter) {
        letter = latitude > 0.0 ? 'X' : 'C';
    }
    if (north && letter < 'N') {
        return 'N';
    }
    if (!north && letter >= 'N') {
        return 'M';
    }
    return letter;
}

} // namespace

CRasterCalibration::CRasterCalibration(const std::array<double, 6>& gt,
                                       const OGRSpatialReference* srs, int width, int height,
                                       const Choice& choice) {
    if (srs == nullptr || srs->IsEmpty() || srs->IsLocal() || width < 1 || height < 1) {
        return;
    }
    const OGRSpatialReference wgs84 = FromEpsg(4326);
    const bool sameGeogCs = srs->IsSameGeogCS(&wgs84) != FALSE;
    const bool wgsGeographic =
        srs->IsGeographic() && sameGeogCs && std::abs(srs->GetAngularUnits() - kDegree) < 1e-12;
    int sourceNorth = 0;
    const int sourceZone = srs->IsProjected() && sameGeogCs && srs->GetLinearUnits() == 1.0
                               ? srs->GetUTMZone(&sourceNorth)
                               : 0;

    // Where the picture's centre lies decides the UTM zone and band.
    const TransformPtr toWgs84(wgsGeographic ? nullptr
                                             : OGRCreateCoordinateTransformation(srs, &wgs84));
    if (!wgsGeographic && !toWgs84) {
        return;
    }
    std::vector<CDoublePoint> centre{{width / 2.0, height / 2.0}};
    if (!CTrueMapping(gt, toWgs84.get()).Map(centre)) {
        m_outcome = Outcome::OutsideProjection;
        return;
    }
    const double centreLon = centre[0].x;
    const double centreLat = centre[0].y;
    std::vector<CDoublePoint> grid;
    grid.reserve(kGridPoints * kGridPoints);
    for (int j = 0; j < kGridPoints; ++j) {
        for (int i = 0; i < kGridPoints; ++i) {
            grid.push_back({width * static_cast<double>(i) / (kGridPoints - 1),
                            height * static_cast<double>(j) / (kGridPoints - 1)});
        }
    }
    std::vector<CDoublePoint> lonLatGrid = grid;
    if (!CTrueMapping(gt, toWgs84.get()).Map(lonLatGrid)) {
        m_outcome = Outcome::OutsideProjection;
        return;
    }
    const bool acrossAntimeridian = CrossesAntimeridian(lonLatGrid, centreLon);
    const bool utmLatitude = centreLat >= -80.0 && centreLat < 84.0;

    using System = Choice::System;
    System system = choice.system;
    if (system == System::Auto) {
        if (acrossAntimeridian && utmLatitude) {
            system = System::Utm; // latitude/longitude ends at 180 degrees on the device
        } else if (wgsGeographic || srs->IsGeographic()) {
            system = System::LatLon;
        } else if (sourceZone != 0 || (srs->IsProjected() && utmLatitude)) {
            system = System::Utm;
        } else if (srs->IsProjected()) {
            system = System::LatLon; // polar pictures have no UTM zone
        } else {
            return;
        }
    }

    bool identity = false;
    OGRSpatialReference target = wgs84;
    if (system == System::LatLon && acrossAntimeridian) {
        m_outcome = Outcome::CrossesAntimeridian;
        return;
    }
    if (system == System::LatLon) {
        m_calibration.coordType = CoordType::LatLon;
        m_calibration.zone = UtmZoneOfLongitude(centreLon);
        m_calibration.letter = BandLetter(centreLat, centreLat >= 0.0);
        identity = wgsGeographic;
    } else {
        m_calibration.coordType = CoordType::Utm;
        int& zone = m_calibration.zone;
        zone = choice.zone != 0  ? choice.zone
               : sourceZone != 0 ? sourceZone
                                 : std::clamp(UtmZoneOfLongitude(centreLon), 1, 60);
        bool north = centreLat >= 0.0;
        if (choice.letter != 0) {
            north = !UtmIsSouthernLetter(choice.letter);
        } else if (sourceZone == zone) {
            north = sourceNorth != 0;
        }
        m_calibration.letter =
            choice.letter != 0
                ? static_cast<char>(std::toupper(static_cast<unsigned char>(choice.letter)))
                : BandLetter(centreLat, north);
        identity = sourceZone == zone && (sourceNorth != 0) == north;
        target = FromEpsg((north ? 32600 : 32700) + zone);
    }
    const TransformPtr toTarget(identity ? nullptr
                                         : OGRCreateCoordinateTransformation(srs, &target));
    if (!identity && !toTarget) {
        return;
    }
    const CTrueMapping mapping(gt, toTarget.get());

    m_calibration.picture = {CDoublePoint{0.0, 0.0}, CDoublePoint{width - 1.0, 0.0},
                             CDoublePoint{0.0, height - 1.0}};
    std::vector<CDoublePoint> marks(m_calibration.picture.begin(), m_calibration.picture.end());
    const double cx = width / 2.0;
    const double cy = height / 2.0;
    std::vector<CDoublePoint> pixel{{cx, cy}, {cx + 1.0, cy}, {cx, cy + 1.0}};
    std::vector<CDoublePoint> trueGrid = grid;
    if (!mapping.Map(marks) || !mapping.Map(pixel) || !mapping.Map(trueGrid)) {
        m_outcome = Outcome::OutsideProjection;
        return;
    }
    std::copy(marks.begin(), marks.end(), m_calibration.world.begin());

    const CMapTransform affine = m_calibration.Transform();
    const CoordType coordType = m_calibration.coordType;
    for (std::size_t i = 0; i < grid.size(); ++i) {
        const double d = Metres(coordType, trueGrid[i], affine.PictureToWorld(grid[i]));
        m_dDeviation = std::isnan(d) ? m_dDeviation : std::max(m_dDeviation, d);
    }
    const TransformPtr toLonLat(wgsGeographic ? nullptr
                                              : OGRCreateCoordinateTransformation(srs, &wgs84));
    const CTrueMapping lonLat(gt, toLonLat.get());
    m_dDeviceError = DeviceErrorMetres(
        DeviceGridOf(m_calibration, width, height),
        [&lonLat](std::vector<CDoublePoint>& points) { return lonLat.Map(points); });
    m_dPixelSize =
        std::min(Metres(coordType, pixel[0], pixel[1]), Metres(coordType, pixel[0], pixel[2]));
    m_outcome = Outcome::Ready;
}

} // namespace mapreg

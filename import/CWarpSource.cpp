#include "import/CWarpSource.h"

#include "import/BandRoles.h"

#include "coords/UtmProjection.h"
#include "georef/CCalibration.h"
#include "georef/CMapTransform.h"
#include "resources/StringTable.h"

#include <gdal_alg.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <cmath>
#include <functional>

namespace mapreg {

namespace {

struct STransformDeleter {
    void operator()(OGRCoordinateTransformation* ct) const {
        OGRCoordinateTransformation::DestroyCT(ct);
    }
};

struct STransformerDeleter {
    void operator()(void* transformer) const {
        if (transformer != nullptr) {
            GDALDestroyGenImgProjTransformer(transformer);
        }
    }
};

// Maps points in place through transform (point count, x, y, per-point success); false unless
// every point came through finite. No points map trivially.
bool MapPoints(std::vector<CDoublePoint>& points,
               const std::function<bool(int, double*, double*, int*)>& transform) {
    if (points.empty()) {
        return true;
    }
    std::vector<double> x(points.size());
    std::vector<double> y(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        x[i] = points[i].x;
        y[i] = points[i].y;
    }
    std::vector<int> ok(points.size(), FALSE);
    if (!transform(static_cast<int>(points.size()), x.data(), y.data(), ok.data())) {
        return false;
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (!ok[i] || !std::isfinite(x[i]) || !std::isfinite(y[i])) {
            return false;
        }
        points[i] = {x[i], y[i]};
    }
    return true;
}

std::string Wkt(const OGRSpatialReference& srs) {
    char* text = nullptr;
    srs.exportToWkt(&text);
    std::string wkt = text != nullptr ? text : "";
    CPLFree(text);
    return wkt;
}

// A GenImgProj transformer from the pixels of carrier through its GCPs (world points in srs)
// with fit into target, as gdalwarp makes it with -order N or -tps; null when GDAL cannot fit.
void* PointsTransformer(GDALDataset& carrier, WarpFit fit, const OGRSpatialReference& srs,
                        const OGRSpatialReference& target) {
    CPLStringList options;
    options.SetNameValue("SRC_SRS", Wkt(srs).c_str());
    options.SetNameValue("DST_SRS", Wkt(target).c_str());
    if (fit == WarpFit::ThinPlateSpline) {
        options.SetNameValue("METHOD", "GCP_TPS");
    } else {
        options.SetNameValue("METHOD", "GCP_POLYNOMIAL");
        options.SetNameValue("MAX_GCP_ORDER", std::to_string(PolynomialOrder(fit)).c_str());
    }
    return GDALCreateGenImgProjTransformer2(GDALDataset::ToHandle(&carrier), nullptr,
                                            options.List());
}

// A colour component c (0..255) seen through opacity a (0..255) against white.
std::uint8_t OnWhite(short c, short a) {
    return static_cast<std::uint8_t>(std::lround(c * (a / 255.0) + 255.0 * (1.0 - a / 255.0)));
}

} // namespace

std::unique_ptr<CWarpSource> CWarpSource::Open(const std::string& path) {
    std::unique_ptr<CWarpSource> source(new CWarpSource);
    source->m_pDataset = GDALDataset::FromHandle(
        GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr));
    if (source->m_pDataset == nullptr || source->m_pDataset->GetRasterCount() < 1) {
        source->m_status = Status::CannotRead;
        source->m_strMessage = FormatString1(IDS_IMPORT_CANNOT_READ, path);
        std::string detail = CGdalSession::LastError();
        if (!detail.empty()) {
            source->m_strMessage += "  " + detail;
        }
    }
    return source;
}

std::unique_ptr<CWarpSource> CWarpSource::OpenMap(const std::string& bitmapPath,
                                                  const CCalibration& calibration) {
    std::unique_ptr<CWarpSource> source = Open(bitmapPath);
    if (source->m_status != Status::Ok) {
        return source;
    }
    // The calibration is affine: three picture points fix the geotransform.
    const CMapTransform transform = calibration.Transform();
    const CDoublePoint o = transform.PictureToWorld({0.0, 0.0});
    const CDoublePoint x = transform.PictureToWorld({1.0, 0.0});
    const CDoublePoint y = transform.PictureToWorld({0.0, 1.0});
    source->m_geoTransform = {o.x, x.x - o.x, y.x - o.x, o.y, x.y - o.y, y.y - o.y};
    source->m_pSrs = std::make_unique<OGRSpatialReference>();
    source->m_pSrs->importFromEPSG(!calibration.IsUtm() ? 4326
                                   : UtmIsSouthernLetter(calibration.letter)
                                       ? 32700 + calibration.zone
                                       : 32600 + calibration.zone);
    source->m_pSrs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    source->DescribeBands();
    return source;
}

std::unique_ptr<CWarpSource> CWarpSource::OpenRaster(const std::string& path,
                                                     const std::array<double, 6>& geoTransform,
                                                     const OGRSpatialReference& srs) {
    std::unique_ptr<CWarpSource> source = Open(path);
    if (source->m_status != Status::Ok) {
        return source;
    }
    source->m_geoTransform = geoTransform;
    source->m_pSrs.reset(srs.Clone());
    source->m_pSrs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    source->DescribeBands();
    return source;
}

CWarpSource::~CWarpSource() {
    if (m_pPoints != nullptr) {
        GDALClose(GDALDataset::ToHandle(m_pPoints));
    }
    if (m_pDataset != nullptr) {
        GDALClose(GDALDataset::ToHandle(m_pDataset));
    }
}

int CWarpSource::GetWidth() const {
    return m_pDataset != nullptr ? m_pDataset->GetRasterXSize() : 0;
}

int CWarpSource::GetHeight() const {
    return m_pDataset != nullptr ? m_pDataset->GetRasterYSize() : 0;
}

void CWarpSource::DescribeBands() {
    const SBandRoles roles = FindBandRoles(*m_pDataset);
    const GDALColorTable* table = m_pDataset->GetRasterBand(1)->GetColorTable();
    // Up to 256 opaque entries warp as indices; any other palette is read as grey.
    if (roles.palette && table->GetColorEntryCount() <= 256 && roles.alpha == 0) {
        for (int i = 0; i < table->GetColorEntryCount(); ++i) {
            const GDALColorEntry* e = table->GetColorEntry(i);
            m_palette.push_back(
                {OnWhite(e->c1, e->c4), OnWhite(e->c2, e->c4), OnWhite(e->c3, e->c4)});
        }
        m_colourBands = {1};
        return;
    }
    m_nAlphaBand = roles.colourAlpha;
    m_colourBands = roles.colour;
    if (m_colourBands.size() == 1) {
        m_colourBands.resize(3, m_colourBands[0]);
    }
}

CWarpSource::Status CWarpSource::UsePoints(const std::vector<ControlPoint>& points, WarpFit fit) {
    if (fit == WarpFit::Calibration || EnabledPoints(points) < MinimumPoints(fit)) {
        return Status::TooFewPoints;
    }
    std::vector<GDAL_GCP> gcps(EnabledPoints(points));
    GDALInitGCPs(static_cast<int>(gcps.size()), gcps.data());
    auto gcp = gcps.begin();
    for (const ControlPoint& p : points) {
        if (p.enabled) {
            gcp->dfGCPPixel = p.picture.x;
            gcp->dfGCPLine = p.picture.y;
            gcp->dfGCPX = p.world.x;
            gcp->dfGCPY = p.world.y;
            ++gcp;
        }
    }
    GDALDriver* mem = GetGDALDriverManager()->GetDriverByName("MEM");
    GDALDataset* carrier =
        mem != nullptr ? mem->Create("", GetWidth(), GetHeight(), 0, GDT_Byte, nullptr) : nullptr;
    const bool set = carrier != nullptr && carrier->SetGCPs(static_cast<int>(gcps.size()),
                                                            gcps.data(), m_pSrs.get()) == CE_None;
    GDALDeinitGCPs(static_cast<int>(gcps.size()), gcps.data());
    // GDAL fits the points when it makes the transformer: points it cannot fit cannot warp.
    void* transformer = set ? PointsTransformer(*carrier, fit, *m_pSrs, *m_pSrs) : nullptr;
    if (transformer == nullptr) {
        if (carrier != nullptr) {
            GDALClose(GDALDataset::ToHandle(carrier));
        }
        return Status::NoFit;
    }
    GDALDestroyGenImgProjTransformer(transformer);
    if (m_pPoints != nullptr) {
        GDALClose(GDALDataset::ToHandle(m_pPoints));
    }
    m_pPoints = carrier;
    m_fit = fit;
    return Status::Ok;
}

void* CWarpSource::CreatePointsTransformer(const OGRSpatialReference& target) const {
    return m_pPoints != nullptr ? PointsTransformer(*m_pPoints, m_fit, *m_pSrs, target) : nullptr;
}

PictureToLonLat CWarpSource::LonLatMapping() const {
    OGRSpatialReference wgs84;
    wgs84.importFromEPSG(4326);
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    if (m_pPoints != nullptr) {
        std::shared_ptr<void> transformer(CreatePointsTransformer(wgs84), STransformerDeleter{});
        return [transformer](std::vector<CDoublePoint>& points) {
            return transformer && MapPoints(points, [&](int n, double* x, double* y, int* ok) {
                       std::vector<double> z(static_cast<std::size_t>(n), 0.0);
                       return GDALGenImgProjTransform(transformer.get(), FALSE, n, x, y, z.data(),
                                                      ok) != FALSE;
                   });
        };
    }
    std::shared_ptr<OGRCoordinateTransformation> ct(
        OGRCreateCoordinateTransformation(m_pSrs.get(), &wgs84), STransformDeleter{});
    const std::array<double, 6> gt = m_geoTransform;
    return [ct, gt](std::vector<CDoublePoint>& points) {
        if (!ct) {
            return false;
        }
        for (CDoublePoint& p : points) {
            p = {gt[0] + p.x * gt[1] + p.y * gt[2], gt[3] + p.x * gt[4] + p.y * gt[5]};
        }
        return MapPoints(points, [&](int n, double* x, double* y, int* ok) {
            return ct->Transform(n, x, y, nullptr, ok) != FALSE;
        });
    };
}

} // namespace mapreg

#include "CWarpSource.h"

#include "BandRoles.h"

#include "CCalibration.h"
#include "CMapTransform.h"
#include "StringTable.h"
#include "UtmProjection.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <cmath>

namespace {

struct STransformDeleter {
    void operator()(OGRCoordinateTransformation* ct) const {
        OGRCoordinateTransformation::DestroyCT(ct);
    }
};

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

PictureToLonLat CWarpSource::LonLatMapping() const {
    OGRSpatialReference wgs84;
    wgs84.importFromEPSG(4326);
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    std::shared_ptr<OGRCoordinateTransformation> ct(
        OGRCreateCoordinateTransformation(m_pSrs.get(), &wgs84), STransformDeleter{});
    const std::array<double, 6> gt = m_geoTransform;
    return [ct, gt](std::vector<CDoublePoint>& points) {
        if (!ct) {
            return false;
        }
        std::vector<double> x(points.size());
        std::vector<double> y(points.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            x[i] = gt[0] + points[i].x * gt[1] + points[i].y * gt[2];
            y[i] = gt[3] + points[i].x * gt[4] + points[i].y * gt[5];
        }
        std::vector<int> ok(points.size(), FALSE);
        if (!points.empty() && !ct->Transform(static_cast<int>(points.size()), x.data(), y.data(),
                                              nullptr, ok.data())) {
            return false;
        }
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (!ok[i] || !std::isfinite(x[i]) || !std::isfinite(y[i])) {
                return false;
            }
            points[i] = {x[i], y[i]};
        }
        return true;
    };
}

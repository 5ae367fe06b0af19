#include "import/CStraightener.h"

#include "georef/DeviceError.h"
#include "import/CWarpSource.h"
#include "resources/StringTable.h"

#include <ogr_spatialref.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>

namespace mapreg {

namespace {

// Points along the picture's outline whose warped positions give the grid's extent.
constexpr int kEdgeSamples = 64;

std::uint8_t NearestToWhite(const std::vector<CBmpStreamWriter::Rgb>& palette) {
    std::size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        int d = 0;
        for (std::uint8_t c : palette[i]) {
            d += (255 - c) * (255 - c);
        }
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof(text), "%.*f", decimals, value);
    return text;
}

} // namespace

CStraightener::CStraightener(const CWarpSource& source, const Target& target)
    : m_source(source), m_target(target) {
    const int w = source.GetWidth();
    const int h = source.GetHeight();
    const PictureToLonLat toLonLat = source.LonLatMapping();
    const double sourcePixel = CentrePixelMetres(w, h, toLonLat);
    m_dPixelMetres = target.pixelMetres > 0.0 ? target.pixelMetres : sourcePixel;
    std::vector<CDoublePoint> centre{{w / 2.0, h / 2.0}};
    if (!(m_dPixelMetres > 0.0) || !toLonLat(centre)) {
        Fail(Status::NoGrid, "");
        return;
    }

    // Pixel size in the target's units: metres, or degrees of latitude for that many metres
    // (across as well, unless the pixels are to be square on the ground at the centre).
    double step = m_dPixelMetres;
    double stepX = step;
    if (target.coordType == CoordType::LatLon) {
        const double lat = std::clamp(centre[0].y, -89.0, 89.0);
        step = m_dPixelMetres / GeodesicMetres({0.0, lat - 0.5}, {0.0, lat + 0.5});
        stepX =
            target.squareOnGround ? m_dPixelMetres / GeodesicMetres({-0.5, lat}, {0.5, lat}) : step;
    }

    // The outline of the picture in lon/lat, then in the target system.
    std::vector<CDoublePoint> outline;
    for (int i = 0; i <= kEdgeSamples; ++i) {
        const double t = static_cast<double>(i) / kEdgeSamples;
        outline.insert(outline.end(),
                       {{t * w, 0.0}, {t * w, double(h)}, {0.0, t * h}, {double(w), t * h}});
    }
    if (!toLonLat(outline)) {
        Fail(Status::NoGrid, "");
        return;
    }
    OGRSpatialReference srs;
    if (target.coordType == CoordType::Utm) {
        srs.importFromEPSG((target.north ? 32600 : 32700) + target.zone);
    } else if (!CrossesAntimeridian(outline, centre[0].x)) {
        srs.importFromEPSG(4326);
    } else if (target.acrossAntimeridian) {
        // Longitudes continuous around the picture's centre, past 180°.
        srs.SetFromUserInput(
            ("+proj=longlat +datum=WGS84 +no_defs +lon_wrap=" + Fixed(centre[0].x, 9)).c_str());
    } else {
        Fail(Status::CrossesAntimeridian, "");
        return;
    }
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    char* wkt = nullptr;
    srs.exportToWkt(&wkt);
    m_grid.srsWkt = wkt != nullptr ? wkt : "";
    CPLFree(wkt);
    OGRSpatialReference wgs84;
    wgs84.importFromEPSG(4326);
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    std::unique_ptr<OGRCoordinateTransformation> toTarget(
        OGRCreateCoordinateTransformation(&wgs84, &srs));
    std::vector<double> xs(outline.size());
    std::vector<double> ys(outline.size());
    for (std::size_t i = 0; i < outline.size(); ++i) {
        xs[i] = outline[i].x;
        ys[i] = outline[i].y;
    }
    if (!toTarget || !toTarget->Transform(static_cast<int>(outline.size()), xs.data(), ys.data())) {
        Fail(Status::NoGrid, "");
        return;
    }
    const auto [minX, maxX] = std::minmax_element(xs.begin(), xs.end());
    const auto [minY, maxY] = std::minmax_element(ys.begin(), ys.end());
    const double width = std::ceil((*maxX - *minX) / stepX - 1e-9);
    const double height = std::ceil((*maxY - *minY) / step - 1e-9);
    if (!(width >= 1.0 && height >= 1.0)) {
        Fail(Status::NoGrid, "");
        return;
    }
    if (width > kMaxSide || height > kMaxSide) {
        // The pixel size that fits, rounded up to the millimetre.
        const double fits =
            std::ceil(m_dPixelMetres * std::max(width, height) / kMaxSide * 1000.0) / 1000.0;
        std::string message =
            FormatString1(IDS_STRAIGHT_TOO_LARGE, Fixed(width, 0) + " x " + Fixed(height, 0));
        const std::size_t at = message.find("%2");
        if (at != std::string::npos) {
            message.replace(at, 2, Fixed(fits, 3));
        }
        Fail(Status::TooLarge, message);
        return;
    }
    m_grid.width = static_cast<int>(width);
    m_grid.height = static_cast<int>(height);
    m_grid.geoTransform = {*minX, stepX, 0.0, *maxY, 0.0, -step};
    m_nBitCount = source.GetPalette().empty() ? 24 : 8;
    if (CBmpStreamWriter::FileSize(m_grid.width, m_grid.height, m_nBitCount,
                                   source.GetPalette().size()) == 0) {
        Fail(Status::TooLarge, std::string(LoadStringId(IDS_IMPORT_TOO_LARGE)));
    }
}

CStraightener::Status CStraightener::Fail(Status status, std::string message) {
    m_status = status;
    m_strMessage = std::move(message);
    return status;
}

CStraightener::Status CStraightener::Write(const std::string& path,
                                           const CRasterWarper::Progress& progress) {
    if (m_status != Status::Ok) {
        return m_status;
    }
    CRasterWarper::Options options;
    const std::vector<int>& bands = m_source.GetColourBands();
    if (m_nBitCount == 8) {
        options.resampling = CRasterWarper::Resampling::Nearest;
        options.bands = {bands[0]};
        options.fill = {NearestToWhite(m_source.GetPalette())};
    } else {
        options.bands = {bands[2], bands[1], bands[0]}; // a bitmap stores blue, green, red
    }
    options.alphaBand = m_source.GetAlphaBand();

    CBmpStreamWriter writer;
    const auto cannotWrite = [&](const CFileError& error) {
        return Fail(Status::CannotWrite, FormatString1(IDS_IMPORT_CANNOT_WRITE, path) + "  " +
                                             std::string(LoadStringId(error.ReasonId(true))));
    };
    if (const CFileError error =
            writer.Open(path, m_grid.width, m_grid.height, m_nBitCount, m_source.GetPalette());
        error.IsError()) {
        return cannotWrite(error);
    }
    CFileError rowError;
    const auto sink = [&](int y0, int count, const std::uint8_t* rows, std::size_t stride) {
        for (int y = 0; y < count; ++y) {
            const auto* row = reinterpret_cast<const char*>(rows + std::size_t(y) * stride);
            rowError = writer.WriteRow(y0 + y, std::string_view(row, stride));
            if (rowError.IsError()) {
                return false;
            }
        }
        return true;
    };
    std::string message;
    switch (CRasterWarper::Warp(m_source, m_grid, options, sink, progress, message)) {
    case CRasterWarper::Status::Ok:
        break;
    case CRasterWarper::Status::Cancelled:
        return Fail(Status::Cancelled, "");
    case CRasterWarper::Status::SinkFailed:
        return cannotWrite(rowError);
    case CRasterWarper::Status::Failed:
        return Fail(Status::CannotWrite,
                    FormatString1(IDS_IMPORT_CANNOT_WRITE, path) + "  " + message);
    }
    if (const CFileError error = writer.Commit(); error.IsError()) {
        return cannotWrite(error);
    }
    return Status::Ok;
}

} // namespace mapreg

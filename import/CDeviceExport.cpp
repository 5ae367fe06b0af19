#include "CDeviceExport.h"

#include "DeviceTiling.h"
#include "StringTable.h"

#include <gdal_alg.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <numbers>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// How far GDAL's warper lets its approximated transform stray, in output pixels.
constexpr double kWarpErrorPixels = 0.125;

struct SDatasetCloser {
    void operator()(GDALDataset* dataset) const { GDALClose(GDALDataset::ToHandle(dataset)); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, SDatasetCloser>;

struct STransformDeleter {
    void operator()(OGRCoordinateTransformation* ct) const {
        OGRCoordinateTransformation::DestroyCT(ct);
    }
};

// A folder of its own beside the target, where GDAL writes the new file (with any journal or
// side file of its own); the file is renamed over the target on Commit, and the folder goes
// with everything in it when this object does.
class CTempFolder {
public:
    explicit CTempFolder(const std::string& target) : m_target(target) {
        const fs::path path(target);
        const fs::path parent = path.parent_path().empty() ? fs::path(".") : path.parent_path();
        std::string pattern = (parent / ("." + path.filename().string() + ".XXXXXX")).string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            m_folder = pattern;
        } else {
            m_error = std::strerror(errno);
        }
    }
    ~CTempFolder() {
        if (!m_folder.empty()) {
            std::error_code ec;
            fs::remove_all(m_folder, ec);
        }
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    bool IsOpen() const { return !m_folder.empty(); }
    const std::string& Error() const { return m_error; }
    std::string File() const {
        return (fs::path(m_folder) / fs::path(m_target).filename()).string();
    }
    bool Commit() {
        if (std::rename(File().c_str(), m_target.c_str()) != 0) {
            m_error = std::strerror(errno);
            return false;
        }
        return true;
    }

private:
    std::string m_target;
    std::string m_folder;
    std::string m_error;
};

// GDAL's progress callback over ours; remembers a cancel.
struct SProgressRange {
    const CDeviceExport::Progress* progress;
    double from;
    double to;
    bool cancelled = false;

    static int CPL_STDCALL Report(double done, const char*, void* data) {
        auto* self = static_cast<SProgressRange*>(data);
        if (self->progress != nullptr && *self->progress &&
            !(*self->progress)(self->from + (self->to - self->from) * done)) {
            self->cancelled = true;
            return FALSE;
        }
        return TRUE;
    }
};

// Distance in metres between two nearby WGS 84 points (longitude, latitude in degrees), with
// the meridian and prime vertical radii at a's latitude: exact to first order for a pixel.
double LocalMetres(CDoublePoint a, CDoublePoint b) {
    constexpr double kA = 6378137.0;
    constexpr double kF = 1.0 / 298.257223563;
    constexpr double kDegree = std::numbers::pi / 180.0;
    const double e2 = kF * (2.0 - kF);
    const double s = std::sin(a.y * kDegree);
    const double w = std::sqrt(1.0 - e2 * s * s);
    const double meridian = kA * (1.0 - e2) / (w * w * w);
    const double primeVertical = kA / w;
    return std::hypot((b.x - a.x) * kDegree * primeVertical * std::cos(a.y * kDegree),
                      (b.y - a.y) * kDegree * meridian);
}

OGRSpatialReference Wgs84() {
    OGRSpatialReference srs;
    srs.importFromEPSG(4326);
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

// Picture points through gt into srs, then to WGS 84 longitude/latitude; false on failure.
bool ToLonLat(const std::array<double, 6>& gt, const OGRSpatialReference& srs,
              std::vector<CDoublePoint>& points) {
    std::vector<double> x;
    std::vector<double> y;
    for (const CDoublePoint p : points) {
        x.push_back(gt[0] + p.x * gt[1] + p.y * gt[2]);
        y.push_back(gt[3] + p.x * gt[4] + p.y * gt[5]);
    }
    const OGRSpatialReference wgs84 = Wgs84();
    const std::unique_ptr<OGRCoordinateTransformation, STransformDeleter> ct(
        OGRCreateCoordinateTransformation(&srs, &wgs84));
    if (!ct || !ct->Transform(static_cast<int>(x.size()), x.data(), y.data())) {
        return false;
    }
    for (std::size_t i = 0; i < points.size(); ++i) {
        points[i] = {x[i], y[i]};
        if (!std::isfinite(x[i]) || !std::isfinite(y[i])) {
            return false;
        }
    }
    return true;
}

// The bitmap, and a virtual dataset over it that carries the calibration (which reads through
// the bitmap's dataset, so it goes first).
struct SGeoreferenced {
    DatasetPtr bitmap;
    DatasetPtr map;
};

// Null map when GDAL cannot read the bitmap.
SGeoreferenced OpenGeoreferenced(const std::string& bitmap, const std::array<double, 6>& gt,
                                 const OGRSpatialReference& srs) {
    SGeoreferenced result;
    result.bitmap.reset(GDALDataset::FromHandle(
        GDALOpenEx(bitmap.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr)));
    GDALDriver* vrt = GetGDALDriverManager()->GetDriverByName("VRT");
    if (!result.bitmap || result.bitmap->GetRasterCount() < 1 || vrt == nullptr) {
        return result;
    }
    result.map.reset(vrt->CreateCopy("", result.bitmap.get(), FALSE, nullptr, nullptr, nullptr));
    if (result.map) {
        std::array<double, 6> copy = gt;
        result.map->SetGeoTransform(copy.data());
        result.map->SetSpatialRef(&srs);
    }
    return result;
}

// Closes the dataset, which writes what GDAL still holds; false when that failed.
bool CloseChecked(DatasetPtr& dataset) {
    CPLErrorReset();
    dataset.reset();
    return CPLGetLastErrorType() < CE_Failure;
}

// Adds the centre (longitude, latitude and the zoom level to open at) to the metadata of an
// MBTiles file, through the SQLite database it is, and returns how many tiles it holds.
int FinishMbtiles(const std::string& path, CDoublePoint centre, int zoom) {
    const char* const drivers[] = {"SQLite", nullptr};
    const DatasetPtr db(GDALDataset::FromHandle(GDALOpenEx(
        ("SQLITE:" + path).c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE, drivers, nullptr, nullptr)));
    if (!db) {
        return 0;
    }
    char value[96];
    const auto end = std::to_chars(value, value + 40, centre.x, std::chars_format::fixed, 6).ptr;
    *end = ',';
    const auto end2 = std::to_chars(end + 1, end + 41, centre.y, std::chars_format::fixed, 6).ptr;
    const std::string text = std::string(value, end2) + "," + std::to_string(zoom);
    db->ExecuteSQL("DELETE FROM metadata WHERE name = 'center'", nullptr, nullptr);
    db->ExecuteSQL(("INSERT INTO metadata (name, value) VALUES ('center', '" + text + "')").c_str(),
                   nullptr, nullptr);
    OGRLayer* count = db->ExecuteSQL("SELECT COUNT(*) FROM tiles", nullptr, nullptr);
    if (count == nullptr) {
        return 0;
    }
    OGRFeature* feature = count->GetNextFeature();
    const int tiles = feature != nullptr ? feature->GetFieldAsInteger(0) : 0;
    OGRFeature::DestroyFeature(feature);
    db->ReleaseResultSet(count);
    return tiles;
}

bool IsPaletted(GDALDataset& dataset) {
    return dataset.GetRasterBand(1)->GetColorTable() != nullptr;
}

} // namespace

CDeviceExport::CDeviceExport(std::string bitmapPath, const std::array<double, 6>& geoTransform,
                             std::string srsWkt)
    : m_strBitmap(std::move(bitmapPath)), m_geoTransform(geoTransform),
      m_strWkt(std::move(srsWkt)) {}

CDeviceExport::Status CDeviceExport::Fail(Status status, unsigned messageId,
                                          const std::string& detail) {
    m_status = status;
    m_strMessage = messageId != 0 ? FormatString1(messageId, detail) : std::string();
    const std::string gdal = CGdalSession::LastError();
    if (status != Status::Cancelled && status != Status::CannotWrite && !gdal.empty()) {
        m_strMessage += "  " + gdal;
    }
    return m_status;
}

CDeviceExport::Status CDeviceExport::WriteGeoTiff(const std::string& path,
                                                  const Progress& progress) {
    m_summary = {};
    OGRSpatialReference srs;
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    if (srs.SetFromUserInput(m_strWkt.c_str()) != OGRERR_NONE) {
        return Fail(Status::Failed, IDS_DEVICE_CANNOT_MAKE, path);
    }
    const SGeoreferenced opened = OpenGeoreferenced(m_strBitmap, m_geoTransform, srs);
    const DatasetPtr& map = opened.map;
    if (!map) {
        return Fail(Status::CannotRead, IDS_DEVICE_CANNOT_READ, m_strBitmap);
    }
    CTempFolder temp(path);
    if (!temp.IsOpen()) {
        return Fail(Status::CannotWrite, IDS_DEVICE_CANNOT_WRITE, path + ": " + temp.Error());
    }
    GDALDriver* cog = GetGDALDriverManager()->GetDriverByName("COG");
    const char* const options[] = {
        "COMPRESS=DEFLATE", IsPaletted(*map) ? "RESAMPLING=NEAREST" : "RESAMPLING=CUBIC", nullptr};
    SProgressRange range{&progress, 0.0, 1.0};
    DatasetPtr written(cog == nullptr ? nullptr
                                      : cog->CreateCopy(temp.File().c_str(), map.get(), FALSE,
                                                        const_cast<char**>(options),
                                                        SProgressRange::Report, &range));
    if (range.cancelled) {
        return Fail(Status::Cancelled, 0, {});
    }
    if (!written) {
        return Fail(Status::Failed, IDS_DEVICE_CANNOT_MAKE, path);
    }
    if (!CloseChecked(written) || !temp.Commit()) {
        return Fail(Status::CannotWrite, IDS_DEVICE_CANNOT_WRITE, path + ": " + temp.Error());
    }
    const double cx = map->GetRasterXSize() / 2.0;
    const double cy = map->GetRasterYSize() / 2.0;
    std::vector<CDoublePoint> centre{{cx, cy}, {cx + 1.0, cy}, {cx, cy + 1.0}};
    if (ToLonLat(m_geoTransform, srs, centre)) {
        m_summary.resolutionMetres =
            std::min(LocalMetres(centre[0], centre[1]), LocalMetres(centre[0], centre[2]));
    }
    // The geotransform holds the calibration exactly: a GIS puts every pixel where it says.
    m_summary.deviceErrorMetres = 0.0;
    m_status = Status::Ok;
    return m_status;
}

CDeviceExport::Status CDeviceExport::WriteMbtiles(const std::string& path, int minZoom,
                                                  const Progress& progress) {
    m_summary = {};
    OGRSpatialReference srs;
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    if (srs.SetFromUserInput(m_strWkt.c_str()) != OGRERR_NONE) {
        return Fail(Status::Failed, IDS_DEVICE_CANNOT_MAKE, path);
    }
    const SGeoreferenced opened = OpenGeoreferenced(m_strBitmap, m_geoTransform, srs);
    const DatasetPtr& map = opened.map;
    if (!map) {
        return Fail(Status::CannotRead, IDS_DEVICE_CANNOT_READ, m_strBitmap);
    }
    const double cx = map->GetRasterXSize() / 2.0;
    const double cy = map->GetRasterYSize() / 2.0;
    std::vector<CDoublePoint> centre{{cx, cy}};
    if (!ToLonLat(m_geoTransform, srs, centre)) {
        return Fail(Status::Failed, IDS_DEVICE_CANNOT_MAKE, path);
    }
    CTempFolder temp(path);
    if (!temp.IsOpen()) {
        return Fail(Status::CannotWrite, IDS_DEVICE_CANNOT_WRITE, path + ": " + temp.Error());
    }
    const bool paletted = IsPaletted(*map);
    const std::string name = "NAME=" + fs::path(m_strBitmap).stem().string();
    const char* const options[] = {paletted ? "TILE_FORMAT=PNG" : "TILE_FORMAT=JPEG",
                                   paletted ? "RESAMPLING=NEAREST" : "RESAMPLING=CUBIC",
                                   "ZOOM_LEVEL_STRATEGY=UPPER", name.c_str(), nullptr};
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("MBTiles");
    // The full zoom level takes most of the time; the lower levels each a quarter of the last.
    const double split = 0.75;
    SProgressRange range{&progress, 0.0, split};
    DatasetPtr written(driver == nullptr ? nullptr
                                         : driver->CreateCopy(temp.File().c_str(), map.get(), FALSE,
                                                              const_cast<char**>(options),
                                                              SProgressRange::Report, &range));
    if (range.cancelled) {
        return Fail(Status::Cancelled, 0, {});
    }
    if (!written) {
        return Fail(Status::Failed, IDS_DEVICE_CANNOT_MAKE, path);
    }
    // GDAL chose the first zoom level at least as fine as the map; its pixel size tells which.
    std::array<double, 6> mercatorGt{};
    written->GetGeoTransform(mercatorGt.data());
    const int maxZoom = MaxZoomFor(mercatorGt[1]);
    minZoom = minZoom < 0 ? std::max(0, maxZoom - 4) : std::min(minZoom, maxZoom);
    std::vector<int> factors;
    for (int z = maxZoom - 1; z >= minZoom; --z) {
        factors.push_back(1 << (maxZoom - z));
    }
    SProgressRange lower{&progress, split, 1.0};
    if (!factors.empty() &&
        written->BuildOverviews(paletted ? "NEAREST" : "AVERAGE", static_cast<int>(factors.size()),
                                factors.data(), 0, nullptr, SProgressRange::Report, &lower,
                                nullptr) != CE_None) {
        return lower.cancelled ? Fail(Status::Cancelled, 0, {})
                               : Fail(Status::Failed, IDS_DEVICE_CANNOT_MAKE, path);
    }
    if (!CloseChecked(written)) {
        return Fail(Status::Failed, IDS_DEVICE_CANNOT_MAKE, path);
    }
    m_summary.tiles = FinishMbtiles(temp.File(), centre[0], minZoom);
    if (!temp.Commit()) {
        return Fail(Status::CannotWrite, IDS_DEVICE_CANNOT_WRITE, path + ": " + temp.Error());
    }
    m_summary.minZoom = minZoom;
    m_summary.maxZoom = maxZoom;
    m_summary.resolutionMetres = ZoomPixelMetres(maxZoom, centre[0].y);
    m_summary.deviceErrorMetres = kWarpErrorPixels * m_summary.resolutionMetres;
    m_status = Status::Ok;
    return m_status;
}

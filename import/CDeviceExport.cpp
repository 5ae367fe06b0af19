#include "import/CDeviceExport.h"

#include "georef/DeviceError.h"
#include "import/CKmzArchive.h"
#include "import/CMbtilesDatabase.h"
#include "import/CRasterWarper.h"
#include "import/CStraightener.h"
#include "import/CTilePyramid.h"
#include "import/CWarpSource.h"
#include "import/DeviceTiling.h"
#include "resources/StringTable.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace mapreg {

namespace fs = std::filesystem;

namespace {

// How far GDAL's warper lets its approximated transform stray, in output pixels.
constexpr double kWarpErrorPixels = CRasterWarper::Options{}.errorThreshold;

struct SDatasetCloser {
    void operator()(GDALDataset* dataset) const { GDALClose(GDALDataset::ToHandle(dataset)); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, SDatasetCloser>;

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

// A part from..to of the caller's progress; remembers a cancel. Serves GDAL's drivers through
// Report and the warper through Callback.
struct SProgressRange {
    const CDeviceExport::Progress& progress;
    double from;
    double to;
    bool cancelled = false;

    bool operator()(double done) {
        cancelled = cancelled || (progress && !progress(from + (to - from) * done));
        return !cancelled;
    }
    CRasterWarper::Progress Callback() {
        return [this](double done) { return (*this)(done); };
    }
    static int CPL_STDCALL Report(double done, const char*, void* data) {
        return (*static_cast<SProgressRange*>(data))(done) ? TRUE : FALSE;
    }
};

// GDAL's driver copies the source's picture with its georeferencing into file (through a virtual
// dataset that carries the georeferencing); null on failure or cancel, which range tells.
DatasetPtr CopyWithDriver(const char* driverName, const CWarpSource& source,
                          const std::string& file, const std::vector<std::string>& options,
                          SProgressRange& range) {
    GDALDriverManager* drivers = GetGDALDriverManager();
    GDALDriver* vrt = drivers->GetDriverByName("VRT");
    GDALDriver* driver = drivers->GetDriverByName(driverName);
    const DatasetPtr map(vrt == nullptr ? nullptr
                                        : vrt->CreateCopy("", source.GetDataset(), FALSE, nullptr,
                                                          nullptr, nullptr));
    if (!map || driver == nullptr) {
        return nullptr;
    }
    std::array<double, 6> gt = source.GetGeoTransform();
    map->SetGeoTransform(gt.data());
    map->SetSpatialRef(&source.GetSpatialRef());
    std::vector<const char*> list;
    for (const std::string& option : options) {
        list.push_back(option.c_str());
    }
    list.push_back(nullptr);
    return DatasetPtr(driver->CreateCopy(file.c_str(), map.get(), FALSE,
                                         const_cast<char**>(list.data()), SProgressRange::Report,
                                         &range));
}

// Closes the dataset, which writes what GDAL still holds; false when that failed.
bool CloseChecked(DatasetPtr& dataset) {
    CPLErrorReset();
    dataset.reset();
    return CPLGetLastErrorType() < CE_Failure;
}

// A picture in memory of width x height pixels whose bands are the first `bands` bytes of each
// pixel at pixels (pixels pixelSpacing bytes apart, rows lineSpacing); null on failure.
DatasetPtr MemPicture(int width, int height, int bands, const std::uint8_t* pixels,
                      GSpacing pixelSpacing, GSpacing lineSpacing) {
    GDALDriver* mem = GetGDALDriverManager()->GetDriverByName("MEM");
    DatasetPtr picture(mem != nullptr ? mem->Create("", width, height, bands, GDT_Byte, nullptr)
                                      : nullptr);
    if (picture &&
        picture->RasterIO(GF_Write, 0, 0, width, height, const_cast<std::uint8_t*>(pixels), width,
                          height, GDT_Byte, bands, nullptr, pixelSpacing, lineSpacing, 1,
                          nullptr) != CE_None) {
        picture.reset();
    }
    return picture;
}

// The bytes GDAL's driver (PNG or JPEG) writes of picture, through /vsimem/; empty on failure.
std::string Encode(const char* driverName, const DatasetPtr& picture,
                   std::vector<const char*> options) {
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    if (driver == nullptr || !picture) {
        return {};
    }
    static std::atomic<int> counter{0};
    const std::string name = "/vsimem/mapreg-tile-" + std::to_string(++counter) + "." +
                             (std::strcmp(driverName, "PNG") == 0 ? "png" : "jpg");
    options.push_back(nullptr);
    DatasetPtr written(driver->CreateCopy(name.c_str(), picture.get(), FALSE,
                                          const_cast<char**>(options.data()), nullptr, nullptr));
    std::string bytes;
    if (written && CloseChecked(written)) {
        vsi_l_offset length = 0;
        const GByte* data = VSIGetMemFileBuffer(name.c_str(), &length, FALSE);
        if (data != nullptr) {
            bytes.assign(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
        }
    }
    VSIUnlink(name.c_str());
    VSIUnlink((name + ".aux.xml").c_str());
    return bytes;
}

// JPEG bytes of a tile of red, green and blue bytes (width x height, pixel by pixel) through
// GDAL's JPEG driver, baseline; empty on failure.
std::string EncodeJpeg(std::vector<std::uint8_t>& rgb, int width, int height, int quality) {
    const std::string q = "QUALITY=" + std::to_string(quality);
    return Encode("JPEG", MemPicture(width, height, 3, rgb.data(), 3, 3 * GSpacing{width}),
                  {q.c_str(), "PROGRESSIVE=NO"});
}

// The encoder of the tiles of an MBTiles set, as GDAL's MBTiles driver writes them: JPEG of the
// colours (quality 75, black where the map does not reach) from red, green, blue and alpha; for a
// palette map, from index and alpha, a palette PNG where the map covers the whole tile and a PNG
// of red, green, blue and alpha elsewhere.
class CMbtilesEncoder {
public:
    explicit CMbtilesEncoder(const std::vector<CBmpStreamWriter::Rgb>& palette)
        : m_palette(palette) {
        for (std::size_t i = 0; i < palette.size(); ++i) {
            const GDALColorEntry e{palette[i][0], palette[i][1], palette[i][2], 255};
            m_table.SetColorEntry(static_cast<int>(i), &e);
        }
    }
    int Components() const { return m_palette.empty() ? 4 : 2; }
    const char* Format() const { return m_palette.empty() ? "jpg" : "png"; }

    std::string operator()(const std::uint8_t* pixels, std::size_t stride) {
        constexpr int kSide = CTilePyramid::kTileSide;
        const auto line = static_cast<GSpacing>(stride);
        if (m_palette.empty()) {
            return Encode("JPEG", MemPicture(kSide, kSide, 3, pixels, 4, line), {"QUALITY=75"});
        }
        bool opaque = true;
        for (int y = 0; y < kSide && opaque; ++y) {
            const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * stride;
            for (int x = 0; x < kSide && opaque; ++x) {
                opaque = row[2 * x + 1] == 255;
            }
        }
        if (opaque) {
            DatasetPtr indices = MemPicture(kSide, kSide, 1, pixels, 2, line);
            if (indices) {
                indices->GetRasterBand(1)->SetColorTable(&m_table);
            }
            return Encode("PNG", indices, {});
        }
        m_rgba.resize(std::size_t{kSide} * kSide * 4);
        std::uint8_t* out = m_rgba.data();
        for (int y = 0; y < kSide; ++y) {
            const std::uint8_t* in = pixels + static_cast<std::size_t>(y) * stride;
            for (int x = 0; x < kSide; ++x, in += 2, out += 4) {
                const bool shown = in[1] != 0 && in[0] < m_palette.size();
                for (int c = 0; c < 3; ++c) {
                    out[c] = shown ? m_palette[in[0]][static_cast<std::size_t>(c)] : 0;
                }
                out[3] = shown ? in[1] : 0;
            }
        }
        return Encode("PNG", MemPicture(kSide, kSide, 4, m_rgba.data(), 4, 4 * kSide), {});
    }

private:
    const std::vector<CBmpStreamWriter::Rgb>& m_palette;
    GDALColorTable m_table;
    std::vector<std::uint8_t> m_rgba;
};

// A number in the shortest form that reads back the same, whatever the locale.
std::string Number(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// The Web Mercator coordinate system as WKT.
std::string MercatorWkt() {
    OGRSpatialReference mercator;
    mercator.importFromEPSG(3857);
    char* text = nullptr;
    mercator.exportToWkt(&text);
    std::string wkt = text != nullptr ? text : "";
    CPLFree(text);
    return wkt;
}

// The outline of a width x height picture, clockwise from the top-left corner, n points a side.
std::vector<CDoublePoint> PictureOutline(int width, int height, int n) {
    std::vector<CDoublePoint> outline;
    const double w = width;
    const double h = height;
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / n;
        outline.push_back({t * w, 0.0});
    }
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / n;
        outline.push_back({w, t * h});
    }
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / n;
        outline.push_back({w - t * w, h});
    }
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / n;
        outline.push_back({0.0, h - t * h});
    }
    return outline;
}

// The straightener's target: the north-up grid of the source's own coordinate system.
CStraightener::Target OwnGrid(const OGRSpatialReference& srs) {
    CStraightener::Target target;
    if (srs.IsGeographic()) {
        target.coordType = CoordType::LatLon;
        target.acrossAntimeridian = true; // a GeoTIFF holds longitudes past 180°
    } else {
        int north = TRUE;
        target.zone = srs.GetUTMZone(&north);
        target.north = north != FALSE;
    }
    return target;
}

CDeviceExport::Status StatusOf(CStraightener::Status status) {
    switch (status) {
    case CStraightener::Status::Ok:
        return CDeviceExport::Status::Ok;
    case CStraightener::Status::Cancelled:
        return CDeviceExport::Status::Cancelled;
    case CStraightener::Status::CannotWrite:
        return CDeviceExport::Status::CannotWrite;
    case CStraightener::Status::NoGrid:
    case CStraightener::Status::TooLarge:
    case CStraightener::Status::CrossesAntimeridian:
        break;
    }
    return CDeviceExport::Status::Failed;
}

} // namespace

CDeviceExport::CDeviceExport(const CWarpSource& source, std::string name)
    : m_source(source), m_strName(std::move(name)) {}

CDeviceExport::Status CDeviceExport::Fail(Status status, const std::string& path,
                                          const std::string& why) {
    m_status = status;
    m_strMessage.clear();
    if (status == Status::CannotWrite) {
        m_strMessage =
            FormatString1(IDS_DEVICE_CANNOT_WRITE, why.empty() ? path : path + ": " + why);
    } else if (status == Status::Failed) {
        m_strMessage = FormatString1(IDS_DEVICE_CANNOT_MAKE, path);
        if (const std::string gdal = CGdalSession::LastError(); !gdal.empty()) {
            m_strMessage += "  " + gdal;
        }
    }
    return m_status;
}

CDeviceExport::Status CDeviceExport::WriteGeoTiff(const std::string& path, bool straighten,
                                                  const Progress& progress) {
    m_summary = {};
    CTempFolder temp(path);
    if (!temp.IsOpen()) {
        return Fail(Status::CannotWrite, path, temp.Error());
    }
    m_summary.resolutionMetres =
        CentrePixelMetres(m_source.GetWidth(), m_source.GetHeight(), m_source.LonLatMapping());
    const CWarpSource* source = &m_source;
    std::unique_ptr<CWarpSource> straightened;
    double from = 0.0;
    if (straighten) {
        // The device's straightening into a bitmap beside the new file, read back with its grid.
        CStraightener straightener(m_source, OwnGrid(m_source.GetSpatialRef()));
        const std::string bitmap = temp.File() + ".bmp";
        SProgressRange range{progress, 0.0, 0.7};
        if (const Status status = StatusOf(straightener.Write(bitmap, range.Callback()));
            status != Status::Ok) {
            Fail(status, path);
            if (!straightener.GetMessage().empty()) {
                m_strMessage = straightener.GetMessage();
            }
            return m_status;
        }
        OGRSpatialReference srs;
        srs.importFromWkt(straightener.GetGrid().srsWkt.c_str());
        straightened = CWarpSource::OpenRaster(bitmap, straightener.GetGrid().geoTransform, srs);
        if (straightened->GetStatus() != CWarpSource::Status::Ok) {
            return Fail(Status::Failed, path);
        }
        source = straightened.get();
        m_summary.resolutionMetres = straightener.GetPixelMetres();
        m_summary.deviceErrorMetres = kWarpErrorPixels * straightener.GetPixelMetres();
        from = 0.7;
    }
    SProgressRange range{progress, from, 1.0};
    DatasetPtr written =
        CopyWithDriver("COG", *source, temp.File(),
                       {"COMPRESS=DEFLATE",
                        source->GetPalette().empty() ? "RESAMPLING=CUBIC" : "RESAMPLING=NEAREST"},
                       range);
    if (!written) {
        return Fail(range.cancelled ? Status::Cancelled : Status::Failed, path);
    }
    if (!CloseChecked(written) || !temp.Commit()) {
        return Fail(Status::CannotWrite, path, temp.Error());
    }
    m_status = Status::Ok;
    return m_status;
}

CDeviceExport::Status CDeviceExport::WriteMbtiles(const std::string& path, int minZoom,
                                                  const Progress& progress) {
    m_summary = {};
    const int width = m_source.GetWidth();
    const int height = m_source.GetHeight();
    std::vector<CDoublePoint> centre{{width / 2.0, height / 2.0}};
    std::vector<CDoublePoint> corners{{0.0, 0.0}, {double(width), double(height)}};
    std::vector<CDoublePoint> outline = PictureOutline(width, height, 64);
    if (!m_source.LonLatMapping()(centre) || !m_source.LonLatMapping()(corners) ||
        !m_source.LonLatMapping()(outline)) {
        return Fail(Status::Failed, path);
    }
    // Web Mercator ends at 180°: GDAL would lay such a map over the whole world.
    if (CrossesAntimeridian(outline, centre[0].x)) {
        m_status = Status::Failed;
        m_strMessage = FormatString1(IDS_DEVICE_ANTIMERIDIAN, path);
        return m_status;
    }
    // The first zoom level at least as fine as the pixel GDAL suggests for warping the map into
    // Web Mercator (as GDAL's MBTiles driver chooses it).
    const int maxZoom = MaxZoomFor(SuggestedPixelSize(LonLatToMercator(corners[0]),
                                                      LonLatToMercator(corners[1]), width, height));
    minZoom = minZoom < 0 ? std::max(0, maxZoom - 4) : std::min(minZoom, maxZoom);
    // The outline in pixels of the highest level, its box there, and its bounds in degrees.
    const double pixel = MercatorPixelSize(maxZoom);
    constexpr double kInf = std::numeric_limits<double>::infinity();
    std::array<double, 4> box{kInf, kInf, -kInf, -kInf};
    std::array<double, 4> bounds{kInf, kInf, -kInf, -kInf}; // west, south, east, north
    std::vector<CDoublePoint> pixels;
    for (const CDoublePoint& p : outline) {
        const CDoublePoint m = LonLatToMercator(p);
        const CDoublePoint q{(m.x + kMercatorHalfWorld) / pixel,
                             (kMercatorHalfWorld - m.y) / pixel};
        box = {std::min(box[0], q.x), std::min(box[1], q.y), std::max(box[2], q.x),
               std::max(box[3], q.y)};
        bounds = {std::min(bounds[0], p.x), std::min(bounds[1], p.y), std::max(bounds[2], p.x),
                  std::max(bounds[3], p.y)};
        pixels.push_back(q);
    }
    constexpr double kMaxLatitude = 85.0511287798066;
    bounds[1] = std::max(bounds[1], -kMaxLatitude);
    bounds[3] = std::min(bounds[3], kMaxLatitude);

    CTempFolder temp(path);
    if (!temp.IsOpen()) {
        return Fail(Status::CannotWrite, path, temp.Error());
    }
    CMbtilesDatabase db;
    if (!db.Create(temp.File())) {
        return Fail(Status::CannotWrite, path, db.Error());
    }
    // The highest level warped with its alpha, by palette index (nearest neighbour) or bicubic,
    // in a grid whose origin is the north-west corner of the tile at the map's north-west
    // corner, so that the windows' positions stay small (a whole zoom level may be wider than an
    // int counts).
    const bool paletted = !m_source.GetPalette().empty();
    const std::vector<int>& bands = m_source.GetColourBands();
    CRasterWarper::Options options;
    options.destinationAlpha = true;
    options.alphaBand = m_source.GetAlphaBand();
    if (paletted) {
        options.resampling = CRasterWarper::Resampling::Nearest;
        options.bands = {bands[0]};
        options.fill = {0};
    } else {
        options.bands = bands;
        options.fill = {0, 0, 0};
    }
    const double tileSide = CTilePyramid::kTileSide;
    const auto originX = static_cast<std::int64_t>(std::floor(box[0] / tileSide) * tileSide);
    const auto originY = static_cast<std::int64_t>(std::floor(box[1] / tileSide) * tileSide);
    SWarpGrid grid;
    grid.srsWkt = MercatorWkt();
    grid.geoTransform = {-kMercatorHalfWorld + static_cast<double>(originX) * pixel, pixel, 0.0,
                         kMercatorHalfWorld - static_cast<double>(originY) * pixel,  0.0,   -pixel};
    grid.width = static_cast<int>(std::ceil(box[2] - static_cast<double>(originX)));
    grid.height = static_cast<int>(std::ceil(box[3] - static_cast<double>(originY)));
    CRasterWarper warper(m_source, grid, options);
    if (!warper.Ok()) {
        return Fail(Status::Failed, path);
    }
    CMbtilesEncoder encode(m_source.GetPalette());
    const auto components = static_cast<std::size_t>(encode.Components());
    // Whether the map may reach into a part of the highest level: the outline is a polygon
    // through 64 points of each edge, which an edge curved by the warp may pass by a little, so
    // every part is taken 8 pixels larger (a part the map does not reach after all is warped and
    // holds nothing: its tiles are left out).
    constexpr double kMargin = 8.0;
    const auto touches = [&](double x0, double y0, double x1, double y1) {
        x0 -= kMargin, y0 -= kMargin, x1 += kMargin, y1 += kMargin;
        return x0 <= box[2] && x1 >= box[0] && y0 <= box[3] && y1 >= box[1] &&
               RectTouchesOutline(x0, y0, x1, y1, pixels);
    };
    std::string message;
    const auto fill = [&](std::int64_t x0, std::int64_t y0, int side, std::uint8_t* block) {
        return warper.WarpWindow(static_cast<int>(x0 - originX), static_cast<int>(y0 - originY),
                                 side, side, block, static_cast<std::size_t>(side) * components, {},
                                 message) == CRasterWarper::Status::Ok;
    };
    bool cannotWrite = false;
    const auto put = [&](int zoom, std::int64_t column, std::int64_t row, const std::uint8_t* tile,
                         std::size_t stride) {
        const std::string bytes = encode(tile, stride);
        if (bytes.empty()) {
            return false;
        }
        // Rows counted from the south.
        cannotWrite = !db.AddTile(zoom, column, (std::int64_t{1} << zoom) - 1 - row, bytes);
        m_summary.tiles += cannotWrite ? 0 : 1;
        return !cannotWrite;
    };
    SProgressRange range{progress, 0.0, 1.0};
    CTilePyramid pyramid(minZoom, maxZoom, static_cast<int>(components),
                         paletted ? CTilePyramid::Reduction::Nearest
                                  : CTilePyramid::Reduction::Average);
    if (!pyramid.Build(box[0], box[1], box[2], box[3], touches, fill, put, range.Callback())) {
        if (range.cancelled) {
            return Fail(Status::Cancelled, path);
        }
        if (cannotWrite) {
            return Fail(Status::CannotWrite, path, db.Error());
        }
        return Fail(Status::Failed, path);
    }
    // The metadata GDAL's driver writes, and the centre (longitude, latitude and the zoom level
    // to open at).
    char centreText[96];
    const auto end =
        std::to_chars(centreText, centreText + 40, centre[0].x, std::chars_format::fixed, 6).ptr;
    *end = ',';
    const auto end2 =
        std::to_chars(end + 1, end + 41, centre[0].y, std::chars_format::fixed, 6).ptr;
    const std::pair<const char*, std::string> metadata[] = {
        {"name", m_strName},
        {"type", "overlay"},
        {"description", fs::path(path).stem().string()},
        {"version", "1.1"},
        {"format", encode.Format()},
        {"bounds", Number(bounds[0]) + "," + Number(bounds[1]) + "," + Number(bounds[2]) + "," +
                       Number(bounds[3])},
        {"maxzoom", std::to_string(maxZoom)},
        {"minzoom", std::to_string(minZoom)},
        {"center", std::string(centreText, end2) + "," + std::to_string(minZoom)},
    };
    for (const auto& [name, value] : metadata) {
        if (!db.AddMetadata(name, value)) {
            return Fail(Status::CannotWrite, path, db.Error());
        }
    }
    if (!db.Close()) {
        return Fail(Status::CannotWrite, path, db.Error());
    }
    if (!temp.Commit()) {
        return Fail(Status::CannotWrite, path, temp.Error());
    }
    m_summary.minZoom = minZoom;
    m_summary.maxZoom = maxZoom;
    m_summary.resolutionMetres = ZoomPixelMetres(maxZoom, centre[0].y);
    m_summary.deviceErrorMetres = kWarpErrorPixels * m_summary.resolutionMetres;
    m_status = Status::Ok;
    return m_status;
}

CDeviceExport::Status CDeviceExport::WriteKmz(const std::string& path, int maxTiles,
                                              int jpegQuality, const Progress& progress) {
    m_summary = {};
    // The north-up latitude/longitude grid over the map, with square pixels as large on the ground
    // as the map's centre pixel; coarser while wider or taller than a bitmap may be (the tiles
    // hold far fewer pixels than that anyway).
    CStraightener::Target target;
    target.coordType = CoordType::LatLon;
    target.acrossAntimeridian = true; // each tile is placed on its own
    target.squareOnGround = true;     // a LatLonBox stretches a tile to any shape
    auto layout = std::make_unique<CStraightener>(m_source, target);
    for (int i = 0; i < 8 && layout->GetStatus() == CStraightener::Status::TooLarge; ++i) {
        target.pixelMetres = 2.0 * layout->GetPixelMetres();
        layout = std::make_unique<CStraightener>(m_source, target);
    }
    std::vector<CDoublePoint> outline =
        PictureOutline(m_source.GetWidth(), m_source.GetHeight(), 64);
    if (layout->GetStatus() != CStraightener::Status::Ok || !m_source.LonLatMapping()(outline)) {
        return Fail(Status::Failed, path);
    }
    const SWarpGrid& grid = layout->GetGrid();
    const std::array<double, 6>& gt = grid.geoTransform;
    const SKmzTilePlan plan =
        PlanKmzTiles(gt[0], gt[3], gt[1], -gt[5], grid.width, grid.height, maxTiles);
    // The outline in the plan's pixels, its longitudes continuous like the grid's.
    const double middle = plan.west + plan.width * plan.pixelX / 2.0;
    for (CDoublePoint& p : outline) {
        const double lon = middle + std::remainder(p.x - middle, 360.0);
        p = {(lon - plan.west) / plan.pixelX, (plan.north - p.y) / plan.pixelY};
    }
    std::vector<std::array<int, 2>> tiles;
    std::vector<SKmlOverlay> overlays;
    for (int row = 0; row < plan.rows; ++row) {
        for (int column = 0; column < plan.columns; ++column) {
            if (TileTouchesOutline(plan, column, row, outline)) {
                tiles.push_back({column, row});
                overlays.push_back(
                    {"files/r" + std::to_string(row) + "c" + std::to_string(column) + ".jpg",
                     plan.TileBox(column, row)});
            }
        }
    }

    CTempFolder temp(path);
    CKmzArchive archive;
    if (!temp.IsOpen() || !archive.Open(temp.File())) {
        return Fail(Status::CannotWrite, path, temp.Error());
    }
    if (!archive.Add("doc.kml", BuildKml(m_strName, overlays), true)) {
        return Fail(Status::CannotWrite, path);
    }

    // Red, green and blue, white where the map does not reach. A palette picture is warped by
    // index (nearest neighbour), twice with different fills: where the two differ, the map does
    // not reach.
    const std::vector<CBmpStreamWriter::Rgb>& palette = m_source.GetPalette();
    const std::vector<int>& bands = m_source.GetColourBands();
    CRasterWarper::Options options;
    options.alphaBand = m_source.GetAlphaBand();
    if (palette.empty()) {
        options.bands = bands;
    } else {
        options.resampling = CRasterWarper::Resampling::Nearest;
        options.bands = {bands[0], bands[0]};
        options.fill = {0, 1};
    }
    constexpr CBmpStreamWriter::Rgb kWhite{255, 255, 255};
    constexpr std::size_t kMaxTileBytes = 3u * 1024u * 1024u;
    std::vector<std::uint8_t> rgb;
    int width = 0;
    const auto sink = [&](int y0, int count, const std::uint8_t* rows, std::size_t stride) {
        for (int y = 0; y < count; ++y) {
            const std::uint8_t* in = rows + static_cast<std::size_t>(y) * stride;
            std::uint8_t* out = rgb.data() + static_cast<std::size_t>(y0 + y) * width * 3;
            if (palette.empty()) {
                std::copy(in, in + 3 * static_cast<std::size_t>(width), out);
                continue;
            }
            for (int x = 0; x < width; ++x, in += 2, out += 3) {
                const CBmpStreamWriter::Rgb& c =
                    in[0] == in[1] && in[0] < palette.size() ? palette[in[0]] : kWhite;
                std::copy(c.begin(), c.end(), out);
            }
        }
        return true;
    };
    SWarpGrid tileGrid;
    tileGrid.srsWkt = grid.srsWkt;
    for (std::size_t k = 0; k < tiles.size(); ++k) {
        const std::array<int, 4> r = plan.TileRect(tiles[k][0], tiles[k][1]);
        tileGrid.geoTransform = {plan.west + r[0] * plan.pixelX,  plan.pixelX, 0.0,
                                 plan.north - r[1] * plan.pixelY, 0.0,         -plan.pixelY};
        tileGrid.width = width = r[2];
        tileGrid.height = r[3];
        rgb.resize(static_cast<std::size_t>(r[2]) * r[3] * 3);
        SProgressRange range{progress, static_cast<double>(k) / static_cast<double>(tiles.size()),
                             static_cast<double>(k + 1) / static_cast<double>(tiles.size())};
        std::string message;
        const CRasterWarper::Status warped =
            CRasterWarper::Warp(m_source, tileGrid, options, sink, range.Callback(), message);
        if (warped != CRasterWarper::Status::Ok) {
            return Fail(range.cancelled ? Status::Cancelled : Status::Failed, path);
        }
        // A tile of noise can exceed the device's 3 MB at a high quality: lower it until it fits.
        std::string jpeg;
        for (int quality = jpegQuality;; quality -= 10) {
            jpeg = EncodeJpeg(rgb, r[2], r[3], std::max(quality, 5));
            if (jpeg.empty() || jpeg.size() < kMaxTileBytes || quality <= 5) {
                break;
            }
        }
        if (jpeg.empty() || jpeg.size() >= kMaxTileBytes) {
            return Fail(Status::Failed, path);
        }
        if (!archive.Add(overlays[k].href, jpeg, false)) {
            return Fail(Status::CannotWrite, path);
        }
    }
    if (!archive.Close() || !temp.Commit()) {
        return Fail(Status::CannotWrite, path, temp.Error());
    }
    m_summary.tiles = static_cast<int>(tiles.size());
    m_summary.resolutionMetres = layout->GetPixelMetres() * plan.scale;
    m_summary.deviceErrorMetres = kWarpErrorPixels * m_summary.resolutionMetres;
    m_status = Status::Ok;
    return m_status;
}

} // namespace mapreg

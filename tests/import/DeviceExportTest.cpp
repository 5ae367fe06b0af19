// mapreg-cli export to devices (GeoTIFF, MBTiles, KMZ) on maps registered in the test: every
// output is read back through GDAL and compared with GDAL's own warp of the bitmap, georeferenced
// by the test's own solution of the marks, into the same grid.

#include "../cli/CliHarness.h"

#include "import/DeviceTiling.h"

#include <gdal_priv.h>
#include <gdal_utils.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

using namespace mapreg;

namespace {

struct SDatasetCloser {
    void operator()(GDALDataset* dataset) const { GDALClose(GDALDataset::ToHandle(dataset)); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, SDatasetCloser>;

DatasetPtr Open(const std::string& path) {
    GDALAllRegister();
    return DatasetPtr(GDALDataset::FromHandle(
        GDALOpenEx(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, nullptr, nullptr)));
}

struct Mark {
    double x, y, wx, wy;
};

struct MapCase {
    const char* name;
    int width;
    int height;
    bool palette;
    const char* utm; // "" for latitude/longitude
    int epsg;
    std::array<Mark, 3> marks;
};
void PrintTo(const MapCase& c, std::ostream* out) {
    *out << c.name;
}

// Blocks of 5 pixels in scattered colours: a shift of one pixel shows in the correlation.
std::uint8_t Block(int x, int y, int band) {
    std::uint32_t h = static_cast<std::uint32_t>(x / 5) * 73856093u ^
                      static_cast<std::uint32_t>(y / 5) * 19349663u ^
                      static_cast<std::uint32_t>(band) * 83492791u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    return static_cast<std::uint8_t>(h >> 24);
}

// Writes the bitmap (24 bits, or 8 bits with a palette of 256 colours) through GDAL.
void MakeBitmap(const fs::path& path, const MapCase& c) {
    GDALAllRegister();
    GDALDriver* mem = GetGDALDriverManager()->GetDriverByName("MEM");
    const DatasetPtr ds(mem->Create("", c.width, c.height, c.palette ? 1 : 3, GDT_Byte, nullptr));
    std::vector<std::uint8_t> row(static_cast<std::size_t>(c.width));
    for (int b = 1; b <= ds->GetRasterCount(); ++b) {
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                row[static_cast<std::size_t>(x)] = Block(x, y, b);
            }
            ASSERT_EQ(CE_None,
                      ds->GetRasterBand(b)->RasterIO(GF_Write, 0, y, c.width, 1, row.data(),
                                                     c.width, 1, GDT_Byte, 0, 0, nullptr));
        }
    }
    if (c.palette) {
        GDALColorTable table;
        for (int i = 0; i < 256; ++i) {
            const GDALColorEntry e{static_cast<short>(i), static_cast<short>((i * 7) % 256),
                                   static_cast<short>(255 - i), 255};
            table.SetColorEntry(i, &e);
        }
        ds->GetRasterBand(1)->SetColorTable(&table);
    }
    const DatasetPtr out(GetGDALDriverManager()->GetDriverByName("BMP")->CreateCopy(
        path.c_str(), ds.get(), FALSE, nullptr, nullptr, nullptr));
    ASSERT_TRUE(out);
}

// The affine mapping through the three marks, solved here by Cramer's rule (GDAL's order).
std::array<double, 6> SolveMarks(const std::array<Mark, 3>& m) {
    const double det =
        (m[1].x - m[0].x) * (m[2].y - m[0].y) - (m[2].x - m[0].x) * (m[1].y - m[0].y);
    std::array<double, 6> gt{};
    for (int k = 0; k < 2; ++k) {
        const auto w = [&](int i) { return k == 0 ? m[i].wx : m[i].wy; };
        const double a =
            ((w(1) - w(0)) * (m[2].y - m[0].y) - (w(2) - w(0)) * (m[1].y - m[0].y)) / det;
        const double b =
            ((m[1].x - m[0].x) * (w(2) - w(0)) - (m[2].x - m[0].x) * (w(1) - w(0))) / det;
        gt[3 * k] = w(0) - a * m[0].x - b * m[0].y;
        gt[3 * k + 1] = a;
        gt[3 * k + 2] = b;
    }
    return gt;
}

// The bitmap with the test's georeferencing, expanded to red, green and blue (a virtual dataset
// that reads through the bitmap's).
struct Georeferenced {
    DatasetPtr bmp;
    DatasetPtr vrt;
    GDALDataset& operator*() const { return *vrt; }
};
// A virtual dataset over ds, a palette picture expanded to red, green and blue.
DatasetPtr Coloured(GDALDataset& ds) {
    const bool palette = ds.GetRasterBand(1)->GetColorTable() != nullptr;
    const char* args[] = {"-of", "VRT", palette ? "-expand" : nullptr, "rgb", nullptr};
    GDALTranslateOptions* options = GDALTranslateOptionsNew(const_cast<char**>(args), nullptr);
    DatasetPtr vrt(
        GDALDataset::FromHandle(GDALTranslate("", GDALDataset::ToHandle(&ds), options, nullptr)));
    GDALTranslateOptionsFree(options);
    return vrt;
}

Georeferenced Reference(const fs::path& bitmap, const MapCase& c) {
    DatasetPtr bmp = Open(bitmap.string());
    DatasetPtr vrt = Coloured(*bmp);
    std::array<double, 6> gt = SolveMarks(c.marks);
    vrt->SetGeoTransform(gt.data());
    OGRSpatialReference srs;
    srs.importFromEPSG(c.epsg);
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    vrt->SetSpatialRef(&srs);
    return {std::move(bmp), std::move(vrt)};
}

// GDAL's warp of the reference into the grid of `like` (its size, geotransform and system),
// red, green, blue and alpha; resampled by nearest neighbour, else by `smooth`.
DatasetPtr WarpLike(GDALDataset& reference, GDALDataset& like, bool nearest,
                    const char* smooth = "cubic") {
    GDALDriver* mem = GetGDALDriverManager()->GetDriverByName("MEM");
    DatasetPtr out(
        mem->Create("", like.GetRasterXSize(), like.GetRasterYSize(), 4, GDT_Byte, nullptr));
    std::array<double, 6> gt{};
    like.GetGeoTransform(gt.data());
    out->SetGeoTransform(gt.data());
    out->SetSpatialRef(like.GetSpatialRef());
    const char* args[] = {"-r", nearest ? "near" : smooth, "-dstalpha", nullptr};
    GDALWarpAppOptions* options = GDALWarpAppOptionsNew(const_cast<char**>(args), nullptr);
    GDALDatasetH source = GDALDataset::ToHandle(&reference);
    GDALWarp(nullptr, GDALDataset::ToHandle(out.get()), 1, &source, options, nullptr);
    GDALWarpAppOptionsFree(options);
    return out;
}

// Grey values and coverage of a dataset (bands 1..3, and the alpha band when it has one).
struct Grey {
    int width = 0;
    int height = 0;
    std::vector<double> value;
    std::vector<bool> valid;
};
Grey ReadGrey(GDALDataset& ds) {
    Grey g{ds.GetRasterXSize(), ds.GetRasterYSize(), {}, {}};
    const std::size_t n = static_cast<std::size_t>(g.width) * g.height;
    std::vector<std::uint8_t> band(n);
    g.value.assign(n, 0.0);
    g.valid.assign(n, true);
    for (int b = 1; b <= ds.GetRasterCount(); ++b) {
        EXPECT_EQ(CE_None,
                  ds.GetRasterBand(b)->RasterIO(GF_Read, 0, 0, g.width, g.height, band.data(),
                                                g.width, g.height, GDT_Byte, 0, 0, nullptr));
        for (std::size_t i = 0; i < n; ++i) {
            if (b <= 3) {
                g.value[i] += band[i] / 3.0;
            } else {
                g.valid[i] = g.valid[i] && band[i] == 255;
            }
        }
    }
    return g;
}

// Correlation of a with b shifted by (dx, dy) over the pixels both cover fully.
double Correlation(const Grey& a, const Grey& b, int dx, int dy) {
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0, n = 0;
    for (int y = 2; y < a.height - 2; ++y) {
        for (int x = 2; x < a.width - 2; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * a.width + x;
            const std::size_t j = static_cast<std::size_t>(y + dy) * a.width + (x + dx);
            if (!a.valid[i] || !b.valid[j]) {
                continue;
            }
            sa += a.value[i], sb += b.value[j], saa += a.value[i] * a.value[i];
            sbb += b.value[j] * b.value[j], sab += a.value[i] * b.value[j], n += 1;
        }
    }
    const double cov = sab / n - sa / n * sb / n;
    return cov / std::sqrt((saa / n - sa / n * sa / n) * (sbb / n - sb / n * sb / n));
}

// The whole-pixel shift of ours against GDAL's warp where they correlate best, and how well.
void ExpectPlacedLike(GDALDataset& ours, GDALDataset& gdal, const std::string& what,
                      double minimum = 0.9) {
    const Grey a = ReadGrey(ours);
    const Grey b = ReadGrey(gdal);
    std::array<int, 2> best{0, 0};
    double bestCorrelation = -2.0;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const double c = Correlation(a, b, dx, dy);
            if (c > bestCorrelation) {
                bestCorrelation = c, best = {dx, dy};
            }
        }
    }
    EXPECT_EQ((std::array<int, 2>{0, 0}), best) << what;
    EXPECT_GT(bestCorrelation, minimum) << what;
}

// A north-up latitude/longitude map, a UTM map and a scan turned by 6 degrees and calibrated by
// hand on three inner points (a palette picture).
// clang-format off
const MapCase kMaps[] = {
    {"latlon_north_up", 300, 240, false, "", 4326,
     {Mark{0, 0, 10.0, 47.0}, {300, 0, 10.03, 47.0}, {300, 240, 10.03, 46.976}}},
    {"utm", 320, 200, false, "32T", 32632,
     {Mark{0, 0, 500000, 5200000}, {320, 0, 503200, 5200000}, {320, 200, 503200, 5198000}}},
    {"turned_scan", 300, 260, true, "33T", 32633,
     {Mark{20, 30, 400230.3, 5100422.5}, {280, 40, 402826.5, 5100594.9},
      {40, 220, 400627.8, 5098553.9}}},
};
// clang-format on

class DeviceExportTest : public CliFolderTest, public ::testing::WithParamInterface<MapCase> {
protected:
    // Registers the case's bitmap; the map file's path.
    fs::path Register(const MapCase& c) {
        const fs::path bitmap = dir / (std::string(c.name) + ".bmp");
        MakeBitmap(bitmap, c);
        std::vector<std::string> args = Args("register", bitmap.string());
        for (const Mark& m : c.marks) {
            args.push_back("--mark");
            for (const double v : {m.x, m.y, m.wx, m.wy}) {
                char text[32];
                std::snprintf(text, sizeof text, "%.10g", v);
                args.push_back(text);
            }
        }
        if (*c.utm != 0) {
            args.insert(args.end(), {"--utm", c.utm});
        }
        const CliResult r = RunTool(args);
        EXPECT_EQ(0, r.code) << r.err;
        return dir / (std::string(c.name) + ".gpm");
    }
};

TEST_P(DeviceExportTest, geotiff_holds_the_bitmap_with_its_calibration_or_straightened) {
    const MapCase& c = GetParam();
    const fs::path map = Register(c);
    const fs::path tif = dir / "out.tif";
    const CliResult r = RunTool(Args("export", map.string(), "--geotiff", tif.string()));
    ASSERT_EQ(0, r.code) << r.err;
    EXPECT_EQ(tif.string() + "\n", r.out.substr(0, r.out.find('\n') + 1));
    EXPECT_NE(r.out.find("device_error_m=0.000\n"), std::string::npos) << r.out;

    const DatasetPtr ours = Open(tif.string());
    ASSERT_TRUE(ours);
    EXPECT_STREQ("COG", ours->GetMetadataItem("LAYOUT", "IMAGE_STRUCTURE"));
    EXPECT_STREQ("DEFLATE", ours->GetMetadataItem("COMPRESSION", "IMAGE_STRUCTURE"));
    std::array<double, 6> gt{};
    ours->GetGeoTransform(gt.data());
    const std::array<double, 6> expected = SolveMarks(c.marks);
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(expected[i], gt[i], 1e-9 * (1.0 + std::fabs(expected[i]))) << i;
    }
    EXPECT_STREQ(std::to_string(c.epsg).c_str(), ours->GetSpatialRef()->GetAuthorityCode(nullptr));
    // The pixels are the bitmap's own, palette and all.
    const DatasetPtr bmp = Open((dir / (std::string(c.name) + ".bmp")).string());
    EXPECT_EQ(ReadGrey(*bmp).value, ReadGrey(*ours).value);
    EXPECT_EQ(c.palette, ours->GetRasterBand(1)->GetColorTable() != nullptr);

    // Straightened: north-up in the map's own system, where GDAL's warp puts the map.
    const fs::path straight = dir / "straight.tif";
    const CliResult rs =
        RunTool(Args("export", map.string(), "--geotiff", straight.string(), "--straighten"));
    ASSERT_EQ(0, rs.code) << rs.err;
    const DatasetPtr warped = Open(straight.string());
    ASSERT_TRUE(warped);
    warped->GetGeoTransform(gt.data());
    EXPECT_EQ((std::array<double, 2>{0.0, 0.0}), (std::array<double, 2>{gt[2], gt[4]}));
    EXPECT_STREQ(std::to_string(c.epsg).c_str(),
                 warped->GetSpatialRef()->GetAuthorityCode(nullptr));
    EXPECT_EQ(c.palette, warped->GetRasterBand(1)->GetColorTable() != nullptr);
    const Georeferenced reference = Reference(dir / (std::string(c.name) + ".bmp"), c);
    ExpectPlacedLike(*Coloured(*warped), *WarpLike(*reference, *warped, c.palette), c.name);
}

TEST_P(DeviceExportTest, mbtiles_at_its_highest_zoom_sit_where_gdal_warps_the_map) {
    const MapCase& c = GetParam();
    const fs::path map = Register(c);
    const fs::path out = dir / "out.mbtiles";
    const CliResult r = RunTool(Args("export", map.string(), "--mbtiles", out.string()));
    ASSERT_EQ(0, r.code) << r.err;
    const DatasetPtr ours = Open(out.string());
    ASSERT_TRUE(ours);
    ExpectPlacedLike(
        *ours, *WarpLike(*Reference(dir / (std::string(c.name) + ".bmp"), c), *ours, c.palette),
        c.name);
    // The metadata, and tile rows counted from the south (TMS): the map's northern edge has the
    // highest row at the highest zoom.
    const char* format = ours->GetMetadataItem("format");
    EXPECT_STREQ(c.palette ? "png" : "jpg", format);
    int maxZoom = 0;
    ASSERT_EQ(1, std::sscanf(r.out.c_str(), "%*[^\n]\ntiles=%*d\nzoom_levels=%*d-%d", &maxZoom))
        << r.out;
    const char* const sqlite[] = {"SQLite", nullptr};
    const DatasetPtr sql(GDALDataset::FromHandle(GDALOpenEx(("SQLITE:" + out.string()).c_str(),
                                                            GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                                            sqlite, nullptr, nullptr)));
    ASSERT_TRUE(sql);
    OGRLayer* rows = sql->ExecuteSQL(
        ("SELECT MAX(tile_row) FROM tiles WHERE zoom_level = " + std::to_string(maxZoom)).c_str(),
        nullptr, nullptr);
    ASSERT_NE(rows, nullptr);
    OGRFeature* f = rows->GetNextFeature();
    std::array<double, 6> gt{};
    ours->GetGeoTransform(gt.data());
    // Web Mercator metres from the world's top edge to the dataset's, in tiles.
    const double tileMetres = 40075016.68557849 / (1 << maxZoom);
    const int xyzRow =
        static_cast<int>(std::floor((20037508.342789244 - gt[3]) / tileMetres + 1e-6));
    EXPECT_EQ((1 << maxZoom) - 1 - xyzRow, f->GetFieldAsInteger(0)) << c.name;
    OGRFeature::DestroyFeature(f);
    sql->ReleaseResultSet(rows);
    OGRLayer* meta = sql->ExecuteSQL("SELECT group_concat(name) FROM (SELECT name FROM metadata "
                                     "ORDER BY name)",
                                     nullptr, nullptr);
    f = meta->GetNextFeature();
    const std::string names = f->GetFieldAsString(0);
    for (const char* key : {"bounds", "center", "format", "maxzoom", "minzoom", "name"}) {
        EXPECT_NE(names.find(key), std::string::npos) << key << " in " << names;
    }
    OGRFeature::DestroyFeature(f);
    sql->ReleaseResultSet(meta);
}

// One number of an SQL query on the MBTiles file.
long long QueryNumber(const fs::path& mbtiles, const std::string& sql) {
    const char* const sqlite[] = {"SQLite", nullptr};
    const DatasetPtr db(GDALDataset::FromHandle(GDALOpenEx(("SQLITE:" + mbtiles.string()).c_str(),
                                                           GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                                           sqlite, nullptr, nullptr)));
    OGRLayer* result = db ? db->ExecuteSQL(sql.c_str(), nullptr, nullptr) : nullptr;
    if (result == nullptr) {
        ADD_FAILURE() << sql;
        return -1;
    }
    OGRFeature* f = result->GetNextFeature();
    const long long value = f != nullptr ? f->GetFieldAsInteger64(0) : -1;
    OGRFeature::DestroyFeature(f);
    db->ReleaseResultSet(result);
    return value;
}

// The lower zoom levels are made from the highest one (averaged, or by nearest neighbour for a
// palette map), each tile from the four below it: each level sits where GDAL's warp puts the map
// at that level, holds tiles, and the metadata name the levels written.
TEST_P(DeviceExportTest, mbtiles_lower_levels_sit_where_gdal_warps_the_map_at_their_zoom) {
    const MapCase& c = GetParam();
    const fs::path map = Register(c);
    const fs::path out = dir / "out.mbtiles";
    const CliResult r = RunTool(Args("export", map.string(), "--mbtiles", out.string()));
    ASSERT_EQ(0, r.code) << r.err;
    int tiles = 0, minZoom = 0, maxZoom = 0;
    ASSERT_EQ(3, std::sscanf(r.out.c_str(), "%*[^\n]\ntiles=%d\nzoom_levels=%d-%d", &tiles,
                             &minZoom, &maxZoom))
        << r.out;
    EXPECT_EQ(maxZoom - 4, minZoom);
    EXPECT_EQ(tiles, QueryNumber(out, "SELECT COUNT(*) FROM tiles"));
    for (int zoom = minZoom; zoom <= maxZoom; ++zoom) {
        EXPECT_GT(QueryNumber(out, "SELECT COUNT(*) FROM tiles WHERE zoom_level = " +
                                       std::to_string(zoom)),
                  0)
            << zoom;
    }
    EXPECT_EQ(0, QueryNumber(out, "SELECT COUNT(*) FROM tiles WHERE zoom_level < " +
                                      std::to_string(minZoom) + " OR zoom_level > " +
                                      std::to_string(maxZoom)));
    EXPECT_EQ(minZoom, QueryNumber(out, "SELECT CAST(value AS INTEGER) FROM metadata WHERE name "
                                        "= 'minzoom'"));
    EXPECT_EQ(maxZoom, QueryNumber(out, "SELECT CAST(value AS INTEGER) FROM metadata WHERE name "
                                        "= 'maxzoom'"));
    // One level down, where the map's blocks of 5 pixels are still some 4 pixels wide: reduced
    // once more than GDAL's warp straight into that level, they correlate a little less (0.90 to
    // 0.95), but best where they lie on each other.
    const std::string level = "ZOOM_LEVEL=" + std::to_string(maxZoom - 1);
    const char* const open[] = {level.c_str(), nullptr};
    const DatasetPtr lower(GDALDataset::FromHandle(
        GDALOpenEx(out.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, nullptr, open, nullptr)));
    ASSERT_TRUE(lower);
    ExpectPlacedLike(*lower,
                     *WarpLike(*Reference(dir / (std::string(c.name) + ".bmp"), c), *lower,
                               c.palette, "average"),
                     c.name, 0.85);
}

std::string ReadVsi(const std::string& path) {
    std::string bytes;
    VSILFILE* f = VSIFOpenL(path.c_str(), "rb");
    char buffer[65536];
    for (std::size_t n = 0; f != nullptr && (n = VSIFReadL(buffer, 1, sizeof buffer, f)) > 0;) {
        bytes.append(buffer, n);
    }
    if (f != nullptr) {
        VSIFCloseL(f);
    }
    return bytes;
}

// The KMZ's tiles pasted into one latitude/longitude grid by their LatLonBoxes (alpha 255 where a
// tile lies), after checking each against the device's limits: baseline JPEG, at most 1024 x
// 1024 pixels and under 3 MB.
DatasetPtr Mosaic(const fs::path& kmz, int& tiles) {
    const std::string root = "/vsizip/" + kmz.string() + "/";
    const std::string kml = ReadVsi(root + "doc.kml");
    // QRegularExpression rather than std::regex: GCC 12's <regex> trips -Wmaybe-uninitialized
    // in the sanitizer build.
    const QRegularExpression overlay(
        "<drawOrder>50</drawOrder>\\s*<Icon><href>([^<]+)</href></Icon>\\s*"
        "<LatLonBox><north>([^<]+)</north><south>([^<]+)</south>"
        "<east>([^<]+)</east><west>([^<]+)</west>");
    struct Tile {
        DatasetPtr ds;
        double n, s, e, w;
    };
    std::vector<Tile> list;
    double north = -1e9, west = 1e9, south = 1e9, east = -1e9, px = 0, py = 0;
    for (auto it = overlay.globalMatch(QString::fromStdString(kml)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const auto field = [&m](int i) { return m.captured(i).toStdString(); };
        const std::string jpeg = ReadVsi(root + field(1));
        EXPECT_LT(jpeg.size(), 3u * 1024 * 1024);
        EXPECT_NE(jpeg.find("\xFF\xC0"), std::string::npos) << "baseline frame";
        EXPECT_EQ(jpeg.find("\xFF\xC2"), std::string::npos) << "progressive frame";
        Tile t{Open(root + field(1)), std::stod(field(2)), std::stod(field(3)), std::stod(field(4)),
               std::stod(field(5))};
        EXPECT_TRUE(t.w >= -180.0 && t.w < 180.0) << "west " << t.w;
        // Past 180 degrees east, as the first tile's longitudes run on.
        if (!list.empty() && t.w < list.front().w - 180.0) {
            t.w += 360.0, t.e += 360.0;
        }
        EXPECT_LE(t.ds->GetRasterXSize(), 1024);
        EXPECT_LE(t.ds->GetRasterYSize(), 1024);
        px = (t.e - t.w) / t.ds->GetRasterXSize();
        py = (t.n - t.s) / t.ds->GetRasterYSize();
        north = std::max(north, t.n), south = std::min(south, t.s);
        west = std::min(west, t.w), east = std::max(east, t.e);
        list.push_back(std::move(t));
    }
    tiles = static_cast<int>(list.size());
    const int width = static_cast<int>(std::lround((east - west) / px));
    const int height = static_cast<int>(std::lround((north - south) / py));
    DatasetPtr mosaic(GetGDALDriverManager()->GetDriverByName("MEM")->Create(
        "", std::max(width, 1), std::max(height, 1), 4, GDT_Byte, nullptr));
    std::array<double, 6> gt{west, px, 0, north, 0, -py};
    mosaic->SetGeoTransform(gt.data());
    OGRSpatialReference wgs84;
    wgs84.importFromEPSG(4326);
    wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    mosaic->SetSpatialRef(&wgs84);
    for (const Tile& t : list) {
        const int w = t.ds->GetRasterXSize();
        const int h = t.ds->GetRasterYSize();
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h * 4, 255);
        EXPECT_EQ(CE_None, t.ds->RasterIO(GF_Read, 0, 0, w, h, pixels.data(), w, h, GDT_Byte, 3,
                                          nullptr, 0, 0, 0, nullptr));
        EXPECT_EQ(CE_None,
                  mosaic->RasterIO(GF_Write, static_cast<int>(std::lround((t.w - west) / px)),
                                   static_cast<int>(std::lround((north - t.n) / py)), w, h,
                                   pixels.data(), w, h, GDT_Byte, 4, nullptr, 0, 0, 0, nullptr));
    }
    return mosaic;
}

TEST_P(DeviceExportTest, kmz_tiles_keep_the_device_limits_and_sit_where_gdal_warps_the_map) {
    const MapCase& c = GetParam();
    const fs::path map = Register(c);
    const fs::path out = dir / "out.kmz";
    const CliResult r = RunTool(Args("export", map.string(), "--kmz", out.string()));
    ASSERT_EQ(0, r.code) << r.err;
    int tiles = 0;
    const DatasetPtr mosaic = Mosaic(out, tiles);
    EXPECT_NE(r.out.find("tiles=" + std::to_string(tiles) + "\n"), std::string::npos) << r.out;
    const Georeferenced reference = Reference(dir / (std::string(c.name) + ".bmp"), c);
    const DatasetPtr gdal = WarpLike(*reference, *mosaic, c.palette);
    ExpectPlacedLike(*mosaic, *gdal, c.name);
    // Pixels square on the ground at the map's latitude (47 degrees), not in degrees.
    std::array<double, 6> gt{};
    mosaic->GetGeoTransform(gt.data());
    const double latitude = (gt[3] + gt[5] * mosaic->GetRasterYSize() / 2.0) * M_PI / 180.0;
    EXPECT_NEAR(gt[1] * std::cos(latitude), -gt[5], 0.01 * -gt[5]) << c.name;
    // Where the map does not reach (a JPEG block clear of any pixel it covers), tiles are white.
    const Grey ours = ReadGrey(*mosaic);
    const Grey theirs = ReadGrey(*gdal);
    constexpr int kClear = 8;
    int dark = 0;
    for (int y = kClear; y < ours.height - kClear; ++y) {
        for (int x = kClear; x < ours.width - kClear; ++x) {
            bool clear = true;
            for (int j = -kClear; j <= kClear && clear; ++j) {
                for (int i = -kClear; i <= kClear && clear; ++i) {
                    clear = !theirs.valid[static_cast<std::size_t>(y + j) * ours.width + x + i];
                }
            }
            dark += clear && ours.value[static_cast<std::size_t>(y) * ours.width + x] < 240.0;
        }
    }
    EXPECT_EQ(0, dark) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Maps, DeviceExportTest, ::testing::ValuesIn(kMaps));

// A map of 2600 x 1100 pixels needs several tiles; two at most are had at a lower resolution,
// which the summary reports.
TEST_F(DeviceExportTest, kmz_lowers_the_resolution_to_keep_within_max_tiles) {
    const MapCase big{
        "big",
        2600,
        1100,
        true,
        "32T",
        32632,
        {Mark{0, 0, 500000, 5200000}, {2600, 0, 513000, 5200000}, {2600, 1100, 513000, 5194500}}};
    const fs::path map = Register(big);
    std::array<int, 2> tiles{};
    std::array<double, 2> resolution{};
    const char* const limits[] = {"100", "2"};
    for (int i = 0; i < 2; ++i) {
        const fs::path out = dir / ("big" + std::to_string(i) + ".kmz");
        const CliResult r =
            RunTool(Args("export", map.string(), "--kmz", out.string(), "--max-tiles", limits[i]));
        ASSERT_EQ(0, r.code) << r.err;
        ASSERT_EQ(2, std::sscanf(r.out.c_str(), "%*[^\n]\ntiles=%d\nresolution_m=%lf", &tiles[i],
                                 &resolution[i]))
            << r.out;
        int mosaicTiles = 0;
        Mosaic(out, mosaicTiles);
        EXPECT_EQ(tiles[i], mosaicTiles);
    }
    EXPECT_GT(tiles[0], 2);
    EXPECT_LE(tiles[1], 2);
    EXPECT_NEAR(5.0, resolution[0], 0.05); // the map's own 5 m pixels
    EXPECT_GT(resolution[1], 1.2 * resolution[0]);
}

// The tile plan: the finest even lowering of the resolution that keeps within the device's tile
// count, and which tiles a diamond-shaped map reaches in a 3 x 3 grid.
TEST(KmzTilePlan, lowers_the_resolution_just_enough_and_leaves_out_tiles_beyond_the_map) {
    struct Row {
        int width, height, maxTiles;
        int columns, rows, planWidth;
        double scale;
    };
    // clang-format off
    const Row rows[] = {
        {1000, 800, 100, 1, 1, 1000, 1.0},
        {5000, 5000, 500, 5, 5, 5000, 1.0},
        {3000, 1000, 100, 3, 1, 3000, 1.0},
        {3000, 1000, 2, 2, 1, 2048, 3000.0 / 2048},
        {20000, 20000, 100, 10, 10, 10240, 20000.0 / 10240},
        {20000, 20000, 500, 20, 20, 20000, 1.0},
    };
    // clang-format on
    for (const Row& row : rows) {
        const SKmzTilePlan plan =
            PlanKmzTiles(10.0, 50.0, 1e-4, 1e-4, row.width, row.height, row.maxTiles);
        EXPECT_EQ((std::array<int, 3>{row.columns, row.rows, row.planWidth}),
                  (std::array<int, 3>{plan.columns, plan.rows, plan.width}))
            << row.width << " " << row.maxTiles;
        EXPECT_NEAR(row.scale, plan.scale, 1e-12);
    }
    const SKmzTilePlan plan = PlanKmzTiles(0.0, 0.0, 1.0, 1.0, 3072, 3072, 100);
    const std::vector<CDoublePoint> diamond{{1536, 600}, {2472, 1536}, {1536, 2472}, {600, 1536}};
    std::vector<int> reached;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            reached.push_back(TileTouchesOutline(plan, column, row, diamond));
        }
    }
    EXPECT_EQ((std::vector<int>{0, 1, 0, 1, 1, 1, 0, 1, 0}), reached);
}

std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        names.push_back(entry.path().lexically_relative(folder).string() + " " +
                        (entry.is_regular_file() ? ReadBytes(entry.path()) : std::string()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

const char* const kFormats[] = {"--geotiff", "--mbtiles", "--kmz"};

// Each refusal exits 4 with a message that says why, and leaves the folder as it was.
TEST_F(DeviceExportTest, refuses_bad_maps_and_targets_leaving_the_folder_as_it_was) {
    const MapCase& c = kMaps[0];
    const fs::path map = Register(c);
    const fs::path bitmap = dir / (std::string(c.name) + ".bmp");
    // An uncalibrated map: a plain picture imported without georeferencing.
    GDALDriver* mem = GetGDALDriverManager()->GetDriverByName("MEM");
    const DatasetPtr plain(mem->Create("", 40, 30, 3, GDT_Byte, nullptr));
    DatasetPtr(GetGDALDriverManager()->GetDriverByName("PNG")->CreateCopy(
        (dir / "plain.png").c_str(), plain.get(), FALSE, nullptr, nullptr, nullptr));
    ASSERT_EQ(0, RunTool(Args("import", (dir / "plain.png").string())).code);
    fs::copy_file(map, dir / "lost.gpm");
    const std::string lostMap = ReadBytes(map);
    struct Row {
        const char* name;
        fs::path map;
        fs::path target;
        const char* message;
    };
    const Row rows[] = {
        {"uncalibrated", dir / "plain.gpm", dir / "out", "not calibrated"},
        {"target_folder_missing", map, dir / "missing" / "out", "Cannot write"},
        {"target_is_the_bitmap", map, bitmap, "would replace the map bitmap"},
        {"target_is_the_map_file", map, map, "would replace the map bitmap"},
    };
    for (const char* format : kFormats) {
        for (const Row& row : rows) {
            const std::vector<std::string> before = Listing(dir);
            const CliResult r =
                RunTool(Args("export", row.map.string(), format, row.target.string()));
            EXPECT_EQ(4, r.code) << row.name << format;
            EXPECT_NE(r.err.find(row.message), std::string::npos) << row.name << ": " << r.err;
            EXPECT_EQ(before, Listing(dir)) << row.name << format;
        }
    }
    // A map whose bitmap has gone.
    fs::rename(bitmap, dir / "elsewhere.bmp");
    for (const char* format : kFormats) {
        const CliResult r = RunTool(Args("export", map.string(), format, (dir / "out").string()));
        EXPECT_EQ(4, r.code) << format;
        EXPECT_NE(r.err.find("Cannot read the map bitmap"), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir / "out")) << format;
    }
}

// The worker side of Cancel: after its first progress line SIGTERM stops each export, which
// exits 5 and leaves the old target as it was and nothing else.
TEST_F(DeviceExportTest, sigterm_leaves_the_old_target_and_nothing_else) {
    const MapCase big{
        "big",
        2000,
        2000,
        false,
        "32T",
        32632,
        {Mark{0, 0, 500000, 5200000}, {2000, 0, 502000, 5200000}, {2000, 2000, 502000, 5198000}}};
    const fs::path map = Register(big);
    const fs::path out = dir / "out";
    WriteBytes(out, "old");
    const std::vector<std::string> before = Listing(dir);
    // The GeoTIFF straightened, so that its warp is stopped too.
    const std::array<std::array<const char*, 2>, 3> rows{
        {{"--geotiff", "--straighten"}, {"--mbtiles", "--"}, {"--kmz", "--"}}};
    for (const auto& [format, extra] : rows) {
        EXPECT_EQ(5, TerminateAfterFirstProgress(MAPREG_CLI_PATH,
                                                 Args("export", "--progress",
                                                      std::string(format) + "=" + out.string(),
                                                      extra, map.string())))
            << format;
        EXPECT_EQ(before, Listing(dir)) << format;
    }
}

} // namespace

// A map across the 180° meridian (UTM zone 60 south, Fiji): its KMZ runs on past 180°, tile by
// tile, and sits where GDAL warps it. A Web Mercator tile set and the device's latitude/longitude
// grid end at 180°: they are refused, leaving nothing; the default import of the map's GeoTIFF
// takes UTM.
TEST_F(DeviceExportTest, map_across_180_degrees_goes_to_kmz_but_not_where_the_grid_ends_there) {
    const MapCase c{
        "fiji",
        1300,
        300,
        false,
        "60K",
        32760,
        {Mark{0, 0, 760000, 8180000}, {1300, 0, 864000, 8180000}, {1300, 300, 864000, 8156000}}};
    const fs::path map = Register(c);
    const fs::path kmz = dir / "fiji.kmz";
    ASSERT_EQ(0, RunTool(Args("export", map.string(), "--kmz", kmz.string())).code);
    int tiles = 0;
    const DatasetPtr mosaic = Mosaic(kmz, tiles);
    EXPECT_EQ(2, tiles);
    ExpectPlacedLike(*mosaic, *WarpLike(*Reference(dir / "fiji.bmp", c), *mosaic, false), "kmz");

    const fs::path tif = dir / "fiji.tif";
    ASSERT_EQ(0, RunTool(Args("export", map.string(), "--geotiff", tif.string())).code);
    struct Row {
        std::vector<std::string> args;
        int code;
        const char* message;
    };
    const Row rows[] = {
        {Args("export", map.string(), "--mbtiles", (dir / "fiji.mbtiles").string()), 4,
         "where a Web Mercator tile set ends"},
        {Args("rectify", map.string(), "--latlon"), 3, "Straighten it into UTM"},
        {Args("import", tif.string(), "--latlon", "-o", (dir / "ll.bmp").string()), 0,
         "Import it in UTM"},
    };
    for (const Row& row : rows) {
        const std::vector<std::string> before = Listing(dir);
        const CliResult r = RunTool(row.args);
        EXPECT_EQ(row.code, r.code) << row.args[0] << r.err;
        EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
        if (row.code != 0) {
            EXPECT_EQ(before, Listing(dir)) << row.args[0];
        }
    }
    EXPECT_FALSE(fs::exists(dir / "ll.txt")); // imported, but not calibrated
    const CliResult utm = RunTool(Args("import", tif.string(), "-o", (dir / "u.bmp").string()));
    EXPECT_EQ(0, utm.code) << utm.err;
    EXPECT_NE(ReadBytes(dir / "u.txt").find("COORD UTM"), std::string::npos);
}

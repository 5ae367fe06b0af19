// The exports for other programs, read back by GDAL's own tools (gdalinfo, gdaltransform,
// ogr2ogr) on real files in a temporary folder, and mapreg-cli export.
#include "CliHarness.h"
#include "document/CGpsDoc.h"
#include "document/CMapExporter.h"
#include "framework/CAtomicFile.h"
#include "framework/CRecordingPrompt.h"
#include "resources/StringTable.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <ostream>

using namespace mapreg;

namespace {

bool HaveGdal() {
    return std::system("(command -v gdalinfo && command -v gdaltransform && command -v ogr2ogr) "
                       ">/dev/null 2>&1") == 0;
}
const char* const kNoGdal = "GDAL tools are not installed (scripts/install-deps installs gdal-bin)";

// Standard output of a shell command (its errors are dropped).
std::string Shell(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    for (int ch = 0; pipe != nullptr && (ch = std::fgetc(pipe)) != EOF;) {
        out += static_cast<char>(ch);
    }
    if (pipe != nullptr) {
        ::pclose(pipe);
    }
    return out;
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

QJsonObject GdalInfo(const fs::path& path) {
    const std::string json = Shell("gdalinfo -json " + Quoted(path));
    return QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
}

// gdaltransform prints 15 significant digits: allow for that on top of 1e-9 of a unit.
double Tolerance(double value) {
    return 1e-9 + std::fabs(value) * 1e-14;
}

struct CalibrationCase {
    const char* name;
    int width;
    int height;
    int coordType;
    int zone;
    char letter;
    std::array<CDoublePoint, 3> picture;
    std::array<CDoublePoint, 3> world;
    int epsg;
};
// Test names carry the case's name, not the bytes of the case.
void PrintTo(const CalibrationCase& c, std::ostream* pOut) {
    *pOut << c.name;
}

// North-up and rotated maps, in latitude/longitude and in UTM on both hemispheres.
// clang-format off
const CalibrationCase kCases[] = {
    {"latlon_north_up", 1000, 800, 0, 0, '?', {CDoublePoint{0, 0}, {1000, 0}, {1000, 800}},
     {CDoublePoint{-123.6, 48.4}, {-123.4, 48.4}, {-123.4, 48.2}}, 4326},
    {"latlon_rotated", 640, 480, 0, 0, '?', {CDoublePoint{40, 30}, {600, 60}, {100, 450}},
     {CDoublePoint{10.1, 47.9}, {10.35, 47.88}, {10.11, 47.71}}, 4326},
    {"utm_zone_10U_north", 800, 600, 1, 10, 'U', {CDoublePoint{10, 20}, {790, 40}, {400, 580}},
     {CDoublePoint{462000, 5346000}, {470000, 5345800}, {466100, 5340100}}, 32610},
    {"utm_zone_33H_south", 500, 500, 1, 33, 'H', {CDoublePoint{0, 0}, {500, 0}, {0, 500}},
     {CDoublePoint{300000, 6200000}, {310000, 6200000}, {300000, 6190000}}, 32733},
};
// clang-format on

class ExportFiles : public CliFolderTest {
protected:
    // A document with the case's bitmap loaded and calibrated.
    void LoadCase(const CalibrationCase& c) {
        bitmap = (dir / "city.bmp").string();
        ASSERT_TRUE(WritePlainBitmap(bitmap, QSize(c.width, c.height), QColor(0x336699)));
        ASSERT_EQ(doc.LoadBitmapFile(bitmap), 0);
        ASSERT_EQ(doc.Calibrate({static_cast<CoordType>(c.coordType), c.world, c.picture, c.zone,
                                 c.letter})
                      .code,
                  0);
    }

    CMapExporter Exporter() { return CMapExporter(CMapExporter::SourceOf(doc)); }

    std::string bitmap;
    CRecordingPrompt prompt;
    CGpsDoc doc{prompt};
};

class ExportTest : public ExportFiles, public ::testing::WithParamInterface<CalibrationCase> {};

TEST_P(ExportTest, gdal_reads_world_file_and_ozi_map_agreeing_with_the_transform) {
    if (!HaveGdal()) {
        GTEST_SKIP() << kNoGdal;
    }
    const CalibrationCase& c = GetParam();
    LoadCase(c);
    CMapExporter exporter = Exporter();
    ASSERT_TRUE(exporter.ExportWorldFile().done);
    EXPECT_EQ(exporter.WrittenFiles(),
              Args((dir / "city.bpw").string(), (dir / "city.bmp.aux.xml").string()));
    const std::string wkt =
        GdalInfo(bitmap)["coordinateSystem"].toObject()["wkt"].toString().toStdString();
    EXPECT_NE(wkt.find("ID[\"EPSG\"," + std::to_string(c.epsg) + "]"), std::string::npos) << wkt;

    // In another folder: the .map names the picture by its full path.
    fs::create_directories(dir / "apps");
    const fs::path map = dir / "apps" / "city.map";
    ASSERT_TRUE(Exporter().ExportOziMap(map.string()).done);
    const QJsonObject info = GdalInfo(map);
    ASSERT_EQ(info["driverShortName"].toString().toStdString(), "MAP");
    EXPECT_EQ(info["size"].toArray()[0].toInt(), c.width);
    EXPECT_EQ(info["size"].toArray()[1].toInt(), c.height);
    const QString mapWkt = info["coordinateSystem"].toObject()["wkt"].toString();
    EXPECT_NE(mapWkt.indexOf(c.coordType == 0 ? "GEOGCRS" : "Transverse Mercator"), -1)
        << mapWkt.toStdString();
    const QJsonArray gt = info["geoTransform"].toArray(); // GDAL fits it to the three points
    ASSERT_EQ(gt.size(), 6);

    // Corners, marks, inner and outer points, whole and fractional, through the world file and
    // the .map. The .map's marks carry latitude/longitude from our UTM series, which GDAL
    // projects with PROJ's exact Transverse Mercator: the two agree to the series' accuracy, a
    // millimetre near the central meridian and a few centimetres 200 km from it (the 33H case).
    std::vector<CDoublePoint> samples = {{0, 0},
                                         {double(c.width), double(c.height)},
                                         {c.width / 2.0 + 0.25, c.height / 4.0 + 0.125},
                                         {-10, c.height + 10.0}};
    samples.insert(samples.end(), c.picture.begin(), c.picture.end());
    std::string input;
    for (const CDoublePoint& p : samples) {
        input += std::to_string(p.x) + " " + std::to_string(p.y) + "\n";
    }
    WriteBytes(dir / "pixels.txt", input);
    std::istringstream lines(
        Shell("gdaltransform -output_xy " + Quoted(bitmap) + " < " + Quoted(dir / "pixels.txt")));
    const double tolerance = c.coordType == 0 ? 1e-9 : 0.05;
    for (const CDoublePoint& p : samples) {
        CDoublePoint gdal{std::numeric_limits<double>::quiet_NaN(), 0};
        lines >> gdal.x >> gdal.y;
        const CDoublePoint ours = doc.PictureToWorld(p);
        EXPECT_NEAR(gdal.x, ours.x, Tolerance(ours.x)) << "pixel " << p.x << " " << p.y;
        EXPECT_NEAR(gdal.y, ours.y, Tolerance(ours.y)) << "pixel " << p.x << " " << p.y;
        EXPECT_NEAR(gt[0].toDouble() + gt[1].toDouble() * p.x + gt[2].toDouble() * p.y, ours.x,
                    tolerance)
            << ".map, pixel " << p.x << " " << p.y;
        EXPECT_NEAR(gt[3].toDouble() + gt[4].toDouble() * p.x + gt[5].toDouble() * p.y, ours.y,
                    tolerance)
            << ".map, pixel " << p.x << " " << p.y;
    }
}

INSTANTIATE_TEST_SUITE_P(Calibrations, ExportTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(ExportFiles, ogr_reads_back_gpx_waypoint_names_and_coordinates) {
    if (!HaveGdal()) {
        GTEST_SKIP() << kNoGdal;
    }
    CExportSource source;
    // Latitude, longitude. 180 E is written as 180 W; entries 3 and 5 have no position.
    source.waypoints = {{48.25, -123.5},
                        {-33.123456789012345, 180.0},
                        {std::numeric_limits<double>::quiet_NaN(), 0.0},
                        {1e-7, 179.999999999},
                        {90.5, 10.0}};
    const fs::path gpx = dir / "waypoints.gpx";
    const FileResult written = CMapExporter(source).ExportGpx(gpx.string());
    ASSERT_TRUE(written.done);
    ASSERT_EQ(written.notices.size(), 1u);
    EXPECT_EQ(written.notices[0].id, IDS_EXPORT_WAYPOINTS_LEFT_OUT);
    EXPECT_EQ(written.notices[0].text.substr(0, 2), "2 ");

    // Longitude, latitude and name of each waypoint read back, one line each after the header.
    const std::string csv = Shell("ogr2ogr -f CSV /vsistdout/ " + Quoted(gpx) +
                                  " waypoints -select name -lco GEOMETRY=AS_XY");
    EXPECT_EQ(csv.substr(csv.find('\n') + 1), "-123.5,48.25,WP001\n-180,-33.1234567890123,WP002\n"
                                              "179.999999999,0.0000001,WP004\n");
    const std::string text = ReadBytes(gpx);
    EXPECT_NE(text.find("<gpx version=\"1.1\" creator=\""), std::string::npos);
    EXPECT_NE(text.find("xmlns=\"http://www.topografix.com/GPX/1/1\""), std::string::npos);
}

TEST_F(ExportFiles, aux_xml_keeps_other_gdal_contents_and_replaces_the_coordinate_system) {
    LoadCase(kCases[2]);
    const fs::path aux = dir / "city.bmp.aux.xml";
    const std::string kept =
        "  <Metadata>\n    <MDI key=\"NOTE\">kept &lt;here&gt;</MDI>\n  </Metadata>\n"
        "  <PAMRasterBand band=\"1\"><Description>a > b</Description></PAMRasterBand>\n"
        "</PAMDataset>\n";
    WriteBytes(aux, "<PAMDataset>\n  <SRS>LOCAL_CS[\"old\"]</SRS>\n" + kept);
    ASSERT_TRUE(Exporter().ExportWorldFile().done);
    EXPECT_EQ(ReadBytes(aux), "<PAMDataset>\n  <SRS dataAxisToSRSAxisMapping=\"1,2\">" +
                                  *CoordinateSystemWkt(CoordType::Utm, 10, 'U') + "</SRS>\n" +
                                  kept);
}

TEST_F(ExportFiles, failed_exports_name_the_file_say_why_and_keep_previous_contents) {
    LoadCase(kCases[0]);
    fs::create_directories(dir / "city.bpw");
    WriteBytes(dir / "full.map", "previous");
    const struct {
        fs::path file;
        unsigned reason;
        bool bDiskFull;
    } rows[] = {
        {dir / "city.bpw", IDS_REASON_IS_FOLDER, false}, // world file name taken by a folder
        {dir / "full.map", IDS_REASON_DISK_FULL, true},
        {dir / "city.bmp", IDS_TEXT_FILE_WOULD_REPLACE, false}, // map file over the bitmap
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file.string());
        const std::string before = fs::is_regular_file(row.file) ? ReadBytes(row.file) : "";
        if (row.bDiskFull) {
            CAtomicFile::SetFailureHookForTesting([](const std::string&) { return ENOSPC; });
        }
        CMapExporter exporter = Exporter();
        const FileResult result = row.file.extension() == ".bpw"
                                      ? exporter.ExportWorldFile()
                                      : exporter.ExportOziMap(row.file.string());
        CAtomicFile::SetFailureHookForTesting(nullptr);
        EXPECT_FALSE(result.done);
        ASSERT_EQ(result.notices.size(), 1u);
        const std::string& text = result.notices[0].text;
        EXPECT_NE(text.find(row.file.string()), std::string::npos) << text;
        if (row.reason == IDS_TEXT_FILE_WOULD_REPLACE) {
            EXPECT_EQ(result.notices[0].id, row.reason);
        } else {
            EXPECT_NE(text.find(LoadStringId(row.reason)), std::string::npos) << text;
        }
        if (fs::is_regular_file(row.file)) {
            EXPECT_EQ(ReadBytes(row.file), before);
        }
        EXPECT_FALSE(fs::exists(dir / "city.bmp.aux.xml"));
    }
}

TEST_F(ExportFiles, cli_export_writes_beside_the_bitmap_and_exits_2_on_misuse_and_4_on_failure) {
    LoadCase(kCases[0]);
    const std::string map = (dir / "city.gpm").string();
    ASSERT_TRUE(doc.DoSave(map));
    CGpsDoc uncalibrated(prompt);
    ASSERT_EQ(uncalibrated.LoadBitmapFile(bitmap), 0);
    ASSERT_TRUE(uncalibrated.DoSave((dir / "plain.gpm").string()));
    WriteBytes(dir / "default.gpm", ""); // an empty map file is the built-in world map
    const std::string other = (dir / "other.map").string();
    const struct {
        std::vector<std::string> args;
        int code;
        std::string out;
        unsigned message;
    } rows[] = {
        {Args("export", map, "--world-file"), 0,
         (dir / "city.bpw").string() + "\n" + (dir / "city.bmp.aux.xml").string() + "\n", 0},
        {Args("export", map, "--ozi-map"), 0, (dir / "city.map").string() + "\n", 0},
        {Args("export", map, "--ozi-map", "-o", other), 0, other + "\n", 0},
        {Args("export", map), 2, "", 0},
        {Args("export", map, "--world-file", "--ozi-map"), 2, "", 0},
        {Args("export", map, "--world-file", "-o", "x.bpw"), 2, "", 0},
        {Args("export", (dir / "absent.gpm").string(), "--ozi-map"), 4, "", IDS_REASON_NOT_FOUND},
        {Args("export", (dir / "default.gpm").string(), "--ozi-map"), 4, "",
         IDS_EXPORT_NEEDS_BITMAP},
        {Args("export", (dir / "plain.gpm").string(), "--world-file"), 4, "",
         IDS_EXPORT_NOT_CALIBRATED},
    };
    for (const auto& row : rows) {
        const CliResult r = RunTool(row.args);
        EXPECT_EQ(r.code, row.code) << row.args[1] << " " << r.err;
        EXPECT_EQ(r.out, row.out) << row.args[1];
        if (row.message != 0) {
            EXPECT_NE(r.err.find(LoadStringId(row.message)), std::string::npos) << r.err;
        }
    }
    EXPECT_TRUE(ReadBytes(other).starts_with("OziExplorer Map Data File Version 2.2"));
    // The bitmap is gone: its size cannot be known.
    fs::remove(dir / "city.bmp");
    const CliResult r = RunTool(Args("export", map, "--world-file"));
    EXPECT_EQ(r.code, 4);
    EXPECT_NE(r.err.find("city.bmp"), std::string::npos) << r.err;
}

TEST(ExportFormats, world_file_names_follow_the_bitmap_extension) {
    const std::pair<const char*, const char*> rows[] = {
        {"/maps/city.bmp", "/maps/city.bpw"}, {"/maps/CITY.BMP", "/maps/CITY.BPW"},
        {"/maps/a.tiff", "/maps/a.tfw"},      {"/maps.old/city", "/maps.old/city.wld"},
        {"/maps/x.j", "/maps/x.wld"},
    };
    for (const auto& [bitmap, world] : rows) {
        EXPECT_EQ(WorldFileName(bitmap), world);
    }
}

TEST(ExportFormats, ozi_minutes_carry_into_whole_degrees) {
    CExportSource source;
    source.bitmapPath = "/maps/city.bmp";
    source.width = 100;
    source.height = 100;
    source.calibrated = true;
    // The first mark sits a hair below 49 N and a hair east of 2 W.
    source.transform.SetControlPoints(
        {CDoublePoint{-1.99999999999999, 48.99999999999999}, {-1.9, 49.0}, {-1.9, 48.9}},
        {CDoublePoint{0, 0}, {100, 0}, {100, 100}});
    const std::string text = *BuildOziMap(source, source.bitmapPath);
    EXPECT_NE(text.find("Point01,xy,    0,    0,in, deg,  49,  0.00000000,N,   2,  0.00000000,W,"),
              std::string::npos)
        << text;
}

// The coordinate system goes into an existing .aux.xml byte for byte around it: the first SRS
// child of the root is replaced (an SRS in a comment or deeper down is not it), or one is added
// before the root's end tag; bytes that are not UTF-8 are kept; a file that is no well-formed
// dataset description is replaced whole.
TEST(ExportFormats, aux_xml_merge_keeps_every_other_byte) {
    const std::string srs = "<SRS dataAxisToSRSAxisMapping=\"2,1\">W</SRS>";
    const std::string fresh = "<PAMDataset>\n  " + srs + "\n</PAMDataset>\n";
    const std::pair<std::string, std::string> rows[] = {
        {"", fresh},
        {"<PAMDataset><SRS/></PAMDataset>", "<PAMDataset>" + srs + "</PAMDataset>"},
        {"<?xml version=\"1.0\"?>\n<PAMDataset>\n<!-- <SRS>x</SRS> -->\n<B><SRS>deep</SRS></B>\n"
         "<SRS a='>'>old</SRS><SRS>second</SRS>\n</PAMDataset>\n<!-- tail -->\n",
         "<?xml version=\"1.0\"?>\n<PAMDataset>\n<!-- <SRS>x</SRS> -->\n<B><SRS>deep</SRS></B>\n" +
             srs + "<SRS>second</SRS>\n</PAMDataset>\n<!-- tail -->\n"},
        {"<PAMDataset><D>caf\xe9 \xff</D></PAMDataset>",
         "<PAMDataset><D>caf\xe9 \xff</D>  " + srs + "\n</PAMDataset>"},
        {"<Other><SRS>x</SRS></Other>", fresh},
        {"<PAMDataset><SRS>unclosed</PAMDataset>", fresh},
        {"<PAMDataset>", fresh},
    };
    for (const auto& [existing, merged] : rows) {
        EXPECT_EQ(BuildAuxXml("W", CoordType::LatLon, existing), merged) << existing;
    }
}

} // namespace

// mapreg-cli import on rasters that each test makes with GDAL: conversion checked pixel by
// pixel through our own bitmap decoder, calibration checked against the source geotransform.

#include "RasterMaker.h"

#include "coords/UtmProjection.h"
#include "display/CBmpDecoder.h"
#include "document/CMapFile.h"
#include "resources/StringTable.h"

#include <QFile>
#include <gdal_priv.h>
#include <geodesic.h>
#include <ogr_spatialref.h>

#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <future>
#include <iterator>
#include <map>
#include <memory>
#include <numbers>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using namespace mapreg;

namespace {

QImage Decode(const fs::path& bmp, int& bitCount) {
    QFile file(QString::fromStdString(bmp.string()));
    QImage image;
    CBmpDecoder::ColorInfo colors;
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(CBmpDecoder::Status::Ok, CBmpDecoder::Decode(file, image, colors)) << bmp;
    bitCount = colors.nBitCount;
    return image;
}

CDoublePoint Apply(const std::vector<double>& gt, double x, double y) {
    return {gt[0] + x * gt[1] + y * gt[2], gt[3] + x * gt[4] + y * gt[5]};
}

using ImportTest = CliFolderTest;

// Every picture form reaches the bitmap with the colours a viewer shows for it.
TEST_F(ImportTest, converts_every_picture_form_to_the_colours_it_shows) {
    const auto grey16 = [](int x, int y, int) { return 1000.0 + 40.0 * x + 50.0 * y; };
    const auto rgba = [](int x, int y, int band) {
        return band == 4 ? x * 50.0 : Pattern(x, y, band);
    };
    const auto band = [](int x, int y, int b) { return int(Pattern(x, y, b)); };
    // 16-bit grey is stretched over its range; alpha is blended over white.
    const auto grey = [](int v) { return qRgb(v, v, v); };
    const auto palette = [&](int x, int y) {
        return qRgb(band(x, y, 1), 255 - band(x, y, 1), band(x, y, 1) / 2);
    };
    const auto blend = [&](int x, int y, int b) {
        const double a = rgba(x, y, 4) / 255.0;
        return int(std::lround(Pattern(x, y, b) * a + 255.0 * (1.0 - a)));
    };
    struct Case {
        Raster raster;
        Sample sample;
        int bitCount;
        std::function<QRgb(int x, int y)> expected;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {{"GTiff", "rgb.tif", 37, 5, 3}, Pattern, 24, [&](int x, int y) { return qRgb(band(x, y, 1), band(x, y, 2), band(x, y, 3)); }},
        {{"JPEG", "grey.jpg", 9, 4, 1}, [](int, int, int) { return 90.0; }, 8, [&](int, int) { return grey(90); }},
        {{"GTiff", "palette.tif", 11, 6, 1, GDT_Byte, {}, {}, true}, Pattern, 8, palette},
        {{"GTiff", "palette16.tif", 11, 6, 1, GDT_UInt16, {}, {}, true}, Pattern, 24, palette}, // colours, not indices
        {{"GTiff", "grey16.tif", 6, 3, 1, GDT_UInt16}, grey16, 8, [&](int x, int y) { return grey(int(std::lround((grey16(x, y, 1) - 1000.0) * 255.0 / 300.0))); }},
        {{"PNG", "rgba.png", 6, 2, 4}, rgba, 24, [&](int x, int y) { return qRgb(blend(x, y, 1), blend(x, y, 2), blend(x, y, 3)); }},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raster.name);
        const fs::path source = MakeRaster(dir, c.raster, c.sample);
        const CliResult r = RunTool(Args("import", source.string()));
        ASSERT_EQ(r.code, 0) << r.err;
        const fs::path bmp = fs::path(source).replace_extension(".bmp");
        EXPECT_EQ(r.out, bmp.string() + "\n" + fs::path(bmp).replace_extension(".gpm").string() +
                             "\nuncalibrated\n");
        int bitCount = 0;
        const QImage image = Decode(bmp, bitCount);
        EXPECT_EQ(bitCount, c.bitCount);
        ASSERT_EQ(image.size(), QSize(c.raster.width, c.raster.height));
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                ASSERT_EQ(image.pixel(x, y), c.expected(x, y)) << x << "," << y;
            }
        }
    }
}

// The marks sit on the corner pixels with the source's own coordinates there. The user's
// --latlon/--utm choice overrides the source's system: the marks are then the source's corners
// converted with our own UTM series, which agrees with PROJ's exact Transverse Mercator to well
// within a metre this near the zone.
TEST_F(ImportTest, calibrates_from_the_georeferencing_on_the_corner_pixels) {
    struct Case {
        Raster raster;
        std::vector<std::string> options;
        int coordType;
        std::string zone;                // zone and band letter
        double tolerance;                // 1e-9 degree or 1 mm in the source's own system
        bool fromZone33S;                // converted from UTM zone 33 south by our series
        std::string deviation = "0.000"; // from affine, in metres
        // The device's placement against the source, metres; above a pixel it is warned of.
        // UTM sources in their own zone are off only by our series against PROJ's.
        std::string deviceError = "0.000";
        bool warned = false;
    };
    const std::vector<double> utm33s{780000, 30, 0, 8000000, 0, -30};
    // clang-format off
    const std::vector<Case> cases = {
        {{"GTiff", "north-up.tif", 40, 30, 3, GDT_Byte, {10.0, 0.001, 0, 50.0, 0, -0.002}, "EPSG:4326"}, {}, 0, "", 1e-9, false},
        {{"GTiff", "rotated.tif", 40, 30, 1, GDT_Byte, {10.0, 0.001, 0.0004, 50.0, 0.0003, -0.002}, "EPSG:4326"}, {}, 0, "", 1e-9, false, "0.000", "1588.515", true},
        {{"GTiff", "utm10n.tif", 50, 40, 1, GDT_Byte, {500000, 10, 0, 5000000, 0, -10}, "EPSG:32610"}, {}, 1, "10T", 1e-3, false},
        {{"GTiff", "utm33s.tif", 50, 40, 1, GDT_Byte, utm33s, "EPSG:32733"}, Args("--utm"), 1, "33K", 1e-3, false, "0.000", "0.074"},
        {{"PNG", "world.png", 20, 10, 3, GDT_Byte, {-3.0, 0.01, 0, 40.0, 0, -0.01}}, {}, 0, "", 1e-9, false},
        {{"GTiff", "utm33s.tif", 50, 40, 1, GDT_Byte, utm33s, "EPSG:32733"}, Args("--latlon"), 0, "", 1e-6, true, "0.093", "27.559"},
        {{"GTiff", "utm33s.tif", 50, 40, 1, GDT_Byte, utm33s, "EPSG:32733"}, Args("--utm", "34"), 1, "34K", 0.5, true, "0.028", "62.559", true},
    };
    // clang-format on
    // The world file and its .prj beside the PNG, as a GIS writes them.
    const auto withWorldFile = [&](const Case& c) {
        const fs::path png = MakeRaster(dir, c.raster);
        fs::remove(fs::path(png).concat(".aux.xml"));
        WriteBytes(
            fs::path(png).replace_extension(".prj"),
            "GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\",SPHEROID[\"WGS_1984\",6378137.0,"
            "298.257223563]],PRIMEM[\"Greenwich\",0.0],UNIT[\"Degree\",0.0174532925199433]]");
        return png;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raster.name + ::testing::PrintToString(c.options));
        const fs::path source = c.raster.srs.empty() ? withWorldFile(c) : MakeRaster(dir, c.raster);
        std::vector<std::string> args = Args("import", source.string());
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliResult r = RunTool(args);
        ASSERT_EQ(r.code, 0) << r.err;
        const fs::path bmp = fs::path(source).replace_extension(".bmp");
        const fs::path map = fs::path(bmp).replace_extension(".gpm");
        EXPECT_EQ(r.out, bmp.string() + "\n" + map.string() + "\n" +
                             fs::path(bmp).replace_extension(".txt").string() + "\ndeviation_m=" +
                             c.deviation + "\ndevice_error_m=" + c.deviceError + "\n");
        EXPECT_EQ(r.err.starts_with("Warning: the device will show this map up to"), c.warned)
            << r.err;
        CMapFile::Contents contents;
        ASSERT_EQ(CMapFile::Load(map.string(), contents).status, CMapFile::Status::Ok);
        EXPECT_TRUE(contents.calibrated);
        const CCalibration& calibration = contents.calibration;
        EXPECT_EQ(CoordTypeNumber(calibration.coordType), c.coordType);
        if (c.coordType == 1) {
            EXPECT_EQ(std::to_string(calibration.zone) + calibration.letter, c.zone);
        }
        const int w = c.raster.width;
        const int h = c.raster.height;
        const std::array<CDoublePoint, 3> pixels{CDoublePoint{0, 0}, CDoublePoint{w - 1.0, 0},
                                                 CDoublePoint{0, h - 1.0}};
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(calibration.picture[i].x, pixels[i].x);
            EXPECT_EQ(calibration.picture[i].y, pixels[i].y);
            CDoublePoint world = Apply(c.raster.gt, pixels[i].x, pixels[i].y);
            if (c.fromZone33S) {
                double lat = 0;
                double lon = 0;
                UtmToLatLon(kWgs84SemiMajorAxis, kWgs84Flattening, 33, 'K', world.x, world.y, lat,
                            lon);
                world = {lon, lat};
                if (c.coordType == 1) { // the series adds half a metre to easting and northing
                    LatLonToUtmInZone(kWgs84SemiMajorAxis, kWgs84Flattening, calibration.zone, lat,
                                      lon, world.x, world.y);
                    world = {world.x - 0.5, world.y - 0.5};
                }
            }
            EXPECT_NEAR(calibration.world[i].x, world.x, c.tolerance) << "mark " << i;
            EXPECT_NEAR(calibration.world[i].y, world.y, c.tolerance) << "mark " << i;
        }
    }
}

// Web Mercator over 6 x 8 degrees is far from affine in UTM. The deviation of the three marks
// matches one computed here with the spherical Mercator inverse and our own UTM series; the device
// error matches one computed here through OGR alone, from the registration file as the device
// reads it, and is warned of.
TEST_F(ImportTest, reports_deviation_and_device_error_of_a_large_web_mercator_map) {
    constexpr double R = 6378137.0;
    constexpr double kDeg = std::numbers::pi / 180.0;
    const double x0 = 6.0 * kDeg * R;
    const double x1 = 12.0 * kDeg * R;
    const double y0 = R * std::log(std::tan(std::numbers::pi / 4 + 52.0 * kDeg / 2));
    const double y1 = R * std::log(std::tan(std::numbers::pi / 4 + 44.0 * kDeg / 2));
    const int w = 600;
    const int h = 900;
    const std::vector<double> gt{x0, (x1 - x0) / w, 0, y0, 0, (y1 - y0) / h};
    const fs::path source =
        MakeRaster(dir, {"GTiff", "mercator.tif", w, h, 1, GDT_Byte, gt, "EPSG:3857"},
                   [](int, int, int) { return 0.0; });
    const CliResult r = RunTool(Args("import", source.string()));
    ASSERT_EQ(r.code, 0) << r.err;

    const auto utm = [&](double px, double py) {
        const CDoublePoint m = Apply(gt, px, py);
        const double lat = (2.0 * std::atan(std::exp(m.y / R)) - std::numbers::pi / 2) / kDeg;
        CDoublePoint p;
        LatLonToUtmInZone(kWgs84SemiMajorAxis, kWgs84Flattening, 32, lat, m.x / R / kDeg, p.x, p.y);
        return p;
    };
    const CDoublePoint m0 = utm(0, 0);
    const CDoublePoint m1 = utm(w - 1, 0);
    const CDoublePoint m2 = utm(0, h - 1);
    double expected = 0.0;
    for (int j = 0; j <= 32; ++j) {
        for (int i = 0; i <= 32; ++i) {
            const double u = w * i / 32.0 / (w - 1);
            const double v = h * j / 32.0 / (h - 1);
            const CDoublePoint t = utm(w * i / 32.0, h * j / 32.0);
            expected =
                std::max(expected, std::hypot(m0.x + u * (m1.x - m0.x) + v * (m2.x - m0.x) - t.x,
                                              m0.y + u * (m1.y - m0.y) + v * (m2.y - m0.y) - t.y));
        }
    }

    // The device: corners from the registration file, linear between, in UTM 32 north; the
    // truth: the geotransform in Web Mercator; both to WGS 84 through OGR, distances by PROJ's
    // geodesic on the ellipsoid.
    std::ifstream txt(fs::path(source).replace_extension(".txt"));
    std::map<std::string, double> corner;
    for (std::string line; std::getline(txt, line);) {
        const std::size_t tab = line.find('\t');
        if (line.find("LEFT") != std::string::npos || line.find("RIGHT") != std::string::npos) {
            corner[line.substr(0, tab)] = std::stod(line.substr(tab + 1));
        }
    }
    OGRSpatialReference mercator, utm32, wgs84;
    mercator.importFromEPSG(3857);
    utm32.importFromEPSG(32632);
    wgs84.importFromEPSG(4326);
    for (OGRSpatialReference* srs : {&mercator, &utm32, &wgs84}) {
        srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    }
    std::unique_ptr<OGRCoordinateTransformation> fromMercator(
        OGRCreateCoordinateTransformation(&mercator, &wgs84));
    std::unique_ptr<OGRCoordinateTransformation> fromUtm(
        OGRCreateCoordinateTransformation(&utm32, &wgs84));
    geod_geodesic geodesic;
    geod_init(&geodesic, 6378137.0, 1 / 298.257223563);
    double deviceError = 0.0;
    for (int j = 0; j <= 32; ++j) {
        for (int i = 0; i <= 32; ++i) {
            const CDoublePoint t = Apply(gt, w * i / 32.0, h * j / 32.0);
            double tx = t.x, ty = t.y;
            double dx = corner["TOP LEFT EASTING:"] +
                        i / 32.0 * (corner["BOT RIGHT EASTING:"] - corner["TOP LEFT EASTING:"]);
            double dy = corner["TOP LEFT NORTHING:"] +
                        j / 32.0 * (corner["BOT RIGHT NORTHING:"] - corner["TOP LEFT NORTHING:"]);
            ASSERT_TRUE(fromMercator->Transform(1, &tx, &ty) && fromUtm->Transform(1, &dx, &dy));
            double metres = 0.0;
            geod_inverse(&geodesic, ty, tx, dy, dx, &metres, nullptr, nullptr);
            deviceError = std::max(deviceError, metres);
        }
    }
    const auto printed = [&](const std::string& key) {
        const std::size_t at = r.out.find("\n" + key + "=");
        return at == std::string::npos ? -1.0 : std::stod(r.out.substr(at + key.size() + 2));
    };
    EXPECT_GT(expected, 1000.0);
    EXPECT_NEAR(printed("deviation_m"), expected, 0.01) << r.out;
    EXPECT_NEAR(printed("device_error_m"), deviceError, 1e-3 * deviceError) << r.out;
    EXPECT_NE(r.err.find("Warning: the device will show this map up to"), std::string::npos)
        << r.err;
    CMapFile::Contents contents;
    ASSERT_EQ(CMapFile::Load(fs::path(source).replace_extension(".gpm").string(), contents).status,
              CMapFile::Status::Ok);
    EXPECT_EQ(std::to_string(contents.calibration.zone) + contents.calibration.letter, "32U");
}

// Inputs that must be refused leave no file behind and say why, with the documented exit code.
TEST_F(ImportTest, refuses_bad_inputs_without_leaving_files) {
    const fs::path good = MakeRaster(dir, {"GTiff", "good.tif", 300, 200, 3});
    const fs::path cut = dir / "cut.tif";
    fs::copy_file(good, cut);
    fs::resize_file(cut, fs::file_size(good) / 2);
    // A sparse file of a few bytes that claims 40 gigapixels.
    GDALDataset* huge = GetGDALDriverManager()->GetDriverByName("GTiff")->Create(
        (dir / "huge.tif").c_str(), 200000, 200000, 1, GDT_Byte,
        std::array<const char*, 2>{"SPARSE_OK=TRUE", nullptr}.data());
    GDALClose(huge);
    const fs::path degenerate = MakeRaster(
        dir, {"GTiff", "flat.tif", 10, 10, 1, GDT_Byte, {10.0, 0, 0, 50.0, 0, 0}, "EPSG:4326"});
    WriteBytes(dir / "plain.txt", "not a picture");
    WriteBytes(dir / "file", "");
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
    };
    const std::string out = (dir / "out.bmp").string();
    const std::vector<Case> cases = {
        {Args("import", cut.string(), "-o", out), 4, "Cannot read"},
        {Args("import", (dir / "huge.tif").string(), "-o", out), 4, "too large"},
        {Args("import", (dir / "plain.txt").string(), "-o", out), 4, "Cannot read"},
        {Args("import", degenerate.string(), "-o", out), 3, "cannot be used"},
        {Args("import", good.string(), "-o", (dir / "file" / "out.bmp").string()), 4,
         "Cannot write"},
        {Args("import", good.string(), "--utm", "61", "-o", out), 2, "not a zone"},
        {Args("import", good.string(), "--latlon", "--utm", "-o", out), 2, "excludes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[1]);
        const CliResult r = RunTool(c.args);
        EXPECT_EQ(r.code, c.code) << r.out << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 6)
        << "only the inputs remain, no output of any case";
}

// Pictures whose georeferencing cannot become a calibration are still imported, uncalibrated, with
// a message that says why; a picture too thin for three marks is kept for a calibration by hand
// (the corner marks are refused, exit 3).
TEST_F(ImportTest, pictures_that_cannot_be_calibrated_are_kept_with_the_reason) {
    struct Case {
        Raster raster;
        int code;
        std::string message; // %1: the source's path
    };
    const std::string geos = "+proj=geos +h=35785831 +lon_0=0 +datum=WGS84 +units=m";
    // clang-format off
    const std::vector<Case> cases = {
        {{"GTiff", "local.tif", 10, 10, 1, GDT_Byte, {0, 1, 0, 0, 0, -1}, "LOCAL_CS[\"grid\"]"}, 0,
         "The coordinate system of %1 is not known, so the map is not calibrated.  Calibrate it by hand."},
        {{"GTiff", "disk.tif", 20, 20, 1, GDT_Byte, {-6e6, 6e5, 0, 6e6, 0, -6e5}, geos}, 0,
         "The corners of %1 lie outside the area its coordinate system covers, so the map is not calibrated.  Calibrate it by hand."},
        {{"GTiff", "strip.tif", 300, 1, 1, GDT_Byte, {10.0, 0.001, 0, 50.0, 0, -0.001}, "EPSG:4326"}, 3,
         "The picture %1 (300 x 1 pixels) is too narrow for three calibration marks.  The bitmap is kept for a calibration by hand."},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raster.name);
        const fs::path source = MakeRaster(dir, c.raster);
        const CliResult r = RunTool(Args("import", source.string()));
        EXPECT_EQ(r.code, c.code);
        EXPECT_TRUE(r.out.ends_with(".gpm\nuncalibrated\n")) << r.out;
        EXPECT_EQ(r.err, ExpandPercent1(c.message, source.string()) + "\n");
        EXPECT_TRUE(fs::exists(fs::path(source).replace_extension(".bmp")));
    }
}

// A raster georeferenced by control points is calibrated from their least-squares fit, whose
// largest residual is printed; fewer than three leave it uncalibrated, with a message. Four UTM
// points on a rectangle of 10 m pixels, moved 10 m east and west in turn: a twist no affine
// mapping has, so the fit is the rectangle and misses each point by 10 m on the grid (10.004 m on
// the ellipsoid at scale 0.9996).
TEST_F(ImportTest, calibrates_control_point_rasters_from_their_fit) {
    struct Case {
        const char* name;
        std::vector<std::array<double, 4>> gcps; // pixel, line, easting, northing
        std::string tail;                        // the end of standard output
        std::string err;
    };
    // clang-format off
    const std::vector<Case> cases = {
        {"four.tif", {{0, 0, 500010, 5000000}, {100, 0, 500990, 5000000}, {0, 80, 499990, 4999200}, {100, 80, 501010, 4999200}},
         "\ndeviation_m=0.000\ndevice_error_m=0.000\ngcp_residual_m=10.004\n", ""},
        {"two.tif", {{0, 0, 500000, 5000000}, {100, 0, 501000, 5000000}}, ".gpm\nuncalibrated\n",
         "The picture %1 is georeferenced by fewer than three usable control points, so the map is not calibrated.  Calibrate it by hand.\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path source = MakeRaster(dir, {"GTiff", c.name, 100, 80, 1});
        GDALDataset* ds = GDALDataset::Open(source.c_str(), GDAL_OF_RASTER | GDAL_OF_UPDATE);
        std::vector<GDAL_GCP> gcps(c.gcps.size());
        GDALInitGCPs(int(gcps.size()), gcps.data());
        for (std::size_t i = 0; i < gcps.size(); ++i) {
            gcps[i].dfGCPPixel = c.gcps[i][0];
            gcps[i].dfGCPLine = c.gcps[i][1];
            gcps[i].dfGCPX = c.gcps[i][2];
            gcps[i].dfGCPY = c.gcps[i][3];
        }
        OGRSpatialReference utm;
        utm.importFromEPSG(32633);
        ASSERT_EQ(CE_None, ds->SetGCPs(int(gcps.size()), gcps.data(), &utm));
        GDALDeinitGCPs(int(gcps.size()), gcps.data());
        GDALClose(ds);
        const CliResult r = RunTool(Args("import", source.string()));
        EXPECT_EQ(r.code, 0);
        EXPECT_TRUE(r.out.ends_with(c.tail)) << r.out;
        EXPECT_EQ(r.err, ExpandPercent1(c.err, source.string()));
    }
}

// Inputs that would hang the import (a pipe as the picture, as a sidecar or as a VRT source),
// copy a private file into the bitmap (a VRT raw band), allocate a row of tens of gigabytes
// (1,400,000,000 x 1 pixels) or have the registration file replace the picture itself are refused
// before anything is written. A pipe that the import did open after all is released after the
// deadline, so that a fault fails the test instead of hanging it.
TEST_F(ImportTest, refuses_pipes_private_files_huge_rows_and_its_own_source) {
    MakeRaster(dir, {"GTiff", "side.tif", 8, 8, 1});
    fs::remove(dir / "side.tif.aux.xml");
    for (const char* fifo : {"side.tif.aux.xml", "pipe.tif", "source.tif"}) {
        ASSERT_EQ(::mkfifo((dir / fifo).c_str(), 0600), 0);
    }
    WriteBytes(dir / "over-pipe.vrt",
               R"(<VRTDataset rasterXSize="8" rasterYSize="8"><VRTRasterBand dataType="Byte" )"
               R"(band="1"><SimpleSource><SourceFilename relativeToVRT="1">source.tif)"
               R"(</SourceFilename><SourceBand>1</SourceBand></SimpleSource></VRTRasterBand>)"
               R"(</VRTDataset>)");
    WriteBytes(dir / "notes.txt", "private notes");
    fs::permissions(dir / "notes.txt", fs::perms::owner_read | fs::perms::owner_write);
    WriteBytes(dir / "raw.vrt",
               R"(<VRTDataset rasterXSize="13" rasterYSize="1"><VRTRasterBand dataType="Byte" )"
               R"(band="1" subClass="VRTRawRasterBand"><SourceFilename relativeToVRT="1">)"
               R"(notes.txt</SourceFilename><ImageOffset>0</ImageOffset><PixelOffset>1)"
               R"(</PixelOffset><LineOffset>13</LineOffset></VRTRasterBand></VRTDataset>)");
    std::string bands;
    for (const char* colour : {"Red", "Green", "Blue", "Alpha"}) {
        bands += std::string(R"(<VRTRasterBand dataType="Byte"><ColorInterp>)") + colour +
                 "</ColorInterp></VRTRasterBand>";
    }
    WriteBytes(dir / "wide.vrt", R"(<VRTDataset rasterXSize="1400000000" rasterYSize="1">)" +
                                     bands + "</VRTDataset>");
    const std::string grid = "ncols 4\nnrows 3\nxllcorner 10\nyllcorner 50\ncellsize 0.01\n"
                             "1 2 3 4\n5 6 7 8\n9 10 11 12\n";
    WriteBytes(dir / "dem.txt", grid);
    WriteBytes(dir / "dem.prj", R"(GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,)"
                                R"(298.257223563]],PRIMEM["Greenwich",0],UNIT["degree",)"
                                R"(0.0174532925199433]])");
    std::set<std::string> inputs;
    for (const auto& entry : fs::directory_iterator(dir)) {
        inputs.insert(entry.path().filename().string());
    }
    struct Case {
        const char* source;
        int code;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"pipe.tif", 4, "pipe.tif is not a plain file"},
        {"side.tif", 4, "side.tif.aux.xml is not a plain file"},
        {"over-pipe.vrt", 4, "source.tif is not a plain file"},
        {"raw.vrt", 4, "raw.vrt reads the bytes of other files directly"},
        {"wide.vrt", 4, "too wide"},
        {"dem.txt", 2, "registration file would replace the picture"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        auto run = std::async(std::launch::async,
                              [&] { return RunTool(Args("import", (dir / c.source).string())); });
        if (run.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
            ADD_FAILURE() << "the import hangs";
            for (const char* fifo : {"side.tif.aux.xml", "pipe.tif", "source.tif"}) {
                const int fd = ::open((dir / fifo).c_str(), O_WRONLY | O_NONBLOCK);
                ::close(fd);
            }
        }
        const CliResult r = run.get();
        EXPECT_EQ(r.code, c.code) << r.out << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir)) {
        left.insert(entry.path().filename().string());
    }
    EXPECT_EQ(left, inputs) << "no output and no temporary file";
    EXPECT_EQ(ReadBytes(dir / "dem.txt"), grid);
}

// The bitmap is no more readable than its source, and the umask still applies.
TEST_F(ImportTest, the_bitmap_is_no_more_readable_than_its_source) {
    const mode_t previous = ::umask(022);
    for (const auto& [source, bitmap] : std::vector<std::pair<unsigned, unsigned>>{
             {0600, 0600}, {0640, 0640}, {0666, 0644}, {0444, 0444}}) {
        SCOPED_TRACE(source);
        const fs::path tif = MakeRaster(dir, {"GTiff", "private.tif", 4, 4, 1});
        ASSERT_EQ(::chmod(tif.c_str(), source), 0);
        fs::remove(dir / "private.bmp");
        const CliResult r = RunTool(Args("import", tif.string()));
        ASSERT_EQ(r.code, 0) << r.err;
        struct stat info {};
        ASSERT_EQ(::stat((dir / "private.bmp").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, bitmap);
        fs::remove(tif);
    }
    ::umask(previous);
}

// The worker side of Cancel: after SIGTERM the conversion stops at its next step, removes its
// temporary file and exits 5, leaving the folder as it was.
TEST_F(ImportTest, sigterm_stops_the_conversion_and_leaves_no_file) {
    const fs::path source = MakeRaster(dir, {"GTiff", "large.tif", 2000, 2000, 1, GDT_UInt16},
                                       [](int x, int y, int) { return x + y; });
    EXPECT_EQ(5, TerminateAfterFirstProgress(MAPREG_CLI_PATH,
                                             Args("import", "--progress", source.string())));
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir)) {
        left.insert(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::set<std::string>{"large.tif"});
}

} // namespace

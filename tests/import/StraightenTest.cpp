// Straightening for the device, judged against GDAL's own warp: each source is warped by
// GDALWarp (with the same GCPs and fit for a map straightened through its control points) into
// the grid that our registration file describes (what the device will assume), and our bitmap
// must match it: best whole-pixel shift (0,0), high correlation.

#include "RasterMaker.h"

#include "coords/UtmProjection.h"
#include "document/CMapFile.h"
#include "import/CStraightener.h"
#include "import/CWarpSource.h"

#include <gdal_utils.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <numbers>

using namespace mapreg;

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// A smooth picture (bicubic resamples it faithfully) with detail in every direction.
double Smooth(int x, int y, int band) {
    return 128.0 + 90.0 * std::sin(x / 6.0 + band) * std::cos(y / 9.0 - band);
}

// Blocks of 4 x 4 pixels, for nearest-neighbour palette indices.
double Blocks(int x, int y, int) {
    return ((x / 4) * 37 + (y / 4) * 101) % 256;
}

// x = gt0 + px gt1 + py gt2, y = gt3 + px gt4 + py gt5 for pixels of size s turned by theta.
std::vector<double> Turned(double x0, double y0, double s, double thetaDegrees) {
    const double c = std::cos(thetaDegrees * kDegree);
    const double n = std::sin(thetaDegrees * kDegree);
    return {x0, s * c, s * n, y0, s * n, -s * c};
}

// A bent picture's world point at a pixel: easting/northing in metres or longitude/latitude.
using World = std::function<std::array<double, 2>(double x, double y)>;

// Nearly 10 m pixels bent by up to some 60 m (UTM zone 33 north), and about the same in
// latitude/longitude near 15 E 47 N: far from any affine, so a fit that ignored the bend or a
// point would show in the picture.
std::array<double, 2> BentUtm(double x, double y) {
    return {500000 + 10 * x + 1.5 * y + 0.02 * x * x - 0.01 * x * y,
            5400000 + x - 10 * y + 0.015 * y * y + 0.008 * x * x};
}
std::array<double, 2> BentLatLon(double x, double y) {
    return {15 + 1.4e-4 * x + 2e-5 * y + 3e-7 * x * x,
            47 + 1e-5 * x - 0.9e-4 * y + 2e-7 * y * y - 1.5e-7 * x * y};
}

// Sixteen control points on a 4 x 4 lattice over a w x h picture, then a disabled one 500 m (or
// the like in degrees) off, which a fit must leave out.
std::vector<GDAL_GCP> LatticePoints(int w, int h, const World& world) {
    std::vector<GDAL_GCP> gcps(17);
    GDALInitGCPs(17, gcps.data());
    for (int i = 0; i < 17; ++i) {
        gcps[i].dfGCPPixel = i == 16 ? w / 2.0 : (i % 4) * (w - 1) / 3.0;
        gcps[i].dfGCPLine = i == 16 ? h / 2.0 : (i / 4) * (h - 1) / 3.0;
        const auto [x, y] = world(gcps[i].dfGCPPixel, gcps[i].dfGCPLine);
        const double off = i == 16 ? (std::abs(x) > 1000 ? 500.0 : 5e-3) : 0.0;
        gcps[i].dfGCPX = x + off;
        gcps[i].dfGCPY = y - off;
    }
    return gcps;
}

// The registration file as the device reads it.
struct Registration {
    int width = 0;
    int height = 0;
    bool utm = false;
    double tlx = 0, tly = 0, brx = 0, bry = 0;
};

Registration ReadRegistration(const fs::path& txt) {
    std::ifstream in(txt);
    std::map<std::string, std::string> fields;
    for (std::string line; std::getline(in, line);) {
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos) {
            fields[line.substr(0, tab)] = line.substr(tab + 1);
        } else if (line.starts_with("COORD")) {
            fields["COORD"] = line;
        }
    }
    return {std::stoi(fields["MAP SIZE X:"]),         std::stoi(fields["MAP SIZE Y:"]),
            fields["COORD"].starts_with("COORD UTM"), std::stod(fields["TOP LEFT EASTING:"]),
            std::stod(fields["TOP LEFT NORTHING:"]),  std::stod(fields["BOT RIGHT EASTING:"]),
            std::stod(fields["BOT RIGHT NORTHING:"])};
}

using Bands = std::vector<std::vector<double>>;

Bands ReadBands(GDALDataset* ds) {
    Bands bands;
    const int w = ds->GetRasterXSize();
    const int h = ds->GetRasterYSize();
    for (int b = 1; b <= ds->GetRasterCount(); ++b) {
        bands.emplace_back(std::size_t(w) * std::size_t(h));
        EXPECT_EQ(CE_None, ds->GetRasterBand(b)->RasterIO(GF_Read, 0, 0, w, h, bands.back().data(),
                                                          w, h, GDT_Float64, 0, 0, nullptr));
    }
    return bands;
}

// Pearson correlation of a and b (all bands) with b moved by (dx, dy), over the overlap.
double Correlation(const Bands& a, const Bands& b, int w, int h, int dx, int dy) {
    double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0, n = 0;
    for (std::size_t k = 0; k < a.size(); ++k) {
        for (int y = std::max(0, -dy); y < std::min(h, h - dy); ++y) {
            for (int x = std::max(0, -dx); x < std::min(w, w - dx); ++x) {
                const double p = a[k][std::size_t(y) * w + x];
                const double q = b[k][std::size_t(y + dy) * w + (x + dx)];
                sa += p;
                sb += q;
                saa += p * p;
                sbb += q * q;
                sab += p * q;
                n += 1;
            }
        }
    }
    const double cov = sab / n - sa / n * sb / n;
    return cov / std::sqrt((saa / n - sa / n * sa / n) * (sbb / n - sb / n * sb / n));
}

using StraightenTest = CliFolderTest;

TEST_F(StraightenTest, matches_gdal_warp_into_the_grid_the_device_reads) {
    struct Row {
        const char* name;
        Raster raster;
        Sample sample;
        // Control points instead of a geotransform: pixel, line, x, y.
        std::vector<std::array<double, 4>> gcps;
        bool byHand; // registered by hand on a bitmap, then rectify
        std::vector<std::string> options;
        int bitCount;
        std::string srsOfGeoref = {}; // for GCPs and the hand calibration
        World bent = {};              // control points beside a registered bitmap, then rectify
        std::vector<std::string> fit = {}; // gdalwarp's options for the control points
    };
    const std::vector<double> handGt = Turned(400000, 5300000, 4.0, -3.0);
    // clang-format off
    const std::vector<Row> rows = {
        {"turned UTM", {"GTiff", "landsat.tif", 160, 120, 3, GDT_Byte, Turned(300000, 4500000, 30, 6), "EPSG:32618"}, Smooth, {}, false, {}, 24},
        {"Web Mercator", {"GTiff", "mercator.tif", 150, 130, 3, GDT_Byte, {1113195, 70, 0, 5621521, 0, -70}, "EPSG:3857"}, Smooth, {}, false, {}, 24},
        {"palette", {"GTiff", "palette.tif", 120, 100, 1, GDT_Byte, Turned(500000, 6000000, 10, -8), "EPSG:32733", true}, Blocks, {}, false, {}, 8},
        {"GCPs", {"GTiff", "gcps.tif", 140, 110, 3}, Smooth, {{0, 0, 10.0, 50.0}, {140, 0, 10.21, 50.03}, {0, 110, 10.02, 49.88}, {140, 110, 10.23, 49.91}}, false, {}, 24, "EPSG:4326"},
        {"hand-calibrated, to lat/lon", {"BMP", "hand.bmp", 130, 90, 3}, Smooth, {}, true, Args("--latlon"), 24, "EPSG:32610"},
        {"second order", {"BMP", "order2.bmp", 160, 120, 3}, Smooth, {}, false, Args("--order", "2"), 24, "EPSG:32633", BentUtm, Args("-order", "2")},
        {"third order, to lat/lon", {"BMP", "order3.bmp", 150, 110, 1, GDT_Byte, {}, {}, true}, Blocks, {}, false, Args("--order", "3", "--latlon"), 8, "EPSG:32633", BentUtm, Args("-order", "3")},
        {"thin-plate spline, lat/lon to UTM", {"BMP", "tps.bmp", 140, 120, 3}, Smooth, {}, false, Args("--tps", "--utm"), 24, "EPSG:4326", BentLatLon, Args("-tps")},
    };
    // clang-format on
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::path source = MakeRaster(dir, row.raster, row.sample);
        std::vector<std::string> args;
        if (!row.gcps.empty()) {
            GDALDataset* ds = GDALDataset::Open(source.c_str(), GDAL_OF_RASTER | GDAL_OF_UPDATE);
            std::vector<GDAL_GCP> gcps(row.gcps.size());
            GDALInitGCPs(int(gcps.size()), gcps.data());
            for (std::size_t i = 0; i < gcps.size(); ++i) {
                gcps[i].dfGCPPixel = row.gcps[i][0];
                gcps[i].dfGCPLine = row.gcps[i][1];
                gcps[i].dfGCPX = row.gcps[i][2];
                gcps[i].dfGCPY = row.gcps[i][3];
            }
            OGRSpatialReference srs;
            srs.SetFromUserInput(row.srsOfGeoref.c_str());
            ASSERT_EQ(CE_None, ds->SetGCPs(int(gcps.size()), gcps.data(), &srs));
            GDALDeinitGCPs(int(gcps.size()), gcps.data());
            GDALClose(ds);
        }
        std::vector<GDAL_GCP> points;
        if (row.bent) {
            points = LatticePoints(row.raster.width, row.raster.height, row.bent);
            std::string text = "mapX,mapY,sourceX,sourceY,enable,dX,dY,residual\n";
            for (const GDAL_GCP& p : points) {
                text += std::to_string(p.dfGCPX) + "," + std::to_string(p.dfGCPY) + "," +
                        std::to_string(p.dfGCPPixel) + "," + std::to_string(-p.dfGCPLine) +
                        (&p == &points.back() ? ",0" : ",1") + ",0,0,0\n";
            }
            WriteBytes(dir / "bent.csv", text);
            std::vector<std::string> reg =
                Args("register", source.string(), "--points", (dir / "bent.csv").string());
            if (row.srsOfGeoref != "EPSG:4326") {
                reg.insert(reg.end(), {"--utm", "33T"});
            }
            const CliResult registered = RunTool(reg);
            ASSERT_EQ(registered.code, 0) << registered.err;
            args = Args("rectify", fs::path(source).replace_extension(".gpm").string(), "-o",
                        (dir / ("out-" + std::string(row.raster.name))).string());
        } else if (row.byHand) {
            // Marks on three corners of a picture turned by 3 degrees, in UTM zone 10.
            const auto world = [&](double px, double py) {
                return std::to_string(handGt[0] + px * handGt[1] + py * handGt[2]) + " " +
                       std::to_string(handGt[3] + px * handGt[4] + py * handGt[5]);
            };
            const int w = row.raster.width - 1;
            const int h = row.raster.height - 1;
            std::vector<std::string> reg = Args("register", source.string(), "--utm", "10T");
            for (auto [px, py] : {std::pair{0, 0}, {w, 0}, {0, h}}) {
                std::istringstream xy(world(px, py));
                std::string wx, wy;
                xy >> wx >> wy;
                reg.insert(reg.end(), {"--mark", std::to_string(px), std::to_string(py), wx, wy});
            }
            ASSERT_EQ(RunTool(reg).code, 0);
            args = Args("rectify", fs::path(source).replace_extension(".gpm").string(), "-o",
                        (dir / "hand-out.bmp").string());
        } else {
            args = Args("import", source.string(), "--rectify", "-o",
                        (dir / (std::string(row.name) + ".bmp")).string());
        }
        args.insert(args.end(), row.options.begin(), row.options.end());
        const CliResult r = RunTool(args);
        ASSERT_EQ(r.code, 0) << r.err;
        std::istringstream lines(r.out);
        std::string bmp, gpm, txt;
        std::getline(lines, bmp);
        std::getline(lines, gpm);
        std::getline(lines, txt);
        EXPECT_NE(r.out.find("\ndevice_error_m=0.0"), std::string::npos) << r.out;

        // GDAL's warp of the source into the grid the registration file describes.
        const Registration reg = ReadRegistration(txt);
        CMapFile::Contents contents;
        ASSERT_EQ(CMapFile::Load(gpm, contents).status, CMapFile::Status::Ok);
        OGRSpatialReference target;
        const CCalibration& calibration = contents.calibration;
        target.importFromEPSG(!reg.utm                                  ? 4326
                              : UtmIsSouthernLetter(calibration.letter) ? 32700 + calibration.zone
                                                                        : 32600 + calibration.zone);
        target.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        GDALDataset* ours = GDALDataset::Open(bmp.c_str(), GDAL_OF_RASTER);
        ASSERT_NE(ours, nullptr);
        EXPECT_EQ(ours->GetRasterXSize(), reg.width);
        EXPECT_EQ(ours->GetRasterYSize(), reg.height);
        EXPECT_EQ(ours->GetRasterCount() == 1 ? 8 : 24, row.bitCount);
        GDALDataset* src = GDALDataset::Open(source.c_str(), GDAL_OF_RASTER);
        if (row.byHand || row.bent) { // the bitmap carries no georeferencing: give it ours
            GDALDataset* copy = GetGDALDriverManager()->GetDriverByName("MEM")->CreateCopy(
                "", src, FALSE, nullptr, nullptr, nullptr);
            GDALClose(src);
            src = copy;
            OGRSpatialReference georef;
            georef.SetFromUserInput(row.srsOfGeoref.c_str());
            georef.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
            if (row.bent) { // the enabled points only
                src->SetGCPs(int(points.size()) - 1, points.data(), &georef);
            } else {
                src->SetGeoTransform(const_cast<double*>(handGt.data()));
                src->SetSpatialRef(&georef);
            }
        }
        GDALDeinitGCPs(int(points.size()), points.data());
        GDALDataset* theirs = GetGDALDriverManager()->GetDriverByName("MEM")->Create(
            "", reg.width, reg.height, ours->GetRasterCount(), GDT_Byte, nullptr);
        double gt[6] = {reg.tlx, (reg.brx - reg.tlx) / reg.width, 0, reg.tly,
                        0,       (reg.bry - reg.tly) / reg.height};
        theirs->SetGeoTransform(gt);
        theirs->SetSpatialRef(&target);
        Bands b = ReadBands(ours);
        // Outside the source both are filled alike: a corner of the box around a turned
        // picture lies outside it, so ours shows the fill there.
        for (int k = 1; k <= theirs->GetRasterCount(); ++k) {
            theirs->GetRasterBand(k)->Fill(b[std::size_t(k) - 1][0]);
        }
        std::vector<std::string> warp =
            Args("-r", row.bitCount == 8 ? "near" : "cubic", "-et", "0.125");
        warp.insert(warp.end(), row.fit.begin(), row.fit.end());
        std::vector<char*> argv;
        for (std::string& a : warp) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        GDALWarpAppOptions* options = GDALWarpAppOptionsNew(argv.data(), nullptr);
        GDALDatasetH srcHandle = GDALDataset::ToHandle(src);
        EXPECT_NE(GDALWarp(nullptr, GDALDataset::ToHandle(theirs), 1, &srcHandle, options, nullptr),
                  nullptr);
        GDALWarpAppOptionsFree(options);
        const Bands a = ReadBands(theirs);
        GDALClose(theirs);
        GDALClose(src);
        GDALClose(ours);
        double best = -2.0;
        std::pair<int, int> at{9, 9};
        for (int dy = -2; dy <= 2; ++dy) {
            for (int dx = -2; dx <= 2; ++dx) {
                const double c = Correlation(a, b, reg.width, reg.height, dx, dy);
                if (c > best) {
                    best = c;
                    at = {dx, dy};
                }
            }
        }
        EXPECT_EQ(at, std::make_pair(0, 0));
        EXPECT_GT(best, 0.99);
    }
}

// Refusals come before anything is written, and a cancelled or failed write leaves nothing:
// afterwards the folder holds exactly what it held before.
TEST_F(StraightenTest, refuses_bad_inputs_and_leaves_nothing_behind) {
    const fs::path tif = MakeRaster(
        dir,
        {"GTiff", "big.tif", 200, 150, 3, GDT_Byte, Turned(500000, 5000000, 10, 4), "EPSG:32632"},
        Smooth);
    ASSERT_EQ(RunTool(Args("import", tif.string())).code, 0);
    const std::string map = (dir / "big.gpm").string();
    // A map whose bitmap has gone, and one that was never calibrated.
    fs::copy_file(dir / "big.bmp", dir / "plain.bmp");
    ASSERT_EQ(RunTool(Args("import", (dir / "plain.bmp").string())).code, 0);
    fs::copy_file(map, dir / "lost.gpm");
    const std::string text = ReadBytes(dir / "lost.gpm");
    const std::string bitmap = (dir / "big.bmp").string();
    std::string lost = text;
    lost.replace(lost.find(bitmap), bitmap.size(), (dir / "bog.bmp").string()); // same length
    WriteBytes(dir / "lost.gpm", lost);
    WriteBytes(dir / "file", "");
    // The same map with five enabled control points and a disabled one, and with six on a line.
    const std::string few = (dir / "few.gpm").string();
    const std::string line = (dir / "line.gpm").string();
    fs::copy_file(map, few);
    fs::copy_file(map, line);
    std::string fewPoints = "mapX,mapY,sourceX,sourceY,enable,dX,dY,residual\n";
    std::string linePoints = fewPoints;
    for (int i = 0; i < 6; ++i) {
        const std::string x = std::to_string(500000 + 300 * i);
        fewPoints += x + "," + std::to_string(4999000 + 90 * i * i) + "," + std::to_string(30 * i) +
                     "," + std::to_string(-20 * (i % 3)) + (i == 5 ? ",0\n" : ",1\n");
        linePoints +=
            x + ",4999000," + std::to_string(30 * i) + ",-" + std::to_string(20 * i) + ",1\n";
    }
    WriteBytes(dir / "few.points", fewPoints);
    WriteBytes(dir / "line.points", linePoints);
    const auto before = [&] {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    const std::vector<std::string> inputs = before();
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
    };
    const std::vector<Case> cases = {
        // 2100 m across at 1 cm: 209977 pixels; 3.3 cm would fit.
        {Args("rectify", map, "--pixel-size", "0.01"), 4,
         "would be 209977 x 163586 pixels, more than a map file holds (65535 by 65535).  A "
         "pixel size of 0.033 m or more fits (--pixel-size)."},
        {Args("import", tif.string(), "--rectify", "--pixel-size", "0.01"), 4, "or more fits"},
        {Args("rectify", map, "-o", (dir / "file" / "out.bmp").string()), 4, "Cannot write"},
        {Args("rectify", (dir / "lost.gpm").string()), 4, "Cannot read the bitmap"},
        {Args("rectify", (dir / "plain.gpm").string()), 4, "is not calibrated"},
        {Args("rectify", map, "-o", bitmap), 2, "would replace"},
        {Args("import", (dir / "plain.bmp").string(), "--rectify", "-o", "x.bmp"), 4,
         "cannot be straightened"},
        {Args("import", tif.string(), "--pixel-size", "3"), 2, "requires --rectify"},
        {Args("rectify", map, "--order", "2"), 3, "has no control points"},
        {Args("rectify", few, "--order", "2"), 3,
         "Second-order polynomial: at least 6 enabled control points are needed; the map has 5."},
        {Args("rectify", few, "--tps"), 3, "Thin-plate spline: at least 10 enabled"},
        {Args("rectify", line, "--order", "2"), 3, "Second-order polynomial: no fit can be made"},
        {Args("rectify", few, "--order", "1", "--tps"), 2, "excludes"},
        {Args("rectify", few, "--order", "4"), 2, "--order"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const CliResult r = RunTool(c.args);
        EXPECT_EQ(r.code, c.code) << r.out << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(before(), inputs);
    }

    // Cancelled half-way through the warp: no bitmap, no temporary file.
    CMapFile::Contents contents;
    ASSERT_EQ(CMapFile::Load(map, contents).status, CMapFile::Status::Ok);
    const auto source = CWarpSource::OpenMap(bitmap, contents.calibration);
    CStraightener straightener(*source, {CoordType::Utm, 32, true, 1.0});
    ASSERT_EQ(straightener.GetStatus(), CStraightener::Status::Ok);
    double reached = 0.0;
    EXPECT_EQ(straightener.Write((dir / "cancelled.bmp").string(),
                                 [&](double done) {
                                     reached = done;
                                     return done < 0.5;
                                 }),
              CStraightener::Status::Cancelled);
    EXPECT_GE(reached, 0.5);
    EXPECT_EQ(before(), inputs);
}

} // namespace

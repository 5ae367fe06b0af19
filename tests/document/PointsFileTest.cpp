// Control points files: written and read back, files of other tools in other coordinate
// systems, refusals with their line, and the points file kept beside the map file.
#include "DocumentTestSupport.h"
#include "coords/UtmProjection.h"
#include "document/CPointsFile.h"

#include <cmath>
#include <numbers>

using namespace mapreg;

namespace {

const std::vector<ControlPoint> kPoints = {
    {{0, 0}, {-123.6, 48.4}, true},
    {{999.5, 12}, {-123.4000001, 48.41}, false},
    {{17, 799}, {-123.61, 48.2}, true},
    {{500, 400}, {-123.5, 48.3}, true},
};

// Web Mercator (EPSG:3857) as other tools write it, without an authority code.
constexpr const char* kWebMercator =
    "#CRS: PROJCS[\"WGS 84 / Pseudo-Mercator\",GEOGCS[\"WGS 84\",DATUM[\"WGS_1984\","
    "SPHEROID[\"WGS 84\",6378137,298.257223563]],PRIMEM[\"Greenwich\",0],"
    "UNIT[\"degree\",0.0174532925199433]],PROJECTION[\"Mercator_1SP\"],"
    "PARAMETER[\"central_meridian\",0],PARAMETER[\"scale_factor\",1],"
    "PARAMETER[\"false_easting\",0],PARAMETER[\"false_northing\",0],UNIT[\"metre\",1],"
    "EXTENSION[\"PROJ4\",\"+proj=merc +a=6378137 +b=6378137 +lat_ts=0 +lon_0=0 +x_0=0 +y_0=0 "
    "+k=1 +units=m +nadgrids=@null +wktext +no_defs\"]]\n";

} // namespace

// Points written in each kind read back unchanged (shortest round-trip numbers), disabled
// points included; the data lines carry the negated picture y and the fit's residuals.
TEST(CPointsFile, round_trips_in_every_kind_with_negated_source_y) {
    const CPointFit fit = CPointFit::Fit(kPoints, true);
    ASSERT_TRUE(fit.IsOk());
    const std::string text = CPointsFile::Build(kPoints, WorldKind{}, fit.GetResiduals());
    EXPECT_TRUE(text.starts_with("#CRS: GEOGCRS[\"WGS 84\""));
    const std::string data = text.substr(text.find('\n') + 1);
    EXPECT_TRUE(data.starts_with("mapX,mapY,sourceX,sourceY,enable,dX,dY,residual\n"
                                 "-123.6,48.4,0,0,1,"));
    EXPECT_NE(data.find("\n-123.4000001,48.41,999.5,-12,0,"), std::string::npos);
    EXPECT_NE(data.find("\n-123.61,48.2,17,-799,1,"), std::string::npos);

    for (const WorldKind kind :
         {WorldKind{}, WorldKind{CoordType::Utm, 33, true}, WorldKind{CoordType::Utm, 56, false}}) {
        const CPointsFile::Result back =
            CPointsFile::Parse(CPointsFile::Build(kPoints, kind, {}), kind);
        ASSERT_EQ(back.status, CPointsFile::Status::Ok) << kind.zone;
        EXPECT_EQ(back.points, kPoints);
        EXPECT_EQ(back.fileKind, kind);
    }
}

// A file in another system is converted through PROJ: Web Mercator and UTM into lon/lat,
// checked against the projections' own formulas; a file without #CRS is taken as given.
TEST(CPointsFile, converts_other_systems_and_takes_a_file_without_crs_as_the_map_kind) {
    const double r = 6378137.0;
    const double deg = std::numbers::pi / 180.0;
    const double lon = 8.5411;
    const double lat = 47.3769;
    const std::string mercator =
        std::string(kWebMercator) + "mapX,mapY,sourceX,sourceY,enable\n" +
        std::to_string(r * lon * deg) + "," +
        std::to_string(r * std::log(std::tan(std::numbers::pi / 4 + lat * deg / 2))) +
        ",10,-20,1\n";
    CPointsFile::Result result = CPointsFile::Parse(mercator, WorldKind{});
    ASSERT_EQ(result.status, CPointsFile::Status::Ok);
    EXPECT_FALSE(result.fileKind.has_value());
    ASSERT_EQ(result.points.size(), 1u);
    EXPECT_NEAR(result.points[0].world.x, lon, 1e-8);
    EXPECT_NEAR(result.points[0].world.y, lat, 1e-8);
    EXPECT_EQ(result.points[0].picture.y, 20.0);

    // A UTM file read for a lon/lat map, against the program's own UTM series.
    const std::string utm = CPointsFile::Build({{{1, 2}, {465000.0, 5246000.0}, true}},
                                               WorldKind{CoordType::Utm, 32, true}, {});
    result = CPointsFile::Parse(utm, WorldKind{});
    ASSERT_EQ(result.status, CPointsFile::Status::Ok);
    EXPECT_EQ(result.fileKind, (WorldKind{CoordType::Utm, 32, true}));
    double expectedLat = 0.0;
    double expectedLon = 0.0;
    UtmToLatLon(kWgs84SemiMajorAxis, kWgs84Flattening, 32, 'T', 465000.0, 5246000.0, expectedLat,
                expectedLon);
    EXPECT_NEAR(result.points[0].world.x, expectedLon, 1e-8);
    EXPECT_NEAR(result.points[0].world.y, expectedLat, 1e-8);

    // The system may also be given by its exact name, in any case, or by its code.
    for (const char* crs : {"WGS 84 / UTM zone 32N", "wgs 84 / utm zone 32n", "EPSG:32632"}) {
        const std::string named = "#CRS: " + std::string(crs) + utm.substr(utm.find('\n'));
        result = CPointsFile::Parse(named, WorldKind{});
        EXPECT_EQ(result.status, CPointsFile::Status::Ok) << crs;
        EXPECT_EQ(result.fileKind, (WorldKind{CoordType::Utm, 32, true})) << crs;
    }

    const std::string bare = "mapX,mapY,sourceX,sourceY,enable\n465000,5246000,1,-2,0\n";
    result = CPointsFile::Parse(bare, WorldKind{CoordType::Utm, 32, true});
    ASSERT_EQ(result.status, CPointsFile::Status::Ok);
    EXPECT_EQ(result.points, (std::vector<ControlPoint>{{{1, 2}, {465000, 5246000}, false}}));
    EXPECT_EQ(CPointsFile::Parse(bare, std::nullopt).status, CPointsFile::Status::NoCrs);
}

// Files that are no points files are refused with the line at fault.
TEST(CPointsFile, refuses_malformed_files_with_their_line) {
    using S = CPointsFile::Status;
    struct Row {
        const char* text;
        S status;
        int line;
    };
    const Row rows[] = {
        {"mapX,mapY,sourceX,sourceY,enable\n1,2,3,-4,1\n1,2,3,x,1\n", S::Malformed, 3},
        {"1,2,3,-4,2\n", S::Malformed, 1},
        {"\n\n1,2,3,-4\n", S::Malformed, 3},
        {"1,2,3,-4,1\n1,2,inf,-4,1\n", S::Malformed, 2},
        {"1,2,3,-4,1\r\n1e999,2,3,-4,1\r\n", S::Malformed, 2},
        {"1,2,3,-4,1,0,0,0\n1;2;3;-4;1\n", S::Malformed, 2},
        {"#CRS: not a coordinate system\n1,2,3,-4,1\n", S::UnknownCrs, 1},
        // A name PROJ knows only by likeness is not searched for (a second per file).
        {"#CRS: WGS84 / UTM zone 32N\n1,2,3,-4,1\n", S::UnknownCrs, 1},
        {"#CRS: LOCAL_CS[\"scanner\",UNIT[\"metre\",1]]\n1,2,3,-4,1\n", S::UnknownCrs, 1},
    };
    for (const Row& row : rows) {
        const CPointsFile::Result result = CPointsFile::Parse(row.text, WorldKind{});
        EXPECT_EQ(result.status, row.status) << row.text;
        EXPECT_EQ(result.line, row.line) << row.text;
        EXPECT_TRUE(result.points.empty());
    }
    const CPointsFile::Result bad = CPointsFile::Parse(rows[0].text, WorldKind{});
    EXPECT_EQ(CPointsFile::Message(bad, "a.points"),
              "a.points, line 3: not a control point. Each line holds "
              "mapX,mapY,sourceX,sourceY,enable: four numbers and 0 or 1.");
}

// The map's points live in NAME.points beside NAME.gpm: saved and opened with it, no file
// without points, the document's own file removed when its points are gone, and an unreadable
// file reported and left alone.
TEST_F(DocumentTest, keeps_control_points_beside_the_map_file) {
    LoadHarbour();
    const fs::path map = dir / "harbour.gpm";
    const fs::path points = dir / "harbour.points";
    ASSERT_TRUE(doc->DoSave(map.string()));
    EXPECT_FALSE(fs::exists(points));

    doc->SetControlPointList(kPoints);
    ASSERT_TRUE(doc->DoSave(map.string()));
    const std::string saved = ReadBytes(points);
    CGpsDoc reopened(prompt);
    ReportToPrompt(reopened, prompt);
    ASSERT_TRUE(reopened.OnOpenDocument(map.string()));
    EXPECT_EQ(reopened.GetControlPoints(), kPoints);
    ASSERT_TRUE(reopened.DoSave(map.string()));
    EXPECT_EQ(ReadBytes(points), saved);

    reopened.SetControlPointList({});
    ASSERT_TRUE(reopened.DoSave(map.string()));
    EXPECT_FALSE(fs::exists(points));

    WriteBytes(points, "1,2,3\n");
    ASSERT_TRUE(reopened.OnOpenDocument(map.string()));
    EXPECT_TRUE(reopened.GetControlPoints().empty());
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].text.find("harbour.points, line 1"), std::string::npos);
    ASSERT_TRUE(reopened.DoSave(map.string()));
    EXPECT_EQ(ReadBytes(points), "1,2,3\n");
}

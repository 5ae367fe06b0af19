// mapreg-cli fit and register --points on real files in a temporary folder.
#include "CliHarness.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace mapreg;

namespace {

// Four corners of a square off the affine by +-0.5 m in a pattern no affine can take up: the
// fit is the truth (500000 + 2 px, 5300000 - 2 py), each residual 0.5 m and each leave-one-out
// residual 0.5 / (1 - 3/4) = 2 m. A fifth, disabled point lies 3 m off.
constexpr const char* kSquare = "mapX,mapY,sourceX,sourceY,enable,dX,dY,residual\n"
                                "500000.5,5300000,0,0,1,0,0,0\n"
                                "500199.5,5300000,100,0,1,0,0,0\n"
                                "499999.5,5299800,0,-100,1,0,0,0\n"
                                "500200.5,5299800,100,-100,1,0,0,0\n"
                                "500103,5299900,50,-50,0,0,0,0\n";

class CliPoints : public CliFolderTest {
protected:
    std::string Write(const std::string& name, const std::string& text) {
        const fs::path path = dir / name;
        WriteBytes(path, text);
        return path.string();
    }
};

} // namespace

TEST_F(CliPoints, fit_prints_residuals_as_text_and_json) {
    const std::string points = Write("square.points", kSquare);
    CliResult r = RunTool(Args("fit", points, "--utm", "33"));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "1 residual_m=0.500 leave_one_out_m=2.000\n"
                     "2 residual_m=0.500 leave_one_out_m=2.000\n"
                     "3 residual_m=0.500 leave_one_out_m=2.000\n"
                     "4 residual_m=0.500 leave_one_out_m=2.000\n"
                     "5 residual_m=3.000 leave_one_out_m=3.000 disabled\n"
                     "rms_m=0.500\n"
                     "worst=1\n");

    r = RunTool(Args("fit", points, "--utm", "33", "--json"));
    ASSERT_EQ(r.code, 0) << r.err;
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    const double transform[] = {500000, 2, 0, 5300000, 0, -2};
    ASSERT_EQ(json["transform"].toArray().size(), 6);
    for (int i = 0; i < 6; ++i) {
        EXPECT_NEAR(json["transform"][i].toDouble(), transform[i], 1e-9) << i;
    }
    EXPECT_NEAR(json["rmsM"].toDouble(), 0.5, 1e-9);
    EXPECT_EQ(json["worst"].toInt(), 1);
    const QJsonArray list = json["points"].toArray();
    ASSERT_EQ(list.size(), 5);
    const QJsonObject last = list[4].toObject();
    EXPECT_EQ(QStringList(last.keys()),
              QStringList({"enabled", "leaveOneOutM", "residualM", "worldX", "worldY", "x", "y"}));
    EXPECT_EQ(last["x"].toDouble(), 50.0);
    EXPECT_EQ(last["y"].toDouble(), 50.0);
    EXPECT_EQ(last["worldX"].toDouble(), 500103.0);
    EXPECT_FALSE(last["enabled"].toBool());
    EXPECT_NEAR(last["residualM"].toDouble(), 3.0, 1e-9);
    EXPECT_NEAR(list[0]["leaveOneOutM"].toDouble(), 2.0, 1e-9);
}

// With --size the device error of the fitted calibration follows: a sheared UTM affine on the
// central meridian is off at the corners (0,H) and (W,0) by sqrt((0.2 H)^2 + (0.1 W)^2) grid
// metres, 22.361 m, which is 22.370 m on the ground at the scale factor 0.9996.
TEST_F(CliPoints, fit_with_size_prints_the_device_error) {
    const std::string points = Write("shear.points", "500000,5300000,0,0,1\n"
                                                     "500200,5300010,100,0,1\n"
                                                     "500020,5299800,0,-100,1\n"
                                                     "500220,5299810,100,-100,1\n");
    CliResult r = RunTool(Args("fit", points, "--utm", "33", "--size", "100", "100"));
    ASSERT_EQ(r.code, 0) << r.err;
    const std::size_t at = r.out.find("\ndevice_error_m=");
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_NEAR(std::stod(r.out.substr(at + 16)), 22.370, 0.005) << r.out;
    r = RunTool(Args("fit", points, "--utm", "33", "--size", "100", "100", "--json"));
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    EXPECT_NEAR(json["deviceErrorM"].toDouble(), 22.370, 0.005) << r.out;
    EXPECT_EQ(RunTool(Args("fit", points, "--utm", "33")).out.find("device"), std::string::npos);
}

// register --points calibrates with marks on the corner pixels at the fit's world points and
// writes the points file beside the map file.
TEST_F(CliPoints, register_calibrates_from_the_fit_and_keeps_the_points) {
    const std::string bitmap = (dir / "square.bmp").string();
    ASSERT_TRUE(WritePlainBitmap(bitmap, QSize(101, 101), QColor(0x808080)));
    const std::string points = Write("input.points", kSquare);
    const CliResult r = RunTool(Args("register", bitmap, "--points", points, "--utm", "33U"));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, (dir / "square.gpm").string() + "\n" + (dir / "square.txt").string() + "\n" +
                         (dir / "square.points").string() + "\nrms_m=0.500\nworst=1\n");
    const CliResult info = RunTool(Args("info", (dir / "square.gpm").string()));
    ASSERT_EQ(info.code, 0);
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(info.out)).object();
    EXPECT_EQ(json["coordType"].toInt(), 1);
    EXPECT_EQ(json["zone"].toInt(), 33);
    EXPECT_EQ(json["letter"].toString(), "U");
    const double marks[3][4] = {
        {0, 0, 500000, 5300000}, {100, 0, 500200, 5300000}, {0, 100, 500000, 5299800}};
    for (int i = 0; i < 3; ++i) {
        const QJsonObject mark = json["marks"][i].toObject();
        EXPECT_EQ(mark["x"].toDouble(), marks[i][0]);
        EXPECT_EQ(mark["y"].toDouble(), marks[i][1]);
        EXPECT_NEAR(mark["worldX"].toDouble(), marks[i][2], 1e-6);
        EXPECT_NEAR(mark["worldY"].toDouble(), marks[i][3], 1e-6);
    }
    const std::string kept = ReadBytes(dir / "square.points");
    EXPECT_TRUE(kept.starts_with("#CRS: PROJCRS[\"WGS 84 / UTM zone 33N\""));
    const CliResult again = RunTool(Args("fit", (dir / "square.points").string()));
    EXPECT_EQ(again.code, 0) << again.err;
    EXPECT_NE(again.out.find("rms_m=0.500\nworst=1\n"), std::string::npos);
}

TEST_F(CliPoints, refusals_exit_with_2_or_3) {
    struct Row {
        const char* text;
        std::vector<std::string> options;
        int code;
        const char* message;
    };
    const Row rows[] = {
        {"1,2,3,-4,1\n1,2,3\n", {"--latlon"}, 2, "bad.points, line 2: not a control point"},
        {kSquare, {}, 2, "names no coordinate system"},
        {kSquare, {"--utm", "61"}, 2, "The UTM zone 61 is not a zone"},
        {"0,0,0,0,1\n1,0,10,0,1\n0,1,0,-10,0\n", {"--latlon"}, 3, "at least three enabled"},
        {"0,0,0,0,1\n1,1,10,-10,1\n2,2,20,-20,1\n", {"--latlon"}, 3, "lie on one line"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = Args("fit", Write("bad.points", row.text));
        args.insert(args.end(), row.options.begin(), row.options.end());
        const CliResult r = RunTool(args);
        EXPECT_EQ(r.code, row.code) << row.text;
        EXPECT_NE(r.err.find(row.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(RunTool(Args("fit", (dir / "missing.points").string(), "--latlon")).code, 4);
    const std::string bitmap = (dir / "b.bmp").string();
    ASSERT_TRUE(WritePlainBitmap(bitmap, QSize(50, 50), QColor(0x808080)));
    EXPECT_EQ(RunTool(Args("register", bitmap, "--points", Write("p.points", kSquare), "--mark",
                           "0", "0", "1", "1"))
                  .code,
              2);
    EXPECT_FALSE(fs::exists(dir / "b.gpm"));
}

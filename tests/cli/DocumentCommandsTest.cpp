// mapreg-cli register and info on real files in a temporary folder.
#include "CliRunner.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

Result RunTool(std::vector<std::string> args) {
    args.insert(args.begin(), "mapreg-cli");
    std::vector<char*> argv;
    for (std::string& s : args) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCli(static_cast<int>(args.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class CliDocument : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("mapreg-cli-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        bitmap = (dir / "harbour.bmp").string();
        QImage image(1000, 800, QImage::Format_RGB32);
        image.fill(0x808080);
        ASSERT_TRUE(image.save(QString::fromStdString(bitmap), "BMP"));
    }
    void TearDown() override { fs::remove_all(dir); }

    std::vector<std::string> HarbourArgs() const {
        return {"register", bitmap,   "--mark", "0",      "0",      "-123.6",
                "48.4",     "--mark", "1000",   "0",      "-123.4", "48.4",
                "--mark",   "1000",   "800",    "-123.4", "48.2"};
    }

    fs::path dir;
    std::string bitmap;
};

} // namespace

TEST_F(CliDocument, register_writes_map_file_and_registration_file) {
    const Result r = RunTool(HarbourArgs());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, (dir / "harbour.gpm").string() + "\n" + (dir / "harbour.txt").string() + "\n");
    EXPECT_EQ(r.err, "");
    const std::string text = ReadFile(dir / "harbour.txt");
    EXPECT_NE(text.find("FILE:\tharbour.bmp\r\nMAP SIZE X:\t1000\r\nMAP SIZE Y:\t800\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("X RESOLUTION:\t       -0.0002000000\r\n"), std::string::npos);
    EXPECT_EQ(fs::file_size(dir / "harbour.gpm"), 81 + bitmap.size());

    const Result info = RunTool({"info", (dir / "harbour.gpm").string()});
    ASSERT_EQ(info.code, 0) << info.err;
    EXPECT_EQ(info.out, "{\"bitmap\":\"" + bitmap +
                            "\",\"calibrated\":true,\"coordType\":0,\"zone\":10,\"letter\":\"U\","
                            "\"marks\":[{\"x\":0,\"y\":0,\"worldX\":-123.6,\"worldY\":48.4},"
                            "{\"x\":1000,\"y\":0,\"worldX\":-123.4,\"worldY\":48.4},"
                            "{\"x\":1000,\"y\":800,\"worldX\":-123.4,\"worldY\":48.2}]}\n");
}

TEST_F(CliDocument, register_stores_the_absolute_bitmap_path_and_honours_output) {
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    std::vector<std::string> args = HarbourArgs();
    args[1] = "harbour.bmp";
    args.insert(args.end(), {"--utm", "10U", "-o", "out/map.gpm"});
    // UTM marks for the same picture.
    args[5] = "400000", args[6] = "5300000", args[10] = "402000", args[11] = "5300000";
    args[15] = "402000", args[16] = "5299000";
    fs::create_directories(dir / "out");
    const Result r = RunTool(args);
    fs::current_path(previous);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "out/map.gpm\n" + (dir / "harbour.txt").string() + "\n");
    const Result info = RunTool({"info", (dir / "out" / "map.gpm").string()});
    ASSERT_EQ(info.code, 0);
    EXPECT_NE(info.out.find("\"bitmap\":\"" + bitmap + "\""), std::string::npos);
    EXPECT_NE(info.out.find("\"coordType\":1,\"zone\":10,\"letter\":\"U\""), std::string::npos);
    EXPECT_NE(ReadFile(dir / "harbour.txt").find("COORD UTM\r\n"), std::string::npos);
}

TEST_F(CliDocument, register_refuses_what_it_cannot_use) {
    struct Case {
        const char* name;
        int mark; // index into the arguments to replace, or -1
        const char* value;
        int code;
        const char* out;
        const char* err;
    };
    const Case cases[] = {
        {"outside", 8, "1001", 2, "", "Mark 2 lies outside the picture.\n"},
        {"negative", 4, "-1", 2, "", "Mark 1 lies outside the picture.\n"},
        {"missing", 1, "", 4, "", "Cannot open the file.\n"},
        {"too close", 8, "5", 3,
         "rejected code=1 mark=0 field=0\nTwo of the calibration marks are too close together.  "
         "Increase the distance between those two calibration marks.\n",
         ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = HarbourArgs();
        args[static_cast<std::size_t>(c.mark)] =
            c.mark == 1 ? (dir / "none.bmp").string() : std::string(c.value);
        const Result r = RunTool(args);
        EXPECT_EQ(r.code, c.code) << c.name;
        EXPECT_EQ(r.out, c.out) << c.name;
        EXPECT_EQ(r.err, c.err) << c.name;
        EXPECT_FALSE(fs::exists(dir / "harbour.gpm")) << c.name;
        EXPECT_FALSE(fs::exists(dir / "harbour.txt")) << c.name;
    }
}

TEST_F(CliDocument, info_reports_what_open_would_reject) {
    ASSERT_EQ(RunTool(HarbourArgs()).code, 0);
    const std::string good = ReadFile(dir / "harbour.gpm");
    struct Case {
        const char* name;
        std::string bytes;
        std::string err;
    };
    std::string badFlag = good;
    badFlag[14 + bitmap.size()] = 7;
    const Case cases[] = {
        {"magic.gpm", "\x0aHalvoren.,\x01", "This is not a valid  file.\n"},
        {"version.gpm", good.substr(0, 11) + std::string("\x02\x00", 2) + good.substr(13),
         "This version is unsupported.\n"},
        {"flag.gpm", badFlag, "This file contains bad data.\n"},
        {"cut.gpm", good.substr(0, good.size() - 3),
         "Cannot open the map file " + (dir / "cut.gpm").string() +
             ".  The file ends before all of its data could be read.\n"},
    };
    for (const Case& c : cases) {
        std::ofstream(dir / c.name, std::ios::binary) << c.bytes;
        const Result r = RunTool({"info", (dir / c.name).string()});
        EXPECT_EQ(r.code, 4) << c.name;
        EXPECT_EQ(r.out, "") << c.name;
        EXPECT_EQ(r.err, c.err) << c.name;
    }
    const Result missing = RunTool({"info", (dir / "none.gpm").string()});
    EXPECT_EQ(missing.code, 4);
    EXPECT_EQ(missing.err, "Cannot open the map file " + (dir / "none.gpm").string() +
                               ".  The file or its folder does not exist.\n");
}

TEST_F(CliDocument, info_numbers_read_back_to_the_same_double) {
    std::vector<std::string> args = HarbourArgs();
    args[5] = "-123.60000000000001";
    args[6] = "0.1";
    ASSERT_EQ(RunTool(args).code, 0);
    const std::string file = ReadFile(dir / "harbour.gpm");
    double stored = 0;
    std::memcpy(&stored, file.data() + 13 + 1 + bitmap.size() + 1 + 4 + 4, sizeof stored);
    const Result info = RunTool({"info", (dir / "harbour.gpm").string()});
    ASSERT_EQ(info.code, 0);
    const std::size_t at = info.out.find("\"worldX\":");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(std::strtod(info.out.c_str() + at + 9, nullptr), stored) << info.out;
    EXPECT_NE(info.out.find("\"worldY\":0.1}"), std::string::npos) << info.out;
}

// mapreg-cli register and info on real files in a temporary folder.
#include "CliHarness.h"

#include <cstdlib>
#include <cstring>

using namespace mapreg;

namespace {

class CliDocument : public CliFolderTest {
protected:
    void SetUp() override {
        CliFolderTest::SetUp();
        bitmap = (dir / "harbour.bmp").string();
        ASSERT_TRUE(WritePlainBitmap(bitmap, QSize(1000, 800), QColor(0x808080)));
    }

    std::vector<std::string> HarbourArgs() const {
        return Args("register", bitmap, "--mark", "0", "0", "-123.6", "48.4", "--mark", "1000", "0",
                    "-123.4", "48.4", "--mark", "1000", "800", "-123.4", "48.2");
    }

    std::string bitmap;
};

} // namespace

TEST_F(CliDocument, register_writes_map_file_and_registration_file_that_info_reads) {
    const CliResult r = RunTool(HarbourArgs());
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, (dir / "harbour.gpm").string() + "\n" + (dir / "harbour.txt").string() + "\n");
    EXPECT_EQ(r.err, "");
    // The files are the document's save (TextFilesTest); the marks reach it as given.
    EXPECT_TRUE(fs::exists(dir / "harbour.txt"));

    const CliResult info = RunTool(Args("info", (dir / "harbour.gpm").string()));
    ASSERT_EQ(info.code, 0) << info.err;
    EXPECT_EQ(info.out, "{\"bitmap\":\"" + bitmap +
                            "\",\"calibrated\":true,\"coordType\":0,\"zone\":10,\"letter\":\"U\","
                            "\"marks\":[{\"x\":0,\"y\":0,\"worldX\":-123.6,\"worldY\":48.4},"
                            "{\"x\":1000,\"y\":0,\"worldX\":-123.4,\"worldY\":48.4},"
                            "{\"x\":1000,\"y\":800,\"worldX\":-123.4,\"worldY\":48.2}],"
                            "\"deviceErrorM\":0,\"pixelSizeXM\":14.838,\"pixelSizeYM\":27.799,"
                            "\"rotationDeg\":0}\n");
}

TEST_F(CliDocument, register_stores_the_absolute_bitmap_path_and_honours_output) {
    const fs::path previous = fs::current_path();
    fs::current_path(dir);
    fs::create_directories(dir / "out");
    const CliResult r =
        RunTool(Args("register", "harbour.bmp", "--mark", "0", "0", "400000", "5300000", "--mark",
                     "1000", "0", "402000", "5300000", "--mark", "1000", "800", "402000", "5299000",
                     "--utm", "10U", "-o", "out/map.gpm"));
    fs::current_path(previous);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "out/map.gpm\n" + (dir / "harbour.txt").string() + "\n");
    const CliResult info = RunTool(Args("info", (dir / "out" / "map.gpm").string()));
    ASSERT_EQ(info.code, 0);
    EXPECT_NE(info.out.find("\"bitmap\":\"" + bitmap + "\""), std::string::npos);
    EXPECT_NE(info.out.find("\"coordType\":1,\"zone\":10,\"letter\":\"U\""), std::string::npos);
}

TEST_F(CliDocument, register_refuses_what_it_cannot_use_and_writes_nothing) {
    const std::string text = (dir / "harbour.txt").string();
    const struct {
        std::size_t nArg; // the argument replaced by values
        std::vector<std::string> values;
        int code;
        const char* out;
        std::string err;
    } cases[] = {
        {8, {"1001"}, 2, "", "Mark 2 lies outside the picture.\n"},
        {4, {"-1"}, 2, "", "Mark 1 lies outside the picture.\n"},
        {1, {(dir / "none.bmp").string()}, 4, "", "Cannot open the file.\n"},
        {8,
         {"5"},
         3,
         "rejected code=1 mark=0 field=0\nTwo of the calibration marks are too close together.  "
         "Increase the distance between those two calibration marks.\n",
         ""},
        // A map file named like the registration file is refused before either is written.
        {16,
         {"48.2", "-o", text},
         4,
         "",
         "The file " + text +
             " was not written because it would replace the map bitmap or the map file.  Give "
             "the map bitmap or the map file another name.\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = HarbourArgs();
        args.erase(args.begin() + static_cast<std::ptrdiff_t>(c.nArg));
        args.insert(args.begin() + static_cast<std::ptrdiff_t>(c.nArg), c.values.begin(),
                    c.values.end());
        const CliResult r = RunTool(args);
        EXPECT_EQ(r.code, c.code) << c.values[0];
        EXPECT_EQ(r.out, c.out) << c.values[0];
        EXPECT_EQ(r.err, c.err) << c.values[0];
        EXPECT_FALSE(fs::exists(dir / "harbour.gpm")) << c.values[0];
        EXPECT_FALSE(fs::exists(dir / "harbour.txt")) << c.values[0];
    }
}

TEST_F(CliDocument, info_exits_with_4_and_the_reason_open_would_give) {
    ASSERT_EQ(RunTool(HarbourArgs()).code, 0);
    const std::string good = ReadBytes(dir / "harbour.gpm");
    const fs::path cut = dir / "cut.gpm";
    WriteBytes(cut, good.substr(0, good.size() - 3));
    // Every reason comes from the map file reader, as for the document's open (the fault tests).
    const CliResult r = RunTool(Args("info", cut.string()));
    EXPECT_EQ(r.code, 4);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "Cannot open the map file " + cut.string() +
                         ".  The file ends before all of its data could be read.\n");
}

TEST_F(CliDocument, info_numbers_read_back_to_the_same_double) {
    std::vector<std::string> args = HarbourArgs();
    args[5] = "-123.60000000000001";
    args[6] = "0.1";
    ASSERT_EQ(RunTool(args).code, 0);
    const std::string file = ReadBytes(dir / "harbour.gpm");
    double stored = 0;
    std::memcpy(&stored, file.data() + 13 + 1 + bitmap.size() + 1 + 4 + 4, sizeof stored);
    const CliResult info = RunTool(Args("info", (dir / "harbour.gpm").string()));
    ASSERT_EQ(info.code, 0);
    const std::size_t at = info.out.find("\"worldX\":");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(std::strtod(info.out.c_str() + at + 9, nullptr), stored) << info.out;
    EXPECT_NE(info.out.find("\"worldY\":0.1}"), std::string::npos) << info.out;
}

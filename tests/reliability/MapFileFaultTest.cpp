// Map files that cannot be used: every truncation point, every bad field value, string lengths
// beyond the file and paths of every length form. A failed open shows exactly one message and
// leaves every field of the document as it was.
#include "DocumentSnapshot.h"
#include "DocumentTestSupport.h"
#include "FuzzSupport.h"

#include "document/CMapFile.h"
#include "resources/StringTable.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

using namespace mapreg;

namespace {

std::string Le(std::uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    return out;
}

std::string Le(double value) {
    return Le(std::bit_cast<std::uint64_t>(value), 8);
}

// Where the fields after the path start, for a path stored in the one-byte length form.
struct Offsets {
    std::size_t path;
    std::size_t calibrated() const { return path; }
    std::size_t coordType() const { return path + 1; }
    std::size_t mark(std::size_t i) const { return path + 5 + 20 * i; }
    std::size_t zone() const { return path + 65; }
    std::size_t letter() const { return path + 66; }
};

class MapFileFaults : public DocumentTest {
protected:
    void SetUp() override {
        DocumentTest::SetUp();
        bitmap = MakeBitmap("seed.bmp", 120, 100);
        // The document holds a map of its own, modified, so that anything lost would show.
        ASSERT_EQ(doc->LoadBitmapFile(MakeBitmap("own.bmp", 300, 200)), 0);
        ASSERT_EQ(
            doc->Calibrate({CoordType::Utm,
                            {CDoublePoint{500000, 4000000}, {503000, 4000000}, {503000, 3998000}},
                            {CDoublePoint{0, 0}, {300, 0}, {300, 200}},
                            33,
                            'S'})
                .code,
            0);
        doc->SetPathName((dir / "own.gpm").string());
        ClearRecords();
    }

    CMapFile::Contents Good(int coordType = 0) const {
        CMapFile::Contents c;
        c.bitmapPath = bitmap;
        c.calibrated = true;
        c.calibration.coordType = static_cast<CoordType>(coordType);
        c.calibration.picture = {CDoublePoint{0, 0}, {100, 0}, {100, 100}};
        c.calibration.world =
            coordType == 0 ? std::array<CDoublePoint, 3>{CDoublePoint{-10, 10}, {10, 10}, {10, -10}}
                           : std::array<CDoublePoint, 3>{CDoublePoint{400000, 5300000},
                                                         {402000, 5300000},
                                                         {402000, 5298000}};
        c.calibration.zone = 10;
        c.calibration.letter = 'U';
        return c;
    }

    // Opens bytes as a map file (no bytes: no file) that must be refused; checks the one message,
    // that nothing in the document changed and that the reader alone (as info uses it) refuses.
    void ExpectRefused(const std::string& name, const std::string& bytes, unsigned id,
                       const std::string& text) {
        SCOPED_TRACE(name);
        const fs::path file = dir / (name + ".gpm");
        if (!bytes.empty()) {
            WriteBytes(file, bytes);
        }
        const DocumentSnapshot before = DocumentSnapshot::Of(*doc);
        ClearRecords();
        EXPECT_FALSE(doc->OnOpenDocument(file.string()));
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_EQ(prompt.messages[0].id, id);
        EXPECT_EQ(prompt.messages[0].text, text);
        EXPECT_EQ(prompt.messages[0].icon, MsgIcon::Stop);
        EXPECT_EQ(DocumentSnapshot::Of(*doc).Differences(before), std::vector<std::string>{});
        EXPECT_TRUE(view.hints.empty());
        EXPECT_EQ(prompt.waitCursorDepth, 0);
        CMapFile::Contents contents;
        EXPECT_EQ(CMapFile::MessageId(CMapFile::Load(file.string(), contents).status), id);
    }

    std::string EndsEarly(const std::string& name) const {
        return "Cannot open the map file " + (dir / (name + ".gpm")).string() +
               ".  The file ends before all of its data could be read.";
    }

    std::string bitmap;
};

} // namespace

TEST_F(MapFileFaults, every_truncation_point_ends_early_and_keeps_the_document) {
    // The whole file opens; every shorter piece of it is refused. The archive tests read and cut
    // the path's longer length forms.
    const std::string bytes = CMapFile::WriteToBytes(Good(0));
    WriteBytes(dir / "whole.gpm", bytes);
    ASSERT_TRUE(doc->OnOpenDocument((dir / "whole.gpm").string()));
    ASSERT_TRUE(prompt.messages.empty());
    doc->SetModifiedFlag(true);
    for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
        const std::string name = "cut_" + std::to_string(cut);
        // Without the whole magic string it is not a map file; with it, one that ends early.
        if (cut < 11) {
            ExpectRefused(name, bytes.substr(0, cut), IDS_NOT_VALID_FILE,
                          "This is not a valid  file.");
        } else {
            ExpectRefused(name, bytes.substr(0, cut), IDS_OPEN_MAP_FAILED, EndsEarly(name));
        }
    }
}

TEST_F(MapFileFaults, each_bad_field_value_is_refused_with_its_message) {
    const std::string good = CMapFile::WriteToBytes(Good(0));
    const std::string goodUtm = CMapFile::WriteToBytes(Good(1));
    const Offsets at{14 + bitmap.size()};
    const auto patch = [](std::string bytes, std::size_t offset, const std::string& with) {
        return bytes.replace(offset, with.size(), with);
    };
    const auto withMagic = [&](const std::string& magic) {
        return std::string(1, static_cast<char>(magic.size())) + magic + good.substr(11);
    };
    const std::string notValid = "This is not a valid  file.";
    const std::string unsupported = "This version is unsupported.";
    const std::string bad = "This file contains bad data.";
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        std::string name;
        std::string bytes;
        unsigned id;
        std::string text;
    };
    const Case cases[] = {
        {"none", "", IDS_OPEN_MAP_FAILED,
         "Cannot open the map file " + (dir / "none.gpm").string() +
             ".  The file or its folder does not exist."},
        {"magic_lower_case", withMagic("halvoren.."), IDS_NOT_VALID_FILE, notValid},
        {"magic_short", withMagic("Halvoren."), IDS_NOT_VALID_FILE, notValid},
        {"magic_long", withMagic("Halvoren..."), IDS_NOT_VALID_FILE, notValid},
        {"version_ffff", patch(good, 11, Le(0xFFFF, 2)), IDS_NOT_VALID_FILE, notValid},
        {"version_0", patch(good, 11, Le(0, 2)), IDS_UNSUPPORTED_VERSION, unsupported},
        {"version_2", patch(good, 11, Le(2, 2)), IDS_UNSUPPORTED_VERSION, unsupported},
        {"version_fffe", patch(good, 11, Le(0xFFFE, 2)), IDS_UNSUPPORTED_VERSION, unsupported},
        {"calibrated_255", patch(good, at.calibrated(), "\xFF"), IDS_BAD_DATA, bad},
        {"coord_type_2", patch(good, at.coordType(), Le(2, 4)), IDS_BAD_DATA, bad},
        {"uncalibrated_coord_type_minus_1",
         patch(patch(good, at.calibrated(), std::string(1, '\0')), at.coordType(),
               Le(0xFFFFFFFF, 4)),
         IDS_BAD_DATA, bad},
        {"utm_zone_61", patch(goodUtm, at.zone(), "\x3D"), IDS_BAD_DATA, bad},
        {"utm_letter_I", patch(goodUtm, at.letter(), "I"), IDS_BAD_DATA, bad},
        {"latitude_above_90", patch(good, at.mark(0) + 12, Le(90.000001)), IDS_BAD_DATA, bad},
        {"easting_nan", patch(goodUtm, at.mark(1) + 4, Le(nan)), IDS_BAD_DATA, bad},
        {"marks_on_one_pixel", patch(patch(good, at.mark(1), Le(0, 4)), at.mark(2), Le(0, 4)),
         IDS_BAD_DATA, bad},
        {"equal_world_points", patch(good, at.mark(1) + 4, Le(-10.0) + Le(10.0)), IDS_BAD_DATA,
         bad},
    };
    for (const Case& c : cases) {
        ExpectRefused(c.name, c.bytes, c.id, c.text);
    }
}

// A path beyond any file name is read whole (the archive tests go through the limits of every
// length form). The system cannot even look it up: a missing file too, or a file that cannot be
// opened; either way the message is about that bitmap, and the default map shows.
TEST_F(MapFileFaults, path_beyond_any_file_name_is_read_whole) {
    const std::string path = (dir / "gone" / "").string() + std::string(70000, 'p');
    CMapFile::Contents contents = Good(0);
    contents.bitmapPath = path;
    WriteBytes(dir / "long.gpm", CMapFile::WriteToBytes(contents));
    ASSERT_TRUE(doc->OnOpenDocument((dir / "long.gpm").string()));
    ASSERT_FALSE(prompt.messages.empty());
    if (prompt.messages[0].id == IDS_FIND_BITMAP_QUESTION) {
        EXPECT_NE(prompt.messages[0].text.find("(" + path + ")"), std::string::npos);
    } else {
        EXPECT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_CANNOT_OPEN_FILE});
    }
    EXPECT_EQ(doc->GetMapWidth(), 998);
    EXPECT_EQ(doc->GetBitmapPath(), "");
}

TEST_F(MapFileFaults, garbage_marks_of_an_uncalibrated_file_are_never_used) {
    CMapFile::Contents contents = Good(1);
    contents.calibrated = false;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    contents.calibration.world = {
        CDoublePoint{nan, nan}, {1e308, -1e308}, {std::numeric_limits<double>::infinity(), 0}};
    contents.calibration.zone = 0;
    contents.calibration.letter = '\0';
    const auto marksBefore = doc->GetMarkWorldPoints();
    WriteBytes(dir / "garbage.gpm", CMapFile::WriteToBytes(contents));
    ASSERT_TRUE(doc->OnOpenDocument((dir / "garbage.gpm").string()));
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(doc->IsCalibrated());
    EXPECT_EQ(doc->GetMarkWorldPoints()[0].x, marksBefore[0].x);
    EXPECT_EQ(doc->GetUtmZone(), 33);
    EXPECT_EQ(doc->GetUtmLetter(), 'S');
    const std::string text = doc->BuildRegistrationText();
    EXPECT_FALSE(fuzz::ShowsNonFinite(text)) << text;
}

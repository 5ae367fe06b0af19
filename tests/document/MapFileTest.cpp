#include "DocumentTestSupport.h"

#include "BmpFile.h"
#include "document/CMapFile.h"
#include "resources/StringTable.h"

#include <functional>

using namespace mapreg;

TEST_F(DocumentTest, default_map_file_is_81_golden_bytes) {
    doc->AddWaypoint(0, {1, 1});
    doc->OnSaveWaypoints(); // no bitmap to name a waypoint file after
    const fs::path file = dir / "world.gpm";
    ASSERT_TRUE(doc->DoSave(file.string()));
    EXPECT_EQ(Hex(ReadBytes(file)),
              "0a48616c766f72656e2e2e"                   // magic
              "0100"                                     // version 1
              "00"                                       // empty bitmap path
              "01"                                       // calibrated
              "00000000"                                 // latitude/longitude
              "0000000000000000008066c00000000000805640" // (0, 0) at 180 W 90 N
              "e603000000000000008066400000000000805640" // (998, 0) at 180 E 90 N
              "e603f401000000000080664000000000008056c0" // (998, 500) at 180 E 90 S
              "0a55");                                   // zone 10, 'U'
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1) << "no registration file";
    EXPECT_EQ(prompt.MessageIds(), (std::vector<unsigned>{IDS_WAYPOINTS_NEED_BITMAP}));
    EXPECT_EQ(prompt.messages[0].icon, MsgIcon::Exclamation);
}

TEST_F(DocumentTest, picture_coordinates_use_all_16_bits_and_no_more) {
    const std::string bitmap = MakeBitmap("wide.bmp", 8, 8);
    const std::array<CDoublePoint, 3> world = {CDoublePoint{-10, 10}, {10, 10}, {10, -10}};
    const fs::path file = dir / "wide.gpm";
    // Marks past either end of the unsigned 16-bit range are refused and nothing is written.
    const std::array<CDoublePoint, 3> refused[] = {
        {CDoublePoint{65536, 10}, {65000, 10}, {65000, 2000}},
        {CDoublePoint{-1, 10}, {300, 10}, {300, 300}},
    };
    for (const auto& picture : refused) {
        LoadCalibrated(bitmap, picture, world);
        ClearRecords();
        EXPECT_FALSE(doc->DoSave(file.string()));
        EXPECT_EQ(prompt.MessageIds(), (std::vector<unsigned>{IDS_MARK_OUTSIDE_FILE_RANGE}));
        EXPECT_FALSE(fs::exists(file));
        EXPECT_FALSE(fs::exists(dir / "wide.txt"));
        EXPECT_TRUE(doc->IsModified());
    }
    // Marks beyond the signed 16-bit range, as on a very large scan, are kept.
    LoadCalibrated(bitmap, {CDoublePoint{40000, 100}, {65535, 100}, {65535, 50000}}, world);
    ASSERT_TRUE(doc->DoSave(file.string()));
    const std::string bytes = ReadBytes(file);
    const std::size_t marks = 13 + 1 + bitmap.size() + 1 + 4;
    EXPECT_EQ(Hex(bytes.substr(marks, 4)), "409c6400");
    EXPECT_EQ(Hex(bytes.substr(marks + 20, 2)), "ffff");

    ASSERT_TRUE(doc->FileNew());
    ASSERT_TRUE(doc->OnOpenDocument(file.string()));
    EXPECT_EQ(doc->GetMarkPixelPoints()[0].x, 40000.0);
    EXPECT_EQ(doc->GetMarkPixelPoints()[2].x, 65535.0);
    EXPECT_EQ(doc->GetMarkPixelPoints()[2].y, 50000.0);
}

TEST_F(DocumentTest, saved_map_reopens_with_its_bitmap_and_calibration) {
    const std::string bitmap = LoadHarbour();
    const fs::path file = dir / "harbour.gpm";
    ASSERT_TRUE(doc->DoSave(file.string()));
    EXPECT_EQ(fs::file_size(file), 81u + bitmap.size());
    ASSERT_TRUE(doc->FileNew());
    ClearRecords();
    ASSERT_TRUE(doc->FileOpen(file.string()));
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(doc->BuildMapFile(), ReadBytes(file)); // path, calibration, marks and zone
    EXPECT_EQ(doc->GetMapWidth(), 1000);
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "harbour.gpm");
    ASSERT_FALSE(view.hints.empty());
    EXPECT_EQ(view.hints.back(), UpdateHint::HINT_REFRESH);
    EXPECT_EQ(prompt.waitCursorDepth, 0);
}

TEST_F(DocumentTest, empty_file_opens_as_the_default_map) {
    LoadHarbour();
    WriteBytes(dir / "empty.gpm", "");
    ASSERT_TRUE(doc->OnOpenDocument((dir / "empty.gpm").string()));
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(doc->GetMapWidth(), 998);
    EXPECT_EQ(doc->GetBitmapPath(), "");
    EXPECT_TRUE(doc->IsCalibrated());
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocumentTest, missing_bitmap_question_and_its_answers) {
    const std::string moved = (dir / "gone" / "harbour.bmp").string();
    const std::string found = MakeBitmap("found.bmp", 30, 20);
    WriteBytes(dir / "broken.bmp", "not a bitmap");
    const std::string file = (dir / "moved.gpm").string();
    WriteBytes(file, CMapFile::WriteToBytes(
                         {.bitmapPath = moved,
                          .calibrated = true,
                          .calibration = {.world = {CDoublePoint{-10, 10}, {10, 10}, {10, -10}},
                                          .picture = {CDoublePoint{0, 0}, {100, 0}, {100, 100}},
                                          .zone = 10,
                                          .letter = 'U'}}));
    const std::string question = "Could not find the map bitmap file associated with this map (" +
                                 moved + ").  Do you want to try to find this bitmap yourself?";

    struct Case {
        const char* name;
        MsgAnswer answer;
        std::optional<std::string> chosen; // nothing: chooser cancelled
        std::vector<unsigned> ids;
        bool keepsFileCalibration;
    };
    const Case cases[] = {
        {"no", MsgAnswer::No, std::nullopt, {IDS_FIND_BITMAP_QUESTION}, false},
        {"yes_cancel", MsgAnswer::Yes, std::nullopt, {IDS_FIND_BITMAP_QUESTION}, false},
        {"yes_found", MsgAnswer::Yes, found, {IDS_FIND_BITMAP_QUESTION}, true},
        {"yes_broken",
         MsgAnswer::Yes,
         (dir / "broken.bmp").string(),
         {IDS_FIND_BITMAP_QUESTION, IDS_CANNOT_OPEN_FILE},
         false},
    };
    for (const Case& c : cases) {
        doc->SetModifiedFlag(false);
        ASSERT_TRUE(doc->FileNew());
        ClearRecords();
        prompt.answers.push_back(c.answer);
        if (c.chosen) {
            prompt.chosenFiles.push_back(*c.chosen);
        }
        ASSERT_TRUE(doc->OnOpenDocument(file)) << c.name;
        EXPECT_EQ(prompt.MessageIds(), c.ids) << c.name;
        EXPECT_EQ(prompt.messages[0].text, question) << c.name;
        EXPECT_EQ(prompt.messages[0].icon, MsgIcon::Question) << c.name;
        EXPECT_EQ(prompt.messages[0].buttons, MsgButtons::YesNo) << c.name;
        EXPECT_TRUE(doc->IsCalibrated()) << c.name;
        if (c.keepsFileCalibration) {
            EXPECT_EQ(doc->GetBitmapPath(), found);
            EXPECT_TRUE(doc->IsModified());
            EXPECT_EQ(doc->GetMarkPixelPoints()[1].x, 100.0);
            EXPECT_EQ(doc->GetMapWidth(), 30);
        } else {
            EXPECT_EQ(doc->GetBitmapPath(), "") << c.name;
            EXPECT_FALSE(doc->IsModified()) << c.name;
            EXPECT_EQ(doc->GetMapWidth(), 998) << c.name;
            EXPECT_EQ(doc->GetMarkPixelPoints()[1].x, 998.0) << c.name;
        }
        EXPECT_EQ(view.hints.back(), UpdateHint::HINT_REFRESH) << c.name;
    }
}

TEST_F(DocumentTest, an_open_that_ends_on_the_default_map_never_saves_over_the_map_file) {
    const std::string bitmap = LoadHarbour();
    const fs::path file = dir / "harbour.gpm";
    ASSERT_TRUE(doc->DoSave(file.string()));
    const std::string map = ReadBytes(file);
    const std::string text = ReadBytes(dir / "harbour.txt");
    // 200000 x 200000 pixels of 8-bit run-length data in a few bytes: more than any memory.
    const std::string huge = EncodeBmp({.width = 200000,
                                        .height = 200000,
                                        .bitCount = 8,
                                        .compression = 1,
                                        .table = ColourTable(256),
                                        .data = std::string("\x00\x01", 2)});
    const struct {
        const char* name;
        std::function<void()> spoil;
        unsigned message;
    } cases[] = {
        {"missing_and_not_looked_for", [&] { fs::remove(bitmap); }, IDS_FIND_BITMAP_QUESTION},
        {"unreadable", [&] { WriteBytes(bitmap, "not a bitmap"); }, IDS_CANNOT_OPEN_FILE},
        {"out_of_memory", [&] { WriteBytes(bitmap, huge); }, IDS_OUT_OF_MEMORY},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.spoil();
        ASSERT_TRUE(doc->FileNew());
        ClearRecords();
        ASSERT_TRUE(doc->FileOpen(file.string()));
        EXPECT_EQ(prompt.MessageIds(), std::vector<unsigned>{c.message});
        EXPECT_EQ(doc->GetMapWidth(), 998);
        EXPECT_EQ(doc->GetBitmapPath(), "");
        EXPECT_EQ(doc->GetTitle(), "Untitled");
        EXPECT_FALSE(doc->IsModified());
        EXPECT_FALSE(doc->FileSave()); // asks for a name; the chooser is cancelled
        doc->OnSaveWaypoints();
        EXPECT_EQ(ReadBytes(file), map);
        EXPECT_EQ(ReadBytes(dir / "harbour.txt"), text);
        EXPECT_FALSE(fs::exists(dir / "harbour.wpt"));
    }
}

#include "DocumentTestSupport.h"

#include "CMapFile.h"
#include "StringTable.h"

#include <bit>
#include <cstdint>

namespace {

// Builds map-file bytes field by field, so that tests can write any content.
struct Bytes {
    std::string data;
    Bytes& U8(int v) {
        data.push_back(static_cast<char>(v));
        return *this;
    }
    Bytes& U16(unsigned v) { return U8(static_cast<int>(v & 0xFF)).U8(static_cast<int>(v >> 8)); }
    Bytes& I32(std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        return U16(u & 0xFFFF).U16(u >> 16);
    }
    Bytes& F64(double d) {
        const auto u = std::bit_cast<std::uint64_t>(d);
        for (int i = 0; i < 8; ++i) {
            U8(static_cast<int>((u >> (8 * i)) & 0xFF));
        }
        return *this;
    }
    Bytes& Str(const std::string& s) {
        U8(static_cast<int>(s.size()));
        data += s;
        return *this;
    }
    Bytes& Header(unsigned version = 1) { return Str("Halvoren..").U16(version); }
    Bytes& Mark(unsigned x, unsigned y, double wx, double wy) {
        return U16(x).U16(y).F64(wx).F64(wy);
    }
    // A calibrated latitude/longitude body for the given path.
    Bytes& GoodBody(const std::string& path) {
        return Str(path)
            .U8(1)
            .I32(0)
            .Mark(0, 0, -10, 10)
            .Mark(100, 0, 10, 10)
            .Mark(100, 100, 10, -10)
            .U8(10)
            .U8('U');
    }
};

} // namespace

TEST_F(DocumentTest, default_map_file_is_81_golden_bytes) {
    const fs::path file = dir / "world.gpm";
    ASSERT_TRUE(doc->DoSave(file.string()));
    const std::string expected = "0a48616c766f72656e2e2e" // magic
                                 "0100"                   // version 1
                                 "00"                     // empty bitmap path
                                 "01"                     // calibrated
                                 "00000000"               // latitude/longitude
                                 "0000"
                                 "0000"
                                 "0000000000806 6c0"
                                 "0000000000805640"
                                 "e603"
                                 "0000"
                                 "0000000000806640"
                                 "0000000000805640"
                                 "e603"
                                 "f401"
                                 "0000000000806640"
                                 "00000000008056c0"
                                 "0a"
                                 "55"; // zone 10, 'U'
    std::string compact;
    for (char c : expected) {
        if (c != ' ') {
            compact += c;
        }
    }
    EXPECT_EQ(Hex(ReadBytes(file)), compact);
    EXPECT_EQ(fs::file_size(file), 81u);
    EXPECT_FALSE(fs::exists(dir / "world.txt")) << "the default map has no registration file";
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, map_file_length_forms_follow_the_path_length) {
    // Paths of 254 and 300 bytes: one-byte and three-byte length forms.
    for (const std::size_t wanted : {std::size_t{254}, std::size_t{300}}) {
        std::string folder = dir.string();
        std::string bitmap;
        // Grow the folder chain until the bitmap path has exactly the wanted length.
        while (true) {
            const std::size_t rest = wanted - folder.size() - 1; // '/' before the file name
            if (rest <= 200) {
                bitmap = folder + "/" + std::string(rest - 4, 'b') + ".bmp";
                break;
            }
            folder += "/" + std::string(100, 'd');
        }
        ASSERT_EQ(bitmap.size(), wanted);
        fs::create_directories(fs::path(bitmap).parent_path());
        QImage image(20, 10, QImage::Format_RGB32);
        image.fill(0);
        ASSERT_TRUE(image.save(QString::fromStdString(bitmap), "BMP"));
        ASSERT_EQ(doc->LoadBitmapFile(bitmap), 0);
        const std::string bytes = doc->BuildMapFile();
        if (wanted < 255) {
            EXPECT_EQ(bytes.size(), 81u + wanted);
            EXPECT_EQ(static_cast<unsigned char>(bytes[13]), wanted);
            EXPECT_EQ(bytes.substr(14, wanted), bitmap);
        } else {
            EXPECT_EQ(bytes.size(), 83u + wanted);
            EXPECT_EQ(Hex(bytes.substr(13, 3)), "ff2c01");
            EXPECT_EQ(bytes.substr(16, wanted), bitmap);
        }
        // And the file reads back to the same path.
        const fs::path file = dir / "long.gpm";
        ASSERT_TRUE(doc->DoSave(file.string()));
        CMapFile::Contents contents;
        ASSERT_EQ(CMapFile::Load(file.string(), contents).status, CMapFile::Status::Ok);
        EXPECT_EQ(contents.bitmapPath, bitmap);
    }
}

TEST_F(DocumentTest, map_file_reader_accepts_every_length_form) {
    const std::string bitmap = MakeBitmap("form.bmp", 120, 120);
    const std::string tail = Bytes()
                                 .U8(1)
                                 .I32(0)
                                 .Mark(0, 0, -10, 10)
                                 .Mark(100, 0, 10, 10)
                                 .Mark(100, 100, 10, -10)
                                 .U8(10)
                                 .U8('U')
                                 .data;
    const auto n = static_cast<unsigned>(bitmap.size());
    const std::string forms[] = {
        Bytes().Header().Str(bitmap).data + tail,
        Bytes().Header().U8(0xFF).U16(n).data + bitmap + tail,
        Bytes().Header().U8(0xFF).U16(0xFFFF).I32(static_cast<std::int32_t>(n)).data + bitmap +
            tail,
    };
    for (const std::string& form : forms) {
        WriteBytes(dir / "form.gpm", form);
        ClearRecords();
        ASSERT_TRUE(doc->OnOpenDocument((dir / "form.gpm").string()));
        EXPECT_TRUE(prompt.messages.empty());
        EXPECT_EQ(doc->GetBitmapPath(), bitmap);
        EXPECT_EQ(doc->GetMapWidth(), 120);
    }
}

TEST_F(DocumentTest, picture_coordinates_use_all_16_bits) {
    const std::string bitmap = MakeBitmap("wide.bmp", 8, 8);
    ASSERT_EQ(doc->LoadBitmapFile(bitmap), 0);
    // Marks beyond the signed 16-bit range, as on a very large scan.
    ASSERT_EQ(doc->Calibrate(0, {CDoublePoint{-10, 10}, {10, 10}, {10, -10}},
                             {CDoublePoint{40000, 100}, {65535, 100}, {65535, 50000}}, 0, '?',
                             nullptr, nullptr),
              0);
    const fs::path file = dir / "wide.gpm";
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

TEST_F(DocumentTest, marks_outside_16_bits_are_refused_at_save) {
    const std::string bitmap = MakeBitmap("far.bmp", 8, 8);
    const fs::path file = dir / "far.gpm";
    const std::array<CDoublePoint, 3> triangles[] = {
        {CDoublePoint{65536, 10}, {65000, 10}, {65000, 2000}},
        {CDoublePoint{-1, 10}, {300, 10}, {300, 300}},
    };
    for (const auto& picture : triangles) {
        LoadCalibrated(bitmap, picture, {CDoublePoint{-10, 10}, {10, 10}, {10, -10}});
        ClearRecords();
        EXPECT_FALSE(doc->DoSave(file.string()));
        EXPECT_EQ(prompt.MessageIds(), (std::vector<unsigned>{IDS_MARK_OUTSIDE_FILE_RANGE}));
        EXPECT_FALSE(fs::exists(file));
        EXPECT_FALSE(fs::exists(dir / "far.txt"));
        EXPECT_TRUE(doc->IsModified());
    }
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
    EXPECT_EQ(doc->GetBitmapPath(), bitmap);
    EXPECT_EQ(doc->GetMapWidth(), 1000);
    EXPECT_TRUE(doc->IsCalibrated());
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetTitle(), "harbour.gpm");
    const CDoublePoint br = doc->PictureToWorld(1000, 800);
    EXPECT_NEAR(br.x, -123.4, 1e-9);
    EXPECT_NEAR(br.y, 48.2, 1e-9);
    ASSERT_FALSE(view.hints.empty());
    EXPECT_EQ(view.hints.back(), HINT_REFRESH);
    EXPECT_EQ(prompt.waitCursorDepth, 0);
}

TEST_F(DocumentTest, open_failures_show_their_message_and_keep_the_document) {
    const std::string bitmap = LoadHarbour();
    const fs::path good = dir / "harbour.gpm";
    ASSERT_TRUE(doc->DoSave(good.string()));
    const std::string notFound = "Cannot open the map file " + (dir / "none.gpm").string() +
                                 ".  The file or its folder does not exist.";
    const std::string cut = Bytes().Header().GoodBody(bitmap).data;
    struct Case {
        const char* name;
        std::string bytes; // empty: the file does not exist
        unsigned id;
        std::string text;
    };
    const Case cases[] = {
        {"none.gpm", "", IDS_OPEN_MAP_FAILED, notFound},
        {"magic.gpm", Bytes().Str("Halvoren.,").U16(1).GoodBody(bitmap).data, IDS_NOT_VALID_FILE,
         "This is not a valid  file."},
        {"ffff.gpm", Bytes().Str("Halvoren..").U16(0xFFFF).data, IDS_NOT_VALID_FILE, ""},
        {"v2.gpm", Bytes().Header(2).GoodBody(bitmap).data, IDS_UNSUPPORTED_VERSION,
         "This version is unsupported."},
        {"flag.gpm", Bytes().Header().Str(bitmap).U8(2).data, IDS_BAD_DATA,
         "This file contains bad data."},
        {"type.gpm", Bytes().Header().Str(bitmap).U8(1).I32(5).data, IDS_BAD_DATA, ""},
        {"zone.gpm",
         Bytes()
             .Header()
             .Str(bitmap)
             .U8(1)
             .I32(1)
             .Mark(0, 0, 400000, 5300000)
             .Mark(100, 0, 402000, 5300000)
             .Mark(100, 100, 402000, 5299000)
             .U8(61)
             .U8('U')
             .data,
         IDS_BAD_DATA, ""},
        {"close.gpm",
         Bytes()
             .Header()
             .Str(bitmap)
             .U8(1)
             .I32(0)
             .Mark(10, 10, -10, 10)
             .Mark(17, 17, 10, 10)
             .Mark(300, 40, 10, -10)
             .U8(10)
             .U8('U')
             .data,
         IDS_BAD_DATA, ""},
        {"cut.gpm", cut.substr(0, cut.size() - 1), IDS_OPEN_MAP_FAILED,
         "Cannot open the map file " + (dir / "cut.gpm").string() +
             ".  The file ends before all of its data could be read."},
        {"huge.gpm", Bytes().Header().U8(0xFF).U16(0xFFFF).I32(-1).data, IDS_OPEN_MAP_FAILED, ""},
        {"magiccut.gpm", "\x0aHalv", IDS_NOT_VALID_FILE, ""},
        {"text.gpm", "hello, world\n", IDS_NOT_VALID_FILE, ""},
        {"versioncut.gpm", "\x0aHalvoren..\x01", IDS_OPEN_MAP_FAILED, ""},
    };
    ASSERT_TRUE(doc->FileOpen(good.string()));
    doc->SetModifiedFlag(true);
    const std::string before = doc->BuildMapFile();
    for (const Case& c : cases) {
        const fs::path file = dir / c.name;
        if (!c.bytes.empty()) {
            WriteBytes(file, c.bytes);
        }
        ClearRecords();
        EXPECT_FALSE(doc->OnOpenDocument(file.string())) << c.name;
        ASSERT_EQ(prompt.messages.size(), 1u) << c.name;
        EXPECT_EQ(prompt.messages[0].id, c.id) << c.name;
        EXPECT_EQ(prompt.messages[0].icon, MsgIcon::Stop) << c.name;
        if (!c.text.empty()) {
            EXPECT_EQ(prompt.messages[0].text, c.text) << c.name;
        }
        EXPECT_EQ(doc->BuildMapFile(), before) << c.name;
        EXPECT_TRUE(doc->IsModified()) << c.name;
        EXPECT_FALSE(doc->IsCalibrationMode()) << c.name;
        EXPECT_EQ(doc->GetPathName(), good.string()) << c.name;
        EXPECT_TRUE(view.hints.empty()) << c.name;
        EXPECT_TRUE(frame.calls.empty()) << c.name;
    }
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

TEST_F(DocumentTest, uncalibrated_file_keeps_the_previous_marks) {
    const std::string bitmap = MakeBitmap("plain.bmp", 50, 40);
    LoadHarbour();
    const auto marks = doc->GetMarkPixelPoints();
    WriteBytes(dir / "plain.gpm", Bytes()
                                      .Header()
                                      .Str(bitmap)
                                      .U8(0)
                                      .I32(1)
                                      .Mark(1, 2, 3, 4)
                                      .Mark(5, 6, 7, 8)
                                      .Mark(9, 10, 11, 12)
                                      .U8(33)
                                      .U8('Q')
                                      .data);
    ASSERT_TRUE(doc->OnOpenDocument((dir / "plain.gpm").string()));
    EXPECT_FALSE(doc->IsCalibrated());
    EXPECT_EQ(doc->GetMarkPixelPoints()[1].x, marks[1].x);
    EXPECT_EQ(doc->GetCoordType(), 0);
    EXPECT_EQ(doc->GetUtmZone(), 10);
    EXPECT_EQ(doc->GetMapWidth(), 50);
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocumentTest, missing_bitmap_question_and_its_answers) {
    const std::string moved = (dir / "gone" / "harbour.bmp").string();
    const std::string found = MakeBitmap("found.bmp", 30, 20);
    WriteBytes(dir / "broken.bmp", "not a bitmap");
    const std::string file = (dir / "moved.gpm").string();
    WriteBytes(file, Bytes().Header().GoodBody(moved).data);
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
        EXPECT_EQ(view.hints.back(), HINT_REFRESH) << c.name;
    }
}

TEST_F(DocumentTest, unreadable_bitmap_opens_the_default_map_with_a_message) {
    WriteBytes(dir / "broken.bmp", "not a bitmap");
    const std::string file = (dir / "broken.gpm").string();
    WriteBytes(file, Bytes().Header().GoodBody((dir / "broken.bmp").string()).data);
    ASSERT_TRUE(doc->OnOpenDocument(file));
    EXPECT_EQ(prompt.MessageIds(), (std::vector<unsigned>{IDS_CANNOT_OPEN_FILE}));
    EXPECT_EQ(doc->GetMapWidth(), 998);
    EXPECT_EQ(doc->GetBitmapPath(), "");
    EXPECT_FALSE(doc->IsModified());
}

TEST_F(DocumentTest, failed_map_save_leaves_the_old_file_byte_identical) {
    LoadHarbour();
    const fs::path file = dir / "harbour.gpm";
    ASSERT_TRUE(doc->DoSave(file.string()));
    const std::string oldMap = ReadBytes(file);
    const std::string oldText = ReadBytes(dir / "harbour.txt");
    ASSERT_EQ(doc->Calibrate(0, {CDoublePoint{-1, 1}, {1, 1}, {1, -1}},
                             {CDoublePoint{0, 0}, {1000, 0}, {1000, 800}}, 0, '?', nullptr,
                             nullptr),
              0);
    struct Case {
        int err;
        const char* reason;
    };
    for (const Case& c : {Case{ENOSPC, "The disk is full."},
                          Case{EACCES, "Permission to use the file was denied."}}) {
        CAtomicFile::SetFailureHookForTesting([&](const std::string&) { return c.err; });
        ClearRecords();
        EXPECT_FALSE(doc->DoSave(file.string()));
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_EQ(prompt.messages[0].id, IDS_SAVE_MAP_FAILED);
        EXPECT_EQ(prompt.messages[0].text,
                  "Cannot save the map file " + file.string() + ".  " + c.reason);
        EXPECT_EQ(prompt.messages[0].icon, MsgIcon::Stop);
        EXPECT_EQ(ReadBytes(file), oldMap);
        EXPECT_EQ(ReadBytes(dir / "harbour.txt"), oldText);
        EXPECT_TRUE(doc->IsModified());
    }
}

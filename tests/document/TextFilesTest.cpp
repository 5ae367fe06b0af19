#include "DocumentTestSupport.h"

#include "document/TextFileFormat.h"
#include "resources/StringTable.h"

using namespace mapreg;

TEST_F(DocumentTest, harbour_registration_file_to_the_byte) {
    LoadHarbour();
    ASSERT_TRUE(doc->DoSave((dir / "harbour.gpm").string()));
    const std::string expected = "Halvoren Map Registry\r\n"
                                 "\r\n"
                                 "FILE:\tharbour.bmp\r\n"
                                 "MAP SIZE X:\t1000\r\n"
                                 "MAP SIZE Y:\t800\r\n"
                                 "COORD LATLON\r\n"
                                 "TOP LEFT EASTING:\t     -123.6000000000\r\n"
                                 "TOP LEFT NORTHING:\t       48.4000000000\r\n"
                                 "X RESOLUTION:\t       -0.0002000000\r\n"
                                 "Y RESOLUTION:\t        0.0002500000\r\n"
                                 "BOT RIGHT EASTING:\t     -123.4000000000\r\n"
                                 "BOT RIGHT NORTHING:\t       48.2000000000\r\n";
    EXPECT_EQ(ReadBytes(dir / "harbour.txt"), expected);
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, utm_registration_file_and_positions_give_metres_in_the_zone) {
    LoadUtm();
    const SMapPosition position = doc->PictureToPosition({100, 50});
    EXPECT_EQ(std::tuple(position.coordType, position.zone, position.letter),
              std::tuple(CoordType::Utm, 10, 'U'));
    EXPECT_NEAR(position.world.x, 401000.0, 1e-6);
    EXPECT_NEAR(position.world.y, 5299500.0, 1e-6);
    std::string shown;
    settings.SetCoordType(CoordType::Utm);
    settings.ConvertPosition(position).Format(shown);
    // Shown with the band of the point's own latitude (47.8 N), not the calibration's letter.
    EXPECT_EQ(shown, "10T 401000 5299500");
    ASSERT_TRUE(doc->DoSave((dir / "utm.gpm").string()));
    const std::string text = ReadBytes(dir / "utm.txt");
    EXPECT_NE(text.find("COORD UTM\r\n"), std::string::npos);
    EXPECT_NE(text.find("TOP LEFT EASTING:\t   400000.0000000000\r\n"), std::string::npos);
    EXPECT_NE(text.find("X RESOLUTION:\t      -10.0000000000\r\n"), std::string::npos);
    EXPECT_NE(text.find("BOT RIGHT NORTHING:\t  5299000.0000000000\r\n"), std::string::npos);
}

TEST(TextFileNames, extension_of_the_file_name_is_replaced) {
    struct Case {
        const char* bitmap;
        const char* txt;
        const char* fileLine;
    };
    const Case cases[] = {
        {"/maps/harbour.bmp", "/maps/harbour.txt", "harbour.bmp"},
        {"/maps.old/city.bmp", "/maps.old/city.txt", "city.bmp"},
        {"city.bmp", "city.txt", "city.bmp"},
        {"/maps/city", "/maps/city.txt", "city"},
        {"/maps/a.b.c.bmp", "/maps/a.b.c.txt", "a.b.c.bmp"},
        {"/maps/.hidden", "/maps/.hidden.txt", ".hidden"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DeriveTextFileName(c.bitmap, ".txt"), c.txt) << c.bitmap;
        EXPECT_EQ(FileNameOf(c.bitmap), c.fileLine) << c.bitmap;
    }
}

TEST(TextFileNumbers, fixed_point_as_printf_writes_it) {
    EXPECT_EQ(FormatFixed(-123.6, 20, 10), "     -123.6000000000");
    EXPECT_EQ(FormatFixed(48.25, 0, 6), "48.250000");
    EXPECT_EQ(FormatFixed(-0.0000004, 0, 6), "-0.000000");
    EXPECT_EQ(FormatFixed(1e300, 0, 1).size(), 303u);
}

TEST_F(DocumentTest, waypoint_file_lists_the_placed_waypoints) {
    LoadHarbour();
    doc->AddWaypoint(0, {48.25, -123.5});
    doc->AddWaypoint(1, {48.3, -123.45});
    doc->AddWaypoint(2, {48.35, -123.41});
    doc->AddWaypoint(3, {1, 1});
    doc->RemoveLastWaypoint(3); // taken away again with the right mouse button
    doc->OnSaveWaypoints();
    EXPECT_EQ(ReadBytes(dir / "harbour.wpt"), "Halvoren Wp File\r\n"
                                              "\r\n"
                                              "#WP:\t3\r\n"
                                              "48.250000,  -123.500000\r\n"
                                              "48.300000,  -123.450000\r\n"
                                              "48.350000,  -123.410000\r\n");
    doc->RemoveLastWaypoint(0);
    doc->OnSaveWaypoints();
    EXPECT_EQ(ReadBytes(dir / "harbour.wpt"), "Halvoren Wp File\r\n\r\n#WP:\t0\r\n");
    for (int i = 0; i < 250; ++i) { // never more than the table holds
        doc->AddWaypoint(i, {1, 1});
    }
    doc->OnSaveWaypoints();
    EXPECT_NE(ReadBytes(dir / "harbour.wpt").find("#WP:\t100\r\n"), std::string::npos);
    fs::remove(dir / "harbour.wpt");
    doc->OnEnterWaypoints(); // while placing waypoints the command writes nothing
    doc->OnSaveWaypoints();
    EXPECT_FALSE(fs::exists(dir / "harbour.wpt"));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, unwritable_registration_file_is_reported_and_the_save_counts) {
    LoadHarbour();
    const fs::path txt = dir / "harbour.txt";
    WriteBytes(txt, "Halvoren Map Registry\r\nold registration");
    CAtomicFile::SetFailureHookForTesting(
        [&](const std::string& path) { return path == txt.string() ? ENOSPC : 0; });
    EXPECT_TRUE(doc->DoSave((dir / "harbour.gpm").string()));
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(fs::exists(dir / "harbour.gpm"));
    EXPECT_EQ(ReadBytes(txt), "Halvoren Map Registry\r\nold registration");
    ASSERT_EQ(prompt.MessageIds(), (std::vector<unsigned>{IDS_WRITE_TEXT_FILE_FAILED}));
    EXPECT_EQ(prompt.messages[0].text,
              "Cannot write the file " + txt.string() + ".  The disk is full.");
    EXPECT_EQ(prompt.messages[0].icon, MsgIcon::Exclamation);
}

TEST_F(DocumentTest, text_file_never_replaces_the_bitmap_or_the_map_file) {
    // (A text file named like the bitmap: SaveFaultTest.) A map file under the registration
    // file's name is refused before anything is written.
    LoadHarbour("harbour.bmp");
    const fs::path mapFile = dir / "harbour.txt";
    EXPECT_FALSE(doc->DoSave(mapFile.string()));
    EXPECT_EQ(prompt.MessageIds(), (std::vector<unsigned>{IDS_TEXT_FILE_WOULD_REPLACE}));
    EXPECT_FALSE(fs::exists(mapFile));

    // Nor does the waypoint file replace the map file.
    ClearRecords();
    doc->OnSaveWaypoints();
    EXPECT_TRUE(prompt.messages.empty()) << "harbour.wpt is free";
    ASSERT_TRUE(doc->DoSave((dir / "harbour.wpt").string()));
    ClearRecords();
    doc->OnSaveWaypoints();
    EXPECT_EQ(prompt.MessageIds(), (std::vector<unsigned>{IDS_TEXT_FILE_WOULD_REPLACE}));
    EXPECT_EQ(ReadBytes(dir / "harbour.wpt").substr(1, 10), "Halvoren..");
}

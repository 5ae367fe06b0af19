#include "DocumentSnapshot.h"
#include "DocumentTestSupport.h"

#include "resources/StringTable.h"

using namespace mapreg;

TEST_F(DocumentTest, calibration_mode_commands_switch_menus_send_hints_and_disable_others) {
    doc->OnSetMarkCoordinates(); // outside calibration mode: nothing
    doc->OnCancelCalibration();
    EXPECT_TRUE(view.hints.empty());
    EXPECT_TRUE(frame.calls.empty());

    doc->OnCalibrate();
    doc->OnCalibrate(); // already on: nothing
    EXPECT_TRUE(doc->IsCalibrationMode());
    doc->OnSetMarkCoordinates();
    doc->OnCancelCalibration();
    EXPECT_FALSE(doc->IsCalibrationMode());
    EXPECT_EQ(view.hints, (std::vector<UpdateHint>{UpdateHint::HINT_CALIBRATION_STARTED,
                                                   UpdateHint::HINT_SET_MARK_COORDINATES,
                                                   UpdateHint::HINT_CALIBRATION_CANCELLED}));
    EXPECT_EQ(frame.calls, (std::vector<std::string>{"calibration", "normal"}));
    EXPECT_TRUE(doc->IsCalibrated()) << "cancelling keeps the calibration";
    EXPECT_FALSE(doc->IsModified());

    // Dispatch skips the commands disabled in calibration mode.
    doc->OnCalibrate();
    ClearRecords();
    EXPECT_TRUE(doc->OnCommand(ID_MAP_NEW_BITMAP));
    EXPECT_TRUE(doc->OnCommand(ID_ENTER_WAYPOINTS));
    EXPECT_TRUE(prompt.choosers.empty());
    EXPECT_FALSE(doc->IsWaypointMode());
    EXPECT_TRUE(doc->OnCommand(ID_CALIBRATE_CANCEL));
    EXPECT_FALSE(doc->IsCalibrationMode());
    EXPECT_FALSE(doc->OnCommand(ID_FILE_SAVE)) << "file commands belong to the framework";
    view.hints.clear();
    EXPECT_TRUE(doc->OnCommand(ID_ENTER_WAYPOINTS)); // a toggle, sending no hint
    EXPECT_TRUE(doc->IsWaypointMode());
    doc->OnEnterWaypoints();
    EXPECT_FALSE(doc->IsWaypointMode());
    EXPECT_TRUE(view.hints.empty());
}

TEST_F(DocumentTest, calibrate_commits_everything_on_success) {
    doc->OnCalibrate();
    ClearRecords();
    const std::array<CDoublePoint, 3> world = {
        CDoublePoint{500000, 5300000}, {501000, 5300000}, {501000, 5299000}};
    const std::array<CDoublePoint, 3> picture = {
        CDoublePoint{12.7, -3.2}, {400.9, 10}, {300, 200.5}};
    ASSERT_EQ(doc->Calibrate({CoordType::Utm, world, picture, 11, 'u'}).code, 0);
    EXPECT_FALSE(doc->IsCalibrationMode());
    EXPECT_TRUE(doc->IsCalibrated());
    EXPECT_TRUE(doc->IsModified());
    EXPECT_EQ(doc->GetCoordType(), CoordType::Utm);
    EXPECT_EQ(std::pair(doc->GetUtmZone(), doc->GetUtmLetter()), std::pair(11, 'u'));
    EXPECT_EQ(frame.calls, (std::vector<std::string>{"normal"}));
    EXPECT_EQ(doc->GetMarkPixelPoints()[0].x, 12.0);
    EXPECT_EQ(doc->GetMarkPixelPoints()[0].y, -3.0);
    EXPECT_EQ(doc->GetMarkPixels()[1], QPoint(400, 10));
    EXPECT_EQ(doc->GetMarkWorldPoints()[2].y, 5299000.0);
    // The transform uses the unrounded picture points.
    const CDoublePoint w = doc->PictureToWorld(CDoublePoint{12.7, -3.2});
    EXPECT_NEAR(w.x, 500000.0, 1e-6);
    EXPECT_NEAR(w.y, 5300000.0, 1e-6);

    // A later latitude/longitude calibration keeps the stored zone.
    ASSERT_EQ(
        doc->Calibrate(
               {CoordType::LatLon, {CDoublePoint{-10, 10}, {10, 10}, {10, -10}}, picture, 0, '?'})
            .code,
        0);
    EXPECT_EQ(std::tuple(doc->GetCoordType(), doc->GetUtmZone(), doc->GetUtmLetter()),
              std::tuple(CoordType::LatLon, 11, 'u'));
}

TEST_F(DocumentTest, latitude_longitude_position_shows_in_the_display_format) {
    settings.SetLatLonFormat(0);
    doc->RemoveView(&frame); // without a main window there is no menu to switch
    ASSERT_EQ(doc->Calibrate({CoordType::LatLon,
                              {CDoublePoint{-10, 10}, {10, 10}, {10, -10}},
                              {CDoublePoint{0, 0}, {100, 0}, {100, 100}},
                              0,
                              '?'})
                  .code,
              0);
    doc->OnCalibrate();
    doc->AddView(&frame);
    EXPECT_TRUE(doc->IsCalibrationMode());
    EXPECT_TRUE(frame.calls.empty());
    std::string text;
    settings.ConvertPosition(doc->PictureToPosition({50, 50})).Format(text);
    EXPECT_EQ(text, "N 00.00000*, E 000.00000*");
}

TEST_F(DocumentTest, rejected_calibration_changes_nothing) {
    doc->OnCalibrate();
    ClearRecords();
    const DocumentSnapshot before = DocumentSnapshot::Of(*doc);
    const std::array<CDoublePoint, 3> world = {CDoublePoint{1, 1}, {2, 1}, {2, 2}};
    const std::array<CDoublePoint, 3> picture = {CDoublePoint{10, 10}, {300, 10}, {300, 200}};
    // A UTM zone past 60. (The checks' other codes reach the user through the calibration
    // dialog: CalibDialogTest.)
    EXPECT_EQ(doc->Calibrate({CoordType::Utm, world, picture, 61, 'U'}).code, 5);
    EXPECT_EQ(DocumentSnapshot::Of(*doc).Differences(before), std::vector<std::string>{});
    EXPECT_TRUE(frame.calls.empty());
}

TEST_F(DocumentTest, new_bitmap_loads_and_leaves_the_map_uncalibrated) {
    const auto marksBefore = doc->GetMarkPixelPoints();
    const std::string bitmap = MakeBitmap("city.bmp", 64, 48);
    doc->OnNewBitmap(); // the chooser cancelled: nothing happens
    EXPECT_FALSE(doc->IsModified());
    EXPECT_TRUE(view.hints.empty());
    prompt.chosenFiles.push_back(bitmap);
    doc->OnNewBitmap();
    ASSERT_EQ(prompt.choosers.size(), 2u);
    EXPECT_EQ(prompt.choosers[0].defaultExt, "bmp");
    EXPECT_EQ(prompt.choosers[0].filter, LoadStringId(IDS_BITMAP_FILTER));
    EXPECT_EQ(prompt.choosers[0].titleOrPath, "Open map bitmap file");
    EXPECT_TRUE(doc->IsModified());
    EXPECT_FALSE(doc->IsCalibrated());
    EXPECT_EQ(QSize(doc->GetMapWidth(), doc->GetMapHeight()), QSize(64, 48));
    EXPECT_EQ(doc->GetBitmapPath(), bitmap);
    EXPECT_EQ(doc->GetMarkPixelPoints()[1].x, marksBefore[1].x) << "marks keep their values";
    EXPECT_EQ(view.hints, (std::vector<UpdateHint>{UpdateHint::HINT_NEW_BITMAP}));
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(DocumentTest, file_new_returns_to_the_default_map_without_a_bitmap_path) {
    const std::string defaultMap = doc->BuildMapFile(); // no path, calibrated, its marks and zone
    LoadHarbour();
    prompt.answers.push_back(MsgAnswer::No); // discard the changes
    ASSERT_TRUE(doc->FileNew());
    EXPECT_EQ(doc->BuildMapFile(), defaultMap);
    EXPECT_EQ(doc->GetMapWidth(), 998);
    EXPECT_FALSE(doc->IsModified());
}

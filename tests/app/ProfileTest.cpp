// Settings and window placement read from and written to the real INI profile.

#include "AppHarness.h"

#include "CDisplaySettings.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QToolBar>

using Profile = AppHarness;

TEST_F(Profile, lives_in_an_ini_file_named_after_the_application_title) {
    Start();
    ASSERT_TRUE(Close());
    EXPECT_EQ(QFileInfo(ProfilePath()).fileName(),
              QStringLiteral("Halvoren Map Registration For CE.NET Devices.ini"));
    EXPECT_TRUE(QFileInfo(ProfilePath()).absolutePath().startsWith(m_pDir->path()));
    EXPECT_TRUE(QFileInfo::exists(ProfilePath()));
}

TEST_F(Profile, closing_writes_placement_settings_and_toolbar_state) {
    Start();
    ASSERT_TRUE(Close());
    for (const char* key :
         {"cmdShow", "left", "top", "right", "bottom", "backgroundColor", "foregroundColor",
          "primaryColor", "secondaryColor", "locationSpriteColor", "noFixLocationSpriteColor",
          "spriteSize", "unitType", "coordType", "latLonFormat"}) {
        EXPECT_TRUE(ProfileValue(QStringLiteral("Settings/") + key).isValid()) << key;
    }
    EXPECT_EQ(ProfileValue("Settings/latLonFormat").toInt(), 2);
    EXPECT_EQ(ProfileValue("Settings/coordType").toInt(), 0);
    EXPECT_EQ(ProfileValue("Settings/locationSpriteColor").toUInt(), 0xFFFF00u);
    EXPECT_FALSE(ProfileValue("Toolbar/State").toString().isEmpty());
}

TEST_F(Profile, format_keys_apply_in_order_up_to_the_first_invalid_value) {
    SetProfile({{"Settings/unitType", 2}, {"Settings/coordType", 5}, {"Settings/latLonFormat", 1}});
    Start();
    EXPECT_EQ(App().Settings().GetUnitType(), 2);
    EXPECT_EQ(App().Settings().GetCoordType(), 0);
    EXPECT_EQ(App().Settings().GetLatLonFormat(), 2);
}

TEST_F(Profile, valid_formats_are_read_and_written_back) {
    SetProfile({{"Settings/unitType", 1}, {"Settings/coordType", 1}, {"Settings/latLonFormat", 0}});
    Start();
    EXPECT_EQ(App().Settings().GetCoordType(), 1);
    EXPECT_EQ(App().Settings().GetLatLonFormat(), 0);
    ASSERT_TRUE(Close());
    EXPECT_EQ(ProfileValue("Settings/unitType").toInt(), 1);
    EXPECT_EQ(ProfileValue("Settings/coordType").toInt(), 1);
    EXPECT_EQ(ProfileValue("Settings/latLonFormat").toInt(), 0);
}

TEST_F(Profile, five_of_six_colours_leave_all_colours_at_their_defaults) {
    SetProfile({{"Settings/backgroundColor", 0x123456},
                {"Settings/foregroundColor", 0x123456},
                {"Settings/primaryColor", 0x123456},
                {"Settings/secondaryColor", 0x123456},
                {"Settings/locationSpriteColor", 0x123456}});
    Start();
    EXPECT_EQ(App().Settings().GetBackgroundColor(), 0x000000u);
    EXPECT_EQ(App().Settings().GetLocationSpriteColor(), 0xFFFF00u);
}

TEST_F(Profile, colour_bits_above_24_are_dropped_and_not_written_back) {
    SetProfile({{"Settings/backgroundColor", 0x7F000001},
                {"Settings/foregroundColor", 0xFFFFFF},
                {"Settings/primaryColor", 0x00FF00},
                {"Settings/secondaryColor", 0x0000FF},
                {"Settings/locationSpriteColor", 0x0180FF80},
                {"Settings/noFixLocationSpriteColor", 0x0000FF}});
    Start();
    EXPECT_EQ(App().Settings().GetLocationSpriteColor(), 0x80FF80u);
    ASSERT_TRUE(Close());
    EXPECT_EQ(ProfileValue("Settings/backgroundColor").toInt(), 1);
    EXPECT_EQ(ProfileValue("Settings/locationSpriteColor").toInt(), 0x80FF80);
}

TEST_F(Profile, sprite_size_sets_the_figure_size_of_the_view) {
    const struct {
        int nStored;
        QSize expected;
    } cases[] = {{0, {40, 40}}, {1, {64, 64}}, {2, {80, 80}}, {7, {40, 40}}};
    for (const auto& c : cases) {
        SetProfile({{"Settings/spriteSize", c.nStored}});
        Start();
        EXPECT_EQ(View().SpriteSize(), c.expected) << c.nStored;
        App().ExitInstance();
    }
}

TEST_F(Profile, stored_placement_is_restored_and_clamped_to_keep_an_icon_on_screen) {
    const QRect rcScreen = QGuiApplication::primaryScreen()->geometry();
    const int nIcon = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
    const struct {
        int left, top, right, bottom;
        QRect expected;
    } cases[] = {
        {100, 50, 700, 450, QRect(100, 50, 600, 400)},
        // Left and top beyond the screen are pulled back; right and bottom stay.
        {5000, 60, 5400, 460,
         QRect(rcScreen.width() - nIcon, 60, 5400 - (rcScreen.width() - nIcon), 400)},
        {10, 4000, 610, 4300,
         QRect(10, rcScreen.height() - nIcon, 600, 4300 - (rcScreen.height() - nIcon))},
        // Negative positions are left alone.
        {-50, -20, 550, 380, QRect(-50, -20, 600, 400)},
    };
    for (const auto& c : cases) {
        SetProfile({{"Settings/cmdShow", 1},
                    {"Settings/left", c.left},
                    {"Settings/top", c.top},
                    {"Settings/right", c.right},
                    {"Settings/bottom", c.bottom}});
        App().InitInstance({});
        EXPECT_EQ(Frame().geometry(), c.expected) << c.left << "," << c.top;
        App().ExitInstance();
    }
}

TEST_F(Profile, missing_or_unusable_placement_gives_the_default_window) {
    const std::map<QString, QVariant> cases[] = {
        {{"Settings/cmdShow", 1},
         {"Settings/left", 10},
         {"Settings/top", 10},
         {"Settings/right", 400}},
        {{"Settings/cmdShow", 1},
         {"Settings/left", 65535},
         {"Settings/top", 10},
         {"Settings/right", 400},
         {"Settings/bottom", 300}},
        {{"Settings/cmdShow", 1},
         {"Settings/left", 400},
         {"Settings/top", 10},
         {"Settings/right", 10},
         {"Settings/bottom", 300}},
        {{"Settings/cmdShow", 1},
         {"Settings/left", -2147483647},
         {"Settings/top", 0},
         {"Settings/right", 2147483647},
         {"Settings/bottom", 300}},
        {{"Settings/cmdShow", 1},
         {"Settings/left", "ten"},
         {"Settings/top", 0},
         {"Settings/right", 400},
         {"Settings/bottom", 300}},
    };
    const QRect rcScreen = QGuiApplication::primaryScreen()->geometry();
    const QSize sizeDefault(rcScreen.width() * 3 / 4, rcScreen.height() * 3 / 4);
    for (const auto& values : cases) {
        QFile::remove(ProfilePath());
        SetProfile(values);
        App().InitInstance({});
        EXPECT_EQ(Frame().geometry().size(), sizeDefault);
        EXPECT_EQ(Frame().ShowCommand(), CMainFrame::kShowNormal);
        App().ExitInstance();
    }
}

TEST_F(Profile, a_window_closed_maximized_opens_maximized_with_its_normal_rectangle) {
    SetProfile({{"Settings/cmdShow", 1},
                {"Settings/left", 30},
                {"Settings/top", 40},
                {"Settings/right", 530},
                {"Settings/bottom", 440}});
    Start();
    Frame().showMaximized();
    QTest::qWait(20);
    ASSERT_TRUE(Frame().isMaximized());
    ASSERT_TRUE(Close());
    EXPECT_EQ(ProfileValue("Settings/cmdShow").toInt(), CMainFrame::kShowMaximized);
    EXPECT_EQ(ProfileValue("Settings/left").toInt(), 30);
    EXPECT_EQ(ProfileValue("Settings/top").toInt(), 40);
    EXPECT_EQ(ProfileValue("Settings/right").toInt(), 530);
    EXPECT_EQ(ProfileValue("Settings/bottom").toInt(), 440);
    App().ExitInstance();

    Start();
    EXPECT_TRUE(Frame().isMaximized());
    Frame().showNormal();
    QTest::qWait(20);
    EXPECT_EQ(Frame().geometry(), QRect(30, 40, 500, 400));
}

TEST_F(Profile, toolbar_state_survives_a_restart) {
    Start();
    Frame().CommandAction(ID_VIEW_TOOLBAR)->trigger();
    ASSERT_TRUE(Frame().ToolBar()->isHidden());
    ASSERT_TRUE(Close());
    App().ExitInstance();
    Start();
    EXPECT_TRUE(Frame().ToolBar()->isHidden());
    EXPECT_FALSE(Frame().CommandAction(ID_VIEW_TOOLBAR)->isChecked());
}

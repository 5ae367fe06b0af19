// Settings and window placement read from and written to the real INI profile.

#include "AppHarness.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QTest>

using namespace mapreg;

namespace {

std::map<QString, QVariant> Placement(const QVariant& left, int top, int right, int bottom) {
    return {{"Settings/cmdShow", 1},
            {"Settings/left", left},
            {"Settings/top", top},
            {"Settings/right", right},
            {"Settings/bottom", bottom}};
}

} // namespace

using Profile = AppHarness;

TEST_F(Profile, closing_writes_the_ini_file_named_after_the_title_with_every_setting) {
    Start();
    ASSERT_TRUE(Close());
    EXPECT_EQ(QFileInfo(ProfilePath()).fileName(),
              QStringLiteral("Halvoren Map Registration For CE.NET Devices.ini"));
    EXPECT_TRUE(QFileInfo(ProfilePath()).absolutePath().startsWith(m_pDir->path()));
    for (const char* key :
         {"cmdShow", "left", "top", "right", "bottom", "backgroundColor", "foregroundColor",
          "primaryColor", "secondaryColor", "locationSpriteColor", "noFixLocationSpriteColor",
          "spriteSize", "unitType", "coordType", "latLonFormat"}) {
        EXPECT_TRUE(ProfileValue(QStringLiteral("Settings/") + key).isValid()) << key;
    }
    EXPECT_FALSE(ProfileValue("Toolbar/State").toString().isEmpty());
}

// Which values count is the display settings' own business; here the program reads them
// from the file and writes them back.
TEST_F(Profile, stored_settings_are_read_and_written_back_without_colour_bits_above_24) {
    const std::map<QString, QVariant> stored = {{"Settings/unitType", 1},
                                                {"Settings/coordType", 1},
                                                {"Settings/latLonFormat", 0},
                                                {"Settings/spriteSize", 2},
                                                {"Settings/backgroundColor", 0x7F000001},
                                                {"Settings/foregroundColor", 0xFFFFFF},
                                                {"Settings/primaryColor", 0x00FF00},
                                                {"Settings/secondaryColor", 0x0000FF},
                                                {"Settings/locationSpriteColor", 0x0180FF80},
                                                {"Settings/noFixLocationSpriteColor", 0x0000FE}};
    SetProfile(stored);
    Start();
    const CDisplaySettings& s = App().Settings();
    EXPECT_EQ((std::array<int, 3>{s.GetUnitType(), CoordTypeNumber(s.GetCoordType()),
                                  s.GetLatLonFormat()}),
              (std::array<int, 3>{1, 1, 0}));
    EXPECT_EQ(s.GetLocationSpriteColor(), 0x80FF80u);
    EXPECT_EQ(View().SpriteSize(), QSize(80, 80));
    ASSERT_TRUE(Close());
    // Each value goes back as it was read: the colours without their bits above 24.
    for (const auto& [key, value] : stored) {
        EXPECT_EQ(ProfileValue(key).toLongLong(), value.toLongLong() & 0xFFFFFF)
            << key.toStdString();
    }
}

TEST_F(Profile, stored_placement_is_restored_and_clamped_to_keep_an_icon_on_screen) {
    const QRect rcScreen = QGuiApplication::primaryScreen()->geometry();
    const int nIcon = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
    const int nRight = rcScreen.width() - nIcon;
    const int nBottom = rcScreen.height() - nIcon;
    const struct {
        int left, top, right, bottom;
        QRect expected;
    } cases[] = {
        {100, 50, 700, 450, QRect(100, 50, 600, 400)},
        // Left and top beyond the screen are pulled back; right and bottom stay.
        {5000, 60, 5400, 460, QRect(nRight, 60, 5400 - nRight, 400)},
        {10, 4000, 610, 4300, QRect(10, nBottom, 600, 4300 - nBottom)},
        // Negative positions are left alone.
        {-50, -20, 550, 380, QRect(-50, -20, 600, 400)},
    };
    for (const auto& c : cases) {
        SetProfile(Placement(c.left, c.top, c.right, c.bottom));
        App().InitInstance({});
        EXPECT_EQ(Frame().geometry(), c.expected) << c.left << "," << c.top;
        App().ExitInstance();
    }
}

TEST_F(Profile, missing_or_unusable_placement_gives_the_default_window) {
    std::map<QString, QVariant> noBottom = Placement(10, 10, 400, 0);
    noBottom.erase("Settings/bottom");
    const std::map<QString, QVariant> cases[] = {
        noBottom,
        Placement(65535, 10, 400, 300),
        Placement(400, 10, 10, 300), // left of its left edge
        Placement(-2147483647, 0, 2147483647, 300),
        Placement("ten", 0, 400, 300),
    };
    const QRect rcScreen = QGuiApplication::primaryScreen()->geometry();
    for (const auto& values : cases) {
        QFile::remove(ProfilePath());
        SetProfile(values);
        App().InitInstance({});
        EXPECT_EQ(Frame().geometry().size(),
                  QSize(rcScreen.width() * 3 / 4, rcScreen.height() * 3 / 4));
        EXPECT_EQ(Frame().ShowCommand(), CMainFrame::kShowNormal);
        App().ExitInstance();
    }
}

TEST_F(Profile, a_window_closed_maximized_opens_maximized_with_its_normal_rectangle) {
    SetProfile(Placement(30, 40, 530, 440));
    Start();
    Frame().showMaximized();
    QTest::qWait(20);
    ASSERT_TRUE(Frame().isMaximized());
    ASSERT_TRUE(Close());
    EXPECT_EQ(ProfileValue("Settings/cmdShow").toInt(), 3); // the stored "maximized"
    EXPECT_EQ(ProfileValue("Settings/left").toInt(), 30);
    EXPECT_EQ(ProfileValue("Settings/top").toInt(), 40);
    EXPECT_EQ(ProfileValue("Settings/right").toInt(), 530);
    EXPECT_EQ(ProfileValue("Settings/bottom").toInt(), 440);

    Restart();
    EXPECT_TRUE(Frame().isMaximized());
    Frame().showNormal();
    QTest::qWait(20);
    EXPECT_EQ(Frame().geometry(), QRect(30, 40, 500, 400));
}

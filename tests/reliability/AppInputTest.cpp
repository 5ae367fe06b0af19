// The program on bad input from outside: a profile file of garbage, and calibrations at the
// extremes the checks accept, whose positions must never show NaN, infinity or garbage in the
// status bar or in the calibration dialog.
#include "AppHarness.h"

#include "resources/StringTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <random>

using namespace mapreg;

namespace {

bool ShowsNonFinite(const QString& text) {
    return text.contains(QStringLiteral("nan"), Qt::CaseInsensitive) ||
           text.contains(QStringLiteral("inf"), Qt::CaseInsensitive);
}

} // namespace

class AppInput : public AppHarness {};

TEST_F(AppInput, garbage_profile_starts_with_the_defaults_and_no_message) {
    std::mt19937 random(7);
    QByteArray noise(32 * 1024, '\0');
    for (char& c : noise) {
        c = static_cast<char>(random());
    }
    const QByteArray cases[] = {
        noise,
        QByteArray("[Settings]\ncoordType=@Variant(\\0\\0\\0\\x7f)\nlatLonFormat=9\nspriteSize=-1\n"
                   "unitType=x\nbackgroundColor=\nwindowPlacement=@ByteArray(\\xff\\xff)\n"
                   "[Toolbar]\nstate=@ByteArray(garbage)\n[Recent File List]\nFile1=\\0\\0\n"),
    };
    for (const QByteArray& bytes : cases) {
        QFile ini(ProfilePath());
        QDir().mkpath(QFileInfo(ini).absolutePath());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(bytes);
        ini.close();
        prompt.messages.clear();
        Start();
        EXPECT_TRUE(prompt.messages.empty());
        EXPECT_TRUE(Frame().isVisible()); // the values read: ProfileFaultTest
        EXPECT_EQ(Doc().GetMapWidth(), 998);
        ASSERT_TRUE(Close());
        App().ExitInstance();
    }
}

TEST_F(AppInput, extreme_calibrations_show_no_nan_or_infinity_in_status_bar_and_dialog) {
    Start();
    Frame().resize(900, 700);
    prompt.chosenFiles.push_back(WriteBitmap("strip.bmp", {400, 300}).toStdString());
    PressKey(Qt::Key_F2);
    const struct {
        const char* name;
        CoordType coordType;
        std::array<CDoublePoint, 3> picture;
        std::array<CDoublePoint, 3> world;
    } cases[] = {
        {"whole world in 8 pixels",
         CoordType::LatLon,
         {CDoublePoint{0, 0}, {8, 0}, {0, 8}},
         {CDoublePoint{-180, 90}, {180, 90}, {-180, -90}}},
        {"marks far from the picture",
         CoordType::LatLon,
         {CDoublePoint{65527, 65527}, {65535, 65527}, {65527, 65535}},
         {CDoublePoint{180, -90}, {-180, -90}, {180, 90}}},
        {"whole UTM range in 8 pixels",
         CoordType::Utm,
         {CDoublePoint{0, 0}, {8, 0}, {0, 8}},
         {CDoublePoint{0, 9999999}, {999999, 9999999}, {0, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(Doc().Calibrate({c.coordType, c.world, c.picture, 60, 'X'}).code, 0);
        for (const CoordType displayType : {CoordType::LatLon, CoordType::Utm}) {
            App().Settings().SetCoordType(displayType);
            for (const QPoint p : {QPoint(0, 0), QPoint(399, 0), QPoint(0, 299), QPoint(399, 299),
                                   QPoint(200, 150)}) {
                MoveCursorToMap(p);
                const QString status = Frame().StatusText();
                EXPECT_TRUE(status.startsWith(QStringLiteral("Cursor position: ")))
                    << status.toStdString();
                EXPECT_FALSE(ShowsNonFinite(status)) << status.toStdString();
                EXPECT_LT(status.size(), 80) << status.toStdString();
            }
        }
        App().Settings().SetCoordType(CoordType::LatLon);
        // The coordinates dialog shows the marks' positions and coordinates.
        Frame().CommandAction(ID_MAP_CALIBRATE)->trigger();
        ASSERT_TRUE(Doc().IsCalibrationMode());
        QStringList fields;
        WithNextDialog(
            [&](QDialog& dialog) {
                for (const QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
                    fields << edit->text();
                }
                dialog.findChild<QPushButton*>(ControlName(IDCANCEL))->click();
            },
            [&] { Frame().CommandAction(ID_CALIBRATE_SET_COORDINATES)->trigger(); });
        ASSERT_FALSE(fields.isEmpty());
        for (const QString& field : fields) {
            EXPECT_FALSE(ShowsNonFinite(field)) << field.toStdString();
            EXPECT_LT(field.size(), 24) << field.toStdString();
        }
        Frame().CommandAction(ID_CALIBRATE_CANCEL)->trigger();
        ASSERT_FALSE(Doc().IsCalibrationMode());
    }
}

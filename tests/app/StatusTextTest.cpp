// What the status bar says about the place under the mouse: the world position over a
// calibrated map in the chosen format, the prompts over an uncalibrated map and in calibration
// mode, and "Ready" beside the picture or after the mouse has left.

#include "AppHarness.h"

#include "StringTable.h"

#include <QApplication>
#include <QCursor>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>

namespace {

// The default map spans 180 W..180 E over 998 pixels and 90 N..90 S over 500 pixels, so
// pixel (249, 125) lies at 45 N, 180 - 249 * 360 / 998 = 90.18036 W = 90*10'49.3" W.
const QPoint kKnownPixel(249, 125);
const QString kKnownPositionDms =
    QStringLiteral("Cursor position: N 45*00'00.0\", W 090*10'49.3\"  ");

} // namespace

class StatusText : public AppHarness {
protected:
    // Loads a plain picture through Map > New Bitmap, answering the file chooser.
    void LoadUncalibratedPicture(QSize size) {
        prompt.chosenFiles.push_back(WriteBitmap(QStringLiteral("plain.bmp"), size).toStdString());
        PressKey(Qt::Key_F2);
        ASSERT_EQ(Doc().GetMapWidth(), size.width());
        ASSERT_FALSE(Doc().IsCalibrated());
    }
};

TEST_F(StatusText, shows_the_position_of_the_pixel_under_the_hot_spot) {
    Start();
    MoveCursorToMap(kKnownPixel);
    EXPECT_EQ(Frame().StatusText(), kKnownPositionDms);
}

TEST_F(StatusText, counts_the_scroll_position_into_the_map_point) {
    Start();
    Frame().resize(500, 400);
    QCoreApplication::processEvents();
    View().SetSmoothScroll(false);
    View().ScrollTo(200, 100);
    ASSERT_EQ(View().GetScrollPosition(), QPoint(200, 100));
    MoveCursorToClient(kKnownPixel - QPoint(200, 100));
    EXPECT_EQ(Frame().StatusText(), kKnownPositionDms);
}

TEST_F(StatusText, follows_the_display_format_chosen_in_the_dialog) {
    Start();
    const struct {
        const char* button;
        QString expected;
    } cases[] = {
        {"ctl1032", QStringLiteral("Cursor position: N 45.00000*, W 090.18036*  ")},
        {"ctl1033", QStringLiteral("Cursor position: N 45*00.000', W 090*10.822'  ")},
        {"ctl1034", kKnownPositionDms},
    };
    for (const auto& c : cases) {
        WithNextDialog(
            [&](QDialog& dialog) {
                dialog.findChild<QRadioButton*>(c.button)->click();
                dialog.findChild<QPushButton*>("ctl1")->click();
            },
            [&] { Frame().CommandAction(ID_SETTINGS_DISPLAY_FORMAT)->trigger(); });
        MoveCursorToMap(kKnownPixel);
        EXPECT_EQ(Frame().StatusText(), c.expected) << c.button;
    }
}

TEST_F(StatusText, shows_utm_after_choosing_utm) {
    Start();
    WithNextDialog(
        [](QDialog& dialog) {
            dialog.findChild<QRadioButton*>("ctl1023")->click();
            dialog.findChild<QPushButton*>("ctl1")->click();
        },
        [&] { Frame().CommandAction(ID_SETTINGS_DISPLAY_FORMAT)->trigger(); });
    EXPECT_EQ(App().Settings().GetCoordType(), 1);
    MoveCursorToMap(kKnownPixel);
    // 45 N, 90.18036 W lies in zone 15, band T, 2.81964 degrees east of the central meridian
    // of 93 W: the series of the transverse Mercator projection give 722231 m east and
    // 4986819 m north (meridian arc 4984944.4 m plus 3869.7 m, times 0.9996).
    EXPECT_EQ(Frame().StatusText(), QStringLiteral("Cursor position: 15T 722231 4986819  "));
}

TEST_F(StatusText, cancel_in_the_dialog_keeps_the_format) {
    Start();
    WithNextDialog(
        [](QDialog& dialog) {
            dialog.findChild<QRadioButton*>("ctl1023")->click();
            dialog.findChild<QRadioButton*>("ctl1042")->click();
            dialog.findChild<QPushButton*>("ctl2")->click();
        },
        [&] { Frame().CommandAction(ID_SETTINGS_DISPLAY_FORMAT)->trigger(); });
    EXPECT_EQ(App().Settings().GetCoordType(), 0);
    EXPECT_EQ(App().Settings().GetUnitType(), 0);
    MoveCursorToMap(kKnownPixel);
    EXPECT_EQ(Frame().StatusText(), kKnownPositionDms);
}

TEST_F(StatusText, calibration_mode_shows_the_calibration_prompt_over_the_map) {
    Start();
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    ASSERT_TRUE(Doc().IsCalibrationMode());
    MoveCursorToMap(kKnownPixel);
    EXPECT_EQ(Frame().StatusText(),
              QStringLiteral("Calibration mode enabled.  Press ENTER to set the map coordinates "
                             "or press ESC to cancel."));
}

TEST_F(StatusText, uncalibrated_picture_asks_for_calibration_and_beside_it_says_ready) {
    Start();
    LoadUncalibratedPicture(QSize(120, 80));
    const struct {
        QPoint ptClient;
        QString expected;
    } cases[] = {
        {{0, 0}, QStringLiteral("To begin calibrating the bitmap, press Shift+F2.")},
        {{119, 79}, QStringLiteral("To begin calibrating the bitmap, press Shift+F2.")},
        {{120, 40}, QStringLiteral("Ready")}, // right of the picture
        {{60, 80}, QStringLiteral("Ready")},  // below it
        {{60, 40}, QStringLiteral("To begin calibrating the bitmap, press Shift+F2.")},
        {{300, 200}, QStringLiteral("Ready")},
    };
    for (const auto& c : cases) {
        MoveCursorToClient(c.ptClient);
        EXPECT_EQ(Frame().StatusText(), c.expected) << c.ptClient.x() << "," << c.ptClient.y();
    }
}

TEST_F(StatusText, returns_to_ready_after_the_mouse_leaves_the_view) {
    Start();
    MoveCursorToMap(kKnownPixel);
    ASSERT_EQ(Frame().StatusText(), kKnownPositionDms);
    QCursor::setPos(Frame().frameGeometry().bottomRight() + QPoint(50, 50));
    QTest::qWait(3 * CGpsView::kTimer2Period);
    EXPECT_EQ(Frame().StatusText(), QStringLiteral("Ready"));
}

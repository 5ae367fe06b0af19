// What the status bar says about the place under the mouse: the world position over a
// calibrated map in the chosen format, the prompts over an uncalibrated map and in calibration
// mode, and "Ready" beside the picture or after the mouse has left.

#include "AppHarness.h"

#include <QCursor>
#include <QTest>

namespace {

// The default map spans 180 W..180 E over 998 pixels and 90 N..90 S over 500 pixels, so
// pixel (249, 125) lies at 45 N, 180 - 249 * 360 / 998 = 90.18036 W = 90*10'49.3" W.
const QPoint kKnownPixel(249, 125);
const QString kKnownPositionDms =
    QStringLiteral("Cursor position: N 45*00'00.0\", W 090*10'49.3\"  ");

} // namespace

using StatusText = AppHarness;

TEST_F(StatusText, shows_the_position_under_the_hot_spot_in_the_chosen_display_format) {
    Start();
    const struct {
        std::vector<int> buttons; // clicked in the Display Format dialog, OK last
        QString expected;
    } cases[] = {
        {{}, kKnownPositionDms}, // the format of a fresh profile
        {{IDC_FORMAT_DEGREES, IDOK},
         QStringLiteral("Cursor position: N 45.00000*, W 090.18036*  ")},
        {{IDC_FORMAT_MINUTES, IDOK},
         QStringLiteral("Cursor position: N 45*00.000', W 090*10.822'  ")},
        // 45 N, 90.18036 W lies in zone 15, band T, 2.81964 degrees east of the central
        // meridian of 93 W: the series of the transverse Mercator projection give 722231 m
        // east and 4986819 m north (meridian arc 4984944.4 m plus 3869.7 m, times 0.9996).
        {{IDC_UTM, IDOK}, QStringLiteral("Cursor position: 15T 722231 4986819  ")},
    };
    for (const auto& c : cases) {
        if (!c.buttons.empty()) {
            ChooseDisplayFormat(c.buttons);
        }
        MoveCursorToMap(kKnownPixel);
        EXPECT_EQ(Frame().StatusText(), c.expected) << (c.buttons.empty() ? 0 : c.buttons[0]);
    }
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
    LoadPicture({120, 80});
    ASSERT_FALSE(Doc().IsCalibrated());
    const QString ask = QStringLiteral("To begin calibrating the bitmap, press Shift+F2.");
    const std::pair<QPoint, QString> cases[] = {
        {{0, 0}, ask},
        {{119, 79}, ask},
        {{120, 40}, QStringLiteral("Ready")}, // right of the picture
        {{60, 80}, QStringLiteral("Ready")},  // below it
    };
    for (const auto& [ptClient, expected] : cases) {
        MoveCursorToClient(ptClient);
        EXPECT_EQ(Frame().StatusText(), expected) << ptClient.x() << "," << ptClient.y();
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

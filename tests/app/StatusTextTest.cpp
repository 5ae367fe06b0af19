// What the status bar says about the place under the mouse: the world position over a
// calibrated map in the chosen format, the prompts over an uncalibrated map and in calibration
// mode, and "Ready" beside the picture or after the mouse has left.

#include "AppHarness.h"

#include <QCursor>
#include <QFile>
#include <QLabel>
#include <QTest>
#include <QWheelEvent>

#include <functional>

using namespace mapreg;

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

// Whatever moves another pixel under a still cursor updates the readout at once: it then reads
// as a mouse move on the same spot does.
TEST_F(StatusText, follows_the_pixel_under_a_still_cursor) {
    Start();
    SetClientSize({300, 200});
    const QPoint ptCursor(30, 40);
    MoveCursorToClient(ptCursor);
    const QString map = TestPath(QStringLiteral("moved.gpm"));
    const auto wheel = [] {
        QWheelEvent event(QPointF(30, 40), QPointF(Viewport()->mapToGlobal(QPoint(30, 40))),
                          QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(Viewport(), &event);
    };
    const struct {
        const char* name;
        std::function<void()> act;
    } cases[] = {
        {"wheel scroll", wheel},
        {"arrow key", [] { QTest::keyClick(&View(), Qt::Key_Right); }},
        {"zoom in", [&] { PressKey(Qt::Key_Plus, Qt::ControlModifier); }},
        {"new picture",
         [&] {
             LoadPicture({400, 300});
         }},
        {"calibration",
         [] {
             Doc().Calibrate({CoordType::LatLon,
                              {CDoublePoint{10, 20}, {11, 20}, {11, 19}},
                              {CDoublePoint{0, 0}, {400, 0}, {400, 300}}});
         }},
        {"calibration mode", [&] { PressKey(Qt::Key_F2, Qt::ShiftModifier); }},
        {"calibration mode left", [&] { PressKey(Qt::Key_Escape); }},
        {"world map for a missing bitmap",
         [&] {
             prompt.chosenFiles.push_back(map.toStdString());
             PressKey(Qt::Key_S, Qt::ControlModifier);
             PressKey(Qt::Key_N, Qt::ControlModifier);
             // Back on the picture: scrolled, so that the world map shows another pixel.
             LoadPicture({400, 300});
             JumpTo({50, 50});
             ASSERT_TRUE(QFile::remove(TestPath(QStringLiteral("plain.bmp"))));
             prompt.answers.push_back(MsgAnswer::No); // no need to save the picture
             prompt.answers.push_back(MsgAnswer::No); // and no search for the missing bitmap
             prompt.chosenFiles.push_back(map.toStdString());
             PressKey(Qt::Key_O, Qt::ControlModifier);
             ASSERT_EQ(Doc().GetMapWidth(), 998);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString before = Frame().StatusText();
        c.act();
        // Scrolls glide: let them end.
        for (QPoint pt; pt != View().GetScrollPosition();) {
            pt = View().GetScrollPosition();
            QTest::qWait(100);
        }
        const QString shown = Frame().StatusText();
        EXPECT_NE(shown, before);
        MoveCursorToClient(ptCursor);
        EXPECT_EQ(shown, Frame().StatusText());
    }
}

// The device pane: the built-in world map is exact on the device; a map calibrated turned by 90
// degrees is stretched by the device over the same box, so its corners land 1281 m away (the
// closed form of the device error tests), far more than its 1 m pixels: warning colour. The
// ground pane beside it shows those pixels: 1 m of grid (1.0003 m of ground 100 km off the
// central meridian), rows running south, a quarter turn clockwise.
TEST_F(StatusText, device_and_ground_panes_show_what_the_calibration_makes_of_the_map) {
    Start();
    QLabel* pane = Frame().DevicePane();
    QLabel* ground = Frame().GroundPane();
    EXPECT_FALSE(ground->isHidden());
    EXPECT_EQ(pane->text(), QStringLiteral("Device \u00B10 m"));
    const QColor normal = pane->palette().color(QPalette::WindowText);
    LoadPicture({1000, 800});
    EXPECT_TRUE(pane->isHidden());
    EXPECT_TRUE(ground->isHidden());
    const CCalibration turned{CoordType::Utm,
                              {CDoublePoint{400000, 5300000}, {400000, 5299000}, {399200, 5300000}},
                              {CDoublePoint{0, 0}, {1000, 0}, {0, 800}},
                              10,
                              'U'};
    ASSERT_EQ(Doc().Calibrate(turned).code, CALIBRATION_OK);
    Doc().UpdateAllViews(UpdateHint::HINT_CALIBRATION_MODE);
    EXPECT_FALSE(pane->isHidden());
    EXPECT_EQ(pane->text(), QStringLiteral("Device \u00B11281 m"));
    EXPECT_NE(pane->palette().color(QPalette::WindowText), normal);
    EXPECT_FALSE(ground->isHidden());
    EXPECT_EQ(ground->text(), QStringLiteral("Pixel 1.00 \u00D7 1.00 m, turned 90.0\u00B0"));
}

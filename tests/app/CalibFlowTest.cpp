// A scanned map registered from start to end the way a user does it: New Bitmap, Shift+F2,
// marks dragged onto known pixels, Enter, coordinates typed in the dialog, OK; then the
// cursor position, Save with the bytes of the map and registration files, reopening, and
// waypoints clicked, taken away and written.

#include "AppHarness.h"

#include "TestFiles.h"
#include "app/CCalibrationDlg.h"
#include "coords/AngleParser.h"
#include "coords/CUtmConverter.h"
#include "resources/StringTable.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <array>
#include <string>
#include <utility>
#include <vector>

using namespace mapreg;

namespace {

// Where the marks are dragged on the 600 x 400 test picture.
const QPoint kMarkPixels[3] = {{100, 100}, {500, 100}, {100, 300}};

// The mark coordinates, one mark in each latitude/longitude layout:
// mark 1 N 49 W 123, mark 2 N 49 W 122, mark 3 N 48.5 W 123, so that a pixel (x, y) lies at
// longitude -123 + (x - 100) / 400 and latitude 49 - (y - 100) / 400.
const std::vector<std::pair<int, const char*>> kLatLonTexts = {
    {IDC_LATITUDE_1, "N 49.00000*"},    {IDC_LONGITUDE_1, "W 123.00000*"},
    {IDC_LATITUDE_2, "N 49*00.000'"},   {IDC_LONGITUDE_2, "W 122*00.000'"},
    {IDC_LATITUDE_3, "N 48*30'00.0\""}, {IDC_LONGITUDE_3, "W 123*00'00.0\""},
};

// Focus moves only within the active window. The offscreen platform may hand activation back
// to the main window late, after the dialog came up, the later the busier the machine: the
// dialog is activated until it stays active for a moment.
void KeepActive(QDialog& dlg) {
    for (int i = 0; i < 10; ++i) {
        if (!dlg.isActiveWindow()) {
            dlg.activateWindow();
        }
        if (QTest::qWaitFor([&dlg] { return dlg.isActiveWindow(); }, 1000)) {
            QTest::qWait(20);
            if (dlg.isActiveWindow()) {
                return;
            }
        }
    }
    ADD_FAILURE() << "the dialog does not stay the active window";
}

void TypeInto(QDialog& dlg, int nId, const char* text) {
    KeepActive(dlg);
    auto* pEdit = dlg.findChild<QLineEdit*>(ControlName(nId));
    pEdit->setFocus(Qt::MouseFocusReason);
    pEdit->selectAll();
    QTest::keyClicks(pEdit, QString::fromUtf8(text));
}

void PressInDialog(QDialog& dlg, Qt::Key key) {
    KeepActive(dlg);
    // The key goes to the field that holds the dialog's focus, whichever window is active.
    QTest::keyClick(dlg.focusWidget() != nullptr ? dlg.focusWidget() : &dlg, key);
    QCoreApplication::processEvents();
}

class CalibFlow : public AppHarness {
protected:
    // A 600 x 400 picture, shown whole, in calibration mode with the marks on kMarkPixels.
    void PlaceMarks() {
        Start();
        m_bitmap = LoadPicture({600, 400}, QStringLiteral("harbour.bmp"));
        SetClientSize(QSize(700, 500));
        EXPECT_FALSE(Doc().IsCalibrated());
        PressKey(Qt::Key_F2, Qt::ShiftModifier);
        ASSERT_TRUE(Doc().IsCalibrationMode());
        for (int k = 0; k < 3; ++k) {
            DragMarkTo(k, kMarkPixels[k]);
            ASSERT_EQ(MarkPos(k), kMarkPixels[k]);
        }
    }

    // Enter, then the answer inside the dialog.
    void InDialog(const std::function<void(QDialog&)>& answer) {
        // Keys go to the dialog once it is the active window.
        const auto answerActive = [&answer](QDialog& dlg) {
            ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
            answer(dlg);
        };
        WithNextDialog(answerActive, [this] { PressKey(Qt::Key_Return); });
        // The frame is the active window again, as after any dialog, for the keys that follow.
        Frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Frame()));
    }

    QString m_bitmap;
};

} // namespace

TEST_F(CalibFlow,
       a_map_calibrated_in_latitude_and_longitude_is_saved_reopened_and_takes_waypoints) {
    PlaceMarks();
    InDialog([](QDialog& dlg) {
        for (const auto& [nId, text] : kLatLonTexts) {
            TypeInto(dlg, nId, text);
        }
        PressInDialog(dlg, Qt::Key_Return);
        EXPECT_FALSE(dlg.isVisible());
    });
    EXPECT_TRUE(prompt.messages.empty());

    // Calibrated and modified, the marks gone from the map with the calibration menu.
    EXPECT_TRUE(Doc().IsCalibrated() && Doc().IsModified() && !Doc().IsCalibrationMode());
    EXPECT_TRUE(!Frame().IsCalibrationMenu() && Listed() == 0);

    MoveCursorToMap(QPoint(300, 200));
    const QString position = QStringLiteral("Cursor position: N 48*45'00.0\", W 122*30'00.0\"  ");
    EXPECT_EQ(Frame().StatusText(), position);

    const QString mapFile = TestPath("harbour.gpm");
    prompt.chosenFiles.push_back(mapFile.toStdString());
    PressKey(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(Doc().IsModified());

    // The registration file beside the map file; its layout is the document's business.
    EXPECT_NE(ReadBytes(TestPath("harbour.txt").toStdString())
                  .find("TOP LEFT EASTING:\t     -123.2500000000\r\n"),
              std::string::npos);

    // A new map, then the saved one again.
    PressKey(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(Doc().GetMapWidth(), 998);
    prompt.chosenFiles.push_back(mapFile.toStdString());
    PressKey(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(Doc().GetBitmapPath(), m_bitmap.toStdString());
    EXPECT_TRUE(Doc().IsCalibrated());
    // The world points are exactly what the typed texts read as.
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(Doc().GetMarkWorldPoints()[k].x, ParseAngle(kLatLonTexts[2 * k + 1].second));
        EXPECT_EQ(Doc().GetMarkWorldPoints()[k].y, ParseAngle(kLatLonTexts[2 * k].second));
    }
    MoveCursorToMap(QPoint(300, 200));
    EXPECT_EQ(Frame().StatusText(), position);
    // Calibrating again starts from the stored marks.
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_EQ(MarkPositions(), std::vector<QPoint>(std::begin(kMarkPixels), std::end(kMarkPixels)));
    PressKey(Qt::Key_Escape);

    // Waypoints are clicked, taken away with the right button and written.
    SetClientSize(QSize(800, 500)); // wider than the picture

    Frame().CommandAction(ID_ENTER_WAYPOINTS)->trigger();
    ASSERT_TRUE(Doc().IsWaypointMode());
    for (const QPoint pt : {QPoint(300, 200), QPoint(100, 100), QPoint(500, 300)}) {
        QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, ToClient(pt));
    }
    EXPECT_EQ(View().Pointer(2)->GetPosition(), QPoint(500, 300));
    // Figures listed, waypoints placed, index of the last one.
    const auto Waypoints = [] {
        return std::array<int, 3>{Listed(), Doc().GetPlacedWaypoints(), Doc().GetLastWaypoint()};
    };
    EXPECT_EQ(Waypoints(), (std::array<int, 3>{3, 3, 2}));

    // Beside the picture nothing is placed.
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(700, 100));
    EXPECT_EQ(Waypoints(), (std::array<int, 3>{3, 3, 2}));

    // The table keeps its entries and its last index.
    QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(Waypoints(), (std::array<int, 3>{2, 2, 2}));
    EXPECT_NEAR(Doc().GetWaypoints()[2].x, 48.5, 1e-9);
    // The right click is an undo step: undone, the pointer stands where it stood; redone, it
    // goes again. Neither touches the map's modified flag.
    const bool bModified = Doc().IsModified();
    PressKey(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Waypoints(), (std::array<int, 3>{3, 3, 2}));
    EXPECT_EQ(View().Pointer(2)->GetPosition(), QPoint(500, 300));
    PressKey(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Waypoints(), (std::array<int, 3>{2, 2, 2}));
    EXPECT_EQ(Doc().IsModified(), bModified);

    // Saving needs waypoint mode off.
    Frame().CommandAction(ID_ENTER_WAYPOINTS)->trigger();
    Frame().CommandAction(ID_SAVE_WAYPOINTS)->trigger();
    EXPECT_EQ(ReadBytes(TestPath("harbour.wpt").toStdString()), "Halvoren Wp File\r\n"
                                                                "\r\n"
                                                                "#WP:\t2\r\n"
                                                                "48.750000,  -122.500000\r\n"
                                                                "49.000000,  -123.000000\r\n");

    // Calibration mode and back leaves every placed waypoint on the map and in the file.
    Frame().CommandAction(ID_MAP_CALIBRATE)->trigger();
    ASSERT_TRUE(Doc().IsCalibrationMode());
    Frame().CommandAction(ID_CALIBRATE_CANCEL)->trigger();
    EXPECT_EQ(Waypoints(), (std::array<int, 3>{2, 2, 2}));

    // Right clicks take the rest away, and one more finds nothing to take.
    Frame().CommandAction(ID_ENTER_WAYPOINTS)->trigger();
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(Viewport(), Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    }
    EXPECT_EQ(std::pair(Listed(), Doc().GetPlacedWaypoints()), std::pair(0, 0));
}

TEST_F(CalibFlow, a_new_picture_has_no_waypoints_placed_and_numbers_them_from_the_first) {
    Start(); // the default world map is calibrated
    Frame().CommandAction(ID_ENTER_WAYPOINTS)->trigger();
    for (const int x : {100, 200}) {
        QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(x, 50));
    }
    const auto Waypoints = [] {
        return std::array<int, 3>{Listed(), Doc().GetPlacedWaypoints(), Doc().GetLastWaypoint()};
    };
    ASSERT_EQ(Waypoints(), (std::array<int, 3>{2, 2, 1}));
    // The pointers go with the old picture, and so do the waypoints the file would list.
    Frame().CommandAction(ID_FILE_NEW)->trigger();
    EXPECT_EQ(Waypoints(), (std::array<int, 3>{0, 0, 1}));
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(300, 50));
    EXPECT_EQ(Waypoints(), (std::array<int, 3>{1, 1, 0}));
}

// (The calibration dialog's UTM fields: CalibDialogTest.)
TEST_F(CalibFlow, a_waypoint_on_a_utm_map_keeps_the_latitude_and_longitude_of_its_pixel) {
    Start();
    LoadPicture({600, 400});
    SetClientSize(QSize(700, 500));
    // UTM zone 10U, 10 metres per pixel.
    ASSERT_EQ(Doc()
                  .Calibrate({CoordType::Utm,
                              {CDoublePoint{500000, 5400000}, {504000, 5400000}, {500000, 5398000}},
                              {CDoublePoint{100, 100}, {500, 100}, {100, 300}},
                              10,
                              'U'})
                  .code,
              0);
    Frame().CommandAction(ID_ENTER_WAYPOINTS)->trigger();
    QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, ToClient(QPoint(300, 200)));
    ASSERT_EQ(Doc().GetPlacedWaypoints(), 1);
    CUtmConverter utm;
    utm.SetUtm(10, 'U', 502000.0, 5399000.0);
    double dLatitude = 0.0;
    double dLongitude = 0.0;
    utm.GetLatLon(dLatitude, dLongitude);
    EXPECT_NEAR(Doc().GetWaypoints()[0].x, dLatitude, 1e-9);
    EXPECT_NEAR(Doc().GetWaypoints()[0].y, dLongitude, 1e-9);
    EXPECT_NEAR(dLatitude, 48.74, 0.01);
}

TEST_F(CalibFlow, a_full_table_takes_no_more_waypoints) {
    Start(); // the default world map is calibrated
    Frame().CommandAction(ID_ENTER_WAYPOINTS)->trigger();
    for (int i = 0; i < 101; ++i) {
        QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(5 + i, 50));
    }
    EXPECT_EQ((std::array<int, 3>{Listed(), Doc().GetPlacedWaypoints(), Doc().GetLastWaypoint()}),
              (std::array<int, 3>{100, 100, 100}));
}

TEST_F(CalibFlow, cancel_in_the_dialog_puts_the_marks_back_and_escape_keeps_the_calibration) {
    Start(); // the default world map, calibrated at its corners
    SetClientSize(QSize(1000, 520));
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    DragMarkTo(0, QPoint(200, 150));
    InDialog([](QDialog& dlg) {
        TypeInto(dlg, IDC_X_1, "300");
        TypeInto(dlg, IDC_Y_2, "50");
        TypeInto(dlg, IDC_Y_3, "300");
        PressInDialog(dlg, Qt::Key_Tab);
        // Leaving a field moves its mark.
        EXPECT_EQ(MarkPositions(), (std::vector<QPoint>{{300, 150}, {997, 50}, {997, 300}}));
        PressInDialog(dlg, Qt::Key_Escape);
        EXPECT_FALSE(dlg.isVisible());
    });
    // Back where they stood when the dialog opened.
    EXPECT_EQ(MarkPositions(), (std::vector<QPoint>{{200, 150}, {997, 0}, {997, 499}}));
    EXPECT_TRUE(Doc().IsCalibrationMode() && Listed() == 6);

    PressKey(Qt::Key_Escape);
    EXPECT_FALSE(Doc().IsCalibrationMode());
    EXPECT_EQ(Listed(), 0);
    EXPECT_EQ(Doc().GetMarkPixels()[0], QPoint(0, 0));
    EXPECT_FALSE(Doc().IsModified());
}

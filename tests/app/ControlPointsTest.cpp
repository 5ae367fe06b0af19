// Control points placed, moved, typed, disabled, deleted and applied through the real table and
// mouse tool at several zoom levels, then saved, with the document, the points file and the
// calibration compared with what the user did.
#include "AppHarness.h"

#include "app/CControlPointTool.h"
#include "app/CControlPointsDock.h"
#include "display/CControlPointSprite.h"
#include "document/CPointsFile.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <string>
#include <vector>

using namespace mapreg;

namespace {

// The test picture's calibration: longitude -123 + (x - 100) / 400, latitude 49 - (y - 100) / 400.
CDoublePoint World(double x, double y) {
    return {-123.0 + (x - 100.0) / 400.0, 49.0 - (y - 100.0) / 400.0};
}

} // namespace

class ControlPoints : public AppHarness {
protected:
    static QTableWidget& Table() { return *Frame().PointsDock()->Table(); }
    static QString Cell(int nRow, int nColumn) { return Table().item(nRow, nColumn)->text(); }
    static void Click(QPoint ptClient) {
        QTest::mouseClick(Viewport(), Qt::LeftButton, Qt::NoModifier, ptClient);
        QCoreApplication::processEvents();
    }
    static void Zoom(double dFactor) {
        View().SetZoom(CMapZoom(dFactor));
        JumpTo(QPoint(0, 0));
    }
};

TEST_F(ControlPoints, placed_edited_and_applied_through_table_and_mouse_at_any_zoom) {
    Start();
    LoadPicture(QSize(600, 400));
    SetClientSize(QSize(600, 400));
    ASSERT_EQ(Doc()
                  .Calibrate(CCalibration{CoordType::LatLon,
                                          {World(100, 100), World(500, 100), World(100, 300)},
                                          {{{100, 100}, {500, 100}, {100, 300}}}})
                  .code,
              0);
    const std::string mapPath = TestPath("map.gpm").toStdString();
    ASSERT_TRUE(Doc().DoSave(mapPath));
    Frame().CommandAction(ID_MAP_CONTROL_POINTS)->trigger();
    ASSERT_TRUE(Frame().PointsDock()->isVisible());
    ASSERT_TRUE(View().IsControlPointMode());

    // A click adds a point at the pixel under the hot spot: at 200 %, 50 % and 100 %.
    Zoom(2.0);
    Click(QPoint(101, 121)); // pixel (50, 60)
    Zoom(0.5);
    Click(QPoint(250, 30)); // (500, 60)
    Click(QPoint(25, 150)); // (50, 300)
    Zoom(1.0);
    Click(QPoint(500, 300)); // (500, 300)
    // A drag moves a point and another brings it back; a click beside the figures adds one.
    Drag(QPoint(500, 300), QPoint(520, 310));
    EXPECT_EQ(Doc().GetControlPoints()[3].picture.x, 520.0);
    Drag(QPoint(520, 310), QPoint(500, 300));
    Click(QPoint(200, 250));
    const std::vector<QPoint> placed = {{50, 60}, {500, 60}, {50, 300}, {500, 300}, {200, 250}};
    ASSERT_EQ(Doc().GetControlPoints().size(), placed.size());
    ASSERT_EQ(Table().rowCount(), 5);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const ControlPoint& p = Doc().GetControlPoints()[i];
        EXPECT_EQ(QPoint(static_cast<int>(p.picture.x), static_cast<int>(p.picture.y)), placed[i]);
        const CDoublePoint world = World(placed[i].x(), placed[i].y());
        EXPECT_NEAR(p.world.x, world.x, 1e-9);
        EXPECT_NEAR(p.world.y, world.y, 1e-9);
        EXPECT_EQ(View().PointTool().Figure(static_cast<int>(i))->GetPosition(), placed[i]);
    }

    // Point 1 typed a minute of latitude too far north (N 49 07' instead of 49 06'): it is the
    // worst, in the table and on the map, by the length of that minute, 1853 m.
    Table().item(0, CControlPointsDock::kColumnWorld1)->setText(QStringLiteral("N 49*07'"));
    EXPECT_NEAR(Doc().GetControlPoints()[0].world.y, 49.0 + 7.0 / 60.0, 1e-12);
    EXPECT_NEAR(Cell(0, CControlPointsDock::kColumnLeaveOneOut).toDouble(), 1853.0, 2.0);
    EXPECT_EQ(Table().item(0, 3)->background().color(),
              QColor(QRgb(CControlPointsDock::kWorstRowColor)));
    EXPECT_EQ(Table().item(1, 3)->background().style(), Qt::NoBrush);
    EXPECT_EQ(View().PointTool().Figure(0)->GetColor(), CControlPointTool::kWorstColor);
    EXPECT_TRUE(Frame().PointsDock()->Summary()->text().contains(QStringLiteral("Worst point: 1")));
    // Text that is no latitude leaves the point as it was.
    Table().item(0, CControlPointsDock::kColumnWorld1)->setText(QStringLiteral("N 95"));
    EXPECT_EQ(Cell(0, CControlPointsDock::kColumnWorld1), QStringLiteral("49.1166667"));

    Table().item(4, CControlPointsDock::kColumnEnabled)->setCheckState(Qt::Unchecked);
    // A press on a figure selects its point; Delete removes it.
    Click(QPoint(500, 60));
    EXPECT_EQ(Table().currentRow(), 1);
    PressKey(Qt::Key_Delete);
    ASSERT_EQ(Doc().GetControlPoints().size(), 4u);

    // Apply asks first on a calibrated map; the fit of the three enabled points is exact.
    prompt.answers.push_back(MsgAnswer::Yes);
    Frame().PointsDock()->findChild<QToolButton*>(QStringLiteral("controlPointsApply"))->click();
    EXPECT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_POINTS_APPLY_REPLACE});
    // Through (50,60), (50,300) and (500,300): longitude -123.125 + (x - 50) / 400, latitude
    // 48.5 + (300 - y) * (37 / 60) / 240.
    const auto fitted = [](double x, double y) {
        return CDoublePoint{-123.125 + (x - 50.0) / 400.0,
                            48.5 + (300.0 - y) * (37.0 / 60.0) / 240.0};
    };
    const CCalibration& calibration = Doc().GetCalibration();
    const std::array<CDoublePoint, 3> corners = {{{0, 0}, {599, 0}, {0, 399}}};
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(calibration.picture[k].x, corners[k].x);
        EXPECT_EQ(calibration.picture[k].y, corners[k].y);
        EXPECT_NEAR(calibration.world[k].x, fitted(corners[k].x, corners[k].y).x, 1e-9);
        EXPECT_NEAR(calibration.world[k].y, fitted(corners[k].x, corners[k].y).y, 1e-9);
    }

    std::vector<std::string> steps;
    for (int i = 0; i < Doc().GetUndoStack().count(); ++i) {
        steps.push_back(Doc().GetUndoStack().text(i).toStdString());
    }
    EXPECT_EQ(steps, (std::vector<std::string>{"Add Point 1", "Add Point 2", "Add Point 3",
                                               "Add Point 4", "Move Point 4", "Move Point 4",
                                               "Add Point 5", "Edit Point 1", "Disable Point 5",
                                               "Delete Point 2", "Apply Control Points"}));

    // Saved and opened again: the points file holds the four points as they stand.
    PressKey(Qt::Key_S, Qt::ControlModifier);
    const CPointsFile::Result saved =
        CPointsFile::Read(CPointsFile::PathForMapFile(mapPath), WorldKind{});
    ASSERT_EQ(saved.status, CPointsFile::Status::Ok);
    std::vector<ControlPoint> expected = {{{50, 60}, {-123.125, 49.0 + 7.0 / 60.0}, true},
                                          {{50, 300}, World(50, 300), true},
                                          {{500, 300}, World(500, 300), true},
                                          {{200, 250}, World(200, 250), false}};
    ASSERT_EQ(saved.points.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(saved.points[i].picture.x, expected[i].picture.x) << i;
        EXPECT_EQ(saved.points[i].picture.y, expected[i].picture.y) << i;
        EXPECT_NEAR(saved.points[i].world.x, expected[i].world.x, 1e-9) << i;
        EXPECT_NEAR(saved.points[i].world.y, expected[i].world.y, 1e-9) << i;
        EXPECT_EQ(saved.points[i].enabled, expected[i].enabled) << i;
    }
    // File > New starts without points; opening the map brings them back into the table.
    Frame().CommandAction(ID_FILE_NEW)->trigger();
    EXPECT_EQ(Table().rowCount(), 0);
    EXPECT_EQ(Listed(), 0);
    prompt.chosenFiles.push_back(mapPath);
    Frame().CommandAction(ID_FILE_OPEN)->trigger();
    EXPECT_EQ(Table().rowCount(), 4);
    EXPECT_EQ(Cell(3, CControlPointsDock::kColumnX), QStringLiteral("200"));
    EXPECT_EQ(Table().item(3, CControlPointsDock::kColumnEnabled)->checkState(), Qt::Unchecked);
}

// On a map not yet calibrated the points can be typed in UTM: the row above the table sets the
// zone (an undo step; a zone that does not exist is refused), Apply calibrates in that zone, and
// then the row goes. Undone to the start, the map is uncalibrated in latitude/longitude again.
TEST_F(ControlPoints, uncalibrated_map_takes_points_in_utm_and_is_calibrated_in_their_zone) {
    Start();
    LoadPicture(QSize(600, 400));
    SetClientSize(QSize(600, 400));
    Frame().CommandAction(ID_MAP_CONTROL_POINTS)->trigger();
    CControlPointsDock& dock = *Frame().PointsDock();
    ASSERT_TRUE(dock.Units()->isVisible());
    const QList<QRadioButton*> units = dock.Units()->findChildren<QRadioButton*>();
    QLineEdit& zone = *dock.Units()->findChild<QLineEdit*>();
    units[1]->click();
    zone.setText(QStringLiteral("61U"));
    emit zone.editingFinished();
    EXPECT_FALSE(Doc().GetCalibration().IsUtm());
    units[1]->click();
    zone.setText(QStringLiteral("33u"));
    emit zone.editingFinished();
    ASSERT_TRUE(Doc().GetCalibration().IsUtm());
    EXPECT_EQ(Doc().GetCalibration().zone, 33);
    EXPECT_EQ(Doc().GetCalibration().letter, 'U');

    // Three points by mouse, each given its easting and northing (10 m a pixel).
    const std::array<QPoint, 3> placed = {{{100, 100}, {500, 100}, {100, 300}}};
    for (std::size_t i = 0; i < placed.size(); ++i) {
        Click(placed[i]);
        const int nRow = static_cast<int>(i);
        Table()
            .item(nRow, CControlPointsDock::kColumnWorld1)
            ->setText(QString::number(400000 + 10 * placed[i].x()));
        Table()
            .item(nRow, CControlPointsDock::kColumnWorld2)
            ->setText(QString::number(5400000 - 10 * placed[i].y()));
    }
    Frame().PointsDock()->findChild<QToolButton*>(QStringLiteral("controlPointsApply"))->click();
    ASSERT_TRUE(Doc().IsCalibrated());
    EXPECT_TRUE(Doc().GetCalibration().IsUtm());
    EXPECT_EQ(Doc().GetCalibration().zone, 33);
    const CDoublePoint centre = Doc().PictureToWorld({300, 200});
    EXPECT_NEAR(centre.x, 403000.0, 1e-6);
    EXPECT_NEAR(centre.y, 5398000.0, 1e-6);
    EXPECT_FALSE(dock.Units()->isVisible());

    EXPECT_EQ(Doc().GetUndoStack().text(0).toStdString(), "Change Units");
    while (Doc().GetUndoStack().canUndo()) {
        Doc().GetUndoStack().undo();
    }
    EXPECT_FALSE(Doc().IsCalibrated());
    EXPECT_FALSE(Doc().GetCalibration().IsUtm());
    EXPECT_TRUE(units[0]->isChecked());
    EXPECT_TRUE(dock.Units()->isVisible());
}

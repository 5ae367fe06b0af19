// Undo and redo of control point edits, Apply, committed calibrations and waypoint clicks:
// whole document states and the files they save, and the modified flag following the saved
// state (which waypoints, not held by the map file, leave alone).
#include "DocumentTestSupport.h"
#include "resources/StringTable.h"

#include <random>

using namespace mapreg;

namespace {

// The bytes a save writes: map file, registration file and points file; and the waypoint file.
std::string Files(const CGpsDoc& doc) {
    return doc.BuildMapFile() + '\n' + doc.BuildRegistrationText() + '\n' +
           doc.BuildControlPointsText() + '\n' + doc.BuildWaypointText();
}

// A waypoint click at a random pixel, or a right click when waypoints are placed.
void ClickWaypoint(CGpsDoc& doc, std::mt19937& random, bool bRemove) {
    const int n = doc.GetPlacedWaypoints();
    if (bRemove && n > 0) {
        doc.TakeWaypoint(n - 1);
        return;
    }
    const CDoublePoint p{static_cast<double>(random() % 1000), static_cast<double>(random() % 800)};
    const CDoublePoint world = doc.PictureToWorld(p);
    doc.PlaceWaypoint(n, p, {world.y, world.x});
}

} // namespace

TEST_F(DocumentTest, random_edits_undone_and_redone_give_back_both_ends_byte_for_byte) {
    LoadHarbour();
    ASSERT_TRUE(doc->DoSave((dir / "harbour.gpm").string()));
    const std::string start = Files(*doc);
    std::mt19937 random(99);
    std::uniform_real_distribution<double> x(0.0, 999.0);
    std::uniform_real_distribution<double> y(0.0, 799.0);
    std::uniform_real_distribution<double> noise(-2e-4, 2e-4);
    std::vector<std::string> names;
    for (int step = 0; step < 60; ++step) {
        std::vector<ControlPoint> points = doc->GetControlPoints();
        const std::size_t n = points.size();
        const std::size_t i = n == 0 ? 0 : random() % n;
        const std::string number = std::to_string(i + 1);
        switch (n < 3 ? 0 : random() % 9) {
        case 0: {
            const CDoublePoint p{std::round(x(random)), std::round(y(random))};
            points.push_back({p, doc->PictureToWorld(p), true});
            points.back().world.x += noise(random);
            doc->ChangeControlPoints(points,
                                     FormatString1(IDS_UNDO_ADD_POINT, std::to_string(n + 1)));
            break;
        }
        case 1:
            points[i].picture = {std::round(x(random)), std::round(y(random))};
            doc->ChangeControlPoints(points, FormatString1(IDS_UNDO_MOVE_POINT, number));
            break;
        case 2:
            points[i].world.y += noise(random);
            doc->ChangeControlPoints(points, FormatString1(IDS_UNDO_EDIT_POINT, number));
            break;
        case 3:
            points[i].enabled = !points[i].enabled;
            doc->ChangeControlPoints(points, FormatString1(IDS_UNDO_ENABLE_POINT, number));
            break;
        case 4:
            points.erase(points.begin() + static_cast<std::ptrdiff_t>(i));
            doc->ChangeControlPoints(points, FormatString1(IDS_UNDO_DELETE_POINT, number));
            break;
        case 5:
            if (doc->ApplyControlPoints() != 0) {
                continue;
            }
            break;
        case 7:
        case 8:
            ClickWaypoint(*doc, random, random() % 3 == 0);
            break;
        default: {
            CCalibration calibration = doc->GetCalibration();
            calibration.world[1].x += noise(random);
            doc->EnterCalibrationMode();
            ASSERT_EQ(doc->Calibrate(calibration).code, 0);
            break;
        }
        }
        names.push_back(doc->GetUndoStack().undoText().toStdString());
        EXPECT_TRUE(doc->IsModified());
    }
    // The last step changes the map, for the saved-state checks below.
    std::vector<ControlPoint> last = doc->GetControlPoints();
    last.front().enabled = !last.front().enabled;
    doc->ChangeControlPoints(last, "Enable Point 1");
    names.push_back("Enable Point 1");
    ASSERT_EQ(doc->GetUndoStack().count(), static_cast<int>(names.size()));
    EXPECT_EQ(names.front(), "Add Point 1");
    const CGpsDoc::UndoState endState = doc->CaptureUndoState();
    const std::string end = Files(*doc);

    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        ASSERT_EQ(doc->GetUndoStack().undoText().toStdString(), *name);
        doc->GetUndoStack().undo();
    }
    EXPECT_EQ(Files(*doc), start);
    EXPECT_FALSE(doc->IsModified());
    while (doc->GetUndoStack().canRedo()) {
        doc->GetUndoStack().redo();
    }
    EXPECT_EQ(Files(*doc), end);
    EXPECT_EQ(doc->CaptureUndoState().points, endState.points);
    EXPECT_TRUE(doc->IsModified());

    // Saving moves the clean state; a change outside the history leaves it for good.
    ASSERT_TRUE(doc->DoSave((dir / "harbour.gpm").string()));
    doc->GetUndoStack().undo();
    EXPECT_TRUE(doc->IsModified());
    doc->GetUndoStack().redo();
    EXPECT_FALSE(doc->IsModified());
    doc->SetModifiedFlag(true);
    doc->GetUndoStack().undo();
    doc->GetUndoStack().redo();
    EXPECT_TRUE(doc->IsModified());

    // Waypoint clicks and their undo leave a saved map unmodified; a point edit among them
    // modifies it until undone.
    ASSERT_TRUE(doc->DoSave((dir / "harbour.gpm").string()));
    ClickWaypoint(*doc, random, false);
    ClickWaypoint(*doc, random, true);
    EXPECT_FALSE(doc->IsModified());
    doc->ChangeControlPoints({}, "Delete Point 1");
    ClickWaypoint(*doc, random, false);
    EXPECT_TRUE(doc->IsModified());
    doc->GetUndoStack().undo();
    doc->GetUndoStack().undo();
    EXPECT_FALSE(doc->IsModified());
    doc->GetUndoStack().undo();
    doc->GetUndoStack().undo();
    EXPECT_FALSE(doc->IsModified());
    EXPECT_EQ(doc->GetUndoStack().undoText().toStdString(), names.back());

    // Waypoints stay with the picture they were placed on: after a new one, undoing their clicks
    // places none on it.
    ClickWaypoint(*doc, random, false);
    ClickWaypoint(*doc, random, false);
    ASSERT_EQ(doc->LoadBitmapFile(doc->GetBitmapPath()), 0);
    doc->GetUndoStack().undo();
    EXPECT_EQ(doc->GetPlacedWaypoints(), 0);
}

// File > Export in the real program: the submenu after Save As, which items are enabled for
// which map, and the files each item writes (choosers answered by the recording prompt).

#include "AppHarness.h"

#include "StringTable.h"
#include "Waypoints.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>

namespace {

class ExportMenu : public AppHarness {
protected:
    void SetUp() override {
        AppHarness::SetUp();
        g_waypoints = {};
        g_nPlacedWaypoints = 0;
    }
    void TearDown() override {
        g_nPlacedWaypoints = 0;
        AppHarness::TearDown();
    }
    // Loads city.bmp through Map > New Bitmap.
    void LoadPicture() {
        prompt.chosenFiles.push_back(
            WriteBitmap(QStringLiteral("city.bmp"), QSize(200, 100)).toStdString());
        PressKey(Qt::Key_F2);
        ASSERT_EQ(Doc().GetMapWidth(), 200);
    }
    void Calibrate() {
        ASSERT_EQ(Doc().Calibrate(0, {CDoublePoint{5.0, 46.0}, {6.0, 46.0}, {6.0, 45.5}},
                                  {CDoublePoint{0, 0}, {200, 0}, {200, 100}}, 0, '?', nullptr,
                                  nullptr),
                  0);
    }
    // Which of World File, GPX Waypoints and OziExplorer Map File are enabled now.
    std::array<bool, 3> Enabled() {
        Frame().UpdateCommandUI();
        return {Frame().CommandAction(ID_FILE_EXPORT_WORLD_FILE)->isEnabled(),
                Frame().CommandAction(ID_FILE_EXPORT_GPX)->isEnabled(),
                Frame().CommandAction(ID_FILE_EXPORT_OZI_MAP)->isEnabled()};
    }
};

TEST_F(ExportMenu, export_submenu_follows_save_as_with_its_three_items) {
    Start();
    const QStringList items = MenuItems(0);
    const qsizetype at = items.indexOf(QStringLiteral("Save &As..."));
    ASSERT_GE(at, 0);
    ASSERT_EQ(items.value(at + 1), QStringLiteral("E&xport"));
    QMenu* pExport = Frame().menuBar()->findChild<QMenu*>(QStringLiteral("menuExport"));
    ASSERT_NE(pExport, nullptr);
    QStringList texts;
    for (QAction* pAction : pExport->actions()) {
        texts << pAction->text();
    }
    EXPECT_EQ(texts, (QStringList{"&World File", "&GPX Waypoints...", "&OziExplorer Map File..."}));
}

TEST_F(ExportMenu, items_are_enabled_only_where_the_export_applies) {
    Start();
    using E = std::array<bool, 3>;
    EXPECT_EQ(Enabled(), (E{false, false, false})) << "built-in world map, no waypoints";
    g_waypoints[0] = {45.75, 5.5};
    g_nPlacedWaypoints = 1;
    EXPECT_EQ(Enabled(), (E{false, true, false})) << "built-in world map with a waypoint";
    g_nPlacedWaypoints = 0;
    LoadPicture();
    EXPECT_EQ(Enabled(), (E{false, false, false})) << "new bitmap, not calibrated";
    Calibrate();
    EXPECT_EQ(Enabled(), (E{true, false, true})) << "calibrated";
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    ASSERT_TRUE(Doc().IsCalibrationMode());
    EXPECT_EQ(Enabled(), (E{false, false, false})) << "calibration mode";
}

TEST_F(ExportMenu, each_item_writes_its_files_and_reports_a_failure_by_name) {
    Start();
    LoadPicture();
    Calibrate();
    g_waypoints[0] = {45.75, 5.5};
    g_nPlacedWaypoints = 1;
    Enabled();

    Frame().CommandAction(ID_FILE_EXPORT_WORLD_FILE)->trigger();
    EXPECT_TRUE(QFileInfo::exists(TestPath(QStringLiteral("city.bpw"))));
    EXPECT_TRUE(QFileInfo::exists(TestPath(QStringLiteral("city.bmp.aux.xml"))));

    prompt.chosenFiles.push_back(TestPath(QStringLiteral("trip.gpx")).toStdString());
    Frame().CommandAction(ID_FILE_EXPORT_GPX)->trigger();
    EXPECT_TRUE(QFileInfo::exists(TestPath(QStringLiteral("trip.gpx"))));
    ASSERT_FALSE(prompt.choosers.empty());
    EXPECT_TRUE(prompt.choosers.back().save);
    EXPECT_EQ(prompt.choosers.back().titleOrPath,
              TestPath(QStringLiteral("city.gpx")).toStdString());

    prompt.chosenFiles.push_back(TestPath(QStringLiteral("apps/city.map")).toStdString());
    Frame().CommandAction(ID_FILE_EXPORT_OZI_MAP)->trigger();
    EXPECT_EQ(prompt.choosers.back().titleOrPath,
              TestPath(QStringLiteral("city.map")).toStdString());
    ASSERT_EQ(prompt.messages.size(), 1u) << "the folder apps does not exist";
    EXPECT_EQ(prompt.messages[0].icon, MsgIcon::Stop);
    EXPECT_NE(prompt.messages[0].text.find(TestPath(QStringLiteral("apps/city.map")).toStdString()),
              std::string::npos);
}

} // namespace

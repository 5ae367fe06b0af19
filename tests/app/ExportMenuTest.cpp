// File > Export in the real program: its items, which are enabled for which map, and the files
// each item writes (choosers answered by the recording prompt).

#include "AppHarness.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>

#include <filesystem>

using namespace mapreg;

namespace {

class ExportMenu : public AppHarness {
protected:
    void Calibrate() {
        ASSERT_EQ(Doc()
                      .Calibrate({CoordType::LatLon,
                                  {CDoublePoint{5.0, 46.0}, {6.0, 46.0}, {6.0, 45.5}},
                                  {CDoublePoint{0, 0}, {200, 0}, {200, 100}},
                                  0,
                                  '?'})
                      .code,
                  0);
    }
    // Which of World File, GPX Waypoints and OziExplorer Map File are enabled now.
    static std::array<bool, 3> Enabled() {
        Frame().UpdateCommandUI();
        return {Frame().CommandAction(ID_FILE_EXPORT_WORLD_FILE)->isEnabled(),
                Frame().CommandAction(ID_FILE_EXPORT_GPX)->isEnabled(),
                Frame().CommandAction(ID_FILE_EXPORT_OZI_MAP)->isEnabled()};
    }
};

} // namespace

TEST_F(ExportMenu, items_are_enabled_only_where_the_export_applies) {
    Start();
    QStringList texts;
    for (QAction* pAction : Frame().menuBar()->findChild<QMenu*>("menuExport")->actions()) {
        texts << pAction->text();
    }
    EXPECT_EQ(texts, (QStringList{"&World File", "&GPX Waypoints...", "&OziExplorer Map File...",
                                  "", "Garmin Custom Map (KMZ)…", "MBTiles…", "GeoTIFF…"}));

    using E = std::array<bool, 3>;
    EXPECT_EQ(Enabled(), (E{false, false, false})) << "built-in world map, no waypoints";
    Doc().AddWaypoint(0, {45.75, 5.5});
    EXPECT_EQ(Enabled(), (E{false, true, false})) << "built-in world map with a waypoint";
    Doc().RemoveLastWaypoint(0);
    LoadPicture({200, 100}, QStringLiteral("city.bmp"));
    EXPECT_EQ(Enabled(), (E{false, false, false})) << "new bitmap, not calibrated";
    Calibrate();
    EXPECT_EQ(Enabled(), (E{true, false, true})) << "calibrated";
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    ASSERT_TRUE(Doc().IsCalibrationMode());
    EXPECT_EQ(Enabled(), (E{false, false, false})) << "calibration mode";
}

TEST_F(ExportMenu, each_item_writes_its_files_and_reports_a_failure_by_name) {
    Start();
    LoadPicture({200, 100}, QStringLiteral("city.bmp"));
    Calibrate();
    Doc().AddWaypoint(0, {45.75, 5.5});
    Enabled();

    Frame().CommandAction(ID_FILE_EXPORT_WORLD_FILE)->trigger();
    EXPECT_TRUE(QFileInfo::exists(TestPath(QStringLiteral("city.bpw"))));
    EXPECT_TRUE(QFileInfo::exists(TestPath(QStringLiteral("city.bmp.aux.xml"))));

    prompt.chosenFiles.push_back(TestPath(QStringLiteral("trip.gpx")).toStdString());
    Frame().CommandAction(ID_FILE_EXPORT_GPX)->trigger();
    EXPECT_TRUE(QFileInfo::exists(TestPath(QStringLiteral("trip.gpx"))));
    ASSERT_FALSE(prompt.choosers.empty());
    EXPECT_TRUE(prompt.choosers.back().save);
    EXPECT_EQ(prompt.choosers.back().titleOrPath, TestPath("city.gpx").toStdString());

    const std::string missingFolder = TestPath(QStringLiteral("apps/city.map")).toStdString();
    prompt.chosenFiles.push_back(missingFolder);
    Frame().CommandAction(ID_FILE_EXPORT_OZI_MAP)->trigger();
    EXPECT_EQ(prompt.choosers.back().titleOrPath, TestPath("city.map").toStdString());
    ASSERT_EQ(prompt.messages.size(), 1u) << "the folder apps does not exist";
    EXPECT_EQ(prompt.messages[0].icon, MsgIcon::Stop);
    EXPECT_NE(prompt.messages[0].text.find(missingFolder), std::string::npos);
}

// The device formats run mapreg-cli export as a worker: each writes its file under the name the
// chooser offers; a worker that fails (the bitmap has gone) shows its message and leaves the map
// as it was.
TEST_F(ExportMenu, device_exports_write_through_the_worker_or_report_its_message) {
    Start();
    LoadPicture({200, 100}, QStringLiteral("city.bmp"));
    Calibrate();
    Enabled();
    struct Row {
        unsigned nId;
        const char* file;
        bool bitmapGone;
    };
    const Row rows[] = {
        {ID_FILE_EXPORT_KMZ, "city.kmz", false},
        {ID_FILE_EXPORT_MBTILES, "city.mbtiles", false},
        {ID_FILE_EXPORT_GEOTIFF, "city.tif", false},
        {ID_FILE_EXPORT_GEOTIFF, "city.tif", true},
    };
    for (const Row& row : rows) {
        const std::string file = TestPath(QString::fromUtf8(row.file)).toStdString();
        if (row.bitmapGone) {
            std::filesystem::remove(file);
            std::filesystem::rename(Doc().GetBitmapPath(), TestPath("elsewhere.bmp").toStdString());
        }
        prompt.messages.clear();
        prompt.chosenFiles.push_back(file);
        Frame().CommandAction(row.nId)->trigger();
        EXPECT_EQ(prompt.choosers.back().titleOrPath, file);
        EXPECT_EQ(std::filesystem::exists(file), !row.bitmapGone) << row.file;
        EXPECT_EQ(prompt.MessageIds(), row.bitmapGone
                                           ? std::vector<unsigned>{IDS_DEVICE_CANNOT_MAKE}
                                           : std::vector<unsigned>{})
            << row.file;
    }
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_NE(prompt.messages[0].text.find("Cannot read the map bitmap"), std::string::npos);
    EXPECT_TRUE(Doc().IsCalibrated());
    EXPECT_EQ(Doc().GetBitmapPath(), TestPath("city.bmp").toStdString());

    // Cancel in the progress window ends a worker that would run on: nothing is said, and
    // nothing is written or left behind.
    const QString worker = TestPath(QStringLiteral("slow.sh"));
    QFile script(worker);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    // Were it not ended, it would leave its mark after a minute.
    script.write("#!/bin/sh\nsleep 60\ntouch '" + TestPath("late.kmz").toLocal8Bit() + "'\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray realWorker = qgetenv("MAPREG_CLI");
    qputenv("MAPREG_CLI", worker.toLocal8Bit());
    const QStringList before = QDir(TestPath(".")).entryList(QDir::Files | QDir::Hidden);
    prompt.messages.clear();
    prompt.chosenFiles.push_back(TestPath("late.kmz").toStdString());
    WithNextDialog(
        [](QDialog& dialog) {
            ASSERT_NE(qobject_cast<QProgressDialog*>(&dialog), nullptr);
            dialog.findChild<QPushButton*>()->click(); // Cancel
        },
        [&] { Frame().CommandAction(ID_FILE_EXPORT_KMZ)->trigger(); });
    qputenv("MAPREG_CLI", realWorker);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(QDir(TestPath(".")).entryList(QDir::Files | QDir::Hidden), before);
}

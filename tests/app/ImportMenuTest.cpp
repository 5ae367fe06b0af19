// Map > New Bitmap with pictures of other formats, through the real program and its worker.

#include "AppHarness.h"

#include "app/CStraightenCommand.h"
#include "display/CBmpDecoder.h"
#include "georef/CPointFit.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <filesystem>

using namespace mapreg;

namespace {

using ImportMenuTest = AppHarness;

TEST_F(ImportMenuTest, a_georeferenced_picture_arrives_converted_and_calibrated) {
    Start();
    const std::string tif = TestPath(QStringLiteral("scan.tif")).toStdString();
    const std::string bmp = TestPath(QStringLiteral("scan.bmp")).toStdString();
    std::array<double, 6> gt{10.0, 0.001, 0.0, 50.0, 0.0, -0.002};
    {
        GDALAllRegister();
        GDALDataset* ds = GetGDALDriverManager()->GetDriverByName("GTiff")->Create(
            tif.c_str(), 40, 30, 3, GDT_Byte, nullptr);
        ds->SetGeoTransform(gt.data());
        OGRSpatialReference wgs84;
        wgs84.importFromEPSG(4326);
        ds->SetSpatialRef(&wgs84);
        GDALClose(ds);
    }
    prompt.chosenFiles.push_back(tif);
    PressKey(Qt::Key_F2);
    ASSERT_EQ(prompt.choosers.size(), 1u);
    EXPECT_EQ(prompt.choosers[0].filter.rfind("Map pictures|*.bmp;", 0), 0u);
    EXPECT_NE(prompt.choosers[0].filter.find(";*.tif;"), std::string::npos);
    EXPECT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_IMPORT_CALIBRATED});
    EXPECT_EQ(Doc().GetBitmapPath(), bmp);
    EXPECT_EQ(QSize(Doc().GetMapWidth(), Doc().GetMapHeight()), QSize(40, 30));
    EXPECT_TRUE(Doc().IsCalibrated());
    EXPECT_TRUE(Doc().IsModified());
    const CDoublePoint corner = Doc().PictureToWorld(39, 29);
    EXPECT_NEAR(corner.x, 10.039, 1e-9);
    EXPECT_NEAR(corner.y, 49.942, 1e-9);

    // Now that scan.bmp exists the program asks where to write; cancelling changes nothing.
    prompt.chosenFiles.push_back(tif);
    prompt.chosenFiles.push_back(std::nullopt);
    PressKey(Qt::Key_F2);
    ASSERT_EQ(prompt.choosers.size(), 3u);
    EXPECT_TRUE(prompt.choosers[2].save);
    EXPECT_EQ(prompt.choosers[2].titleOrPath, bmp);
    EXPECT_EQ(prompt.messages.size(), 1u);
}

// The worker that reads the picture crashes, hangs until Cancel or fails, or the picture is
// one the window could not hold (1,400,000,000 x 1 pixels; a tiny JPEG that declares 65500 x
// 65500): the window says so (or, after Cancel, nothing), keeps the map it had, and no bitmap
// or temporary file is left.
TEST_F(ImportMenuTest, a_worker_that_crashes_hangs_or_fails_leaves_the_map_as_it_was) {
    struct Case {
        const char* name;
        const char* script; // a stand-in worker; none: the real one
        const char* picture;
        std::vector<unsigned> messageIds;
        std::string text;
    };
    Start();
    const QString picture = LoadPicture(QSize(30, 20));
    const std::string wide = TestPath(QStringLiteral("wide.vrt")).toStdString();
    std::vector<Case> cases = {
        {"crash",
         "kill -SEGV $$",
         "survey.tif",
         {IDS_IMPORT_CANNOT_READ},
         LoadStringId(IDS_WORKER_CRASHED).data()},
        {"hang", "exec sleep 60", "survey.tif", {}, ""},
        {"fails",
         "echo 'Cannot read the picture.' >&2; exit 4",
         "survey.tif",
         {IDS_IMPORT_CANNOT_READ},
         "Cannot read the picture."},
        {"wide",
         nullptr,
         "wide.vrt",
         {IDS_IMPORT_CANNOT_READ},
         FormatString1(IDS_IMPORT_TOO_WIDE, wide)},
    };
    {
        std::string bands;
        for (const char* colour : {"Red", "Green", "Blue", "Alpha"}) {
            bands += std::string("<VRTRasterBand dataType=\"Byte\"><ColorInterp>") + colour +
                     "</ColorInterp></VRTRasterBand>";
        }
        QFile vrt(QString::fromStdString(wide));
        ASSERT_TRUE(vrt.open(QIODevice::WriteOnly));
        vrt.write(
            ("<VRTDataset rasterXSize=\"1400000000\" rasterYSize=\"1\">" + bands + "</VRTDataset>")
                .c_str());
    }
    // The JPEG's frame header claims 65500 x 65500; on a machine that could hold that picture
    // (more than 30 GB available) the row is left out.
    if (!CBmpDecoder::FitsMemoryBudget(std::uint64_t{65500} * 65500 * 4)) {
        const std::string jpeg = TestPath(QStringLiteral("huge.jpg")).toStdString();
        GDALAllRegister();
        GDALDataset* mem =
            GetGDALDriverManager()->GetDriverByName("MEM")->Create("", 8, 8, 1, GDT_Byte, nullptr);
        GDALClose(GetGDALDriverManager()->GetDriverByName("JPEG")->CreateCopy(
            jpeg.c_str(), mem, FALSE, nullptr, nullptr, nullptr));
        GDALClose(mem);
        QFile file(QString::fromStdString(jpeg));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        const qsizetype frame = bytes.indexOf("\xFF\xC0");
        ASSERT_GT(frame, 0);
        bytes.replace(frame + 5, 4, QByteArray("\xFF\xDC\xFF\xDC", 4));
        file.seek(0);
        file.write(bytes);
        file.close();
        std::filesystem::remove(jpeg + ".aux.xml");
        cases.push_back({"huge", nullptr, "huge.jpg", {IDS_OUT_OF_MEMORY}, "Out of memory."});
    }
    const QByteArray realWorker = qgetenv("MAPREG_CLI");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.script != nullptr) {
            const QString worker = TestPath(QString::fromLatin1(c.name) + QStringLiteral(".sh"));
            QFile script(worker);
            ASSERT_TRUE(script.open(QIODevice::WriteOnly));
            script.write(QByteArray("#!/bin/sh\n") + c.script + "\n");
            script.close();
            script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            qputenv("MAPREG_CLI", worker.toLocal8Bit());
        }
        prompt.messages.clear();
        prompt.chosenFiles.push_back(TestPath(QString::fromLatin1(c.picture)).toStdString());
        if (std::string_view(c.name) == "hang") {
            WithNextDialog(
                [](QDialog& dialog) {
                    ASSERT_NE(qobject_cast<QProgressDialog*>(&dialog), nullptr);
                    dialog.findChild<QPushButton*>()->click(); // Cancel
                },
                [&] { PressKey(Qt::Key_F2); });
        } else {
            PressKey(Qt::Key_F2);
        }
        qputenv("MAPREG_CLI", realWorker);
        EXPECT_EQ(prompt.MessageIds(), c.messageIds);
        if (!c.messageIds.empty() && !prompt.messages.empty()) {
            EXPECT_EQ(prompt.messages[0].text, c.text);
        }
        EXPECT_TRUE(prompt.chosenFiles.empty());
        EXPECT_EQ(Doc().GetBitmapPath(), picture.toStdString());
        EXPECT_EQ(QSize(Doc().GetMapWidth(), Doc().GetMapHeight()), QSize(30, 20));
        EXPECT_EQ(QDir(TestPath(".")).entryList({"*.bmp", ".*"}, QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("plain.bmp")});
    }
}

// A map handed over by the desktop while a picture converts waits for the conversion: it is
// opened afterwards, with the question about the imported, unsaved picture first.
TEST_F(ImportMenuTest, a_map_handed_over_during_a_conversion_opens_after_it) {
    Start();
    // The other map, saved with its own picture.
    const QString other = TestPath(QStringLiteral("other.gpm"));
    LoadPicture({50, 40}, QStringLiteral("other.bmp"));
    prompt.chosenFiles.push_back(other.toStdString());
    PressKey(Qt::Key_S, Qt::ControlModifier);
    PressKey(Qt::Key_N, Qt::ControlModifier);
    ASSERT_FALSE(Doc().IsModified());

    const QString png = TestPath(QStringLiteral("scan.png"));
    ASSERT_TRUE(QImage(64, 48, QImage::Format_RGB32).save(png));
    // Delivered by the first event loop that runs: the conversion's progress.
    std::string bitmapAtDelivery = "not delivered";
    QTimer::singleShot(0, &App(), [&] {
        bitmapAtDelivery = Doc().GetBitmapPath();
        App().OpenFromShell(other);
    });
    prompt.messages.clear();
    prompt.answers.push_back(MsgAnswer::No);
    prompt.chosenFiles.push_back(png.toStdString());
    PressKey(Qt::Key_F2);
    EXPECT_EQ(bitmapAtDelivery, "");
    EXPECT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_SAVE_CHANGES});
    EXPECT_EQ(Doc().GetPathName(), other.toStdString());
    EXPECT_EQ(Doc().GetBitmapPath(), TestPath(QStringLiteral("other.bmp")).toStdString());
    EXPECT_EQ(Doc().GetMapWidth(), 50);
    EXPECT_FALSE(Doc().IsModified());
}

// Map > Straighten for Device on a scan calibrated by hand turned by 6 degrees: the committed
// calibration says once how far off the device would show it and offers to straighten; Yes
// warps it into a new map beside the bitmap, which opens after the question about unsaved
// changes and is exact on the device. A map whose bitmap has gone reports the worker's message
// and stays open as it was.
TEST_F(ImportMenuTest, straighten_for_device_offers_writes_and_opens_the_new_map) {
    Start();
    const QString picture = LoadPicture(QSize(200, 100), QStringLiteral("scan.bmp"));
    const double turn = 6.0 * 3.14159265358979 / 180.0;
    const auto world = [turn](double x, double y) {
        return CDoublePoint{500000.0 + 10.0 * (x * std::cos(turn) + y * std::sin(turn)),
                            5400000.0 + 10.0 * (x * std::sin(turn) - y * std::cos(turn))};
    };
    const CCalibration turned{CoordType::Utm,
                              {world(0, 0), world(199, 0), world(0, 99)},
                              {CDoublePoint{0, 0}, {199, 0}, {0, 99}},
                              32,
                              'U'};
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    prompt.answers = {MsgAnswer::Yes, MsgAnswer::No};
    WithNextDialog(
        [&](QDialog& dlg) {
            ASSERT_EQ(Doc().Calibrate(turned).code, CALIBRATION_OK);
            dlg.reject();
        },
        [&] { PressKey(Qt::Key_Return); });
    EXPECT_EQ(prompt.MessageIds(), (std::vector<unsigned>{IDS_STRAIGHT_OFFER, IDS_SAVE_CHANGES}));
    ASSERT_FALSE(prompt.messages.empty());
    EXPECT_NE(prompt.messages[0].text.find(" m away"), std::string::npos);

    const std::string straight = TestPath(QStringLiteral("scan-straight.gpm")).toStdString();
    EXPECT_EQ(Doc().GetPathName(), straight);
    EXPECT_EQ(Doc().GetBitmapPath(), TestPath(QStringLiteral("scan-straight.bmp")).toStdString());
    EXPECT_TRUE(
        std::filesystem::exists(TestPath(QStringLiteral("scan-straight.txt")).toStdString()));
    const auto error = CStraightenCommand::Of(Doc());
    EXPECT_FALSE(error.visible);
    EXPECT_LT(error.metres, 5.0);
    EXPECT_TRUE(Frame().CommandAction(ID_MAP_STRAIGHTEN)->isEnabled());

    std::filesystem::remove(Doc().GetBitmapPath());
    prompt.messages.clear();
    Frame().CommandAction(ID_MAP_STRAIGHTEN)->trigger();
    EXPECT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_STRAIGHT_FAILED});
    ASSERT_FALSE(prompt.messages.empty());
    EXPECT_NE(prompt.messages[0].text.find("Cannot read the bitmap"), std::string::npos);
    EXPECT_EQ(Doc().GetPathName(), straight);
    EXPECT_FALSE(std::filesystem::exists(
        TestPath(QStringLiteral("scan-straight-straight.bmp")).toStdString()));
}

// With twelve enabled control points Straighten for Device asks which fit to warp through;
// cancelling writes nothing. The points are bent far from any affine (the calibration's misses
// the picture's centre by some 15 pixels), so only a second-order fit through them puts the
// picture's dot on its ground in the new map.
TEST_F(ImportMenuTest, straighten_for_device_warps_through_the_chosen_fit_of_the_points) {
    Start();
    const auto bent = [](double x, double y) {
        return CDoublePoint{500000 + 10 * x + 0.02 * x * x,
                            5400000 - 10 * y + 0.03 * y * y + 0.01 * x * y};
    };
    QImage image(200, 100, QImage::Format_RGB888);
    image.fill(Qt::white);
    image.setPixelColor(100, 50, Qt::black);
    for (const QPoint p : {QPoint(99, 49), QPoint(101, 51), QPoint(99, 51), QPoint(101, 49)}) {
        image.setPixelColor(p, Qt::black);
    }
    ASSERT_TRUE(image.save(TestPath(QStringLiteral("bent.bmp")), "BMP"));
    OpenPicture(TestPath(QStringLiteral("bent.bmp")), QSize(200, 100));
    std::vector<ControlPoint> points;
    for (int i = 0; i < 12; ++i) {
        const CDoublePoint picture{(i % 4) * 66.0, (i / 4) * 49.5};
        points.push_back({picture, bent(picture.x, picture.y), true});
    }
    ASSERT_EQ(Doc().CalibrateFromFit(CPointFit::Fit(points, false).GetTransform(), CoordType::Utm,
                                     32, 'U'),
              CALIBRATION_OK);
    Doc().SetControlPointList(points);
    const std::string straight = TestPath(QStringLiteral("bent-straight.bmp")).toStdString();

    prompt.chosenItems = {std::nullopt};
    Frame().CommandAction(ID_MAP_STRAIGHTEN)->trigger();
    ASSERT_EQ(prompt.itemChoices.size(), 1u);
    EXPECT_EQ(prompt.itemChoices[0].id, unsigned(IDS_STRAIGHT_CHOOSE_FIT));
    EXPECT_EQ(prompt.itemChoices[0].items,
              (std::vector<std::string>{"Affine, from the calibration", "Second-order polynomial",
                                        "Third-order polynomial", "Thin-plate spline"}));
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(straight));

    prompt.chosenItems = {1};
    prompt.answers = {MsgAnswer::No}; // keep the changes of the window's map? No
    Frame().CommandAction(ID_MAP_STRAIGHTEN)->trigger();
    EXPECT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_SAVE_CHANGES});
    ASSERT_EQ(Doc().GetBitmapPath(), straight);
    const QImage result(QString::fromStdString(straight));
    const CDoublePoint dot = Doc().GetTransform().WorldToPicture(bent(100, 50));
    int darkest = 255;
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            darkest = std::min(darkest, qGray(result.pixel(int(std::lround(dot.x)) + dx,
                                                           int(std::lround(dot.y)) + dy)));
        }
    }
    EXPECT_LT(darkest, 100) << dot.x << " " << dot.y;
}

} // namespace

// Map > New Bitmap with a georeferenced GeoTIFF, through the real program.

#include "AppHarness.h"

#include "CRasterImporter.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <QFileInfo>
#include <QTimer>

#include <filesystem>

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

    // Elsewhere the conversion goes to the chosen name; a cancelled conversion leaves none.
    const std::string other = TestPath(QStringLiteral("other.bmp")).toStdString();
    CRasterImporter importer(tif);
    EXPECT_EQ(importer.WriteBitmap(other, [](double) { return false; }),
              CRasterImporter::Status::Cancelled);
    EXPECT_EQ(QDir(TestPath(".")).entryList(QDir::Files | QDir::Hidden).size(), 2);
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

} // namespace

// The most extreme calibrations the checks accept: the smallest triangle of marks spanning the
// whole world, marks far from the picture they calibrate. Every text made from them, in the
// registration file and in the position texts, shows finite numbers or the placeholder.
#include "DocumentTestSupport.h"

#include "document/CDisplaySettings.h"

#include "FuzzSupport.h"

using namespace mapreg;

TEST_F(DocumentTest, extreme_calibrations_show_only_finite_numbers) {
    // A wide, low picture: its far corner lies 4000 pixels from marks that are 8 pixels apart.
    const std::string bitmap = MakeBitmap("strip.bmp", 4000, 2);
    struct Case {
        const char* name;
        CoordType coordType;
        std::array<CDoublePoint, 3> picture;
        std::array<CDoublePoint, 3> world;
    };
    const Case cases[] = {
        {"smallest_triangle_whole_world",
         CoordType::LatLon,
         {CDoublePoint{0, 0}, {8, 0}, {0, 8}},
         {CDoublePoint{-180, 90}, {180, 90}, {-180, -90}}},
        {"smallest_triangle_far_from_the_picture",
         CoordType::LatLon,
         {CDoublePoint{65527, 65527}, {65535, 65527}, {65527, 65535}},
         {CDoublePoint{180, -90}, {-180, -90}, {180, 90}}},
        {"thin_world_triangle",
         CoordType::LatLon,
         {CDoublePoint{0, 0}, {8, 0}, {0, 8}},
         {CDoublePoint{-180, 0}, {180, 0}, {-180, 1e-9}}},
        {"utm_whole_range_in_8_pixels",
         CoordType::Utm,
         {CDoublePoint{0, 0}, {8, 0}, {0, 8}},
         {CDoublePoint{0, 9999999}, {999999, 9999999}, {0, 0}}},
        {"utm_far_from_the_picture",
         CoordType::Utm,
         {CDoublePoint{65535, 0}, {65535, 8}, {65527, 0}},
         {CDoublePoint{999999, 0}, {0, 0}, {999999, 9999999}}},
    };
    ASSERT_EQ(doc->LoadBitmapFile(bitmap), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(doc->Calibrate({c.coordType, c.world, c.picture, 60, 'X'}).code, 0);
        const std::string registration = doc->BuildRegistrationText();
        EXPECT_FALSE(fuzz::ShowsNonFinite(registration)) << registration;
        // The position under every corner, the centre and points beyond the picture, as the
        // status bar shows it in both display types.
        std::string text;
        std::string x;
        std::string y;
        for (const CDoublePoint p : {CDoublePoint{0, 0},
                                     {4000, 0},
                                     {0, 2},
                                     {4000, 2},
                                     {2000, 1},
                                     {-1e6, -1e6},
                                     {65535, 65535}}) {
            const SMapPosition position = doc->PictureToPosition(p);
            for (const CoordType type : {CoordType::LatLon, CoordType::Utm}) {
                settings.SetCoordType(type);
                CGeoPosition& shown = settings.ConvertPosition(position);
                shown.Format(text);
                shown.FormatXY(x, y);
                EXPECT_FALSE(fuzz::ShowsNonFinite(text + x + y)) << text << " " << x << " " << y;
                EXPECT_LT(text.size(), 64u) << text;
            }
        }
    }
    // Saved and opened again, the extreme calibration is the same.
    const fs::path file = dir / "strip.gpm";
    ASSERT_TRUE(doc->DoSave(file.string()));
    const std::string saved = ReadBytes(dir / "strip.txt");
    ASSERT_TRUE(doc->FileNew());
    ASSERT_TRUE(doc->FileOpen(file.string()));
    EXPECT_EQ(doc->BuildRegistrationText(), saved);
}

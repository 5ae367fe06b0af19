// The settings' own rules. Reading and writing the profile: ProfileTest (every value through the
// real INI file) and the profile fault suite (each unusable value, key by key).
#include "document/CDisplaySettings.h"
#include "framework/CMemoryProfile.h"

#include <gtest/gtest.h>

using namespace mapreg;

TEST(DisplaySettings, display_colours_come_from_the_nearest_colour) {
    CDisplaySettings s;
    s.SetNearestColorFunction([](COLORREF c) { return c & 0xF0F0F0; });
    s.SetPrimaryColor(0x12345678);
    EXPECT_EQ(s.GetPrimaryColor(), 0x305070u);
    EXPECT_EQ(s.GetRequestedColor(CDisplaySettings::PrimaryColor), 0x345678u);
    CMemoryProfile out;
    s.WriteColors(out);
    EXPECT_EQ(out.GetProfileInt("Settings", "primaryColor", -128), 0x345678);
}

TEST(DisplaySettings, switching_to_lat_lon_reapplies_the_format_chosen_under_utm) {
    CDisplaySettings s;
    s.SetCoordType(CoordType::Utm);
    s.SetLatLonFormat(0);
    const SMapPosition probe{CoordType::LatLon, {-123.50208, 48.2625}};
    std::string text;
    s.ConvertPosition(probe).Format(text);
    EXPECT_EQ(text.substr(0, 3), "10U") << "UTM shown while the type is UTM";
    s.SetCoordType(CoordType::LatLon);
    s.ConvertPosition(probe).Format(text);
    EXPECT_EQ(text, "N 48.26250*, W 123.50208*");
}

TEST(DisplaySettings, location_survives_a_coordinate_type_switch) {
    CDisplaySettings s;
    s.GetLocation().SetLatLon(10.5, 20.25);
    s.SetCoordType(CoordType::Utm);
    EXPECT_TRUE(s.GetLocation().IsUtm());
    double lat = 0;
    double lon = 0;
    s.GetLocation().GetLatLon(lat, lon);
    EXPECT_NEAR(lat, 10.5, 1e-9);
    EXPECT_NEAR(lon, 20.25, 1e-9);
}

#include "CDisplaySettings.h"
#include "CMemoryProfile.h"

#include <gtest/gtest.h>

namespace {

void WriteAll(CMemoryProfile& p, std::initializer_list<std::pair<const char*, int>> values) {
    for (const auto& [key, value] : values) {
        p.WriteProfileInt("Settings", key, value);
    }
}

} // namespace

TEST(DisplaySettings, formats_stop_at_the_first_invalid_value) {
    CMemoryProfile p;
    WriteAll(p, {{"unitType", 2}, {"coordType", 5}, {"latLonFormat", 1}});
    CDisplaySettings s;
    EXPECT_FALSE(s.ReadFormats(p));
    EXPECT_EQ(s.GetUnitType(), 2);
    EXPECT_EQ(s.GetCoordType(), 0);
    EXPECT_EQ(s.GetLatLonFormat(), 2);

    CMemoryProfile valid;
    WriteAll(valid, {{"unitType", 1}, {"coordType", 1}, {"latLonFormat", 0}});
    EXPECT_TRUE(s.ReadFormats(valid));
    EXPECT_EQ(s.GetCoordType(), 1);
    EXPECT_EQ(s.GetLatLonFormat(), 0);

    CMemoryProfile missing;
    WriteAll(missing, {{"unitType", 2}, {"coordType", 0}});
    CDisplaySettings t;
    EXPECT_FALSE(t.ReadFormats(missing));
    EXPECT_EQ(t.GetUnitType(), 0) << "a missing key sets nothing";
}

TEST(DisplaySettings, colours_need_all_six_keys_and_keep_24_bits) {
    CMemoryProfile p;
    WriteAll(p, {{"backgroundColor", 1},
                 {"foregroundColor", 2},
                 {"primaryColor", 3},
                 {"secondaryColor", 4},
                 {"locationSpriteColor", 5}});
    CDisplaySettings s;
    EXPECT_FALSE(s.ReadColors(p));
    EXPECT_EQ(s.GetForegroundColor(), 0xFFFFFFu);
    p.WriteProfileInt("Settings", "noFixLocationSpriteColor", static_cast<int>(0x7F123456));
    EXPECT_TRUE(s.ReadColors(p));
    EXPECT_EQ(s.GetBackgroundColor(), 1u);
    EXPECT_EQ(s.GetLocationSpriteColor(), 5u);
    EXPECT_EQ(s.GetNoFixLocationSpriteColor(), 0x123456u);

    CMemoryProfile out;
    s.WriteColors(out);
    EXPECT_EQ(out.GetProfileInt("Settings", "noFixLocationSpriteColor", -128), 0x123456);
}

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

TEST(DisplaySettings, sprite_size_reads_only_valid_values) {
    CDisplaySettings s;
    for (const int bad : {3, -1}) {
        CMemoryProfile p;
        p.WriteProfileInt("Settings", "spriteSize", bad);
        EXPECT_FALSE(s.ReadSpriteSize(p));
        EXPECT_EQ(s.GetSpriteSize(), 0);
    }
    CMemoryProfile p;
    EXPECT_FALSE(s.ReadSpriteSize(p)) << "missing";
    p.WriteProfileInt("Settings", "spriteSize", 2);
    EXPECT_TRUE(s.ReadSpriteSize(p));
    CMemoryProfile out;
    s.WriteSpriteSize(out);
    EXPECT_EQ(out.GetProfileInt("Settings", "spriteSize", -128), 2);
}

TEST(DisplaySettings, switching_to_lat_lon_reapplies_the_format_chosen_under_utm) {
    CDisplaySettings s;
    s.SetCoordType(1);
    s.SetLatLonFormat(0);
    CLatLonFormatter probe;
    probe.SetLatLon(48.2625, -123.50208);
    std::string text;
    s.ConvertPosition(probe).Format(text);
    EXPECT_EQ(text.substr(0, 3), "10U") << "UTM shown while the type is UTM";

    s.SetCoordType(0);
    s.ConvertPosition(probe).Format(text);
    EXPECT_EQ(text, "N 48.26250*, W 123.50208*");

    CMemoryProfile out;
    s.WriteFormats(out);
    EXPECT_EQ(out.GetProfileInt("Settings", "coordType", -128), 0);
    EXPECT_EQ(out.GetProfileInt("Settings", "latLonFormat", -128), 0);
    EXPECT_EQ(out.GetProfileInt("Settings", "unitType", -128), 0);
}

TEST(DisplaySettings, location_survives_a_coordinate_type_switch) {
    CDisplaySettings s;
    s.GetLocation().SetLatLon(10.5, 20.25);
    s.SetCoordType(1);
    EXPECT_TRUE(s.GetLocation().IsUtm());
    double lat = 0;
    double lon = 0;
    s.GetLocation().GetLatLon(lat, lon);
    EXPECT_NEAR(lat, 10.5, 1e-9);
    EXPECT_NEAR(lon, 20.25, 1e-9);
    s.SetCoordType(7); // not a type: nothing changes
    EXPECT_EQ(s.GetCoordType(), 1);
}

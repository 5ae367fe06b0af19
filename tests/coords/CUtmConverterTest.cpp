#include "CUtmConverter.h"
#include "UtmProjection.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <random>

namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(UtmProjection, zone_of_longitude) {
    const struct {
        double longitude;
        int zone;
    } cases[] = {
        {0.0, 30},   {0.000001, 31},   {-6.0, 29},        {6.0, 32},    {-174.0, 1},
        {-180.0, 0}, {179.9, 60},      {180.0, 61},       {-123.5, 10}, {kNan, 0},
        {kInf, 0},   {1e300, INT_MAX}, {-1e300, INT_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UtmZoneOfLongitude(c.longitude), c.zone) << c.longitude;
    }
}

TEST(UtmProjection, band_letter_of_latitude) {
    const struct {
        double latitude;
        char letter;
    } cases[] = {
        {84.0, '*'},  {83.99, 'X'}, {72.0, 'X'},     {71.99, 'W'}, {0.0, 'N'},   {-0.0001, 'M'},
        {48.26, 'U'}, {-80.0, 'C'}, {-80.0001, '*'}, {kNan, '*'},  {-kInf, '*'}, {1e300, '*'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UtmBandLetter(c.latitude), c.letter) << c.latitude;
    }
}

// Reference values: gdaltransform (PROJ's exact transverse Mercator) from EPSG:4326 to the
// WGS 84 UTM zone of each point. The series here carries half a metre on top.
TEST(UtmProjection, lat_lon_to_utm_matches_reference_values) {
    const struct {
        double latitude, longitude;
        int zone;
        char letter;
        double easting, northing, tolerance;
    } cases[] = {
        {48.2625, -123.50208333333, 10, 'U', 462737.28822066, 5345598.51039229, 1e-3},
        {45.0, -122.9, 10, 'T', 507881.529642734, 4982955.26366148, 1e-3},
        {78.0, 15.0, 33, 'X', 500000.0, 8658369.58582748, 1e-3},
        {40.7, -74.0, 18, 'T', 584482.352282295, 4505935.86944708, 1e-2},
        {-33.9, 18.4, 34, 'H', 259583.221660431, 6245888.04544077, 5e-2},
        {60.0, 5.0, 31, 'V', 611544.041976836, 6653097.43529496, 1e-2},
        {0.5, -78.5, 17, 'N', 778265.778295549, 55318.0399765434, 5e-2},
        {-75.0, -70.0, 19, 'C', 471110.825200876, 1676149.66542441, 1e-2},
    };
    for (const auto& c : cases) {
        int zone = 0;
        char letter = 0;
        double easting = 0;
        double northing = 0;
        LatLonToUtm(kWgs84SemiMajorAxis, kWgs84Flattening, c.latitude, c.longitude, zone, letter,
                    easting, northing);
        EXPECT_EQ(zone, c.zone) << c.latitude << " " << c.longitude;
        EXPECT_EQ(letter, c.letter) << c.latitude << " " << c.longitude;
        EXPECT_NEAR(easting - 0.5, c.easting, c.tolerance) << c.latitude << " " << c.longitude;
        EXPECT_NEAR(northing - 0.5, c.northing, c.tolerance) << c.latitude << " " << c.longitude;

        double latitude = 0;
        double longitude = 0;
        UtmToLatLon(kWgs84SemiMajorAxis, kWgs84Flattening, c.zone, c.letter, c.easting, c.northing,
                    latitude, longitude);
        EXPECT_NEAR(latitude, c.latitude, 1e-6) << "inverse";
        EXPECT_NEAR(longitude, c.longitude, 1e-6) << "inverse";
    }
}

TEST(UtmProjection, round_trip_near_the_central_meridian) {
    std::mt19937 random(42);
    std::uniform_real_distribution<double> lat(-79.9, 83.9);
    std::uniform_real_distribution<double> offset(-1.0, 1.0);
    std::uniform_int_distribution<int> zones(1, 60);
    for (int i = 0; i < 2000; ++i) {
        const double latitude = lat(random);
        const double longitude = 6.0 * zones(random) - 183.0 + offset(random);
        int zone = 0;
        char letter = 0;
        double easting = 0;
        double northing = 0;
        LatLonToUtm(kWgs84SemiMajorAxis, kWgs84Flattening, latitude, longitude, zone, letter,
                    easting, northing);
        double backLat = 0;
        double backLon = 0;
        UtmToLatLon(kWgs84SemiMajorAxis, kWgs84Flattening, zone, letter, easting - 0.5,
                    northing - 0.5, backLat, backLon);
        // Compared in metres on the ground: within 2 mm.
        constexpr double kMetresPerDegree = 111320.0;
        const double north = (backLat - latitude) * kMetresPerDegree;
        const double east = (backLon - longitude) * kMetresPerDegree *
                            std::cos(latitude * 3.141592653589793 / 180.0);
        ASSERT_NEAR(north, 0.0, 2e-3) << latitude << " " << longitude;
        ASSERT_NEAR(east, 0.0, 2e-3) << latitude << " " << longitude;
    }
}

TEST(UtmProjection, southern_northing_is_clamped_below_ten_million) {
    int zone = 0;
    char letter = 0;
    double easting = 0;
    double northing = 0;
    LatLonToUtm(kWgs84SemiMajorAxis, kWgs84Flattening, -1e-7, 3.0, zone, letter, easting, northing);
    EXPECT_EQ(letter, 'M');
    EXPECT_EQ(northing, 9999999.0);
    LatLonToUtm(kWgs84SemiMajorAxis, kWgs84Flattening, -1.0, 3.0, zone, letter, easting, northing);
    EXPECT_NEAR(northing, 1e7 - 110574.4 * 0.9996 + 0.5, 5.0);
}

TEST(CUtmConverter, new_object_stands_at_zero_zero) {
    CUtmConverter position;
    double latitude = 1;
    double longitude = 1;
    position.GetLatLon(latitude, longitude);
    EXPECT_EQ(latitude, 0.0);
    EXPECT_EQ(longitude, 0.0);
    int zone = 0;
    char letter = 0;
    double easting = 0;
    double northing = 0;
    position.GetUtm(zone, letter, easting, northing);
    EXPECT_EQ(zone, 30);
    EXPECT_EQ(letter, 'N');
    EXPECT_NEAR(easting, 833978.95, 0.01);
    EXPECT_EQ(northing, 0.5);
    std::string text;
    position.Format(text);
    EXPECT_EQ(text, "30N 833978 0000000");
    EXPECT_TRUE(position.IsUtm());
}

TEST(CUtmConverter, hemisphere_comes_from_the_letter) {
    const struct {
        char letter;
        bool south;
    } cases[] = {{'U', false}, {'u', false}, {'L', true},  {'l', true}, {'C', true},
                 {'M', true},  {'N', false}, {'*', false}, {'m', true}};
    for (const auto& c : cases) {
        CUtmConverter position;
        position.SetUtm(10, c.letter, 500000, 5000000);
        double latitude = 0;
        double longitude = 0;
        position.GetLatLon(latitude, longitude);
        EXPECT_EQ(latitude < 0, c.south) << c.letter;
        EXPECT_NEAR(longitude, -123.0, 1e-9) << c.letter;
        EXPECT_NEAR(std::abs(latitude), 45.1, 0.3) << c.letter;
    }
}

TEST(CUtmConverter, reading_the_form_it_was_set_in_returns_it_unchanged) {
    CUtmConverter position;
    position.SetUtm(10, 'u', 462737.9, 5345598.25);
    int zone = 0;
    char letter = 0;
    double easting = 0;
    double northing = 0;
    double latitude = 0;
    double longitude = 0;
    position.GetLatLon(latitude, longitude); // computes the other form ...
    position.GetUtm(zone, letter, easting, northing);
    EXPECT_EQ(zone, 10); // ... without touching this one
    EXPECT_EQ(letter, 'u');
    EXPECT_EQ(easting, 462737.9);
    EXPECT_EQ(northing, 5345598.25);
    double x = 0;
    double y = 0;
    position.GetXY(x, y);
    EXPECT_EQ(x, 462737.9);
    EXPECT_EQ(y, 5345598.25);

    position.SetLatLon(48.2625, -123.5);
    position.GetZone(zone, letter);
    EXPECT_EQ(zone, 10);
    EXPECT_EQ(letter, 'U');
    position.GetLatLon(latitude, longitude);
    EXPECT_EQ(latitude, 48.2625);
    EXPECT_EQ(longitude, -123.5);
}

TEST(CUtmConverter, texts) {
    const struct {
        const char* name;
        int zone;
        char letter;
        double easting, northing;
        const char* text;
        const char* x;
        const char* y;
    } cases[] = {
        {"sample", 10, 'U', 462737.9, 5345598.7, "10U 462737 5345598", "462737", "5345598"},
        {"small_values_are_padded", 5, 'D', 12.5, 3.0, "05D 000012 0000003", "000012", "0000003"},
        {"negative_easting", 10, 'U', -5.7, 0.0, "10U -00005 0000000", "-00005", "0000000"},
        {"wider_than_int", 10, 'U', 3e9, 5e12, "10U 3000000000 5000000000000", "3000000000",
         "5000000000000"},
        {"not_finite", 10, 'U', kNan, kInf, "10U --- ---", "---", "---"},
        {"beyond_64_bits", 10, 'U', 1e30, -1e19, "10U --- ---", "---", "---"},
        {"extreme_zone", INT_MIN, 'U', 0, 0, "-2147483648U 000000 0000000", "000000", "0000000"},
    };
    for (const auto& c : cases) {
        CUtmConverter position;
        position.SetUtm(c.zone, c.letter, c.easting, c.northing);
        std::string text;
        std::string x;
        std::string y;
        position.Format(text);
        position.FormatXY(x, y);
        EXPECT_EQ(text, c.text) << c.name;
        EXPECT_EQ(x, c.x) << c.name;
        EXPECT_EQ(y, c.y) << c.name;
    }
}

TEST(CUtmConverter, outside_the_latitude_limits_only_the_whole_text_says_so) {
    const double latitudes[] = {84.0, -80.5, 90.0, kNan};
    for (const double latitude : latitudes) {
        CUtmConverter position;
        position.SetLatLon(latitude, 10.0);
        std::string text;
        position.Format(text);
        EXPECT_EQ(text, "[Outside UTM boundary]") << latitude;
    }
    CUtmConverter position;
    position.SetLatLon(-85.0, 3.0);
    std::string x;
    std::string y;
    position.FormatXY(x, y);
    EXPECT_EQ(x, "500000");
    EXPECT_EQ(y.size(), 7u);
}

TEST(CUtmConverter, non_finite_and_huge_values_convert_without_fault) {
    const double values[] = {kNan, kInf, -kInf, 1e300, -1e300, 0.0};
    for (const double a : values) {
        for (const double b : values) {
            CUtmConverter position;
            position.SetLatLon(a, b);
            std::string text;
            position.Format(text);
            EXPECT_FALSE(text.empty());
            position.SetUtm(INT_MAX, 'C', a, b);
            double latitude = 0;
            double longitude = 0;
            position.GetLatLon(latitude, longitude);
            position.Format(text);
            EXPECT_FALSE(text.empty());
        }
    }
}

TEST(CUtmConverter, formatting_reuses_the_callers_buffer) {
    CUtmConverter position;
    std::string text;
    text.reserve(64);
    const char* buffer = text.data();
    for (int i = 0; i < 100; ++i) {
        position.SetLatLon(48.0 + i * 0.01, -123.0);
        position.Format(text);
    }
    EXPECT_EQ(text.data(), buffer);
}

} // namespace

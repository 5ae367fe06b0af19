#include "coords/CUtmConverter.h"
#include "coords/UtmProjection.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <random>

using namespace mapreg;

namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(UtmProjection, zone_of_longitude_and_band_of_latitude) {
    // clang-format off
    const std::pair<double, int> zones[] = {
        {0.0, 30}, {0.000001, 31}, {-6.0, 29}, {-174.0, 1}, {-180.0, 0}, {179.9, 60}, {180.0, 61},
        {-123.5, 10}, {kNan, 0}, {kInf, 0}, {1e300, INT_MAX}, {-1e300, INT_MIN}};
    const std::pair<double, char> bands[] = {
        {84.0, '*'}, {83.99, 'X'}, {72.0, 'X'}, {71.99, 'W'}, {0.0, 'N'}, {-0.0001, 'M'},
        {48.26, 'U'}, {-80.0, 'C'}, {-80.0001, '*'}, {kNan, '*'}, {-kInf, '*'}, {1e300, '*'}};
    // clang-format on
    for (const auto& [longitude, zone] : zones) {
        EXPECT_EQ(UtmZoneOfLongitude(longitude), zone) << longitude;
    }
    for (const auto& [latitude, letter] : bands) {
        EXPECT_EQ(UtmBandLetter(latitude), letter) << latitude;
    }
}

struct Utm {
    int zone = 0;
    char letter = 0;
    double easting = 0;
    double northing = 0;
};

Utm Forward(double latitude, double longitude) {
    Utm u;
    LatLonToUtm(kWgs84SemiMajorAxis, kWgs84Flattening, latitude, longitude, u.zone, u.letter,
                u.easting, u.northing);
    return u;
}

std::pair<double, double> Inverse(const Utm& u) {
    std::pair<double, double> latLon;
    UtmToLatLon(kWgs84SemiMajorAxis, kWgs84Flattening, u.zone, u.letter, u.easting, u.northing,
                latLon.first, latLon.second);
    return latLon;
}

// Reference values: gdaltransform (PROJ's exact transverse Mercator) from EPSG:4326 to the
// WGS 84 UTM zone of each point. The series here carries half a metre on top.
TEST(UtmProjection, lat_lon_to_utm_matches_reference_values) {
    const struct {
        double latitude, longitude;
        Utm utm;
        double tolerance;
    } cases[] = {
        {48.2625, -123.50208333333, {10, 'U', 462737.28822066, 5345598.51039229}, 1e-3},
        {78.0, 15.0, {33, 'X', 500000.0, 8658369.58582748}, 1e-3},
        {40.7, -74.0, {18, 'T', 584482.352282295, 4505935.86944708}, 1e-2},
        {-33.9, 18.4, {34, 'H', 259583.221660431, 6245888.04544077}, 5e-2},
        {0.5, -78.5, {17, 'N', 778265.778295549, 55318.0399765434}, 5e-2},
        {-75.0, -70.0, {19, 'C', 471110.825200876, 1676149.66542441}, 1e-2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.latitude << " " << c.longitude);
        const Utm u = Forward(c.latitude, c.longitude);
        EXPECT_EQ(u.zone, c.utm.zone);
        EXPECT_EQ(u.letter, c.utm.letter);
        EXPECT_NEAR(u.easting - 0.5, c.utm.easting, c.tolerance);
        EXPECT_NEAR(u.northing - 0.5, c.utm.northing, c.tolerance);
        const auto [latitude, longitude] = Inverse(c.utm);
        EXPECT_NEAR(latitude, c.latitude, 1e-6);
        EXPECT_NEAR(longitude, c.longitude, 1e-6);
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
        Utm u = Forward(latitude, longitude);
        u.easting -= 0.5;
        u.northing -= 0.5;
        const auto [backLat, backLon] = Inverse(u);
        // Compared in metres on the ground: within 2 mm.
        constexpr double kMetresPerDegree = 111320.0;
        const double north = (backLat - latitude) * kMetresPerDegree;
        const double east = (backLon - longitude) * kMetresPerDegree *
                            std::cos(latitude * 3.141592653589793 / 180.0);
        ASSERT_NEAR(north, 0.0, 2e-3) << latitude << " " << longitude;
        ASSERT_NEAR(east, 0.0, 2e-3) << latitude << " " << longitude;
    }
}

// A map that reaches past its zone's edge keeps the zone of its calibration: the point is
// projected about that zone's central meridian and comes back to the same place, within what the
// series holds 3.5 to 4 degrees from the meridian (about a metre, 2e-5 degrees).
TEST(UtmProjection, point_in_a_neighbouring_zone_converts_about_the_given_zone) {
    const struct {
        double latitude, longitude;
        Utm given; // zone and letter
    } cases[] = {{48.5, 6.5, {31, 'U'}}, {-33.9, 17.9, {33, 'H'}}, {60.1, -1.0, {31, 'V'}}};
    for (const auto& [latitude, longitude, given] : cases) {
        Utm u = given;
        LatLonToUtmInZone(kWgs84SemiMajorAxis, kWgs84Flattening, u.zone, latitude, longitude,
                          u.easting, u.northing);
        EXPECT_EQ(u.easting > 500000.0, longitude > 6.0 * u.zone - 183.0) << longitude;
        u.easting -= 0.5;
        u.northing -= 0.5;
        const auto [backLat, backLon] = Inverse(u);
        EXPECT_NEAR(backLat, latitude, 2e-5) << longitude;
        EXPECT_NEAR(backLon, longitude, 2e-5) << longitude;
    }
}

TEST(UtmProjection, southern_northing_is_clamped_below_ten_million) {
    EXPECT_EQ(Forward(-1e-7, 3.0).letter, 'M');
    EXPECT_EQ(Forward(-1e-7, 3.0).northing, 9999999.0);
    EXPECT_NEAR(Forward(-1.0, 3.0).northing, 1e7 - 110574.4 * 0.9996 + 0.5, 5.0);
}

// The letter decides the hemisphere; reading latitude/longitude leaves the UTM values as set.
TEST(CUtmConverter, hemisphere_comes_from_the_letter) {
    const std::pair<char, bool> cases[] = {{'U', false}, {'u', false}, {'N', false}, {'*', false},
                                           {'M', true},  {'m', true},  {'C', true}};
    for (const auto& [letter, south] : cases) {
        CUtmConverter position;
        position.SetUtm(10, letter, 500000.0, 5000000.75);
        double latitude = 0;
        double longitude = 0;
        position.GetLatLon(latitude, longitude);
        EXPECT_NEAR(latitude, south ? -45.1 : 45.1, 0.3) << letter;
        EXPECT_NEAR(longitude, -123.0, 1e-9) << letter;
        Utm u;
        position.GetUtm(u.zone, u.letter, u.easting, u.northing);
        EXPECT_TRUE(u.zone == 10 && u.letter == letter && u.easting == 500000.0 &&
                    u.northing == 5000000.75)
            << letter;
    }
}

TEST(CUtmConverter, texts_are_zone_easting_and_northing_padded_or_a_placeholder) {
    const struct {
        int zone;
        char letter;
        double easting, northing;
        const char* text;
    } cases[] = {
        {10, 'U', 462737.9, 5345598.7, "10U 462737 5345598"},
        {5, 'D', 12.5, 3.0, "05D 000012 0000003"},
        {10, 'U', -5.7, 0.0, "10U -00005 0000000"},
        {10, 'U', 3e9, 5e12, "10U 3000000000 5000000000000"},
        {10, 'U', kNan, kInf, "10U --- ---"},
        {10, 'U', 1e30, -1e19, "10U --- ---"},
        {INT_MIN, 'U', 0, 0, "-2147483648U 000000 0000000"},
    };
    for (const auto& c : cases) {
        CUtmConverter position;
        position.SetUtm(c.zone, c.letter, c.easting, c.northing);
        std::string text;
        std::string x;
        std::string y;
        position.Format(text);
        position.FormatXY(x, y);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(text.substr(text.find(' ') + 1), x + " " + y) << c.text;
    }
    CUtmConverter fresh; // stands at latitude 0, longitude 0
    std::string text;
    fresh.Format(text);
    EXPECT_EQ(text, "30N 833978 0000000");
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

} // namespace

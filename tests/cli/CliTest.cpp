#include "CliRunner.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

Result RunTool(std::initializer_list<std::string> args) {
    std::vector<std::string> storage = {"mapreg-cli"};
    storage.insert(storage.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : storage) {
        argv.push_back(s.data());
    }
    argv.push_back(nullptr);
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCli(static_cast<int>(storage.size()), argv.data(), out, err);
    return {code, out.str(), err.str()};
}

struct Case {
    const char* name;
    std::initializer_list<std::string> args;
    int code;
    const char* out;
};

void RunCases(std::initializer_list<Case> cases) {
    for (const Case& c : cases) {
        const Result r = RunTool(c.args);
        EXPECT_EQ(r.code, c.code) << c.name << "\n" << r.err;
        EXPECT_EQ(r.out, c.out) << c.name;
    }
}

const char* const kRejectedClose =
    "rejected code=1 mark=0 field=0\n"
    "Two of the calibration marks are too close together.  Increase the distance between those "
    "two calibration marks.\n";

TEST(Cli, conversions) {
    RunCases({
        {"angle_minutes", {"angle", "N 48*15.750'"}, 0, "48.262500000\n"},
        {"angle_seconds_west", {"angle", "W 123*30'07.5\""}, 0, "-123.502083333\n"},
        {"angle_minus_zero_after_dashes", {"angle", "--", "-0 30"}, 0, "-0.500000000\n"},
        {"angle_negative_without_dashes", {"angle", "-48 15"}, 0, "-48.250000000\n"},
        {"format_default_seconds",
         {"format", "--", "48.2625", "-123.50208333"},
         0,
         "N 48*15'45.0\", W 123*30'07.5\"\n"},
        {"format_minutes",
         {"format", "--format", "1", "--", "48.2625", "-123.50208333"},
         0,
         "N 48*15.750', W 123*30.125'\n"},
        {"format_degrees",
         {"format", "--format", "0", "48.2625", "-123.50208333"},
         0,
         "N 48.26250*, W 123.50208*\n"},
        {"format_utm",
         {"format", "--utm", "--", "48.2625", "-123.50208333"},
         0,
         "10U 462737 5345599\n"},
        {"format_utm_outside",
         {"format", "--utm", "--", "85", "10"},
         0,
         "[Outside UTM boundary]\n"},
        {"format_reads_typed_angles",
         {"format", "--format", "1", "N 48 15.75", "W 123 30.125"},
         0,
         "N 48*15.750', W 123*30.125'\n"},
        // Reference values from gdaltransform (EPSG:4326 to the WGS 84 UTM zone), plus the half
        // metre that the easting and northing carry.
        {"utm", {"utm", "--", "45", "-122.9"}, 0, "10 T 507882.0296 4982955.7637\n"},
        {"utm_south", {"utm", "--", "-33.9", "-75.1"}, 0, "18 H 490754.9077 6248927.7338\n"},
        {"utm_origin", {"utm", "0", "0"}, 0, "30 N 833978.9503 0.5000\n"},
        {"latlon",
         {"latlon", "--", "10", "T", "507881.529642734", "4982955.26366148"},
         0,
         "45.000000000 -122.900000000\n"},
        {"latlon_south",
         {"latlon", "--", "18", "h", "490754.407660875", "6248927.23381761"},
         0,
         "-33.900000000 -75.100000000\n"},
    });
}

TEST(Cli, calibrate) {
    RunCases({
        {"world_map_both_ways",
         {"calibrate", "--mark",  "0",    "0",   "-180",    "90",   "--mark",
          "998",       "0",       "180",  "90",  "--mark",  "998",  "500",
          "180",       "-90",     "--at", "499", "250",     "--at", "0",
          "0",         "--world", "0",    "0",   "--world", "-180", "-90"},
         0,
         "accepted\n0.000000000 0.000000000\n-180.000000000 90.000000000\n"
         "499.000000000 250.000000000\n0.000000000 500.000000000\n"},
        {"negative_values_after_options",
         {"calibrate", "--mark", "10", "10", "-123.5", "48", "--mark", "300", "40", "-123", "48.5",
          "--mark", "120", "260", "-123.2", "-3", "--world", "-123.5", "48"},
         0,
         "accepted\n10.000000000 10.000000000\n"},
        {"typed_angles_and_truncated_pixels",
         {"calibrate", "--mark", "0.9", "0", "W 180", "N 90", "--mark", "998px", "0", "E 180",
          "N 90", "--mark", "998", "500", "E 180", "S 90", "--at", "499", "250"},
         0,
         "accepted\n0.000000000 0.000000000\n"},
        {"utm_marks",
         {"calibrate", "--utm",  "10U",    "--mark",  "0",      "0",       "400000",
          "5400000",   "--mark", "1000",   "0",       "500000", "5400000", "--mark",
          "0",         "1000",   "400000", "5300000", "--at",   "500",     "500"},
         0,
         "accepted\n450000.000000000 5350000.000000000\n"},
        {"too_close",
         {"calibrate", "--mark", "10", "10", "0", "0", "--mark", "17", "17", "1", "1", "--mark",
          "300", "40", "2", "0"},
         3,
         kRejectedClose},
        {"invalid_zone",
         {"calibrate", "--utm", "1O", "--mark", "0", "0", "400000", "5400000", "--mark", "1000",
          "0", "500000", "5400000", "--mark", "0", "1000", "400000", "5300000"},
         3,
         "rejected code=5 mark=-1 field=-1\nInvalid UTM zone.  Valid zone numbers range from 1 to "
         "60; valid zone letters range from C to X, except I and O.\n"},
        {"nan_easting",
         {"calibrate", "--utm", "10", "--mark", "0", "0", "400000", "5400000", "--mark", "1000",
          "0", "nan", "5400000", "--mark", "0", "1000", "400000", "5300000"},
         3,
         "rejected code=4 mark=1 field=2\nOne of the coordinate values is not valid and is out "
         "of range.\n"},
        {"world_on_one_line",
         {"calibrate", "--mark", "0", "0", "0", "0", "--mark", "100", "0", "10", "10", "--mark",
          "0", "100", "20", "20"},
         3,
         "rejected code=2 mark=0 field=3\nThe calibration marks form a nearly straight line.  "
         "Move the points so that they do not form a nearly straight line.\n"},
    });
}

TEST(Cli, usage_errors_exit_with_2_and_print_nothing_on_stdout) {
    const std::initializer_list<std::string> cases[] = {
        {},
        {"nonsense"},
        {"angle"},
        {"format", "--format", "3", "--", "1", "2"},
        {"format", "--format", "1", "--utm", "--", "1", "2"},
        {"format", "--", "1"},
        {"utm", "--", "1", "2", "3"},
        {"latlon", "--", "10", "UU", "1", "2"},
        {"calibrate", "--mark", "0", "0", "1", "1"},
        {"calibrate", "--mark", "0", "0", "1", "1",      "--mark", "9", "9", "9", "9",
         "--mark",    "1",      "2", "3", "4", "--mark", "5",      "6", "7", "8"},
        {"calibrate", "--mark", "0", "0", "1"},
        {"calibrate", "--mark", "0", "0", "1", "1", "--at", "5"},
    };
    for (const auto& args : cases) {
        const Result r = RunTool(args);
        std::string joined;
        for (const std::string& a : args) {
            joined += a + " ";
        }
        EXPECT_EQ(r.code, 2) << joined;
        EXPECT_TRUE(r.out.empty()) << joined << "\n" << r.out;
        EXPECT_FALSE(r.err.empty()) << joined;
    }
}

TEST(Cli, help_lists_the_commands) {
    const Result r = RunTool({"--help"});
    EXPECT_EQ(r.code, 0);
    for (const char* command : {"angle", "format", "utm", "latlon", "calibrate"}) {
        EXPECT_NE(r.out.find(command), std::string::npos) << command;
    }
}

} // namespace

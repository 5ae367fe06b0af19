// mapreg-cli's conversion and calibrate commands: their output, negative numbers as values,
// and the exit codes 0 (done), 2 (misuse) and 3 (calibration rejected).
#include "CliHarness.h"
#include "resources/StringTableTranslation.h"
#include "translations/CTranslation.h"

using namespace mapreg;

namespace {

struct Case {
    const char* name;
    std::vector<std::string> args;
    int code;
    const char* out;
};

void RunCases(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
        const CliResult r = RunTool(c.args);
        EXPECT_EQ(r.code, c.code) << c.name << "\n" << r.err;
        EXPECT_EQ(r.out, c.out) << c.name;
    }
}

TEST(Cli, conversions) {
    RunCases({
        {"angle_minutes", Args("angle", "N 48*15.750'"), 0, "48.262500000\n"},
        {"angle_seconds_west", Args("angle", "W 123*30'07.5\""), 0, "-123.502083333\n"},
        {"angle_minus_zero_after_dashes", Args("angle", "--", "-0 30"), 0, "-0.500000000\n"},
        {"angle_negative_without_dashes", Args("angle", "-48 15"), 0, "-48.250000000\n"},
        {"format_default_seconds", Args("format", "--", "48.2625", "-123.50208333"), 0,
         "N 48*15'45.0\", W 123*30'07.5\"\n"},
        {"format_minutes_of_typed_angles",
         Args("format", "--format", "1", "N 48 15.75", "W 123 30.125"), 0,
         "N 48*15.750', W 123*30.125'\n"},
        {"format_utm", Args("format", "--utm", "--", "48.2625", "-123.50208333"), 0,
         "10U 462737 5345599\n"},
        {"format_utm_outside", Args("format", "--utm", "--", "85", "10"), 0,
         "[Outside UTM boundary]\n"},
        // Reference values from gdaltransform (EPSG:4326 to the WGS 84 UTM zone), plus the half
        // metre that the easting and northing carry.
        {"utm", Args("utm", "--", "45", "-122.9"), 0, "10 T 507882.0296 4982955.7637\n"},
        {"utm_south", Args("utm", "--", "-33.9", "-75.1"), 0, "18 H 490754.9077 6248927.7338\n"},
        {"latlon_south", Args("latlon", "--", "18", "h", "490754.407660875", "6248927.23381761"), 0,
         "-33.900000000 -75.100000000\n"},
    });
}

TEST(Cli, calibrate) {
    RunCases({
        {"world_map_both_ways",
         Args("calibrate", "--mark", "0", "0", "-180", "90", "--mark", "998", "0", "180", "90",
              "--mark", "998", "500", "180", "-90", "--at", "499", "250", "--at", "0", "0",
              "--world", "0", "0", "--world", "-180", "-90"),
         0,
         "accepted\n0.000000000 0.000000000\n-180.000000000 90.000000000\n"
         "499.000000000 250.000000000\n0.000000000 500.000000000\n"},
        {"negative_values_after_options",
         Args("calibrate", "--mark", "10", "10", "-123.5", "48", "--mark", "300", "40", "-123",
              "48.5", "--mark", "120", "260", "-123.2", "-3", "--world", "-123.5", "48"),
         0, "accepted\n10.000000000 10.000000000\n"},
        {"typed_angles_and_truncated_pixels",
         Args("calibrate", "--mark", "0.9", "0", "W 180", "N 90", "--mark", "998px", "0", "E 180",
              "N 90", "--mark", "998", "500", "E 180", "S 90", "--at", "499", "250"),
         0, "accepted\n0.000000000 0.000000000\n"},
        {"utm_marks",
         Args("calibrate", "--utm", "10U", "--mark", "0", "0", "400000", "5400000", "--mark",
              "1000", "0", "500000", "5400000", "--mark", "0", "1000", "400000", "5300000", "--at",
              "500", "500"),
         0, "accepted\n450000.000000000 5350000.000000000\n"},
        {"too_close",
         Args("calibrate", "--mark", "10", "10", "0", "0", "--mark", "17", "17", "1", "1", "--mark",
              "300", "40", "2", "0"),
         3,
         "rejected code=1 mark=0 field=0\nTwo of the calibration marks are too close together.  "
         "Increase the distance between those two calibration marks.\n"},
        {"nan_easting",
         Args("calibrate", "--utm", "10", "--mark", "0", "0", "400000", "5400000", "--mark", "1000",
              "0", "nan", "5400000", "--mark", "0", "1000", "400000", "5300000"),
         3,
         "rejected code=4 mark=1 field=2\nOne of the coordinate values is not valid and is out "
         "of range.\n"},
    });
}

TEST(Cli, usage_errors_exit_with_2_and_print_nothing_on_stdout) {
    const std::vector<std::string> cases[] = {
        {},
        Args("nonsense"),
        Args("format", "--format", "3", "--", "1", "2"),
        Args("format", "--format", "1", "--utm", "--", "1", "2"),
        Args("format", "--", "1"),
        Args("latlon", "--", "10", "UU", "1", "2"),
        Args("calibrate", "--mark", "0", "0", "1", "1"),
        Args("calibrate", "--mark", "0", "0", "1"),
        Args("calibrate", "--mark", "0", "0", "1", "1", "--at", "5"),
        // A fourth mark has no place to go.
        Args("calibrate", "--mark", "0", "0", "1", "1", "--mark", "9", "9", "9", "9", "--mark", "1",
             "2", "3", "4", "--mark", "5", "6", "7", "8"),
    };
    for (const auto& args : cases) {
        const CliResult r = RunTool(args);
        const std::string joined = ::testing::PrintToString(args);
        EXPECT_EQ(r.code, 2) << joined;
        EXPECT_EQ(r.out, "") << joined;
        EXPECT_NE(r.err, "") << joined;
    }
}

TEST(Cli, help_lists_the_commands) {
    const CliResult r = RunTool(Args("--help"));
    EXPECT_EQ(r.code, 0);
    for (const char* command :
         {"angle", "format", "utm", "latlon", "calibrate", "register", "info", "export"}) {
        EXPECT_NE(r.out.find(command), std::string::npos) << command;
    }
}

TEST(Cli, the_help_speaks_the_language_of_the_string_table_in_its_own_words_too) {
    // The words the help puts around the commands' texts, in English and in German.
    const std::pair<std::string_view, std::string_view> words[] = {
        {"Usage: mapreg-cli [OPTIONS] SUBCOMMAND", "Aufruf: mapreg-cli [OPTIONEN] UNTERBEFEHL"},
        {"\nOptions:\n", "\nOptionen:\n"},
        {"\nSubcommands:\n", "\nUnterbefehle:\n"},
        {"Positionals:", "Argumente:"},
        {" REQUIRED ", " ERFORDERLICH "},
        {"Print this help message and exit", "Diese Hilfe ausgeben und beenden"},
        {"Display program version information and exit",
         "Die Programmversion ausgeben und beenden"},
        {"Excludes: --utm", "Schließt aus: --utm"},
        {"Needs: --mbtiles", "Erfordert: --mbtiles"},
        {"[Option Group: format]", "[Optionsgruppe: Format]"},
        {"[Exactly 1 of the following options is required]",
         "[Genau eine der folgenden Optionen ist anzugeben]"},
    };
    const auto help = [] {
        return RunTool(Args("--help-all")).out + RunTool(Args("export", "--help")).out;
    };
    const std::string english = help();
    CTranslation german;
    ASSERT_TRUE(german.Load(QLocale(QLocale::German)));
    german.ApplyToStringTable();
    const std::string translated = help();
    TranslateStringTable([](std::string_view) { return std::string(); });
    for (const auto& [en, de] : words) {
        EXPECT_NE(english.find(en), std::string::npos) << en;
        EXPECT_NE(translated.find(de), std::string::npos) << de;
        EXPECT_EQ(translated.find(en), std::string::npos) << en;
    }
}

} // namespace

#include "cli/CoreCommands.h"

#include "cli/CalibrationInput.h"
#include "coords/AngleParser.h"
#include "coords/CLatLonFormatter.h"
#include "coords/CUtmConverter.h"
#include "coords/NumberText.h"
#include "coords/UtmZoneText.h"
#include "georef/CMapTransform.h"
#include "georef/CalibrationCheck.h"
#include "resources/StringTable.h"

#include <CLI/CLI.hpp>

#include <array>
#include <cstdarg>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace mapreg {

namespace {

std::string Text(unsigned id) {
    return std::string(LoadStringId(id));
}

// printf-style formatting of one output line; the C locale's decimal point is used.
[[gnu::format(printf, 2, 3)]] void PrintLine(std::ostream& out, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length > 0) {
        std::string line(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(line.data(), line.size(), format, args);
        line.back() = '\n';
        out << line;
    }
    va_end(args);
}

void PrintPoint(std::ostream& out, CDoublePoint p) {
    PrintLine(out, "%.9f %.9f", p.x, p.y);
}

void AddAngleCommand(CLI::App& app, CliContext& context) {
    auto* command = app.add_subcommand("angle", Text(IDS_CLI_ANGLE));
    auto text = std::make_shared<std::string>();
    command->add_option("TEXT", *text, Text(IDS_CLI_ANGLE_TEXT))->required();
    command->callback([&context, text] { PrintLine(context.out, "%.9f", ParseAngle(*text)); });
}

struct FormatArgs {
    int format = CLatLonFormatter::FORMAT_SECONDS;
    bool utm = false;
    std::string latitude;
    std::string longitude;
};

void AddFormatCommand(CLI::App& app, CliContext& context) {
    auto* command = app.add_subcommand("format", Text(IDS_CLI_FORMAT));
    auto args = std::make_shared<FormatArgs>();
    auto* format = command->add_option("--format", args->format, Text(IDS_CLI_FORMAT_LAYOUT))
                       ->check(CLI::Range(0, 2));
    command->add_flag("--utm", args->utm, Text(IDS_CLI_FORMAT_UTM))->excludes(format);
    command->add_option("LAT", args->latitude, Text(IDS_LATITUDE))->required();
    command->add_option("LON", args->longitude, Text(IDS_LONGITUDE))->required();
    command->callback([&context, args] {
        const double latitude = ParseAngle(args->latitude);
        const double longitude = ParseAngle(args->longitude);
        std::unique_ptr<CGeoPosition> position;
        if (args->utm) {
            position = std::make_unique<CUtmConverter>();
        } else {
            auto latLon = std::make_unique<CLatLonFormatter>();
            latLon->SetLatLonFormat(args->format);
            position = std::move(latLon);
        }
        position->SetLatLon(latitude, longitude);
        std::string text;
        position->Format(text);
        context.out << text << '\n';
    });
}

void AddUtmCommand(CLI::App& app, CliContext& context) {
    auto* command = app.add_subcommand("utm", Text(IDS_CLI_UTM));
    auto args = std::make_shared<std::array<std::string, 2>>();
    command->add_option("LAT", (*args)[0], Text(IDS_LATITUDE))->required();
    command->add_option("LON", (*args)[1], Text(IDS_LONGITUDE))->required();
    command->callback([&context, args] {
        CUtmConverter position;
        position.SetLatLon(ParseAngle((*args)[0]), ParseAngle((*args)[1]));
        int zone = 0;
        char letter = 0;
        double easting = 0.0;
        double northing = 0.0;
        position.GetUtm(zone, letter, easting, northing);
        PrintLine(context.out, "%d %c %.4f %.4f", zone, letter, easting, northing);
    });
}

void AddLatLonCommand(CLI::App& app, CliContext& context) {
    auto* command = app.add_subcommand("latlon", Text(IDS_CLI_LATLON));
    auto args = std::make_shared<std::array<std::string, 4>>();
    command->add_option("ZONE", (*args)[0], Text(IDS_CLI_ZONE_NUMBER))->required();
    command->add_option("LETTER", (*args)[1], Text(IDS_CLI_ZONE_LETTER))->required();
    command->add_option("EASTING", (*args)[2], Text(IDS_EASTING))->required();
    command->add_option("NORTHING", (*args)[3], Text(IDS_NORTHING))->required();
    command->callback([&context, args] {
        if ((*args)[1].size() != 1) {
            context.err << LoadStringId(IDS_CLI_ONE_LETTER) << '\n';
            context.exitCode = CLI_EXIT_USAGE;
            return;
        }
        CUtmConverter position;
        position.SetUtm(ReadIntField((*args)[0]), (*args)[1][0], ReadDoubleField((*args)[2]),
                        ReadDoubleField((*args)[3]));
        double latitude = 0.0;
        double longitude = 0.0;
        position.GetLatLon(latitude, longitude);
        PrintLine(context.out, "%.9f %.9f", latitude, longitude);
    });
}

struct CalibrateArgs {
    std::string zoneText;
    std::vector<std::string> marks;  // X Y WX WY per mark
    std::vector<std::string> at;     // PX PY per point
    std::vector<std::string> worlds; // WX WY per point
};

void AddCalibrateCommand(CLI::App& app, CliContext& context) {
    auto* command = app.add_subcommand("calibrate", Text(IDS_CLI_CALIBRATE));
    auto args = std::make_shared<CalibrateArgs>();
    auto* utm = command->add_option("--utm", args->zoneText, Text(IDS_CLI_CALIBRATE_UTM));
    // A fixed number of values per occurrence: values that begin with a minus sign are taken
    // as values, never as options.
    command->add_option("--mark", args->marks, Text(IDS_CLI_CALIBRATE_MARK))
        ->type_size(4)
        ->type_name("X Y WX WY")
        ->required();
    command->add_option("--at", args->at, Text(IDS_CLI_CALIBRATE_AT))
        ->type_size(2)
        ->type_name("PX PY");
    command->add_option("--world", args->worlds, Text(IDS_CLI_CALIBRATE_WORLD))
        ->type_size(2)
        ->type_name("WX WY");
    command->callback([&context, args, utm] {
        const bool isUtm = utm->count() > 0;
        CCalibration input;
        if (!ReadCalibrationInput(args->marks, isUtm, args->zoneText, context, input)) {
            return;
        }
        const CalibrationCheckResult check = CheckCalibration(input);
        if (check.code != CALIBRATION_OK) {
            PrintLine(context.out, "rejected code=%d mark=%d field=%d", check.code, check.mark,
                      check.field);
            context.out << LoadStringId(CalibrationMessageId(check.code)) << '\n';
            context.exitCode = CLI_EXIT_REJECTED;
            return;
        }
        context.out << "accepted\n";
        const CMapTransform transform = input.Transform();
        for (std::size_t i = 0; i + 1 < args->at.size(); i += 2) {
            PrintPoint(context.out, transform.PictureToWorld({ReadDoubleField(args->at[i]),
                                                              ReadDoubleField(args->at[i + 1])}));
        }
        for (std::size_t i = 0; i + 1 < args->worlds.size(); i += 2) {
            PrintPoint(context.out,
                       transform.WorldToPicture({ReadWorldField(args->worlds[i], isUtm),
                                                 ReadWorldField(args->worlds[i + 1], isUtm)}));
        }
    });
}

} // namespace

void AddCoreCommands(CLI::App& app, CliContext& context) {
    AddAngleCommand(app, context);
    AddFormatCommand(app, context);
    AddUtmCommand(app, context);
    AddLatLonCommand(app, context);
    AddCalibrateCommand(app, context);
}

} // namespace mapreg

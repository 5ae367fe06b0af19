#include "cli/PointCommands.h"

#include "cli/ZoneOption.h"
#include "coords/NumberText.h"
#include "coords/UtmProjection.h"
#include "coords/UtmZoneText.h"
#include "document/CGpsDoc.h"
#include "document/CPointsFile.h"
#include "document/TextFileFormat.h"
#include "framework/CRecordingPrompt.h"
#include "georef/CPointFit.h"
#include "georef/CalibrationCheck.h"
#include "georef/DeviceError.h"
#include "resources/StringTable.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace mapreg {

namespace {

std::string Text(unsigned id) {
    return std::string(LoadStringId(id));
}

std::string Metres(double value) {
    return std::isfinite(value) ? FormatFixed(value, 0, 3) : std::string("none");
}

std::string JsonNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    return ec == std::errc() ? std::string(buffer.data(), end) : std::string("null");
}

// The point number users see (from 1) of the worst point, or none.
std::string WorstText(const CPointFit& fit, bool json) {
    return fit.GetWorst() < 0 ? std::string(json ? "null" : "none")
                              : std::to_string(fit.GetWorst() + 1);
}

bool HasLetter(const std::string& zoneText) {
    return std::any_of(zoneText.begin(), zoneText.end(),
                       [](unsigned char c) { return std::isalpha(c) != 0; });
}

// The kind --latlon or --utm ZONE asks for; nothing when neither is given, or after the usage
// message for a bad zone (exitCode set). Without a band letter the UTM hemisphere is the
// file's when it is in that zone, else the northern one.
std::optional<WorldKind> ChosenKind(bool latLon, const std::string* zoneText,
                                    const std::optional<WorldKind>& fileKind, CliContext& context) {
    if (latLon) {
        return WorldKind{};
    }
    if (zoneText == nullptr) {
        return std::nullopt;
    }
    const auto zone = ReadZoneOption(*zoneText, context);
    if (!zone) {
        return std::nullopt;
    }
    bool north = true;
    if (zone->HasLetter()) {
        north = !UtmIsSouthernLetter(zone->letter);
    } else if (fileKind && fileKind->coordType == CoordType::Utm && fileKind->zone == zone->zone) {
        north = fileKind->north;
    }
    return WorldKind{CoordType::Utm, zone->zone, north};
}

// Reads the points file in the chosen kind, or in the file's own when none is chosen. Sets
// the exit code and writes the message on failure.
std::optional<CPointsFile::Result> ReadPoints(const std::string& path, bool latLon,
                                              const std::string* zoneText, bool defaultLatLon,
                                              CliContext& context) {
    CPointsFile::Result result = CPointsFile::Read(path, std::nullopt);
    std::optional<WorldKind> kind;
    if (result.status == CPointsFile::Status::Ok || result.status == CPointsFile::Status::NoCrs ||
        result.status == CPointsFile::Status::UnknownCrs) {
        kind = ChosenKind(latLon, zoneText, result.fileKind, context);
        if (context.exitCode != CLI_EXIT_OK) {
            return std::nullopt;
        }
        if (!kind && !result.fileKind && defaultLatLon) {
            kind = WorldKind{};
        }
        if (kind || result.hasCrs) {
            // A foreign system without a choice is converted to longitude/latitude.
            result = CPointsFile::Read(path, kind              ? kind
                                             : result.fileKind ? result.fileKind
                                                               : WorldKind{});
        }
    }
    if (result.status != CPointsFile::Status::Ok) {
        context.err << CPointsFile::Message(result, path) << '\n';
        context.exitCode =
            result.status == CPointsFile::Status::CannotRead ? CLI_EXIT_FILE : CLI_EXIT_USAGE;
        return std::nullopt;
    }
    if (kind) {
        result.fileKind = kind;
    } else if (!result.fileKind) {
        result.fileKind = WorldKind{};
    }
    return result;
}

// The fit, or nothing after the message and exit code 3.
std::optional<CPointFit> FitPoints(const std::vector<ControlPoint>& points, const WorldKind& kind,
                                   CliContext& context) {
    CPointFit fit = CPointFit::Fit(points, kind.coordType == CoordType::LatLon);
    if (!fit.IsOk()) {
        context.err << LoadStringId(fit.GetStatus() == CPointFit::Status::TooFewPoints
                                        ? IDS_POINTS_TOO_FEW
                                        : IDS_POINTS_DEGENERATE)
                    << '\n';
        context.exitCode = CLI_EXIT_REJECTED;
        return std::nullopt;
    }
    return fit;
}

struct FitArgs {
    std::string points;
    bool latLon = false;
    std::string zoneText;
    std::vector<int> size;
    bool json = false;
};

// A band letter for a UTM calibration from a fit: the band of the fitted picture's centre, on
// the side of the equator the zone's northings count from.
char BandLetter(const WorldKind& kind, CDoublePoint centre) {
    double latitude = 0.0;
    double longitude = 0.0;
    UtmToLatLon(kWgs84SemiMajorAxis, kWgs84Flattening, kind.zone, kind.north ? 'N' : 'M', centre.x,
                centre.y, latitude, longitude);
    char letter = UtmBandLetter(latitude);
    if (letter == kUtmOutsideLetter) {
        letter = latitude > 0.0 ? 'X' : 'C';
    }
    if (kind.north && letter < 'N') {
        return 'N';
    }
    if (!kind.north && letter >= 'N') {
        return 'M';
    }
    return letter;
}

// The device error of the calibration the fit gives a picture of size[0] x size[1] pixels.
double FitDeviceError(const CPointFit& fit, const WorldKind& kind, const std::vector<int>& size) {
    const int width = size[0];
    const int height = size[1];
    const char letter = kind.coordType == CoordType::Utm
                            ? BandLetter(kind, fit.GetTransform().Map({width / 2.0, height / 2.0}))
                            : 'U';
    return CalibrationDeviceError(
        CalibrationOfFit(fit.GetTransform(), kind.coordType, kind.zone, letter, width, height),
        width, height);
}

// The device error is printed when the picture size is known (size holds it, or is empty).
void PrintFit(const std::vector<ControlPoint>& points, const CPointFit& fit, const WorldKind& kind,
              const std::vector<int>& size, bool json, CliContext& context) {
    const double deviceError = size.size() == 2 ? FitDeviceError(fit, kind, size) : std::nan("");
    const std::vector<PointResidual>& residuals = fit.GetResiduals();
    if (!json) {
        for (std::size_t i = 0; i < points.size(); ++i) {
            context.out << i + 1 << " residual_m=" << Metres(residuals[i].lengthM)
                        << " leave_one_out_m=" << Metres(residuals[i].leaveOneOutM)
                        << (points[i].enabled ? "" : " disabled") << '\n';
        }
        context.out << "rms_m=" << Metres(fit.GetRmsM()) << '\n'
                    << "worst=" << WorstText(fit, false) << '\n';
        if (size.size() == 2) {
            context.out << "device_error_m=" << Metres(deviceError) << '\n';
        }
        return;
    }
    std::string text = "{\"transform\":[";
    for (std::size_t i = 0; i < 6; ++i) {
        text += (i == 0 ? "" : ",") + JsonNumber(fit.GetTransform().c[i]);
    }
    text += "],\"rmsM\":" + JsonNumber(fit.GetRmsM()) + ",\"worst\":" + WorstText(fit, true);
    if (size.size() == 2) {
        text += ",\"deviceErrorM\":" + JsonNumber(deviceError);
    }
    text += ",\"points\":[";
    for (std::size_t i = 0; i < points.size(); ++i) {
        const ControlPoint& p = points[i];
        text += std::string(i == 0 ? "{" : ",{") + "\"x\":" + JsonNumber(p.picture.x) +
                ",\"y\":" + JsonNumber(p.picture.y) + ",\"worldX\":" + JsonNumber(p.world.x) +
                ",\"worldY\":" + JsonNumber(p.world.y) +
                ",\"enabled\":" + (p.enabled ? "true" : "false") +
                ",\"residualM\":" + JsonNumber(residuals[i].lengthM) +
                ",\"leaveOneOutM\":" + JsonNumber(residuals[i].leaveOneOutM) + "}";
    }
    context.out << text << "]}\n";
}

} // namespace

void AddPointCommands(CLI::App& app, CliContext& context) {
    auto* command = app.add_subcommand("fit", Text(IDS_CLI_FIT));
    auto args = std::make_shared<FitArgs>();
    command->add_option("POINTS", args->points, Text(IDS_CLI_FIT_POINTS))->required();
    auto* latLon = command->add_flag("--latlon", args->latLon, Text(IDS_CLI_FIT_LATLON));
    auto* utm =
        command->add_option("--utm", args->zoneText, Text(IDS_CLI_FIT_UTM))->type_name("ZONE");
    latLon->excludes(utm);
    command->add_option("--size", args->size, Text(IDS_CLI_FIT_SIZE))
        ->expected(2)
        ->type_name("W H")
        ->check(CLI::PositiveNumber);
    command->add_flag("--json", args->json, Text(IDS_CLI_FIT_JSON));
    command->callback([&context, args, utm] {
        const auto read = ReadPoints(args->points, args->latLon,
                                     utm->count() > 0 ? &args->zoneText : nullptr, false, context);
        if (!read) {
            return;
        }
        const auto fit = FitPoints(read->points, *read->fileKind, context);
        if (fit) {
            PrintFit(read->points, *fit, *read->fileKind, args->size, args->json, context);
        }
    });
}

void RunRegisterFromPoints(const std::string& bitmap, const std::string& pointsPath,
                           const std::string* zoneText, const std::string& output,
                           CliContext& context) {
    const auto read = ReadPoints(pointsPath, false, zoneText, true, context);
    if (!read) {
        return;
    }
    const WorldKind kind = *read->fileKind;
    const auto fit = FitPoints(read->points, kind, context);
    if (!fit) {
        return;
    }
    std::error_code ec;
    const std::string absolute = std::filesystem::absolute(bitmap, ec).string();
    CRecordingPrompt prompt;
    CGpsDoc doc(prompt);
    FileResult reported;
    doc.SetResultReporter([&reported](const FileResult& result) { reported.Append(result); });
    if (doc.LoadBitmapFile(ec ? bitmap : absolute) != CGpsDoc::kLoadOk) {
        context.err << LoadStringId(IDS_CANNOT_OPEN_FILE) << '\n';
        context.exitCode = CLI_EXIT_FILE;
        return;
    }
    const CDoublePoint centre =
        fit->GetTransform().Map({doc.GetMapWidth() / 2.0, doc.GetMapHeight() / 2.0});
    // The band letter the user gave, else the band of the picture's centre.
    int givenZone = 0;
    char letter = 0;
    if (zoneText != nullptr && HasLetter(*zoneText)) {
        ParseUtmZoneText(*zoneText, givenZone, letter);
    }
    if (kind.coordType != CoordType::Utm) {
        letter = 'U';
    } else if (letter == 0) {
        letter = BandLetter(kind, centre);
    }
    const int code = doc.CalibrateFromFit(fit->GetTransform(), kind.coordType, kind.zone, letter);
    if (code != CALIBRATION_OK) {
        context.out << "rejected code=" << code << '\n';
        context.err << LoadStringId(CalibrationMessageId(code)) << '\n';
        context.exitCode = CLI_EXIT_REJECTED;
        return;
    }
    doc.SetControlPointList(read->points);
    const std::string mapFile =
        output.empty() ? DeriveTextFileName(doc.GetBitmapPath(), ".gpm") : output;
    if (!doc.DoSave(mapFile) || !reported.notices.empty()) {
        context.PrintNotices(reported);
        context.exitCode = CLI_EXIT_FILE;
        return;
    }
    context.out << mapFile << '\n'
                << doc.GetRegistrationFileName() << '\n'
                << CPointsFile::PathForMapFile(mapFile) << '\n'
                << "rms_m=" << Metres(fit->GetRmsM()) << '\n'
                << "worst=" << WorstText(*fit, false) << '\n';
}

} // namespace mapreg

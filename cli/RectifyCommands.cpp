#include "cli/RectifyCommands.h"

#include "cli/CWorkerProgress.h"
#include "cli/ZoneOption.h"
#include "coords/UtmProjection.h"
#include "coords/UtmZoneText.h"
#include "document/CGpsDoc.h"
#include "document/CMapFile.h"
#include "document/CPointsFile.h"
#include "document/TextFileFormat.h"
#include "framework/CAtomicFile.h"
#include "framework/CRecordingPrompt.h"
#include "georef/CalibrationCheck.h"
#include "georef/WarpFit.h"
#include "import/CRasterCalibration.h"
#include "import/CWarpSource.h"
#include "resources/StringTable.h"

#include <CLI/CLI.hpp>

#include <ogr_spatialref.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <memory>

namespace mapreg {

namespace {

std::string Text(unsigned id) {
    return std::string(LoadStringId(id));
}

struct RectifyArgs {
    std::string map;
    std::string output;
    bool latLon = false;
    std::string zoneText;
    double pixelSize = 0.0;
    int order = 0;    // through the control points with a polynomial of this order
    bool tps = false; // through the control points with a thin-plate spline
};

// The name of a fit through control points, for messages.
std::string FitName(WarpFit fit) {
    switch (fit) {
    case WarpFit::Order1:
        return Text(IDS_STRAIGHT_FIT_ORDER1);
    case WarpFit::Order2:
        return Text(IDS_STRAIGHT_FIT_ORDER2);
    case WarpFit::Order3:
        return Text(IDS_STRAIGHT_FIT_ORDER3);
    case WarpFit::ThinPlateSpline:
        return Text(IDS_STRAIGHT_FIT_TPS);
    case WarpFit::Calibration:
        break;
    }
    return Text(IDS_STRAIGHT_FIT_AFFINE);
}

// Maps source through the control points beside the map file with fit. False after the message
// and exit code when the points are missing, unreadable or too few, or cannot be fitted.
bool UseMapPoints(CWarpSource& source, const std::string& map, const CCalibration& calibration,
                  WarpFit fit, CliContext& context) {
    const std::string path = CPointsFile::PathForMapFile(map);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        context.err << FormatString1(IDS_STRAIGHT_NO_POINTS, path) << '\n';
        context.exitCode = CLI_EXIT_REJECTED;
        return false;
    }
    const WorldKind kind = calibration.IsUtm() ? WorldKind{CoordType::Utm, calibration.zone,
                                                           !UtmIsSouthernLetter(calibration.letter)}
                                               : WorldKind{};
    const CPointsFile::Result read = CPointsFile::Read(path, kind);
    if (read.status != CPointsFile::Status::Ok) {
        context.err << CPointsFile::Message(read, path) << '\n';
        context.exitCode = CLI_EXIT_FILE;
        return false;
    }
    switch (source.UsePoints(read.points, fit)) {
    case CWarpSource::Status::Ok:
        return true;
    case CWarpSource::Status::TooFewPoints: {
        std::string message = FormatString1(IDS_STRAIGHT_TOO_FEW_POINTS, FitName(fit));
        for (const auto& [mark, value] :
             {std::pair{"%2", MinimumPoints(fit)}, {"%3", EnabledPoints(read.points)}}) {
            if (const std::size_t at = message.find(mark); at != std::string::npos) {
                message.replace(at, 2, std::to_string(value));
            }
        }
        context.err << message << '\n';
        break;
    }
    default:
        context.err << FormatString1(IDS_STRAIGHT_POINTS_NO_FIT, FitName(fit)) << '\n';
        break;
    }
    context.exitCode = CLI_EXIT_REJECTED;
    return false;
}

// The default output: the bitmap's name with -straight.bmp, beside it.
std::string StraightName(const std::string& bitmap) {
    namespace fs = std::filesystem;
    const fs::path path(bitmap);
    return (path.parent_path() / (path.stem().string() + "-straight.bmp")).string();
}

void RunRectify(const RectifyArgs& args, bool utm, CliContext& context) {
    CMapFile::Contents contents;
    const CMapFile::LoadResult result = CMapFile::Load(args.map, contents);
    if (result.status != CMapFile::Status::Ok) {
        context.err << CMapFile::Message(result, args.map) << '\n';
        context.exitCode = CLI_EXIT_FILE;
        return;
    }
    if (!contents.calibrated) {
        context.err << FormatString1(IDS_STRAIGHT_NOT_CALIBRATED, args.map) << '\n';
        context.exitCode = CLI_EXIT_FILE;
        return;
    }
    const CCalibration& calibration = contents.calibration;
    CStraightener::Target target;
    target.coordType = args.latLon ? CoordType::LatLon
                       : utm       ? CoordType::Utm
                                   : calibration.coordType;
    target.zone = calibration.zone;
    target.north = !UtmIsSouthernLetter(calibration.letter);
    target.pixelMetres = args.pixelSize;
    if (utm && !args.zoneText.empty()) {
        const auto zone = ReadZoneOption(args.zoneText, context);
        if (!zone) {
            return;
        }
        target.zone = zone->zone;
        target.north = zone->HasLetter() ? !UtmIsSouthernLetter(zone->letter) : target.north;
    }
    const auto source = CWarpSource::OpenMap(contents.bitmapPath, calibration);
    if (source->GetStatus() != CWarpSource::Status::Ok) {
        context.err << FormatString1(IDS_STRAIGHT_NO_BITMAP, contents.bitmapPath) << '\n';
        context.exitCode = CLI_EXIT_FILE;
        return;
    }
    constexpr std::array orders{WarpFit::Order1, WarpFit::Order2, WarpFit::Order3};
    const WarpFit fit = args.tps         ? WarpFit::ThinPlateSpline
                        : args.order > 0 ? orders[std::size_t(args.order) - 1]
                                         : WarpFit::Calibration;
    if (fit != WarpFit::Calibration &&
        !UseMapPoints(*source, args.map, calibration, fit, context)) {
        return;
    }
    // A lat/lon map goes to the zone of its centre unless the user named one.
    if (target.coordType == CoordType::Utm && !calibration.IsUtm() && args.zoneText.empty()) {
        std::vector<CDoublePoint> centre{{source->GetWidth() / 2.0, source->GetHeight() / 2.0}};
        source->LonLatMapping()(centre);
        target.zone = std::clamp(UtmZoneOfLongitude(centre[0].x), 1, 60);
        target.north = centre[0].y >= 0.0;
    }
    const std::string bitmap =
        std::filesystem::absolute(args.output.empty() ? StraightName(contents.bitmapPath)
                                                      : args.output)
            .string();
    if (IsSameFile(bitmap, contents.bitmapPath) || IsSameFile(bitmap, args.map)) {
        context.err << FormatString1(IDS_IMPORT_SAME_FILE, contents.bitmapPath) << '\n';
        context.exitCode = CLI_EXIT_USAGE;
        return;
    }
    WriteStraightMap(*source, target, args.map, bitmap, context);
}

} // namespace

void WriteStraightMap(const CWarpSource& source, const CStraightener::Target& target,
                      const std::string& name, const std::string& bitmap, CliContext& context) {
    CStraightener straightener(source, target);
    if (straightener.GetStatus() != CStraightener::Status::Ok) {
        switch (straightener.GetStatus()) {
        case CStraightener::Status::NoGrid:
            context.err << FormatString1(IDS_STRAIGHT_NO_GRID, name) << '\n';
            break;
        case CStraightener::Status::CrossesAntimeridian:
            context.err << FormatString1(IDS_STRAIGHT_ANTIMERIDIAN, name) << '\n';
            context.exitCode = CLI_EXIT_REJECTED;
            return;
        default:
            context.err << straightener.GetMessage() << '\n';
        }
        context.exitCode = CLI_EXIT_FILE;
        return;
    }
    const std::string mapFile = DeriveTextFileName(bitmap, ".gpm");
    if (IsSameFile(mapFile, bitmap) || IsSameFile(mapFile, name)) {
        context.err << FormatString1(IDS_IMPORT_SAME_FILE, name) << '\n';
        context.exitCode = CLI_EXIT_USAGE;
        return;
    }
    // The new map's calibration: marks on corner pixels of the grid, which is exact in the
    // device's own system. Settled, like everything that can refuse, before the bitmap.
    const SWarpGrid& grid = straightener.GetGrid();
    OGRSpatialReference srs;
    srs.importFromWkt(grid.srsWkt.c_str());
    using System = CRasterCalibration::Choice::System;
    CRasterCalibration::Choice choice;
    choice.system = target.coordType == CoordType::LatLon ? System::LatLon : System::Utm;
    choice.zone = target.zone;
    const CRasterCalibration calibration(grid.geoTransform, &srs, grid.width, grid.height, choice);
    CRecordingPrompt prompt;
    CGpsDoc doc(prompt);
    doc.SetBitmapFile(bitmap, grid.width, grid.height);
    if (calibration.GetOutcome() != CRasterCalibration::Outcome::Ready ||
        doc.Calibrate(calibration.GetCalibration()).code != CALIBRATION_OK) {
        context.err << FormatString1(IDS_STRAIGHT_NO_GRID, name) << '\n';
        context.exitCode = CLI_EXIT_REJECTED;
        return;
    }
    const auto fail = [&context](const FileResult& result) {
        context.PrintNotices(result);
        context.exitCode = CLI_EXIT_FILE;
    };
    if (const FileResult fits = doc.CheckMarksFitMapFile(); !fits.done) {
        fail(fits);
        return;
    }
    const CStraightener::Status written =
        straightener.Write(bitmap, CWorkerProgress::Callback(context));
    if (written == CStraightener::Status::Cancelled) {
        context.exitCode = CLI_EXIT_CANCELLED;
        return;
    }
    if (written != CStraightener::Status::Ok) {
        context.err << straightener.GetMessage() << '\n';
        context.exitCode = CLI_EXIT_FILE;
        return;
    }
    if (const CFileError error = CAtomicFile::Write(mapFile, doc.BuildMapFile()); error.IsError()) {
        std::filesystem::remove(bitmap);
        context.err << FormatString1(IDS_SAVE_MAP_FAILED, mapFile) << "  "
                    << LoadStringId(error.ReasonId(true)) << '\n';
        context.exitCode = CLI_EXIT_FILE;
        return;
    }
    if (const FileResult registration = doc.WriteRegistrationFile(mapFile); !registration.done) {
        fail(registration);
        return;
    }
    context.out << bitmap << '\n'
                << mapFile << '\n'
                << doc.GetRegistrationFileName() << '\n'
                << "deviation_m=" << FormatFixed(calibration.GetDeviation(), 0, 3) << '\n'
                << "device_error_m=" << FormatFixed(calibration.GetDeviceError(), 0, 3) << '\n';
}

void AddRectifyCommands(CLI::App& app, CliContext& context) {
    auto* command = app.add_subcommand("rectify", Text(IDS_CLI_RECTIFY));
    auto args = std::make_shared<RectifyArgs>();
    command->add_option("MAP", args->map, Text(IDS_CLI_RECTIFY_MAP))->required();
    command->add_option("-o,--output", args->output, Text(IDS_CLI_RECTIFY_OUTPUT));
    auto* latLon = command->add_flag("--latlon", args->latLon, Text(IDS_CLI_IMPORT_LATLON));
    auto* utm = command->add_option("--utm", args->zoneText, Text(IDS_CLI_IMPORT_UTM))
                    ->expected(0, 1)
                    ->type_name("[ZONE]");
    latLon->excludes(utm);
    command->add_option("--pixel-size", args->pixelSize, Text(IDS_CLI_RECTIFY_PIXEL_SIZE))
        ->check(CLI::PositiveNumber);
    auto* order = command->add_option("--order", args->order, Text(IDS_CLI_RECTIFY_ORDER))
                      ->check(CLI::Range(1, 3));
    command->add_flag("--tps", args->tps, Text(IDS_CLI_RECTIFY_TPS))->excludes(order);
    CWorkerProgress::AddOption(*command, context);
    command->callback([&context, args, utm] { RunRectify(*args, utm->count() > 0, context); });
}

} // namespace mapreg

#include "cli/ImportCommands.h"

#include "cli/CWorkerProgress.h"
#include "cli/RectifyCommands.h"
#include "cli/ZoneOption.h"
#include "coords/UtmProjection.h"
#include "coords/UtmZoneText.h"
#include "document/CGpsDoc.h"
#include "document/TextFileFormat.h"
#include "framework/CAtomicFile.h"
#include "framework/CRecordingPrompt.h"
#include "georef/CalibrationCheck.h"
#include "import/CRasterCalibration.h"
#include "import/CRasterImporter.h"
#include "import/CWarpSource.h"
#include "resources/StringTable.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <string>

namespace mapreg {

namespace {

std::string Text(unsigned id) {
    return std::string(LoadStringId(id));
}

struct ImportArgs {
    std::string source;
    std::string output;
    bool latLon = false;
    std::string zoneText;
    bool rectify = false;
    double pixelSize = 0.0;
    bool check = false;
    bool bitmapOnly = false;
};

// A number as the shortest text that reads back as the same double.
std::string Exact(double value) {
    std::array<char, 32> text{};
    const auto [end, ec] = std::to_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() ? std::string(text.data(), end) : std::string("nan");
}

// The desktop program's import: the bitmap alone, then the calibration found, for the window
// to apply to its own document (exact numbers, one item per line):
//   BITMAP
//   uncalibrated | unknown-system | outside-projection | crosses-antimeridian |
//   calibration TYPE ZONE LETTER DEVIATION DEVICE_ERROR VISIBLE
//   mark PX PY WX WY   (three lines after "calibration")
void WriteBitmapOnly(CRasterImporter& importer, const std::string& bitmap,
                     const std::optional<CRasterCalibration>& calibration,
                     CRasterCalibration::Outcome outcome, CliContext& context) {
    const auto status = importer.WriteBitmap(bitmap, CWorkerProgress::Callback(context));
    if (status == CRasterImporter::Status::Cancelled) {
        context.exitCode = CLI_EXIT_CANCELLED;
        return;
    }
    if (status != CRasterImporter::Status::Ok) {
        context.err << importer.GetMessage() << '\n';
        context.exitCode = CLI_EXIT_FILE;
        return;
    }
    context.out << bitmap << '\n';
    if (!importer.HasGeoTransform()) {
        context.out << "uncalibrated\n";
        return;
    }
    if (!calibration) {
        context.out << (outcome == CRasterCalibration::Outcome::OutsideProjection
                            ? "outside-projection\n"
                        : outcome == CRasterCalibration::Outcome::CrossesAntimeridian
                            ? "crosses-antimeridian\n"
                            : "unknown-system\n");
        return;
    }
    const CCalibration& found = calibration->GetCalibration();
    context.out << "calibration " << CoordTypeNumber(found.coordType) << ' ' << found.zone << ' '
                << (found.letter != 0 ? found.letter : '-') << ' '
                << Exact(calibration->GetDeviation()) << ' ' << Exact(calibration->GetDeviceError())
                << ' ' << (calibration->IsDeviceErrorVisible() ? 1 : 0) << '\n';
    for (std::size_t i = 0; i < 3; ++i) {
        const CDoublePoint picture = found.picture[i];
        const CDoublePoint world = found.world[i];
        context.out << "mark " << Exact(picture.x) << ' ' << Exact(picture.y) << ' '
                    << Exact(world.x) << ' ' << Exact(world.y) << '\n';
    }
}

std::string Absolute(const std::string& path) {
    std::error_code ec;
    const std::string absolute = std::filesystem::absolute(path, ec).string();
    return ec ? path : absolute;
}

// The coordinate system the user asked for; nothing (after the usage message) for a bad zone.
std::optional<CRasterCalibration::Choice> ReadChoice(const ImportArgs& args, bool utm,
                                                     CliContext& context) {
    using System = CRasterCalibration::Choice::System;
    CRasterCalibration::Choice choice;
    choice.system = args.latLon ? System::LatLon : utm ? System::Utm : System::Auto;
    if (!utm || args.zoneText.empty()) {
        return choice;
    }
    const auto zone = ReadZoneOption(args.zoneText, context);
    if (!zone) {
        return std::nullopt;
    }
    choice.zone = zone->zone;
    choice.letter = zone->letter;
    return choice;
}

// Straightens the source for the device into bitmap, in the system its calibration chose.
void RunRectifiedImport(const ImportArgs& args, CRasterImporter& importer,
                        const CRasterCalibration& calibration, const std::string& bitmap,
                        CliContext& context) {
    CStraightener::Target target;
    target.coordType = calibration.GetCalibration().coordType;
    target.zone = calibration.GetCalibration().zone;
    target.north = !UtmIsSouthernLetter(calibration.GetCalibration().letter);
    target.pixelMetres = args.pixelSize;
    // A source whose samples are not plain bytes is converted first, beside the output.
    std::string warped = args.source;
    struct STempRemover {
        std::string path;
        ~STempRemover() {
            if (!path.empty()) {
                std::error_code ec;
                std::filesystem::remove(path, ec);
            }
        }
    } temp;
    if (!importer.IsWarpableAsIs()) {
        temp.path = bitmap + ".import.bmp";
        if (importer.WriteBitmap(temp.path) != CRasterImporter::Status::Ok) {
            temp.path.clear();
            context.err << importer.GetMessage() << '\n';
            context.exitCode = CLI_EXIT_FILE;
            return;
        }
        warped = temp.path;
    }
    const auto source =
        CWarpSource::OpenRaster(warped, importer.GetGeoTransform(), *importer.GetSpatialRef());
    if (source->GetStatus() != CWarpSource::Status::Ok) {
        context.err << source->GetMessage() << '\n';
        context.exitCode = CLI_EXIT_FILE;
        return;
    }
    WriteStraightMap(*source, target, args.source, bitmap, context);
    if (context.exitCode == CLI_EXIT_OK && importer.IsGcpFit()) {
        context.out << "gcp_residual_m=" << FormatFixed(importer.GetGcpResidual(), 0, 3) << '\n';
    }
}

void RunImport(const ImportArgs& args, bool utm, CliContext& context) {
    const auto choice = ReadChoice(args, utm, context);
    if (!choice) {
        return;
    }
    CRasterImporter importer(args.source);
    if (importer.GetStatus() != CRasterImporter::Status::Ok) {
        context.err << importer.GetMessage() << '\n';
        context.exitCode = CLI_EXIT_FILE;
        return;
    }
    if (args.check) {
        context.out << importer.GetWidth() << ' ' << importer.GetHeight() << '\n';
        return;
    }
    const std::string bitmap =
        Absolute(args.output.empty() ? DeriveTextFileName(args.source, ".bmp") : args.output);
    const std::string mapFile = DeriveTextFileName(bitmap, ".gpm");
    // A bitmap source named as its own output is used as it is; nothing else may be replaced.
    const bool sameFile = IsSameFile(bitmap, args.source);
    if ((sameFile && (!importer.IsBitmapSource() || args.rectify)) ||
        (!args.bitmapOnly && (IsSameFile(mapFile, bitmap) || IsSameFile(mapFile, args.source)))) {
        context.err << FormatString1(IDS_IMPORT_SAME_FILE, args.source) << '\n';
        context.exitCode = CLI_EXIT_USAGE;
        return;
    }

    // Nor may the registration file beside the bitmap replace the source (a grid named .txt).
    if (!args.bitmapOnly && importer.HasGeoTransform() &&
        IsSameFile(DeriveTextFileName(bitmap, ".txt"), args.source)) {
        context.err << FormatString1(IDS_IMPORT_OUTPUT_IS_SOURCE, args.source) << '\n';
        context.exitCode = CLI_EXIT_USAGE;
        return;
    }

    // Everything that can refuse the import is settled before the bitmap is written.
    CRecordingPrompt prompt;
    CGpsDoc doc(prompt);
    doc.SetBitmapFile(bitmap, importer.GetWidth(), importer.GetHeight());
    std::optional<CRasterCalibration> calibration;
    if (importer.HasTooFewGcps()) {
        context.err << FormatString1(IDS_IMPORT_GCPS_TOO_FEW, args.source) << '\n';
    }
    auto outcome = CRasterCalibration::Outcome::Ready;
    if (importer.HasGeoTransform()) {
        calibration.emplace(importer.GetGeoTransform(), importer.GetSpatialRef(),
                            importer.GetWidth(), importer.GetHeight(), *choice);
        outcome = calibration->GetOutcome();
        switch (outcome) {
        case CRasterCalibration::Outcome::Ready:
            break;
        case CRasterCalibration::Outcome::OutsideProjection:
            if (!args.bitmapOnly) {
                context.err << FormatString1(IDS_IMPORT_OUTSIDE_PROJECTION, args.source) << '\n';
            }
            calibration.reset();
            break;
        case CRasterCalibration::Outcome::CrossesAntimeridian:
            if (!args.bitmapOnly) {
                context.err << FormatString1(IDS_IMPORT_ANTIMERIDIAN, args.source) << '\n';
            }
            calibration.reset();
            break;
        case CRasterCalibration::Outcome::UnknownSystem:
            if (!args.bitmapOnly) {
                context.err << FormatString1(IDS_IMPORT_UNKNOWN_SYSTEM, args.source) << '\n';
            }
            calibration.reset();
            break;
        }
    }
    if (args.rectify) {
        if (!calibration) {
            context.err << FormatString1(IDS_STRAIGHT_NO_COORDINATES, args.source) << '\n';
            context.exitCode = CLI_EXIT_FILE;
            return;
        }
        RunRectifiedImport(args, importer, *calibration, bitmap, context);
        return;
    }
    if (args.bitmapOnly) {
        WriteBitmapOnly(importer, bitmap, calibration, outcome, context);
        return;
    }
    if (calibration) {
        const CalibrationCheckResult result = doc.Calibrate(calibration->GetCalibration());
        const int code = result.code;
        if (code != CALIBRATION_OK) {
            context.out << "rejected code=" << code << " mark=" << result.mark
                        << " field=" << result.field << '\n';
            context.exitCode = CLI_EXIT_REJECTED;
            const bool pictureTooNarrow =
                result.field == FIELD_PICTURE_X || result.field == FIELD_PICTURE_Y;
            if (!pictureTooNarrow) {
                context.err << FormatString1(IDS_IMPORT_REJECTED, args.source) << "  "
                            << LoadStringId(CalibrationMessageId(code)) << '\n';
                return;
            }
            // The picture itself is too thin for three marks: keep it for a calibration by
            // hand, uncalibrated.
            context.err << FormatString1(IDS_IMPORT_TOO_NARROW,
                                         args.source + " (" + std::to_string(importer.GetWidth()) +
                                             " x " + std::to_string(importer.GetHeight()) +
                                             " pixels)")
                        << '\n';
            calibration.reset();
        }
    }
    const auto fail = [&context](const FileResult& result) {
        context.PrintNotices(result);
        context.exitCode = CLI_EXIT_FILE;
    };
    if (const FileResult fits = doc.CheckMarksFitMapFile(); !fits.done) {
        fail(fits);
        return;
    }
    if (!sameFile) {
        const auto status = importer.WriteBitmap(bitmap, CWorkerProgress::Callback(context));
        if (status == CRasterImporter::Status::Cancelled) {
            context.exitCode = CLI_EXIT_CANCELLED;
            return;
        }
        if (status != CRasterImporter::Status::Ok) {
            context.err << importer.GetMessage() << '\n';
            context.exitCode = CLI_EXIT_FILE;
            return;
        }
    }
    if (const CFileError error = CAtomicFile::Write(mapFile, doc.BuildMapFile()); error.IsError()) {
        fail(FileResult::Failed({IDS_SAVE_MAP_FAILED,
                                 FormatString1(IDS_SAVE_MAP_FAILED, mapFile) + "  " +
                                     std::string(LoadStringId(error.ReasonId(true))),
                                 MsgIcon::Stop}));
        return;
    }
    context.out << bitmap << '\n' << mapFile << '\n';
    if (!calibration) {
        context.out << "uncalibrated\n";
        return;
    }
    if (const FileResult written = doc.WriteRegistrationFile(mapFile); !written.done) {
        fail(written);
        return;
    }
    context.out << doc.GetRegistrationFileName() << '\n'
                << "deviation_m=" << FormatFixed(calibration->GetDeviation(), 0, 3) << '\n'
                << "device_error_m=" << FormatFixed(calibration->GetDeviceError(), 0, 3) << '\n';
    if (importer.IsGcpFit()) {
        context.out << "gcp_residual_m=" << FormatFixed(importer.GetGcpResidual(), 0, 3) << '\n';
    }
    if (calibration->IsDeviceErrorVisible()) {
        context.err << FormatString1(IDS_IMPORT_DEVIATION_WARNING,
                                     FormatFixed(calibration->GetDeviceError(), 0, 1))
                    << '\n';
    }
}

} // namespace

void AddImportCommands(CLI::App& app, CliContext& context) {
    auto* command = app.add_subcommand("import", Text(IDS_CLI_IMPORT));
    auto args = std::make_shared<ImportArgs>();
    command->add_option("SRC", args->source, Text(IDS_CLI_IMPORT_SOURCE))->required();
    command->add_option("-o,--output", args->output, Text(IDS_CLI_IMPORT_OUTPUT));
    auto* latLon = command->add_flag("--latlon", args->latLon, Text(IDS_CLI_IMPORT_LATLON));
    auto* utm = command->add_option("--utm", args->zoneText, Text(IDS_CLI_IMPORT_UTM))
                    ->expected(0, 1)
                    ->type_name("[ZONE]");
    latLon->excludes(utm);
    auto* rectify = command->add_flag("--rectify", args->rectify, Text(IDS_CLI_IMPORT_RECTIFY));
    command->add_option("--pixel-size", args->pixelSize, Text(IDS_CLI_RECTIFY_PIXEL_SIZE))
        ->check(CLI::PositiveNumber)
        ->needs(rectify);
    command->add_flag("--check", args->check, Text(IDS_CLI_IMPORT_CHECK));
    command->add_flag("--bitmap-only", args->bitmapOnly, Text(IDS_CLI_IMPORT_BITMAP_ONLY));
    CWorkerProgress::AddOption(*command, context);
    command->callback([&context, args, utm] {
        try {
            RunImport(*args, utm->count() > 0, context);
        } catch (const std::bad_alloc&) {
            context.err << FormatString1(IDS_IMPORT_NO_MEMORY, args->source) << '\n';
            context.exitCode = CLI_EXIT_FILE;
        }
    });

    auto* formats = app.add_subcommand("formats", Text(IDS_CLI_FORMATS));
    formats->callback([&context] {
        for (const std::string& ext : CRasterImporter::ReadableExtensions()) {
            context.out << ext << '\n';
        }
    });
}

} // namespace mapreg

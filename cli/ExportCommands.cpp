#include "cli/ExportCommands.h"

#include "cli/CWorkerProgress.h"
#include "document/CGpsDoc.h"
#include "document/CMapExporter.h"
#include "document/CSidecarFiles.h"
#include "document/TextFileFormat.h"
#include "framework/CRecordingPrompt.h"
#include "import/CDeviceExport.h"
#include "import/CWarpSource.h"
#include "resources/StringTable.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <filesystem>
#include <memory>
#include <string>

namespace mapreg {

namespace {

std::string Text(unsigned id) {
    return std::string(LoadStringId(id));
}

struct ExportArgs {
    std::string map;
    bool worldFile = false;
    bool oziMap = false;
    std::string output;
    std::string kmz;
    std::string mbtiles;
    std::string geotiff;
    int maxTiles = 100;
    int jpegQuality = 85;
    int minZoom = -1;
    bool straighten = false;
};

// Three decimals, whatever the locale.
std::string Metres(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 3);
    return std::string(buffer, result.ptr);
}

// Writes a KMZ, MBTiles or GeoTIFF of the map and prints its path and summary; the exit status
// (the reasons for a failure are in the prompt's messages).
int RunDeviceExport(const ExportArgs& args, CRecordingPrompt& prompt, CliContext& context) {
    CGpsDoc doc(prompt);
    if (const FileResult read = doc.ReadMapFile(args.map); !read.done) {
        context.PrintNotices(read);
        return CLI_EXIT_FILE;
    }
    // The bitmap itself is read by GDAL in pieces, never loaded whole.
    CMapExporter exporter(CMapExporter::SourceOf(doc), args.map);
    if (const unsigned reason = exporter.WhyNot(CMapExporter::Format::WorldFile); reason != 0) {
        prompt.MessageBoxId(reason, MsgIcon::Exclamation);
        return CLI_EXIT_FILE;
    }
    const std::string& target =
        !args.kmz.empty() ? args.kmz : (!args.mbtiles.empty() ? args.mbtiles : args.geotiff);
    if (CSidecarFiles::WouldReplace(target, doc.GetBitmapPath(), args.map)) {
        prompt.MessageBoxId1(IDS_TEXT_FILE_WOULD_REPLACE, target, MsgIcon::Exclamation);
        return CLI_EXIT_FILE;
    }
    const std::unique_ptr<CWarpSource> source =
        CWarpSource::OpenMap(doc.GetBitmapPath(), doc.GetCalibration());
    if (source->GetStatus() != CWarpSource::Status::Ok) {
        std::string message = FormatString1(IDS_DEVICE_CANNOT_READ, doc.GetBitmapPath());
        if (const std::string detail = CGdalSession::LastError(); !detail.empty()) {
            message += "  " + detail;
        }
        prompt.ShowMessage(0, message, MsgIcon::Stop, MsgButtons::Ok);
        return CLI_EXIT_FILE;
    }
    CDeviceExport device(*source, std::filesystem::path(doc.GetBitmapPath()).stem().string());
    const CDeviceExport::Progress progress = CWorkerProgress::Callback(context);
    CDeviceExport::Status status = CDeviceExport::Status::Ok;
    if (!args.kmz.empty()) {
        status = device.WriteKmz(target, args.maxTiles, args.jpegQuality, progress);
    } else if (!args.mbtiles.empty()) {
        status = device.WriteMbtiles(target, args.minZoom, progress);
    } else {
        status = device.WriteGeoTiff(target, args.straighten, progress);
    }
    if (status == CDeviceExport::Status::Cancelled) {
        return CLI_EXIT_CANCELLED;
    }
    if (status != CDeviceExport::Status::Ok) {
        if (!device.GetMessage().empty()) {
            prompt.ShowMessage(0, device.GetMessage(), MsgIcon::Stop, MsgButtons::Ok);
        }
        return CLI_EXIT_FILE;
    }
    const CDeviceExport::Summary& summary = device.GetSummary();
    context.out << target << '\n';
    if (summary.tiles > 0) {
        context.out << "tiles=" << summary.tiles << '\n';
    }
    if (summary.maxZoom >= 0) {
        context.out << "zoom_levels=" << summary.minZoom << '-' << summary.maxZoom << '\n';
    }
    context.out << "resolution_m=" << Metres(summary.resolutionMetres) << '\n'
                << "device_error_m=" << Metres(summary.deviceErrorMetres) << '\n';
    return CLI_EXIT_OK;
}

// Runs the export; false when it failed (the reasons are in the prompt's messages).
bool RunExport(const ExportArgs& args, CRecordingPrompt& prompt, CliContext& context) {
    CGpsDoc doc(prompt);
    if (const FileResult read = doc.ReadMapFile(args.map); !read.done) {
        context.PrintNotices(read);
        return false;
    }
    const std::string bitmap = doc.GetBitmapPath();
    if (bitmap.empty()) {
        prompt.MessageBoxId(IDS_EXPORT_NEEDS_BITMAP, MsgIcon::Exclamation);
        return false;
    }
    // The exports need the picture's size, which only the bitmap itself knows.
    if (doc.LoadBitmapFile(bitmap) != CGpsDoc::kLoadOk) {
        prompt.MessageBoxId1(IDS_CLI_EXPORT_NO_BITMAP, bitmap, MsgIcon::Stop);
        return false;
    }
    CMapExporter exporter(CMapExporter::SourceOf(doc), args.map);
    const FileResult written =
        args.worldFile ? exporter.ExportWorldFile()
                       : exporter.ExportOziMap(args.output.empty() ? exporter.DefaultOziMapPath()
                                                                   : args.output);
    for (const std::string& file : exporter.WrittenFiles()) {
        context.out << file << '\n';
    }
    context.PrintNotices(written);
    return written.done;
}

} // namespace

void AddExportCommands(CLI::App& app, CliContext& context) {
    auto* command = app.add_subcommand("export", Text(IDS_CLI_EXPORT));
    auto args = std::make_shared<ExportArgs>();
    command->add_option("MAP", args->map, Text(IDS_CLI_EXPORT_MAP))->required();
    auto* formats = command->add_option_group(Text(IDS_CLI_EXPORT_FORMAT_GROUP));
    auto* world =
        formats->add_flag("--world-file", args->worldFile, Text(IDS_CLI_EXPORT_WORLD_FILE));
    formats->add_flag("--ozi-map", args->oziMap, Text(IDS_CLI_EXPORT_OZI_MAP));
    auto* kmz = formats->add_option("--kmz", args->kmz, Text(IDS_CLI_EXPORT_KMZ));
    auto* mbtiles = formats->add_option("--mbtiles", args->mbtiles, Text(IDS_CLI_EXPORT_MBTILES));
    auto* geotiff = formats->add_option("--geotiff", args->geotiff, Text(IDS_CLI_EXPORT_GEOTIFF));
    formats->require_option(1);
    // The world file has no choice of place: GIS programs look for it beside the bitmap.
    command->add_option("-o,--output", args->output, Text(IDS_CLI_EXPORT_OUTPUT))
        ->excludes(world)
        ->excludes(kmz)
        ->excludes(mbtiles)
        ->excludes(geotiff);
    command->add_option("--max-tiles", args->maxTiles, Text(IDS_CLI_EXPORT_MAX_TILES))
        ->check(CLI::Range(1, 100000))
        ->needs(kmz);
    command->add_option("--jpeg-quality", args->jpegQuality, Text(IDS_CLI_EXPORT_JPEG_QUALITY))
        ->check(CLI::Range(1, 100))
        ->needs(kmz);
    command->add_option("--min-zoom", args->minZoom, Text(IDS_CLI_EXPORT_MIN_ZOOM))
        ->check(CLI::Range(0, 24))
        ->needs(mbtiles);
    command->add_flag("--straighten", args->straighten, Text(IDS_CLI_EXPORT_STRAIGHTEN))
        ->needs(geotiff);
    CWorkerProgress::AddOption(*command, context);
    command->callback([&context, args] {
        CRecordingPrompt prompt;
        const bool device = !args->kmz.empty() || !args->mbtiles.empty() || !args->geotiff.empty();
        context.exitCode = device
                               ? RunDeviceExport(*args, prompt, context)
                               : (RunExport(*args, prompt, context) ? CLI_EXIT_OK : CLI_EXIT_FILE);
        for (const CRecordingPrompt::Message& message : prompt.messages) {
            context.err << message.text << '\n';
        }
    });
}

} // namespace mapreg

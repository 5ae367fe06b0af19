#include "ExportCommands.h"

#include "CGpsDoc.h"
#include "CMapExporter.h"
#include "CRecordingPrompt.h"
#include "StringTable.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <string>

namespace {

std::string Text(unsigned id) {
    return std::string(LoadStringId(id));
}

struct ExportArgs {
    std::string map;
    bool worldFile = false;
    bool oziMap = false;
    std::string output;
};

// Runs the export; false when it failed (the reasons are in the prompt's messages).
bool RunExport(const ExportArgs& args, CRecordingPrompt& prompt, CliContext& context) {
    CGpsDoc doc(prompt, context.settings);
    if (!doc.ReadMapFile(args.map)) {
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
    CMapExporter exporter(CMapExporter::SourceOf(doc), prompt, args.map);
    const bool written =
        args.worldFile ? exporter.ExportWorldFile()
                       : exporter.ExportOziMap(args.output.empty() ? exporter.DefaultOziMapPath()
                                                                   : args.output);
    for (const std::string& file : exporter.WrittenFiles()) {
        context.out << file << '\n';
    }
    return written;
}

} // namespace

void AddExportCommands(CLI::App& app, CliContext& context) {
    auto* command = app.add_subcommand("export", Text(IDS_CLI_EXPORT));
    auto args = std::make_shared<ExportArgs>();
    command->add_option("MAP", args->map, Text(IDS_CLI_EXPORT_MAP))->required();
    auto* formats = command->add_option_group("format");
    auto* world =
        formats->add_flag("--world-file", args->worldFile, Text(IDS_CLI_EXPORT_WORLD_FILE));
    formats->add_flag("--ozi-map", args->oziMap, Text(IDS_CLI_EXPORT_OZI_MAP));
    formats->require_option(1);
    // The world file has no choice of place: GIS programs look for it beside the bitmap.
    command->add_option("-o,--output", args->output, Text(IDS_CLI_EXPORT_OUTPUT))->excludes(world);
    command->callback([&context, args] {
        CRecordingPrompt prompt;
        const bool ok = RunExport(*args, prompt, context);
        for (const CRecordingPrompt::Message& message : prompt.messages) {
            context.err << message.text << '\n';
        }
        if (!ok) {
            context.exitCode = CLI_EXIT_FILE;
        }
    });
}

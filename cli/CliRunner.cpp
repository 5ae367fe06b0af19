#include "CliRunner.h"

#include "CHelpFormatter.h"
#include "CoreCommands.h"
#include "DocumentCommands.h"
#include "ExportCommands.h"
#include "ImportCommands.h"
#include "MapregVersion.h"
#include "PointCommands.h"
#include "RectifyCommands.h"
#include "StringTable.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <memory>
#include <string>

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CliContext context{out, err};
    try {
        CLI::App app{std::string(LoadStringId(IDS_CLI_DESCRIPTION)), "mapreg-cli"};
        app.require_subcommand(1);
        app.set_version_flag("--version", "mapreg-cli " MAPREG_VERSION);
        app.set_help_all_flag("--help-all", std::string(LoadStringId(IDS_CLI_HELP_ALL)));
        app.formatter(std::make_shared<CHelpFormatter>());
        app.footer(std::string(LoadStringId(IDS_CLI_EXIT_STATUS)));
        // Each command group registers its subcommands here.
        AddCoreCommands(app, context);
        AddDocumentCommands(app, context);
        AddExportCommands(app, context);
        AddImportCommands(app, context);
        AddPointCommands(app, context);
        AddRectifyCommands(app, context);
        try {
            app.parse(argc, argv);
        } catch (const CLI::ParseError& e) {
            app.exit(e, out, err);
            return e.get_exit_code() == 0 ? CLI_EXIT_OK : CLI_EXIT_USAGE;
        }
    } catch (const std::exception& e) {
        // Nothing the user typed leads here (out of memory and the like).
        err << e.what() << '\n';
        return CLI_EXIT_FAILURE;
    }
    return context.exitCode;
}

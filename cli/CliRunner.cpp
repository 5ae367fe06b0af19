#include "cli/CliRunner.h"

#include "MapregVersion.h"
#include "cli/CHelpFormatter.h"
#include "cli/CoreCommands.h"
#include "cli/DocumentCommands.h"
#include "cli/ExportCommands.h"
#include "cli/ImportCommands.h"
#include "cli/PointCommands.h"
#include "cli/RectifyCommands.h"
#include "resources/StringTable.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <memory>
#include <string>

namespace mapreg {

namespace {

// The help's headings over the options and the subcommands are the names of their groups: the
// default groups take their name from the string table, in the command and every subcommand.
void NameGroupsInTableLanguage(CLI::App& command) {
    const std::string options(LoadStringId(IDS_CLI_LABEL_OPTIONS));
    for (CLI::Option* pOption : command.get_options()) {
        if (pOption->get_group() == "Options") {
            pOption->group(options);
        }
    }
    const std::string subcommands(LoadStringId(IDS_CLI_LABEL_SUBCOMMANDS));
    for (CLI::App* pSub : command.get_subcommands([](CLI::App*) { return true; })) {
        if (pSub->get_group() == "Subcommands") {
            pSub->group(subcommands);
        }
        NameGroupsInTableLanguage(*pSub);
    }
}

} // namespace

int RunCli(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CliContext context{out, err};
    try {
        CLI::App app{std::string(LoadStringId(IDS_CLI_DESCRIPTION)), "mapreg-cli"};
        app.require_subcommand(1);
        // The built-in flags in the table's language, like the rest of the help.
        app.set_help_flag("-h,--help", std::string(LoadStringId(IDS_CLI_HELP_FLAG)));
        app.set_version_flag("--version", "mapreg-cli " MAPREG_VERSION,
                             std::string(LoadStringId(IDS_CLI_VERSION_FLAG)));
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
        NameGroupsInTableLanguage(app);
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

} // namespace mapreg

#include "cli/CHelpFormatter.h"

#include "resources/StringTable.h"

#include <sstream>

namespace mapreg {

CHelpFormatter::CHelpFormatter() {
    // The keys are the words the formatter writes when it has no label for them.
    const std::pair<const char*, unsigned> labels[] = {
        {"Usage", IDS_CLI_LABEL_USAGE},         {"Positionals", IDS_CLI_LABEL_POSITIONALS},
        {"OPTIONS", IDS_CLI_LABEL_OPTIONS_ARG}, {"SUBCOMMAND", IDS_CLI_LABEL_SUBCOMMAND_ARG},
        {"REQUIRED", IDS_CLI_LABEL_REQUIRED},   {"Excludes", IDS_CLI_LABEL_EXCLUDES},
        {"Needs", IDS_CLI_LABEL_NEEDS},
    };
    for (const auto& [key, id] : labels) {
        label(key, std::string(LoadStringId(id)));
    }
}

std::string CHelpFormatter::make_description(const CLI::App* pApp) const {
    // An option group that takes exactly one of its options, with the note in the table; every
    // other case as the formatter writes it.
    if (pApp->get_required() || pApp->get_require_option_min() != 1 ||
        pApp->get_require_option_max() != 1) {
        return CLI::Formatter::make_description(pApp);
    }
    return pApp->get_description() + " \n" + std::string(LoadStringId(IDS_CLI_EXACTLY_ONE_OPTION)) +
           '\n';
}

std::string CHelpFormatter::make_expanded(const CLI::App* pSub) const {
    std::ostringstream body;
    body << make_description(pSub) << make_positionals(pSub)
         << make_groups(pSub, CLI::AppFormatMode::Sub)
         << make_subcommands(pSub, CLI::AppFormatMode::Sub);
    // The name at the margin, the rest indented below it; blank lines stay blank. An option group
    // has no name and shows its group.
    std::ostringstream out;
    out << '\n'
        << (pSub->get_name().empty() ? FormatString1(IDS_CLI_OPTION_GROUP, pSub->get_group())
                                     : pSub->get_display_name(true))
        << '\n';
    std::istringstream lines(body.str());
    for (std::string line; std::getline(lines, line);) {
        out << (line.empty() ? "" : "  ") << line << '\n';
    }
    return out.str();
}

} // namespace mapreg

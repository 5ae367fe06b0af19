#include "CHelpFormatter.h"

#include <sstream>

std::string CHelpFormatter::make_expanded(const CLI::App* pSub) const {
    std::ostringstream body;
    body << make_description(pSub) << make_positionals(pSub)
         << make_groups(pSub, CLI::AppFormatMode::Sub)
         << make_subcommands(pSub, CLI::AppFormatMode::Sub);
    // The name at the margin, the rest indented below it; blank lines stay blank.
    std::ostringstream out;
    out << '\n' << pSub->get_display_name(true) << '\n';
    std::istringstream lines(body.str());
    for (std::string line; std::getline(lines, line);) {
        out << (line.empty() ? "" : "  ") << line << '\n';
    }
    return out.str();
}

#pragma once
// The layout of `mapreg-cli --help-all`: each subcommand as its own paragraph with its
// description, arguments and options, separated by blank lines, so that people and the manual
// page's generator (help2man) both see where one subcommand ends and the next begins. The help's
// own words (headings, REQUIRED, the note over an option group) come from the string table, so
// they speak the user's language with the rest.

#include <CLI/CLI.hpp>

#include <string>

namespace mapreg {

class CHelpFormatter : public CLI::Formatter {
public:
    // Takes the labels from the string table as it stands: construct after the translation is
    // applied.
    CHelpFormatter();

    std::string make_description(const CLI::App* pApp) const override;
    std::string make_expanded(const CLI::App* pSub) const override;
};

} // namespace mapreg

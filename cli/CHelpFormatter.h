#pragma once
// The layout of `mapreg-cli --help-all`: each subcommand as its own paragraph with its
// description, arguments and options, separated by blank lines, so that people and the manual
// page's generator (help2man) both see where one subcommand ends and the next begins.

#include <CLI/CLI.hpp>

#include <string>

class CHelpFormatter : public CLI::Formatter {
public:
    std::string make_expanded(const CLI::App* pSub) const override;
};

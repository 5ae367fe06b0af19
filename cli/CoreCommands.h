#pragma once
// The commands over the Qt-free core: angle, format, utm, latlon and calibrate.

#include "cli/CliContext.h"

#include <CLI/App.hpp>

namespace mapreg {

// Adds the core commands to app. Their callbacks write to context and set its exit code.
void AddCoreCommands(CLI::App& app, CliContext& context);

} // namespace mapreg

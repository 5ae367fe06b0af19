#pragma once
// The export command: the calibration of a map file as a world file with its coordinate system
// beside the bitmap, or as an OziExplorer .map file, for programs other than the device.

#include "cli/CliContext.h"

#include <CLI/App.hpp>

namespace mapreg {

// Adds export to app. Its callback writes to context and sets its exit code.
void AddExportCommands(CLI::App& app, CliContext& context);

} // namespace mapreg

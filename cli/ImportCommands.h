#pragma once
// The import command: a picture of any format GDAL reads -> map bitmap, map file and, when the
// picture is georeferenced, its calibration and registration file.

#include "cli/CliContext.h"

#include <CLI/App.hpp>

namespace mapreg {

// Adds import to app. Its callback writes to context and sets its exit code.
void AddImportCommands(CLI::App& app, CliContext& context);

} // namespace mapreg

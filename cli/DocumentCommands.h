#pragma once
// The commands over the map document: register (bitmap, three marks -> map file and
// registration file) and info (the fields of a map file as JSON).

#include "cli/CliContext.h"

#include <CLI/App.hpp>

namespace mapreg {

// Adds register and info to app. Their callbacks write to context and set its exit code.
void AddDocumentCommands(CLI::App& app, CliContext& context);

} // namespace mapreg

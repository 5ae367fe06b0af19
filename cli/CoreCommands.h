#pragma once
// The commands over the Qt-free core: angle, format, utm, latlon and calibrate.

#include "CliContext.h"

#include <CLI/App.hpp>

// Adds the core commands to app. Their callbacks write to context and set its exit code.
void AddCoreCommands(CLI::App& app, CliContext& context);

#pragma once
// The commands over control points: fit (a points file -> the least-squares fit with every
// point's residuals, nothing written) and register's calibration from a points file.

#include "cli/CliContext.h"

#include <CLI/App.hpp>

#include <string>

namespace mapreg {

// Adds fit to app. Its callback writes to context and sets its exit code.
void AddPointCommands(CLI::App& app, CliContext& context);

// register BITMAP --points POINTS [--utm ZONE] [-o MAP.gpm]: calibrates the bitmap from the fit
// of the points and writes the map file, the registration file and the points file beside the
// map file; prints their paths, rms_m= and worst=. Without --utm the points stay in the kind
// their file's #CRS gives, or longitude/latitude without one.
void RunRegisterFromPoints(const std::string& bitmap, const std::string& pointsPath,
                           const std::string* zoneText, const std::string& output,
                           CliContext& context);

} // namespace mapreg

#pragma once
// Straightening for the device: rectify (a calibrated map) and the straightened form of import.
// Both write the warped bitmap, its map file with marks on corner pixels of the new grid and its
// registration file, and print the paths, deviation_m= and device_error_m=.

#include "cli/CliContext.h"
#include "import/CStraightener.h"

#include <CLI/App.hpp>

#include <string>

namespace mapreg {

class CWarpSource;
class CRasterCalibration;

// Adds rectify to app. Its callback writes to context and sets its exit code.
void AddRectifyCommands(CLI::App& app, CliContext& context);

// Straightens source into bitmap and writes its map and registration files; what is printed and
// the exit code go to context. name is the source as the user named it, for messages.
void WriteStraightMap(const CWarpSource& source, const CStraightener::Target& target,
                      const std::string& name, const std::string& bitmap, CliContext& context);

} // namespace mapreg

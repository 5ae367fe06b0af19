#pragma once
// Progress and Cancel of a long command run as the desktop program's worker (--progress): lines
// "progress F" (F from 0 to 1) on standard error as the work goes, and SIGTERM turned into a stop
// at the next progress step, so that the command can remove its temporary files and exit with
// CLI_EXIT_CANCELLED.

#include "cli/CliContext.h"

#include <CLI/App.hpp>

#include <functional>

namespace mapreg {

class CWorkerProgress {
public:
    // Adds --progress to command; it sets context.progress.
    static void AddOption(CLI::App& command, CliContext& context);

    // Starts watching for SIGTERM and returns the callback a long operation calls with its
    // fraction done: it reports the fraction when --progress was given (each thousandth once)
    // and returns false once SIGTERM has arrived.
    static std::function<bool(double)> Callback(CliContext& context);

    // True once SIGTERM has arrived while watched.
    static bool StopRequested();
};

} // namespace mapreg

#pragma once
// What every mapreg-cli command works with: the output and error streams and the exit status the
// run ends with.

#include "document/FileResult.h"

#include <ostream>

namespace mapreg {

// Exit statuses of mapreg-cli.
enum CliExit : int {
    CLI_EXIT_OK = 0,
    CLI_EXIT_FAILURE = 1,   // an unexpected failure such as running out of memory
    CLI_EXIT_USAGE = 2,     // the command line is wrong
    CLI_EXIT_REJECTED = 3,  // the calibration was rejected
    CLI_EXIT_FILE = 4,      // a file could not be read or written, or is not in its format
    CLI_EXIT_CANCELLED = 5, // stopped by SIGTERM; temporary files removed
};

struct CliContext {
    std::ostream& out;
    std::ostream& err;
    int exitCode = CLI_EXIT_OK;
    // --progress: long commands report their progress on the error stream.
    bool progress = false;

    // The notices of a document's load or save, one line each on the error stream.
    void PrintNotices(const FileResult& result) const {
        for (const FileResult::Notice& notice : result.notices) {
            err << notice.text << '\n';
        }
    }
};

} // namespace mapreg

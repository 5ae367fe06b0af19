#pragma once
// Runs one mapreg-cli command as a worker process, so that GDAL work (import, warping, exports)
// stays out of the window: a decoder that crashes, runs out of memory or hangs ends or blocks the
// worker, never the window and its map.
//
// How the two talk: the window starts the worker with the usual subcommand and options plus
// --progress. The worker writes "progress F" lines (F from 0 to 1) to standard error as it goes;
// every other standard-error line is a message for the user; standard output carries the
// command's usual results; the exit status is the usual one (0 ok, 2 usage, 3 calibration
// refused, 4 file or format, 5 cancelled). Cancel sends SIGTERM: the worker stops at its next
// progress step, removes its temporary files and exits 5; a worker still running a few seconds
// later (one stuck inside a decoder) is killed.
//
// Run blocks behind a window-modal progress dialog with Cancel, shown once the command has run
// for a moment; the window repaints meanwhile but takes no input, and maps handed over by the
// desktop or dropped wait until the job is done (CCommandGuard).

#include <QString>

#include <optional>
#include <string>
#include <vector>

class QTemporaryDir;
class QWidget;

namespace mapreg {

class CWorkerJob {
public:
    enum class End {
        Exited,     // the worker ended with an exit status
        Cancelled,  // the user pressed Cancel
        Crashed,    // the worker died of a signal
        NotStarted, // the worker program could not be started
    };
    struct Result {
        End end = End::NotStarted;
        int exitCode = -1;                 // when Exited
        std::vector<std::string> lines;    // standard output, line by line
        std::vector<std::string> messages; // standard error without its progress lines
        bool Succeeded() const { return end == End::Exited && exitCode == 0; }
        // The worker's messages, one per line; for a worker that crashed or did not start,
        // the message that says so.
        std::string Message() const;
    };
    // Exit status of a worker that stopped because it was asked to.
    static constexpr int kExitCancelled = 5;

    // pParent owns the progress dialog; label is its text.
    CWorkerJob(QWidget* pParent, std::string label);

    // Runs mapreg-cli with arguments, the subcommand first (--progress is added after it), and
    // returns how it ended.
    Result Run(const std::vector<std::string>& arguments);

    // Writes bytes as the file name in folder (the caller's, alive while the job runs) for the
    // worker to read, such as the map as the window holds it; its path, or nothing when it could
    // not be written.
    static std::optional<std::string> WriteInput(const QTemporaryDir& folder,
                                                 const std::string& name, const std::string& bytes);

    // Runs a short command with no dialog and no progress, for at most timeoutMs.
    static Result RunQuiet(const std::vector<std::string>& arguments, int timeoutMs);

    // The worker program: $MAPREG_CLI, else mapreg-cli beside this program, else in the build
    // tree's ../cli/.
    static QString WorkerProgram();

private:
    QWidget* m_pParent;
    std::string m_strLabel;
};

} // namespace mapreg

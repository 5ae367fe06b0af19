#include "cli/CWorkerProgress.h"

#include "resources/StringTable.h"

#include <csignal>
#include <memory>
#include <signal.h>
#include <string>

namespace mapreg {

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

extern "C" void OnTerminate(int /*signal*/) {
    g_stopRequested = 1;
}

} // namespace

void CWorkerProgress::AddOption(CLI::App& command, CliContext& context) {
    command.add_flag("--progress", context.progress, std::string(LoadStringId(IDS_CLI_PROGRESS)));
}

std::function<bool(double)> CWorkerProgress::Callback(CliContext& context) {
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    auto last = std::make_shared<int>(-1);
    return [&context, last](double fraction) {
        if (context.progress) {
            const int step = static_cast<int>(fraction * 1000.0);
            if (step != *last) {
                *last = step;
                context.err << "progress " << step / 1000.0 << std::endl;
            }
        }
        return g_stopRequested == 0;
    };
}

bool CWorkerProgress::StopRequested() {
    return g_stopRequested != 0;
}

} // namespace mapreg

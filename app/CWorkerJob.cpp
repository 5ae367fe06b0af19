#include "app/CWorkerJob.h"

#include "app/CCommandGuard.h"
#include "framework/CAtomicFile.h"
#include "resources/StringTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <charconv>
#include <exception>
#include <utility>

namespace mapreg {

namespace {

// Commands expected to take longer than this show their progress.
constexpr int kProgressDelayMs = 500;
// How long a worker asked to stop may take before it is killed.
constexpr int kTerminateGraceMs = 3000;
constexpr int kProgressSteps = 1000;

QStringList ToArguments(const std::vector<std::string>& arguments) {
    QStringList list;
    for (const std::string& argument : arguments) {
        list << QString::fromStdString(argument);
    }
    return list;
}

// Splits complete lines off the front of buffer; an unfinished last line stays in it.
std::vector<std::string> TakeLines(QByteArray& buffer, bool all) {
    std::vector<std::string> lines;
    qsizetype start = 0;
    for (qsizetype end = buffer.indexOf('\n'); end >= 0; end = buffer.indexOf('\n', start)) {
        lines.emplace_back(buffer.constData() + start, static_cast<std::size_t>(end - start));
        start = end + 1;
    }
    buffer.remove(0, start);
    if (all && !buffer.isEmpty()) {
        lines.emplace_back(buffer.constData(), static_cast<std::size_t>(buffer.size()));
        buffer.clear();
    }
    return lines;
}

// The fraction of a "progress F" line, or a negative value for any other line.
double ProgressOf(const std::string& line) {
    constexpr std::string_view kPrefix = "progress ";
    if (!line.starts_with(kPrefix)) {
        return -1.0;
    }
    double fraction = -1.0;
    const char* first = line.data() + kPrefix.size();
    const auto [end, ec] = std::from_chars(first, line.data() + line.size(), fraction);
    if (ec != std::errc() || end != line.data() + line.size() || !(fraction >= 0.0) ||
        fraction > 1.0) {
        return -1.0;
    }
    return fraction;
}

void SplitErrors(QByteArray& buffer, bool all, CWorkerJob::Result& result,
                 QProgressDialog* pDialog) {
    for (std::string& line : TakeLines(buffer, all)) {
        const double fraction = ProgressOf(line);
        if (fraction < 0.0) {
            result.messages.push_back(std::move(line));
        } else if (pDialog != nullptr) {
            pDialog->setValue(static_cast<int>(fraction * kProgressSteps));
        }
    }
}

void Finish(QProcess& process, CWorkerJob::Result& result, QByteArray& errors) {
    QByteArray output = process.readAllStandardOutput();
    result.lines = TakeLines(output, true);
    errors += process.readAllStandardError();
    SplitErrors(errors, true, result, nullptr);
    if (result.end == CWorkerJob::End::Cancelled) {
        return;
    }
    if (process.error() == QProcess::FailedToStart) {
        result.end = CWorkerJob::End::NotStarted;
    } else if (process.exitStatus() == QProcess::CrashExit) {
        result.end = CWorkerJob::End::Crashed;
    } else {
        result.end = CWorkerJob::End::Exited;
        result.exitCode = process.exitCode();
    }
}

} // namespace

std::string CWorkerJob::Result::Message() const {
    switch (end) {
    case End::NotStarted:
        return FormatString1(IDS_WORKER_NOT_STARTED, WorkerProgram().toStdString());
    case End::Crashed:
        return std::string(LoadStringId(IDS_WORKER_CRASHED));
    case End::Exited:
    case End::Cancelled:
        break;
    }
    std::string text;
    for (const std::string& message : messages) {
        text += (text.empty() ? "" : "\n") + message;
    }
    return text;
}

CWorkerJob::CWorkerJob(QWidget* pParent, std::string label)
    : m_pParent(pParent), m_strLabel(std::move(label)) {}

QString CWorkerJob::WorkerProgram() {
    const QString chosen = qEnvironmentVariable("MAPREG_CLI");
    if (!chosen.isEmpty()) {
        return chosen;
    }
    const QDir here(QCoreApplication::applicationDirPath());
    const QString beside = here.filePath(QStringLiteral("mapreg-cli"));
    if (QFileInfo(beside).isExecutable()) {
        return beside;
    }
    return QDir::cleanPath(here.filePath(QStringLiteral("../cli/mapreg-cli")));
}

CWorkerJob::Result CWorkerJob::Run(const std::vector<std::string>& arguments) {
    // Requests that arrive while the worker runs wait until it is done.
    const CCommandGuard guard;
    Result result;
    QProcess process;
    QByteArray errors;
    QProgressDialog dialog(QString::fromStdString(m_strLabel),
                           QCoreApplication::translate("QProgressDialog", "Cancel"), 0,
                           kProgressSteps, m_pParent);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(kProgressDelayMs);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.reset(); // no automatic showing: the timer below decides

    bool running = true;
    QObject::connect(&process, &QProcess::finished, [&running] { running = false; });
    QObject::connect(&process, &QProcess::errorOccurred, [&running](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            running = false;
        }
    });
    QObject::connect(&process, &QProcess::readyReadStandardError, [&] {
        errors += process.readAllStandardError();
        SplitErrors(errors, false, result, &dialog);
    });
    QObject::connect(&dialog, &QProgressDialog::canceled, [&] {
        if (result.end == End::Cancelled || !running) {
            return;
        }
        result.end = End::Cancelled;
        process.terminate();
        QTimer::singleShot(kTerminateGraceMs, &process, [&process] { process.kill(); });
    });
    QTimer showTimer;
    showTimer.setSingleShot(true);
    QObject::connect(&showTimer, &QTimer::timeout, [&] {
        if (running) {
            dialog.show();
        }
    });

    QStringList list = ToArguments(arguments);
    list.insert(list.isEmpty() ? 0 : 1, QStringLiteral("--progress")); // after the subcommand
    process.start(WorkerProgram(), list, QIODevice::ReadOnly);
    showTimer.start(kProgressDelayMs);
    // Until the dialog shows (and makes the window modal), the window's input waits.
    QEventLoop loop;
    while (running) {
        loop.processEvents(
            QEventLoop::WaitForMoreEvents |
            (dialog.isVisible() ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents));
    }
    showTimer.stop();
    if (dialog.isVisible() || result.end == End::Cancelled) {
        dialog.hide();
        // The window the dialog kept waiting takes the keyboard again.
        if (m_pParent != nullptr) {
            m_pParent->window()->activateWindow();
        }
    }
    Finish(process, result, errors);
    return result;
}

CWorkerJob::Result CWorkerJob::RunQuiet(const std::vector<std::string>& arguments, int timeoutMs) {
    Result result;
    QProcess process;
    process.start(WorkerProgram(), ToArguments(arguments), QIODevice::ReadOnly);
    if (process.waitForStarted() && !process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.end = End::Cancelled;
    }
    QByteArray errors;
    Finish(process, result, errors);
    return result;
}

std::optional<std::string> CWorkerJob::WriteInput(const QTemporaryDir& folder,
                                                  const std::string& name,
                                                  const std::string& bytes) {
    if (!folder.isValid()) {
        return std::nullopt;
    }
    const std::string path = folder.filePath(QString::fromStdString(name)).toStdString();
    try {
        if (!CAtomicFile::Write(path, bytes).IsError()) {
            return path;
        }
    } catch (const std::exception&) {
        // Only a path too long for any length form, or no memory, gets here.
    }
    return std::nullopt;
}

} // namespace mapreg

// The real program on a virtual X display: titles as the window system shows them, the command
// line, and a second start that hands its map to the program already running.

#include "MapregVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/prctl.h>

#include <csignal>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* pOut) {
    *pOut << '"' << text.toStdString() << '"';
}

namespace {

// Each wait: generous for two cores shared with a parallel build, and well inside the test's
// own timeout, so that a wait that never ends fails the test naming what it waited for.
constexpr int kDeadlineMs = 20000;
const QString kFrameTitle = QStringLiteral("Untitled - Halvoren Map Registration");

bool PollUntil(const QString& what, const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > kDeadlineMs) {
            ADD_FAILURE() << "waited " << kDeadlineMs / 1000 << " s in vain for "
                          << what.toStdString();
            return false;
        }
        // Reads what the programs wrote so far: a pipe nobody empties would stop its writer.
        QCoreApplication::processEvents();
        QThread::msleep(50);
    }
    return true;
}

// Waits for a program to end; on a missed deadline the test fails naming it.
bool WaitToEnd(QProcess& process) {
    if (process.waitForFinished(kDeadlineMs)) {
        return true;
    }
    ADD_FAILURE() << "waited " << kDeadlineMs / 1000 << " s in vain for the end of "
                  << process.program().toStdString() << ' '
                  << process.arguments().join(' ').toStdString();
    return false;
}

} // namespace

class Desktop : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (QStandardPaths::findExecutable(QStringLiteral("Xvfb")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("xdotool")).isEmpty()) {
            return;
        }
        // Xvfb picks a free display and writes its number once it accepts clients. An X server
        // resets itself whenever its last client disconnects and refuses connections while it
        // does: every xdotool call and every program that ends here is such a last client, so a
        // program starting at that moment could not open the display. -noreset keeps it up.
        s_pXvfb = new QProcess;
        // A test ended by a timeout or a crash takes its server with it instead of leaving it
        // holding a display number, its lock file and its socket.
        s_pXvfb->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
        s_pXvfb->start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-nolisten", "tcp", "-noreset"});
        PollUntil(QStringLiteral("Xvfb to give its display number"), [] {
            s_pXvfb->waitForReadyRead(100);
            return s_pXvfb->canReadLine() || s_pXvfb->state() != QProcess::Running;
        });
        if (s_pXvfb->canReadLine()) {
            s_display = QLatin1Char(':') + QString::fromLatin1(s_pXvfb->readLine().trimmed());
        }
    }
    static void TearDownTestSuite() {
        // Ended, not killed: the server removes its lock file, so its number is free again.
        if (s_pXvfb != nullptr) {
            s_pXvfb->terminate();
            s_pXvfb->waitForFinished(kDeadlineMs);
        }
        delete s_pXvfb;
        s_pXvfb = nullptr;
    }

    void SetUp() override {
        if (s_display.isEmpty()) {
            GTEST_SKIP() << "Xvfb or xdotool is missing (scripts/install-deps installs them)";
        }
        // The runtime folder holds the program's socket; like the real one it is private.
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("runtime")));
        QFile::setPermissions(Path("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        m_env.insert(QStringLiteral("DISPLAY"), s_display);
        m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // English, whatever the language of the session that runs the tests.
        m_env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), Path("config"));
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Path("runtime"));
        // In the sanitizer build: the X11 platform and fontconfig keep memory to the end that
        // the leak suppressions (made for the offscreen tests, which check our code) do not
        // name; an exit status from the leak checker would hide the program's own.
        if (m_env.contains(QStringLiteral("ASAN_OPTIONS"))) {
            m_env.insert(QStringLiteral("ASAN_OPTIONS"),
                         m_env.value(QStringLiteral("ASAN_OPTIONS")) +
                             QStringLiteral(":detect_leaks=0"));
        }
    }

    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    // Starts a program in the test folder; the test ends whatever still runs.
    QProcess& Launch(const QString& program, const QStringList& args) {
        m_programs.push_back(std::make_unique<QProcess>());
        QProcess& process = *m_programs.back();
        process.setProcessEnvironment(m_env);
        process.setWorkingDirectory(m_dir.path());
        process.start(program, args);
        EXPECT_TRUE(process.waitForStarted());
        return process;
    }
    QProcess& Program(const QStringList& args) {
        return Launch(QStringLiteral(MAPREG_PROGRAM), args);
    }

    QString Xdotool(const QStringList& args) const {
        QProcess tool;
        tool.setProcessEnvironment(m_env);
        tool.start(QStringLiteral("xdotool"), args);
        WaitToEnd(tool);
        return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
    }
    // A shown window whose title starts with title (as a pattern; the dots match themselves
    // too); empty when none came up in time. Qt writes the plain title to WM_NAME, which the
    // search reads, and the title a window manager shows to _NET_WM_NAME, which Title reads.
    QString FindWindow(const QString& title) const {
        return Xdotool({"search", "--onlyvisible", "--name", QLatin1Char('^') + title})
            .section(QLatin1Char('\n'), 0, 0);
    }
    // On a missed deadline the failure says how each program started so far is doing, to tell
    // a program that is slow or stuck from one that ended.
    QString WaitForWindow(const QString& title) const {
        QString id;
        if (!PollUntil(QStringLiteral("a window titled ") + title,
                       [&] { return !(id = FindWindow(title)).isEmpty(); })) {
            ADD_FAILURE() << "Xvfb on " << s_display.toStdString() << ": "
                          << (s_pXvfb->state() == QProcess::Running ? "running" : "ended")
                          << "; standard error: " << s_pXvfb->readAllStandardError().toStdString();
            for (const auto& pProgram : m_programs) {
                ADD_FAILURE() << pProgram->arguments().join(' ').toStdString() << ": "
                              << (pProgram->state() == QProcess::Running
                                      ? std::string("running")
                                      : "ended with " + std::to_string(pProgram->exitCode()))
                              << "; standard error: "
                              << pProgram->readAllStandardError().toStdString();
            }
        }
        return id;
    }
    QString Title(const QString& id) const { return Xdotool({"getwindowname", id}); }
    // Gives the window the keyboard, then types the keys (xdotool names: "alt+s", "Escape").
    void Keys(const QString& id, const QStringList& keys) const {
        Xdotool(QStringList{"windowfocus", "--sync", id, "key", "--delay", "100"} + keys);
    }

    static inline QProcess* s_pXvfb = nullptr;
    static inline QString s_display;
    QTemporaryDir m_dir;
    QProcessEnvironment m_env = QProcessEnvironment::systemEnvironment();
    std::vector<std::unique_ptr<QProcess>> m_programs;
};

TEST(DesktopCommandLine, help_and_version_print_on_standard_output_without_a_display) {
    for (const char* option : {"--help", "-v"}) {
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en"));
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(MAPREG_PROGRAM), {QString::fromLatin1(option)});
        ASSERT_TRUE(WaitToEnd(program));
        EXPECT_EQ(program.exitCode(), 0) << option;
        const QByteArray out = program.readAllStandardOutput();
        EXPECT_TRUE(option[1] == 'v' ? out == "Version " MAPREG_VERSION "\n"
                                     : out.startsWith("Usage: mapreg"))
            << out.toStdString();
        EXPECT_TRUE(program.readAllStandardError().isEmpty()) << option;
    }
}

TEST_F(Desktop, the_window_system_shows_each_title_as_the_program_gives_it) {
    // A missing map on the command line: the open failure in a message box, then the end.
    QProcess& missing = Program({QStringLiteral("missing.gpm")});
    const QString appTitle = QStringLiteral("Halvoren Map Registration For CE.NET Devices");
    const QString box = WaitForWindow(appTitle);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_EQ(Title(box), appTitle);
    Keys(box, {"Return"});
    ASSERT_TRUE(WaitToEnd(missing));
    EXPECT_EQ(missing.exitCode(), 1);

    // An unknown option is reported and the program starts with a new map.
    QProcess& program = Program({QStringLiteral("--bogus")});
    const QString frame = WaitForWindow(kFrameTitle);
    ASSERT_FALSE(frame.isEmpty());
    EXPECT_EQ(Title(frame), kFrameTitle);
    QByteArray errors;
    EXPECT_TRUE(PollUntil(QStringLiteral("--bogus on standard error"), [&] {
        program.waitForReadyRead(50); // reads standard error too
        errors += program.readAllStandardError();
        return errors.contains("--bogus");
    }));

    const std::pair<QStringList, QString> dialogs[] = {
        {{"alt+s", "f"}, QStringLiteral("Display Format")},
        {{"alt+h", "a"}, QStringLiteral("Halvoren Map Registration")},
        {{"shift+F2", "Return"}, QStringLiteral("Calibration Mark Coordinates")},
    };
    for (const auto& [keys, dialogTitle] : dialogs) {
        const QString& title = dialogTitle; // clang 14 (clang-tidy) cannot capture a binding
        Keys(frame, keys);
        const QString id = WaitForWindow(title);
        ASSERT_FALSE(id.isEmpty()) << title.toStdString();
        EXPECT_EQ(Title(id), title);
        Keys(id, {"Escape"});
        EXPECT_TRUE(PollUntil(title + QStringLiteral(" to close"),
                              [&] { return FindWindow(title).isEmpty(); }));
    }
}

TEST_F(Desktop, a_second_start_hands_its_map_to_the_running_program_even_after_a_crash) {
    QImage picture(100, 80, QImage::Format_RGB888);
    picture.fill(Qt::darkCyan);
    ASSERT_TRUE(picture.save(Path("plan.bmp"), "BMP"));
    QProcess& cli = Launch(QStringLiteral(MAPREG_CLI),
                           {"register", "plan.bmp", "--mark", "0", "0", "-10", "10", "--mark", "99",
                            "0", "10", "10", "--mark", "99", "79", "10", "-10"});
    ASSERT_TRUE(WaitToEnd(cli));
    ASSERT_EQ(cli.exitCode(), 0);
    const QString mapTitle = QStringLiteral("plan.gpm - Halvoren Map Registration");

    QProcess& first = Program({});
    const QString frame = WaitForWindow(kFrameTitle);
    ASSERT_FALSE(frame.isEmpty());
    // The request waits while a modal dialog is open.
    Keys(frame, {"alt+s", "f"});
    const QString dialog = WaitForWindow(QStringLiteral("Display Format"));
    ASSERT_FALSE(dialog.isEmpty());
    QProcess& second = Program({QStringLiteral("plan.gpm")});
    // The later start hears that its map is taken only once it is opened.
    EXPECT_FALSE(second.waitForFinished(1500));
    EXPECT_EQ(Title(frame), kFrameTitle);
    Keys(dialog, {"Escape"});
    ASSERT_TRUE(WaitToEnd(second));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(WaitForWindow(mapTitle), frame);
    EXPECT_EQ(first.state(), QProcess::Running);

    // A program that crashed leaves its socket behind; the next start still comes up.
    first.kill();
    ASSERT_TRUE(WaitToEnd(first));
    ASSERT_FALSE(QDir(Path("runtime")).entryList({"mapreg-*"}, QDir::System).isEmpty());
    QProcess& third = Program({QStringLiteral("plan.gpm")});
    EXPECT_FALSE(WaitForWindow(mapTitle).isEmpty());
    EXPECT_EQ(third.state(), QProcess::Running);
}

TEST_F(Desktop, the_window_speaks_the_language_of_the_desktop) {
    m_env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("de"));
    QProcess& program = Program({});
    const QString frame = WaitForWindow(QStringLiteral("Unbenannt - Halvoren Map Registration"));
    ASSERT_FALSE(frame.isEmpty());
    // Alt+D opens the menu only if it reads "&Datei" (the English menus have no D), and B
    // chooses its "&Beenden", which ends the program.
    Keys(frame, {"alt+d", "b"});
    ASSERT_TRUE(WaitToEnd(program));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}

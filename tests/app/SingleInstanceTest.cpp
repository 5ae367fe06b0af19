// One program per user and display: where its socket lives, who may talk to it, and what a
// later start hears back from the running program.

#include "AppHarness.h"

#include "app/CSingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QThread>

#include <atomic>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace mapreg;

namespace {

// Sets an environment variable (or unsets it, for a null value) for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : m_name(name), m_old(qgetenv(name)), m_bHad(qEnvironmentVariableIsSet(name)) {
        value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    ~ScopedEnv() { m_bHad ? qputenv(m_name, m_old) : qunsetenv(m_name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    QByteArray m_old;
    bool m_bHad;
};

unsigned ModeOf(const QString& path) {
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 07777) : 0;
}

using Role = CSingleInstance::Role;
using Handover = CSingleInstance::Handover;

// A later start of the program in a thread of its own: it blocks while it waits for its answer,
// as the real one does, while this thread runs the program it hands its map to.
class LaterStart {
public:
    LaterStart(const QString& name, const QString& file, int nReplyMs)
        : m_pThread(QThread::create([this, name, file, nReplyMs] {
              CSingleInstance later;
              later.SetReplyTimeout(nReplyMs);
              m_role = later.StartOn(name, file);
              m_handover = later.LastHandover();
              m_bDone = true;
          })) {
        m_pThread->start();
    }
    ~LaterStart() { m_pThread->wait(); }
    LaterStart(const LaterStart&) = delete;
    LaterStart& operator=(const LaterStart&) = delete;

    bool Done() const { return m_bDone; }
    // Waits for the end without running this thread's event loop.
    std::pair<Role, Handover> Result() {
        m_pThread->wait();
        return {m_role, m_handover};
    }

private:
    std::atomic<bool> m_bDone{false};
    Role m_role = Role::Standalone;
    Handover m_handover = Handover::None;
    std::unique_ptr<QThread> m_pThread;
};

// The recording prompt, with something to do while the next question is open.
class HookedPrompt : public CRecordingPrompt {
public:
    MsgAnswer ShowMessage(unsigned id, const std::string& text, MsgIcon icon,
                          MsgButtons buttons) override {
        if (auto whileOpen = std::exchange(onNextMessage, nullptr)) {
            whileOpen();
        }
        return CRecordingPrompt::ShowMessage(id, text, icon, buttons);
    }
    std::function<void()> onNextMessage;
};

} // namespace

class SingleInstance : public AppHarness {};

TEST_F(SingleInstance, without_a_runtime_folder_the_socket_lives_in_a_private_folder_of_ours) {
    const QString temp = TestPath(QStringLiteral("tmp"));
    const QString own = temp + QStringLiteral("/mapreg-") + QString::number(::getuid());
    const ScopedEnv runtime("XDG_RUNTIME_DIR", QByteArray());
    const ScopedEnv tmpdir("TMPDIR", QFile::encodeName(temp));

    // What another user of the temp folder may have put there first: the old predictable
    // socket and lock names in the shared folder itself, and a folder under our folder's name.
    struct Row {
        const char* name;
        std::function<void()> plant;
        bool bUsable;
    };
    const Row rows[] = {
        {"nothing planted: made 0700", [] {}, true},
        {"socket and lock in the shared folder",
         [&] {
             for (const char* suffix : {"", ".lock"}) {
                 QFile file(temp + QStringLiteral("/mapreg-%1-0%2").arg(::getuid()).arg(suffix));
                 ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             }
         },
         true},
        {"our folder, writable by others",
         [&] {
             ASSERT_TRUE(QDir().mkpath(own));
             ASSERT_EQ(::chmod(QFile::encodeName(own).constData(), 0777), 0);
         },
         false},
        {"a link to a private folder",
         [&] {
             ASSERT_TRUE(QDir().mkpath(temp + QStringLiteral("/elsewhere")));
             ASSERT_EQ(
                 ::chmod(QFile::encodeName(temp + QStringLiteral("/elsewhere")).constData(), 0700),
                 0);
             ASSERT_TRUE(QFile::link(temp + QStringLiteral("/elsewhere"), own));
         },
         false},
        {"a file",
         [&] {
             QFile file(own);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         },
         false},
        {"a folder of another user",
         [&] {
             ASSERT_TRUE(QDir().mkpath(own));
             ASSERT_EQ(::chmod(QFile::encodeName(own).constData(), 0700), 0);
             // Only root can give a folder away; for anyone else this row is the first one.
             if (::geteuid() == 0) {
                 ASSERT_EQ(::chown(QFile::encodeName(own).constData(), 65534, 65534), 0);
             }
         },
         ::geteuid() != 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QDir(temp).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(temp));
        row.plant();
        const QString name = CSingleInstance::ServerName();
        if (!row.bUsable) {
            EXPECT_TRUE(CSingleInstance::SocketFolder().isEmpty());
            EXPECT_TRUE(name.isEmpty()) << name.toStdString();
            continue;
        }
        ASSERT_EQ(QFileInfo(name).absolutePath(), own) << name.toStdString();
        EXPECT_EQ(QFileInfo(own).ownerId(), ::getuid());
        EXPECT_FALSE(QFileInfo(own).isSymLink());
        EXPECT_EQ(ModeOf(own), 0700u);
        // The server and its lock file go there.
        CSingleInstance server;
        ASSERT_EQ(server.StartOn(name, QString()), CSingleInstance::Role::Primary);
        EXPECT_EQ(
            QDir(own).entryList({QStringLiteral("mapreg-*")}, QDir::System | QDir::Files).size(),
            1);
    }
}

TEST_F(SingleInstance, a_socket_of_another_user_gets_no_request) {
    Start();
    const QString name = TestPath(QStringLiteral("socket"));
    CSingleInstance server;
    int nRequests = 0;
    server.SetRequestHandler([&](const QString&, std::unique_ptr<IShellReply>) { ++nRequests; });
    ASSERT_EQ(server.StartOn(name, QString()), CSingleInstance::Role::Primary);

    // The running program's credentials do not check out: the later start runs on its own and
    // tells nothing.
    CSingleInstance stranger;
    int nChecks = 0;
    stranger.SetPeerCheck([&](qintptr descriptor) {
        ++nChecks;
        EXPECT_TRUE(CSingleInstance::IsOwnPeer(descriptor));
        return false;
    });
    EXPECT_EQ(stranger.StartOn(name, TestPath(QStringLiteral("secret.gpm"))),
              CSingleInstance::Role::Standalone);
    EXPECT_EQ(nChecks, 1);
    QTest::qWait(300);
    EXPECT_EQ(nRequests, 0);
}

// A request the running program does not keep is refused at once: the later start tries again
// (the program may be ending) and then runs on its own, without waiting for a time-out.
TEST_F(SingleInstance, a_request_the_program_drops_is_refused_at_once) {
    const QString name = TestPath(QStringLiteral("socket"));
    CSingleInstance server;
    int nRequests = 0;
    server.SetRequestHandler([&](const QString&, std::unique_ptr<IShellReply>) { ++nRequests; });
    ASSERT_EQ(server.StartOn(name, QString()), Role::Primary);
    LaterStart later(name, TestPath(QStringLiteral("map.gpm")), 8000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return later.Done(); }, 6000));
    EXPECT_EQ(later.Result(), std::make_pair(Role::Standalone, Handover::Refused));
    EXPECT_EQ(nRequests, 3);
}

TEST_F(SingleInstance, a_request_is_acknowledged_only_when_it_is_carried_out) {
    HookedPrompt hooked;
    App().SetPromptOverride(&hooked);
    Start();
    CSingleInstance server;
    server.SetRequestHandler([](const QString& file, std::unique_ptr<IShellReply> pReply) {
        App().OpenFromShell(file, std::move(pReply));
    });
    const QString name = TestPath(QStringLiteral("socket"));
    ASSERT_EQ(server.StartOn(name, QString()), Role::Primary);
    // The harness's helpers answer through its own prompt; this test answers through hooked.
    const auto loadPicture = [&](const QString& file, QSize size) {
        hooked.chosenFiles.push_back(WriteBitmap(file, size).toStdString());
        PressKey(Qt::Key_F2);
        ASSERT_EQ(Doc().GetMapWidth(), size.width());
    };
    loadPicture(QStringLiteral("desk.bmp"), {120, 80});
    const QString mapPath = TestPath(QStringLiteral("desk.gpm"));
    hooked.chosenFiles.push_back(mapPath.toStdString());
    PressKey(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(QString::fromStdString(Doc().GetPathName()), mapPath);
    const auto mapIsOpen = [&] { return QString::fromStdString(Doc().GetPathName()) == mapPath; };
    // Two and a half beats of the running program (room for a slow sanitizer build), shorter
    // than the waits below.
    constexpr int kReplyMs = 2500;
    constexpr int kHeldMs = 3500;

    struct Row {
        const char* name;
        // Hands the map over in some state of the running program; gives the later start's end.
        std::function<std::pair<Role, Handover>()> handOver;
        std::pair<Role, Handover> expected;
        bool bOpenedHere;
    };
    std::optional<LaterStart> later;
    const Row rows[] = {
        {"behind an open dialog: held, then taken when it closes",
         [&] {
             WithNextDialog(
                 [&](QDialog&) {
                     later.emplace(name, mapPath, kReplyMs);
                     QTest::qWait(kHeldMs);
                     EXPECT_FALSE(later->Done());
                     EXPECT_FALSE(mapIsOpen());
                 },
                 [] { Frame().CommandAction(ID_SETTINGS_DISPLAY_FORMAT)->trigger(); });
             EXPECT_TRUE(QTest::qWaitFor([&] { return later->Done(); }, 10000));
             return later->Result();
         },
         {Role::Forwarded, Handover::Accepted},
         true},
        {"to a stalled program: the later start gives up, and the program drops it on waking",
         [&] {
             later.emplace(name, mapPath, 300);
             const auto result = later->Result(); // this thread, the program, is stuck meanwhile
             QTest::qWait(500);
             return result;
         },
         {Role::Standalone, Handover::NoAnswer},
         false},
        {"while the close question is open: refused when the program ends, which the later "
         "start takes over",
         [&] {
             loadPicture(QStringLiteral("other.bmp"), {50, 40});
             hooked.onNextMessage = [&] {
                 later.emplace(name, mapPath, kReplyMs);
                 QTest::qWait(kHeldMs);
                 EXPECT_FALSE(later->Done());
             };
             hooked.answers.push_back(MsgAnswer::No);
             EXPECT_TRUE(Close());
             QTest::qWait(100);
             EXPECT_FALSE(later->Done());
             // The end of the program, as its main function has it.
             server.StopListening();
             App().ExitInstance();
             return later->Result();
         },
         {Role::Primary, Handover::Refused},
         false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Frame().CommandAction(ID_FILE_NEW)->trigger();
        ASSERT_FALSE(mapIsOpen());
        hooked.messages.clear();
        EXPECT_EQ(row.handOver(), row.expected);
        later.reset();
        if (!App().IsInitialized()) {
            break;
        }
        EXPECT_EQ(mapIsOpen(), row.bOpenedHere);
        EXPECT_TRUE(hooked.messages.empty());
    }
}

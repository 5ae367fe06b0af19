// One program per user and display: where its socket lives, who may talk to it, and what a
// later start hears back from the running program.

#include "AppHarness.h"

#include "CSingleInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

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
    QObject::connect(&server, &CSingleInstance::OpenRequested, [&] { ++nRequests; });
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

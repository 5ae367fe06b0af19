#include "app/CSingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QUrl>

#include <cerrno>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mapreg {

namespace {

// One request is one line: "open <file URL>" or "show". A file URL keeps any character of a
// path, line feeds included, on one line.
constexpr qint64 kMaxRequest = 16 * 1024;
const QByteArray kOpen = QByteArrayLiteral("open ");
const QByteArray kShow = QByteArrayLiteral("show");
const QByteArray kAccepted = QByteArrayLiteral("ok");
const QByteArray kRefused = QByteArrayLiteral("no");
const QByteArray kWait = QByteArrayLiteral("wait");

// How long a later start waits for the running program. Generous: the running program may be
// busy for a moment (loading a large picture) before it reads the request. While the request
// waits there (behind a dialog, or a command that runs) a word comes every beat.
constexpr int kConnectMs = 2000;
constexpr int kReplyMs = 10000;
constexpr int kLockMs = 10000;
constexpr int kBeatMs = 1000;
// A running program that refuses is ending; the next try finds its socket gone.
constexpr int kAttempts = 3;

// A folder that no other user can have put anything into: a real folder (bFollowLink false: not
// a link to one), owned by us, not writable by group or others.
bool IsPrivateFolder(const QString& path, bool bFollowLink) {
    struct stat info {};
    const QByteArray native = QFile::encodeName(path);
    const int nResult =
        bFollowLink ? ::stat(native.constData(), &info) : ::lstat(native.constData(), &info);
    return nResult == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The reply to a request read from a socket: one line, then the connection ends.
class CSocketReply : public IShellReply {
public:
    explicit CSocketReply(QLocalSocket* pSocket) : m_pSocket(pSocket) {}
    ~CSocketReply() override {
        if (!m_bAnswered) {
            Answer(kRefused);
        }
    }
    CSocketReply(const CSocketReply&) = delete;
    CSocketReply& operator=(const CSocketReply&) = delete;

    bool IsWaiting() const override {
        if (m_pSocket.isNull() || m_pSocket->state() != QLocalSocket::ConnectedState) {
            return false;
        }
        // The sender may have closed its end while this program was busy, before the event
        // loop noticed: a peek that reads the end of the stream tells.
        char c = 0;
        const ssize_t nRead =
            ::recv(static_cast<int>(m_pSocket->socketDescriptor()), &c, 1, MSG_PEEK | MSG_DONTWAIT);
        return nRead > 0 || (nRead < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
    }
    void Accept() override { Answer(kAccepted); }
    void Refuse() override { Answer(kRefused); }

private:
    void Answer(const QByteArray& word) {
        m_bAnswered = true;
        if (!m_pSocket.isNull() && m_pSocket->state() == QLocalSocket::ConnectedState) {
            m_pSocket->write(word + '\n');
            m_pSocket->flush();
            m_pSocket->disconnectFromServer();
        }
    }

    QPointer<QLocalSocket> m_pSocket;
    bool m_bAnswered = false;
};

} // namespace

CSingleInstance::CSingleInstance(QObject* pParent) : QObject(pParent), m_nReplyMs(kReplyMs) {
    m_beat.setInterval(kBeatMs);
    connect(&m_beat, &QTimer::timeout, this, &CSingleInstance::OnBeat);
}

CSingleInstance::~CSingleInstance() = default;

QString CSingleInstance::SocketFolder() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && IsPrivateFolder(runtime, true)) {
        return QDir::cleanPath(runtime);
    }
    // Never the shared temp folder itself: anyone can create a socket or lock file there first.
    const QString folder =
        QDir(QDir::tempPath()).filePath(QStringLiteral("mapreg-%1").arg(::getuid()));
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0 && errno != EEXIST) {
        return {};
    }
    return IsPrivateFolder(folder, false) ? folder : QString();
}

QString CSingleInstance::ServerName() {
    const QString folder = SocketFolder();
    if (folder.isEmpty()) {
        return {};
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString display = QGuiApplication::platformName() + QLatin1Char('\n') +
                            qEnvironmentVariable("WAYLAND_DISPLAY") + QLatin1Char('\n') +
                            qEnvironmentVariable("DISPLAY");
    const QByteArray key =
        QCryptographicHash::hash((runtime + QLatin1Char('\n') + display).toUtf8(),
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    return QDir(folder).filePath(
        QStringLiteral("mapreg-%1-%2").arg(::getuid()).arg(QString::fromLatin1(key)));
}

bool CSingleInstance::IsOwnPeer(qintptr descriptor) {
    struct ucred peer {};
    socklen_t nSize = sizeof(peer);
    return descriptor >= 0 &&
           ::getsockopt(static_cast<int>(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &nSize) ==
               0 &&
           nSize == sizeof(peer) && peer.uid == ::getuid();
}

CSingleInstance::Role CSingleInstance::Start(const QString& file) {
    // Without a screen there is no desktop to share: scripted and benchmark runs stay apart.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        return Role::Standalone;
    }
    return StartOn(ServerName(), file);
}

CSingleInstance::Role CSingleInstance::StartOn(const QString& name, const QString& file) {
    if (name.isEmpty()) {
        return Role::Standalone;
    }
    m_handover = Handover::None;
    for (int nAttempt = 0; nAttempt < kAttempts; ++nAttempt) {
        // Two programs started at once must not both decide to listen and remove each other's
        // socket. QLockFile takes over the lock of a process that is gone.
        QLockFile lock(name + QStringLiteral(".lock"));
        const bool bLocked = lock.tryLock(kLockMs);

        QLocalSocket socket;
        socket.connectToServer(name);
        if (socket.waitForConnected(kConnectMs)) {
            // The answer may take long (a dialog is open there); others may start meanwhile.
            lock.unlock();
            // A program of another user gets no map path of ours.
            if (!m_peerCheck(socket.socketDescriptor())) {
                m_handover = Handover::NotOurs;
                return Role::Standalone;
            }
            m_handover = Forward(socket, file);
            if (m_handover == Handover::Refused) {
                continue;
            }
            return m_handover == Handover::Accepted ? Role::Forwarded : Role::Standalone;
        }
        if (!bLocked) {
            return Role::Standalone;
        }
        // Nobody answers: whatever socket file is there was left by a program that ended.
        QLocalServer::removeServer(name);
        auto pServer = std::make_unique<QLocalServer>();
        pServer->setSocketOptions(QLocalServer::UserAccessOption);
        if (!pServer->listen(name)) {
            return Role::Standalone;
        }
        connect(pServer.get(), &QLocalServer::newConnection, this,
                &CSingleInstance::OnNewConnection);
        m_pServer = std::move(pServer);
        return Role::Primary;
    }
    return Role::Standalone;
}

void CSingleInstance::StopListening() {
    // The socket file goes; connections taken stay until they are answered.
    if (m_pServer) {
        m_pServer->close();
    }
}

CSingleInstance::Handover CSingleInstance::Forward(QLocalSocket& socket,
                                                   const QString& file) const {
    const QByteArray request =
        file.isEmpty()
            ? kShow
            : kOpen + QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toEncoded();
    socket.write(request + '\n');
    if (!socket.waitForBytesWritten(m_nReplyMs)) {
        socket.abort();
        return Handover::NoAnswer;
    }
    for (;;) {
        while (!socket.canReadLine()) {
            if (!socket.waitForReadyRead(m_nReplyMs)) {
                // A program that closes the connection without a word has ended. One that
                // stays silent is stuck: closing our end tells it to drop the request.
                if (socket.state() != QLocalSocket::ConnectedState) {
                    return Handover::Refused;
                }
                socket.abort();
                return Handover::NoAnswer;
            }
        }
        const QByteArray word = socket.readLine(kMaxRequest).trimmed();
        if (word == kAccepted) {
            return Handover::Accepted;
        }
        if (word != kWait) {
            return Handover::Refused;
        }
    }
}

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* pSocket = m_pServer->nextPendingConnection()) {
        if (!m_peerCheck(pSocket->socketDescriptor())) {
            pSocket->abort();
            pSocket->deleteLater();
            continue;
        }
        connect(pSocket, &QLocalSocket::disconnected, pSocket, &QObject::deleteLater);
        connect(pSocket, &QLocalSocket::readyRead, this, [this, pSocket] { OnReadyRead(pSocket); });
        if (pSocket->bytesAvailable() > 0) {
            OnReadyRead(pSocket);
        }
    }
}

void CSingleInstance::OnReadyRead(QLocalSocket* pSocket) {
    if (!pSocket->canReadLine()) {
        // A line longer than any path is no request of ours.
        if (pSocket->bytesAvailable() > kMaxRequest) {
            pSocket->abort();
        }
        return;
    }
    const QByteArray line = pSocket->readLine(kMaxRequest).trimmed();
    QString file;
    bool bValid = line == kShow;
    if (line.startsWith(kOpen)) {
        const QUrl url = QUrl::fromEncoded(line.mid(kOpen.size()), QUrl::StrictMode);
        bValid = url.isValid() && url.isLocalFile() && !url.toLocalFile().isEmpty();
        file = url.toLocalFile();
    }
    if (!bValid) {
        pSocket->abort();
        return;
    }
    // One request per connection; the answer follows when the request is carried out.
    disconnect(pSocket, &QLocalSocket::readyRead, this, nullptr);
    m_waiting.emplace_back(pSocket);
    if (!m_beat.isActive()) {
        m_beat.start();
    }
    auto pReply = std::make_unique<CSocketReply>(pSocket);
    if (m_handler) {
        m_handler(file, std::move(pReply));
    }
}

void CSingleInstance::OnBeat() {
    std::erase_if(m_waiting, [](const QPointer<QLocalSocket>& pSocket) {
        return pSocket.isNull() || pSocket->state() != QLocalSocket::ConnectedState;
    });
    for (const QPointer<QLocalSocket>& pSocket : m_waiting) {
        pSocket->write(kWait + '\n');
        pSocket->flush();
    }
    if (m_waiting.empty()) {
        m_beat.stop();
    }
}

} // namespace mapreg

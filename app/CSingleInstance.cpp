#include "app/CSingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLockFile>
#include <QSocketNotifier>
#include <QUrl>

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
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
// Connections the listening socket queues before a later start has to wait.
constexpr int kBacklog = 50;

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

// The socket's file: a name that is not absolute lies in the temp folder.
QString SocketPath(const QString& name) {
    return QDir::isAbsolutePath(name) ? name
                                      : QDir::cleanPath(QDir::tempPath()) + QLatin1Char('/') + name;
}

// The address of a socket file; false when the path does not fit into one.
bool AddressOf(const QByteArray& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof(address));
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || static_cast<std::size_t>(path.size()) >= sizeof(address.sun_path)) {
        return false;
    }
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return true;
}

// The first line of buffer, at most nMax - 1 bytes of it with its line feed (as
// QIODevice::readLine reads it), taken out of the buffer.
QByteArray TakeLine(QByteArray& buffer, qint64 nMax) {
    const qsizetype nEnd = buffer.indexOf('\n');
    const qsizetype nLength = std::min<qsizetype>(nEnd < 0 ? buffer.size() : nEnd + 1, nMax - 1);
    QByteArray line = buffer.left(nLength);
    buffer.remove(0, nLength);
    return line;
}

// Milliseconds left until the deadline, for poll.
int MsLeft(const QDeadlineTimer& deadline) {
    return static_cast<int>(std::max<qint64>(0, deadline.remainingTime()));
}

// Connects to the socket at path, trying again while its queue is full; -1 when no program
// listens there. The descriptor does not block.
int ConnectTo(const QString& name, int nTimeoutMs) {
    sockaddr_un address{};
    if (!AddressOf(QFile::encodeName(SocketPath(name)), address)) {
        return -1;
    }
    const QDeadlineTimer deadline(nTimeoutMs);
    for (;;) {
        const int nSocket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (nSocket < 0) {
            return -1;
        }
        if (::connect(nSocket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
            return nSocket;
        }
        const int nError = errno;
        ::close(nSocket);
        if ((nError != EAGAIN && nError != EINTR) || deadline.hasExpired()) {
            return -1;
        }
        ::poll(nullptr, 0, std::min(10, MsLeft(deadline)));
    }
}

// Writes all of data to a connected socket within the time; false when the other end has gone
// or the time ran out.
bool WriteAll(int nSocket, const QByteArray& data, int nTimeoutMs) {
    const QDeadlineTimer deadline(nTimeoutMs);
    qsizetype nDone = 0;
    while (nDone < data.size()) {
        const ssize_t nWritten =
            ::send(nSocket, data.constData() + nDone, static_cast<std::size_t>(data.size() - nDone),
                   MSG_NOSIGNAL | MSG_DONTWAIT);
        if (nWritten >= 0) {
            nDone += nWritten;
            continue;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return false;
        }
        pollfd wait{nSocket, POLLOUT, 0};
        if (::poll(&wait, 1, MsLeft(deadline)) <= 0 && deadline.hasExpired()) {
            return false;
        }
    }
    return true;
}

// What waiting for more bytes from a socket gave.
enum class ReadResult { Data, Ended, TimedOut };

// Appends what the socket has to buffer, waiting for it up to the time.
ReadResult ReadSome(int nSocket, QByteArray& buffer, int nTimeoutMs) {
    const QDeadlineTimer deadline(nTimeoutMs);
    for (;;) {
        char chunk[4096];
        const ssize_t nRead = ::recv(nSocket, chunk, sizeof(chunk), MSG_DONTWAIT);
        if (nRead > 0) {
            buffer.append(chunk, nRead);
            return ReadResult::Data;
        }
        if (nRead == 0) {
            return ReadResult::Ended;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return ReadResult::Ended;
        }
        if (deadline.hasExpired()) {
            return ReadResult::TimedOut;
        }
        pollfd wait{nSocket, POLLIN, 0};
        ::poll(&wait, 1, MsLeft(deadline));
    }
}

} // namespace

// One accepted connection of the running program: reads the request, writes the answers and
// ends. It is gone (deleted later) once either end has closed it.
class CLocalConnection : public QObject {
public:
    CLocalConnection(int nSocket, CSingleInstance* pOwner)
        : QObject(pOwner), m_nSocket(nSocket), m_pOwner(pOwner),
          m_readNotifier(nSocket, QSocketNotifier::Read),
          m_writeNotifier(nSocket, QSocketNotifier::Write) {
        m_writeNotifier.setEnabled(false);
        connect(&m_readNotifier, &QSocketNotifier::activated, this, [this] { OnReadable(); });
        connect(&m_writeNotifier, &QSocketNotifier::activated, this, [this] { OnWritable(); });
    }
    ~CLocalConnection() override { Close(); }
    CLocalConnection(const CLocalConnection&) = delete;
    CLocalConnection& operator=(const CLocalConnection&) = delete;

    int Descriptor() const { return m_nSocket; }
    // Open, and not being closed after a last answer.
    bool IsConnected() const { return m_nSocket >= 0 && !m_bClosing; }
    // The bytes read and not yet taken as a request.
    QByteArray& Received() { return m_received; }
    // The request has been taken: later bytes are no request.
    void StopReading() { m_bRequestTaken = true; }

    // Sends data after what waits to be sent.
    void Write(const QByteArray& data) {
        if (!IsConnected()) {
            return;
        }
        m_pending += data;
        Flush();
    }
    // Ends the connection once everything written has been sent.
    void DisconnectWhenWritten() {
        if (m_nSocket < 0) {
            return;
        }
        m_bClosing = true;
        if (m_pending.isEmpty()) {
            End();
        }
    }
    // Ends the connection now; what waits to be sent is dropped.
    void Abort() { End(); }

private:
    void OnReadable() {
        const QPointer<CLocalConnection> pAlive(this);
        bool bEnded = false;
        for (;;) {
            char chunk[4096];
            const ssize_t nRead = ::recv(m_nSocket, chunk, sizeof(chunk), MSG_DONTWAIT);
            if (nRead > 0) {
                // After the request the later start only listens; anything else it sends is
                // dropped.
                if (!m_bRequestTaken) {
                    m_received.append(chunk, nRead);
                }
                continue;
            }
            if (nRead < 0 && errno == EINTR) {
                continue;
            }
            bEnded = nRead == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            break;
        }
        if (!m_bRequestTaken && !m_received.isEmpty() && !m_bClosing) {
            m_pOwner->OnReadyRead(this);
            if (pAlive.isNull()) {
                return;
            }
        }
        if (bEnded) {
            End();
        }
    }

    void OnWritable() { Flush(); }

    void Flush() {
        while (!m_pending.isEmpty() && m_nSocket >= 0) {
            const ssize_t nWritten =
                ::send(m_nSocket, m_pending.constData(), static_cast<std::size_t>(m_pending.size()),
                       MSG_NOSIGNAL | MSG_DONTWAIT);
            if (nWritten > 0) {
                m_pending.remove(0, nWritten);
                continue;
            }
            if (nWritten < 0 && errno == EINTR) {
                continue;
            }
            if (nWritten < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                m_writeNotifier.setEnabled(true);
                return;
            }
            End(); // the other end has gone
            return;
        }
        m_writeNotifier.setEnabled(false);
        if (m_bClosing && m_nSocket >= 0) {
            End();
        }
    }

    // Closes the socket; the object goes once control is back in the event loop.
    void End() {
        if (m_nSocket < 0) {
            return;
        }
        Close();
        deleteLater();
    }

    void Close() {
        if (m_nSocket < 0) {
            return;
        }
        m_readNotifier.setEnabled(false);
        m_writeNotifier.setEnabled(false);
        ::close(m_nSocket);
        m_nSocket = -1;
        m_pending.clear();
    }

    int m_nSocket;
    CSingleInstance* m_pOwner;
    QSocketNotifier m_readNotifier;
    QSocketNotifier m_writeNotifier;
    QByteArray m_received;
    QByteArray m_pending;
    bool m_bRequestTaken = false;
    bool m_bClosing = false;
};

namespace {

// The reply to a request read from a socket: one line, then the connection ends.
class CSocketReply : public IShellReply {
public:
    explicit CSocketReply(CLocalConnection* pConnection) : m_pConnection(pConnection) {}
    ~CSocketReply() override {
        if (!m_bAnswered) {
            Answer(kRefused);
        }
    }
    CSocketReply(const CSocketReply&) = delete;
    CSocketReply& operator=(const CSocketReply&) = delete;

    bool IsWaiting() const override {
        const CLocalConnection* pConnection = m_pConnection.data();
        if (pConnection == nullptr || !pConnection->IsConnected()) {
            return false;
        }
        // The sender may have closed its end while this program was busy, before the event
        // loop noticed: a peek that reads the end of the stream tells.
        char c = 0;
        const ssize_t nRead = ::recv(pConnection->Descriptor(), &c, 1, MSG_PEEK | MSG_DONTWAIT);
        return nRead > 0 || (nRead < 0 && (errno == EAGAIN || errno == EWOULDBLOCK));
    }
    void Accept() override { Answer(kAccepted); }
    void Refuse() override { Answer(kRefused); }

private:
    void Answer(const QByteArray& word) {
        m_bAnswered = true;
        // Writing never deletes the connection at once (it goes later), so the pointer holds.
        if (CLocalConnection* pConnection = m_pConnection.data();
            pConnection != nullptr && pConnection->IsConnected()) {
            pConnection->Write(word + '\n');
            pConnection->DisconnectWhenWritten();
        }
    }

    QPointer<CLocalConnection> m_pConnection;
    bool m_bAnswered = false;
};

} // namespace

CSingleInstance::CSingleInstance(QObject* pParent) : QObject(pParent), m_nReplyMs(kReplyMs) {
    m_beat.setInterval(kBeatMs);
    connect(&m_beat, &QTimer::timeout, this, &CSingleInstance::OnBeat);
}

CSingleInstance::~CSingleInstance() {
    StopListening();
}

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

namespace {

// Closes a socket descriptor at the end of its scope.
class CSocketGuard {
public:
    explicit CSocketGuard(int nSocket) : m_nSocket(nSocket) {}
    ~CSocketGuard() {
        if (m_nSocket >= 0) {
            ::close(m_nSocket);
        }
    }
    CSocketGuard(const CSocketGuard&) = delete;
    CSocketGuard& operator=(const CSocketGuard&) = delete;
    int Get() const { return m_nSocket; }

private:
    int m_nSocket;
};

} // namespace

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

        const CSocketGuard socket(ConnectTo(name, kConnectMs));
        if (socket.Get() >= 0) {
            // The answer may take long (a dialog is open there); others may start meanwhile.
            lock.unlock();
            // A program of another user gets no map path of ours.
            if (!m_peerCheck(socket.Get())) {
                m_handover = Handover::NotOurs;
                return Role::Standalone;
            }
            m_handover = Forward(socket.Get(), file);
            if (m_handover == Handover::Refused) {
                continue;
            }
            return m_handover == Handover::Accepted ? Role::Forwarded : Role::Standalone;
        }
        if (!bLocked) {
            return Role::Standalone;
        }
        // Nobody answers: whatever socket file is there was left by a program that ended.
        ::unlink(QFile::encodeName(SocketPath(name)).constData());
        if (!Listen(name)) {
            return Role::Standalone;
        }
        return Role::Primary;
    }
    return Role::Standalone;
}

bool CSingleInstance::Listen(const QString& name) {
    // The socket is made in a new private folder beside its place, made accessible to this user
    // alone there and only then moved into place, so that no one can connect to it before.
    const QString path = SocketPath(name);
    sockaddr_un address{};
    if (!AddressOf(QFile::encodeName(path), address)) {
        return false;
    }
    QByteArray folder =
        QFile::encodeName(QFileInfo(path).absolutePath() + QStringLiteral("/.XXXXXX"));
    if (::mkdtemp(folder.data()) == nullptr) {
        return false;
    }
    const QByteArray made = folder + "/s";
    const auto removeFolder = [&] {
        ::unlink(made.constData());
        ::rmdir(folder.constData());
    };
    sockaddr_un madeAddress{};
    const int nSocket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (nSocket < 0 || !AddressOf(made, madeAddress) ||
        ::bind(nSocket, reinterpret_cast<const sockaddr*>(&madeAddress), sizeof(madeAddress)) !=
            0 ||
        ::listen(nSocket, kBacklog) != 0 || ::chmod(made.constData(), S_IRWXU) != 0 ||
        ::rename(made.constData(), address.sun_path) != 0) {
        if (nSocket >= 0) {
            ::close(nSocket);
        }
        removeFolder();
        return false;
    }
    removeFolder();
    m_nListenSocket = nSocket;
    m_listenPath = path;
    m_pListenNotifier = std::make_unique<QSocketNotifier>(nSocket, QSocketNotifier::Read);
    connect(m_pListenNotifier.get(), &QSocketNotifier::activated, this,
            &CSingleInstance::OnNewConnection);
    return true;
}

void CSingleInstance::StopListening() {
    // The socket file goes; connections taken stay until they are answered.
    if (m_nListenSocket < 0) {
        return;
    }
    m_pListenNotifier.reset();
    ::close(m_nListenSocket);
    m_nListenSocket = -1;
    ::unlink(QFile::encodeName(m_listenPath).constData());
    m_listenPath.clear();
}

CSingleInstance::Handover CSingleInstance::Forward(int nSocket, const QString& file) const {
    const QByteArray request =
        file.isEmpty()
            ? kShow
            : kOpen + QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toEncoded();
    // A request that cannot be sent in time goes to a stuck program: closing our end tells it
    // to drop the request.
    if (!WriteAll(nSocket, request + '\n', m_nReplyMs)) {
        return Handover::NoAnswer;
    }
    QByteArray received;
    for (;;) {
        while (!received.contains('\n')) {
            switch (ReadSome(nSocket, received, m_nReplyMs)) {
            case ReadResult::Data:
                break;
            case ReadResult::Ended:
                // A program that closes the connection without a word has ended.
                return Handover::Refused;
            case ReadResult::TimedOut:
                // One that stays silent is stuck: closing our end tells it to drop the request.
                return Handover::NoAnswer;
            }
        }
        const QByteArray word = TakeLine(received, kMaxRequest).trimmed();
        if (word == kAccepted) {
            return Handover::Accepted;
        }
        if (word != kWait) {
            return Handover::Refused;
        }
    }
}

void CSingleInstance::OnNewConnection() {
    for (;;) {
        const int nSocket =
            ::accept4(m_nListenSocket, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (nSocket < 0) {
            if (errno == EINTR || errno == ECONNABORTED) {
                continue;
            }
            return;
        }
        if (!m_peerCheck(nSocket)) {
            ::close(nSocket);
            continue;
        }
        // Reads through its notifier, which reports what the later start has sent already.
        new CLocalConnection(nSocket, this);
    }
}

void CSingleInstance::OnReadyRead(CLocalConnection* pConnection) {
    QByteArray& received = pConnection->Received();
    if (!received.contains('\n')) {
        // A line longer than any path is no request of ours.
        if (received.size() > kMaxRequest) {
            pConnection->Abort();
        }
        return;
    }
    const QByteArray line = TakeLine(received, kMaxRequest).trimmed();
    QString file;
    bool bValid = line == kShow;
    if (line.startsWith(kOpen)) {
        const QUrl url = QUrl::fromEncoded(line.mid(kOpen.size()), QUrl::StrictMode);
        bValid = url.isValid() && url.isLocalFile() && !url.toLocalFile().isEmpty();
        file = url.toLocalFile();
    }
    if (!bValid) {
        pConnection->Abort();
        return;
    }
    // One request per connection; the answer follows when the request is carried out.
    pConnection->StopReading();
    m_waiting.emplace_back(pConnection);
    if (!m_beat.isActive()) {
        m_beat.start();
    }
    auto pReply = std::make_unique<CSocketReply>(pConnection);
    if (m_handler) {
        m_handler(file, std::move(pReply));
    }
}

void CSingleInstance::OnBeat() {
    std::erase_if(m_waiting, [](const QPointer<CLocalConnection>& pWaiting) {
        const CLocalConnection* pConnection = pWaiting.data();
        return pConnection == nullptr || !pConnection->IsConnected();
    });
    // Writing never deletes a connection at once (it goes later), so the list holds.
    for (const QPointer<CLocalConnection>& pWaiting : m_waiting) {
        if (CLocalConnection* pConnection = pWaiting.data(); pConnection != nullptr) {
            pConnection->Write(kWait + '\n');
        }
    }
    if (m_waiting.empty()) {
        m_beat.stop();
    }
}

} // namespace mapreg

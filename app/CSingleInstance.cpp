#include "CSingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QUrl>

#include <unistd.h>

namespace {

// One request is one line: "open <file URL>" or "show". A file URL keeps any character of a
// path, line feeds included, on one line.
constexpr qint64 kMaxRequest = 16 * 1024;
const QByteArray kOpen = QByteArrayLiteral("open ");
const QByteArray kShow = QByteArrayLiteral("show");
const QByteArray kAccepted = QByteArrayLiteral("ok\n");

// How long a later start waits for the running program. Generous: the running program may be
// busy for a moment (loading a large picture) before it reads the request.
constexpr int kConnectMs = 2000;
constexpr int kReplyMs = 10000;
constexpr int kLockMs = 10000;

} // namespace

CSingleInstance::CSingleInstance(QObject* pParent) : QObject(pParent) {}

CSingleInstance::~CSingleInstance() = default;

QString CSingleInstance::ServerName() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString display = QGuiApplication::platformName() + QLatin1Char('\n') +
                            qEnvironmentVariable("WAYLAND_DISPLAY") + QLatin1Char('\n') +
                            qEnvironmentVariable("DISPLAY");
    const QByteArray key =
        QCryptographicHash::hash((runtime + QLatin1Char('\n') + display).toUtf8(),
                                 QCryptographicHash::Sha256)
            .toHex()
            .left(16);
    const QString name =
        QStringLiteral("mapreg-%1-%2").arg(::getuid()).arg(QString::fromLatin1(key));
    // The runtime folder is the user's own; without it Qt puts the socket in the temp folder.
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir()) {
        return QDir(runtime).filePath(name);
    }
    return name;
}

CSingleInstance::Role CSingleInstance::Start(const QString& file) {
    // Without a screen there is no desktop to share: scripted and benchmark runs stay apart.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        return Role::Standalone;
    }
    const QString name = ServerName();
    const QString lockPath =
        (QDir::isAbsolutePath(name) ? name : QDir::temp().filePath(name)) + QStringLiteral(".lock");
    // Two programs started at once must not both decide to listen and remove each other's socket.
    // QLockFile takes over the lock of a process that is gone.
    QLockFile lock(lockPath);
    const bool bLocked = lock.tryLock(kLockMs);

    QLocalSocket socket;
    socket.connectToServer(name);
    if (socket.waitForConnected(kConnectMs)) {
        return Forward(socket, file) ? Role::Forwarded : Role::Standalone;
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
    connect(pServer.get(), &QLocalServer::newConnection, this, &CSingleInstance::OnNewConnection);
    m_pServer = std::move(pServer);
    return Role::Primary;
}

bool CSingleInstance::Forward(QLocalSocket& socket, const QString& file) {
    const QByteArray request =
        file.isEmpty()
            ? kShow
            : kOpen + QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()).toEncoded();
    socket.write(request + '\n');
    if (!socket.waitForBytesWritten(kReplyMs)) {
        return false;
    }
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(kReplyMs)) {
            return false;
        }
    }
    return socket.readLine(kAccepted.size() + 1) == kAccepted;
}

void CSingleInstance::OnNewConnection() {
    while (QLocalSocket* pSocket = m_pServer->nextPendingConnection()) {
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
    pSocket->write(kAccepted);
    pSocket->flush();
    pSocket->disconnectFromServer();
    emit OpenRequested(file);
}

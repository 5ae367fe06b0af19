#pragma once
// One program per user and display: the first start listens on a local socket, later starts
// hand their map file to it and end. The socket lives in a folder only this user can write to:
// XDG_RUNTIME_DIR, else a private folder of ours in the temp folder. Needs the application
// object; runs on the offscreen platform are always on their own.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

class CSingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Primary,   // this process listens; requests arrive through OpenRequested
        Forwarded, // a running program took the request; this process should end
        Standalone // neither listening nor forwarded (no socket possible); run alone
    };

    explicit CSingleInstance(QObject* pParent = nullptr);
    ~CSingleInstance() override;

    // Tells whether the program at the other end of a connected socket descriptor may be
    // talked to.
    using PeerCheck = std::function<bool(qintptr descriptor)>;

    // The folder that holds the socket and its lock: XDG_RUNTIME_DIR when it is a folder of ours
    // that no one else can write to, else "mapreg-<uid>" in the temp folder, created 0700 and
    // used only when it is a real folder (no link) owned by us and not writable by group or
    // others. Empty when there is no such folder: the program then runs on its own.
    static QString SocketFolder();
    // The socket's path in that folder: per user, platform and display. Empty without a folder.
    static QString ServerName();
    // True when the peer of a connected local socket runs under our user id (SO_PEERCRED).
    static bool IsOwnPeer(qintptr descriptor);

    // Hands file (empty: only bring the window to the front) to a running program, or becomes
    // the listening one. A socket left behind by a program that crashed is replaced.
    Role Start(const QString& file);
    // The same on the socket path name (tests use a folder of their own).
    Role StartOn(const QString& name, const QString& file);

    // Replaces the check of the running program's user id before a request goes to it (tests:
    // a stand-in that fails, as for a socket of another user).
    void SetPeerCheck(PeerCheck check) { m_peerCheck = std::move(check); }

signals:
    // A later start asked to open file (absolute path; empty: only show the window).
    void OpenRequested(const QString& file);

private:
    // Sends the request over a connected socket; true once the running program took it.
    static bool Forward(QLocalSocket& socket, const QString& file);
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* pSocket);

    std::unique_ptr<QLocalServer> m_pServer;
    PeerCheck m_peerCheck = &CSingleInstance::IsOwnPeer;
};

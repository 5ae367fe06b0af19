#pragma once
// One program per user and display: the first start listens on a local socket, later starts
// hand their map file to it and end. The socket lives in a folder only this user can write to:
// XDG_RUNTIME_DIR, else a private folder of ours in the temp folder. Needs the application
// object; runs on the offscreen platform are always on their own.
//
// A later start hears "ok" only when its request is about to be carried out; until then the
// running program tells it "wait" every second. It hears "no" when the running program ends
// first, and then takes its place. When no word comes for ten seconds it gives up and runs on its
// own; the running program drops a request whose sender has gone.
//
// The socket is a plain AF_UNIX stream socket watched by QSocketNotifier, so the window links
// no Qt Network (its library and the nine it pulls in cost a millisecond or two of every start).
// Requests and answers are one line each: "open <file URL>" or "show"; "ok", "no" or "wait".

#include "app/IShellReply.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace mapreg {

class CLocalConnection;

class CSingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Role {
        Primary,   // this process listens; requests go to the request handler
        Forwarded, // a running program took the request; this process should end
        Standalone // neither listening nor forwarded (no socket possible); run alone
    };

    // What became of the request handed to a running program.
    enum class Handover {
        None,     // no running program was found
        Accepted, // it will open the map
        Refused,  // it ended before it could (this start then took its place when it could)
        NoAnswer, // it did not answer in time; its request is dropped there
        NotOurs   // its socket belongs to another user: nothing was sent
    };
    // Receives each request; the reply answers the later start.
    using RequestHandler =
        std::function<void(const QString& file, std::unique_ptr<IShellReply> pReply)>;

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

    Handover LastHandover() const { return m_handover; }
    // Where requests go (absolute path; empty: only show the window). Without a handler every
    // request is refused.
    void SetRequestHandler(RequestHandler handler) { m_handler = std::move(handler); }
    // Takes no more requests (the program ends); those taken wait for their answer.
    void StopListening();

    // How long a later start waits for a word from the running program (tests shorten it).
    void SetReplyTimeout(int nMs) { m_nReplyMs = nMs; }
    // Replaces the check of the running program's user id before a request goes to it (tests:
    // a stand-in that fails, as for a socket of another user).
    void SetPeerCheck(PeerCheck check) { m_peerCheck = std::move(check); }

private:
    friend class CLocalConnection;

    // Sends the request over a connected socket and waits for the final answer.
    Handover Forward(int nSocket, const QString& file) const;
    // Makes the listening socket at name; false when that fails.
    bool Listen(const QString& name);
    void OnNewConnection();
    void OnReadyRead(CLocalConnection* pConnection);
    // Tells every later start whose request still waits that it does.
    void OnBeat();

    // The listening socket (-1: none), its path and its notifier.
    int m_nListenSocket = -1;
    QString m_listenPath;
    std::unique_ptr<QSocketNotifier> m_pListenNotifier;
    RequestHandler m_handler;
    PeerCheck m_peerCheck = &CSingleInstance::IsOwnPeer;
    std::vector<QPointer<CLocalConnection>> m_waiting;
    QTimer m_beat;
    int m_nReplyMs;
    Handover m_handover = Handover::None;
};

} // namespace mapreg

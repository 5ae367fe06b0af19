#pragma once
// One program per user and display: the first start listens on a local socket, later starts
// hand their map file to it and end. The socket lives in XDG_RUNTIME_DIR when there is one.
// Needs the application object; runs on the offscreen platform are always on their own.

#include <QObject>
#include <QString>

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

    // The socket's name or path: per user, per runtime folder, platform and display.
    static QString ServerName();

    // Hands file (empty: only bring the window to the front) to a running program, or becomes
    // the listening one. A socket left behind by a program that crashed is replaced.
    Role Start(const QString& file);

signals:
    // A later start asked to open file (absolute path; empty: only show the window).
    void OpenRequested(const QString& file);

private:
    // Sends the request over a connected socket; true once the running program took it.
    static bool Forward(QLocalSocket& socket, const QString& file);
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* pSocket);

    std::unique_ptr<QLocalServer> m_pServer;
};

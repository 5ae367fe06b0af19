#pragma once
// The application object: profile store, display settings, the one document with its main
// frame and view, the recent-file list, the command line and the About box.

#include "app/IShellReply.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace mapreg {

class CDisplaySettings;
class CGpsDoc;
class CMainFrame;
class CProfile;
class CQtUserPrompt;
class CUserPrompt;

class CGpsApp : public QApplication {
    Q_OBJECT
public:
    static constexpr int kRecentFiles = 4;

    // How an open ended: the map is shown (or was already), the user kept the current map at
    // the save question, or the file could not be opened (the user has been told why).
    enum class OpenResult { Opened, Cancelled, Failed };

    CGpsApp(int& argc, char** argv);
    ~CGpsApp() override;
    CGpsApp(const CGpsApp&) = delete;
    CGpsApp& operator=(const CGpsApp&) = delete;

    static CGpsApp* Instance();

    // The profile file: "<application title>.ini" in the user's configuration folder
    // (XDG_CONFIG_HOME, else ~/.config).
    static QString ProfilePath();

    // Starts the program: profile, recent files, display settings, document, frame and view,
    // then a new document or the map file named in args (program name not included). False
    // when the program cannot start; the frame is then closed and destroyed.
    bool InitInstance(const QStringList& args);
    // Destroys frame, view and document; InitInstance may run again afterwards.
    void ExitInstance();

    // Answers the program's questions with pPrompt instead of dialogs (tests); null restores
    // the dialogs. Set it before InitInstance.
    void SetPromptOverride(CUserPrompt* pPrompt) { m_pPromptOverride = pPrompt; }

    bool IsInitialized() const { return m_bInitialized; }
    CUserPrompt& Prompt();
    CProfile& Profile();
    CDisplaySettings& Settings();
    CGpsDoc* Document() const { return m_pDoc.get(); }
    CMainFrame* MainFrame() const { return m_pFrame.get(); }

    // File commands. Each keeps the map as it is when the user cancels.
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    // Opens a map file (command line, recent file, dropped file, desktop). Asks to save a
    // modified map first; the map that is already open is left as it is, without a question.
    OpenResult OpenDocumentFile(const QString& path);
    // Opens the recent-file entry nIndex; an entry that cannot be opened leaves the list.
    void OpenRecentFile(int nIndex);
    // A request from the desktop (a later start of the program): brings the window to the
    // front and opens path, or only shows the window when path is empty. Waits while a modal
    // dialog is open, a command runs or the calibration marks are placed. pReply (may be null)
    // hears Accept just before the request is carried out, and Refuse when the program ends
    // first; a request whose sender no longer waits is dropped.
    void OpenFromShell(const QString& path, std::unique_ptr<IShellReply> pReply = nullptr);
    // A dropped file: opened like a desktop request, once the drop has finished and no
    // command runs.
    void RequestOpen(const QString& path);
    // The "a command is running" count behind CCommandGuard. Requests wait while it is above 0
    // and are opened once it falls back to 0.
    void BeginCommand() { ++m_nCommands; }
    void EndCommand();
    bool IsCommandRunning() const { return m_nCommands > 0; }
    // Asks to save a modified map; false when the user cancelled.
    bool CanCloseDocument();
    // The session ends (log off, shut down). Writes the settings; then a modified map gets
    // the question of a close when askInteraction() grants it, else it is saved when it has
    // a name and kept in a recovery file when it has none or its save failed. Returns false
    // when the session end is to be cancelled (Cancel, or a failed save after Yes) or nothing
    // could be kept. Without interaction nothing is ever shown.
    bool CommitData(const std::function<bool()>& askInteraction);
    // The folder of those recovery files: <XDG_STATE_HOME, else ~/.local/state>/<title>.
    static QString RecoveryFolder();
    // Commands that the document handles.
    void OnDocumentCommand(unsigned nCommandId);
    // Map > Straighten for Device applies to a calibrated map with a bitmap of its own.
    bool IsStraightenEnabled() const;
    void OnAppAbout();

    QStringList RecentFiles() const { return m_recentFiles; }

private:
    void LoadRecentFileList();
    void AddToRecentFileList(const QString& path);
    void SaveRecentFileList();
    void AfterDocumentChange();
    bool IsOpenDocument(const QString& path) const;
    void ProcessShellRequests();
    void BringToFront();
    // Writes the map file of the document into the recovery folder, without questions.
    bool WriteRecoveryFile();
    // Saves the document under path with every message held back; false when it failed.
    bool SaveWithoutQuestions(const std::string& path);

    std::unique_ptr<CProfile> m_pProfile;
    std::unique_ptr<CQtUserPrompt> m_pQtPrompt;
    CUserPrompt* m_pPromptOverride = nullptr;
    std::unique_ptr<CDisplaySettings> m_pSettings;
    std::unique_ptr<CGpsDoc> m_pDoc;
    std::unique_ptr<CMainFrame> m_pFrame;
    QStringList m_recentFiles;
    struct ShellRequest {
        QString path;
        std::unique_ptr<IShellReply> pReply; // null for a drop
    };
    std::deque<ShellRequest> m_shellRequests;
    QTimer m_shellRetry;
    int m_nCommands = 0;
    // The map file last kept in a recovery file: a close of the same work needs no question.
    std::string m_keptMap;
    bool m_bInitialized = false;
};

} // namespace mapreg

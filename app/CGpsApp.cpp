#include "app/CGpsApp.h"

#include "app/AppStrings.h"
#include "app/CAboutDlg.h"
#include "app/CCommandGuard.h"
#include "app/CGpsView.h"
#include "app/CMainFrame.h"
#include "app/CPictureImport.h"
#include "app/CStraightenCommand.h"
#include "app/CToolbarArt.h"
#include "app/ShowFileResult.h"
#include "resources/StringTable.h"

#include "document/CDisplaySettings.h"
#include "document/CGpsDoc.h"
#include "framework/CAtomicFile.h"
#include "framework/CProfileWrites.h"
#include "framework/CSilentPrompt.h"
#include "framework/ProfileEntry.h"
#include "framework/qt/CQtSettingsProfile.h"
#include "framework/qt/CQtUserPrompt.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSessionManager>
#include <QStandardPaths>

#include <string>

namespace mapreg {

namespace {

// The recent maps, most recent first; an empty text is no map.
constexpr std::string_view kRecentSection = "Recent File List";
constexpr ProfileEntry<std::string> kRecentFileEntries[] = {{kRecentSection, "File1", ""},
                                                            {kRecentSection, "File2", ""},
                                                            {kRecentSection, "File3", ""},
                                                            {kRecentSection, "File4", ""}};
static_assert(std::size(kRecentFileEntries) == CGpsApp::kRecentFiles);

// The colour the screen really shows for a requested 0x00BBGGRR colour: itself on a true-colour
// screen; on a screen of fewer bits each channel keeps only the bits the screen has.
COLORREF NearestDisplayColor(COLORREF crRequested) {
    const QScreen* pScreen = QGuiApplication::primaryScreen();
    const int nDepth = pScreen != nullptr ? pScreen->depth() : 24;
    if (nDepth >= 24 || nDepth <= 0) {
        return crRequested;
    }
    // 16-bit screens: 5 bits red, 6 green, 5 blue; each channel widened back to 8 bits.
    const auto keep = [](COLORREF c, int nBits) {
        const COLORREF high = c >> (8 - nBits);
        return (high << (8 - nBits)) | (high >> (2 * nBits - 8));
    };
    const COLORREF r = keep(crRequested & 0xFFu, 5);
    const COLORREF g = keep((crRequested >> 8) & 0xFFu, 6);
    const COLORREF b = keep((crRequested >> 16) & 0xFFu, 5);
    return r | (g << 8) | (b << 16);
}

} // namespace

CGpsApp::CGpsApp(int& argc, char** argv)
    : QApplication(argc, argv), m_pSettings(std::make_unique<CDisplaySettings>()) {
    // No application display name: Qt would append it to every window title, and each
    // window already carries the title it should show.
    setApplicationName(AppString(AFX_IDS_APP_TITLE));
    setDesktopFileName(QStringLiteral("io.github.mapreg.Mapreg"));
    setWindowIcon(CToolbarArt::AppIcon());
    // The session ends (log off, shut down). Qt does not close the windows then, so the map
    // is looked after here; the manager is asked for interaction only when it is needed.
    connect(this, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        bool bInteracting = false;
        const bool bEnd = CommitData([&] {
            bInteracting = manager.allowsInteraction();
            return bInteracting;
        });
        if (bInteracting) {
            manager.release();
        }
        // Also without interaction: the manager then hears that the work was not kept.
        if (!bEnd) {
            manager.cancel();
        }
    });
    // Desktop requests that had to wait are tried again on this beat.
    m_shellRetry.setInterval(200);
    connect(&m_shellRetry, &QTimer::timeout, this, &CGpsApp::ProcessShellRequests);
}

CGpsApp::~CGpsApp() {
    ExitInstance();
}

CGpsApp* CGpsApp::Instance() {
    return qobject_cast<CGpsApp*>(QCoreApplication::instance());
}

QString CGpsApp::ProfilePath() {
    QString folder = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder)) {
        folder = QDir::homePath() + QStringLiteral("/.config");
    }
    return folder + QLatin1Char('/') + AppString(AFX_IDS_APP_TITLE) + QStringLiteral(".ini");
}

CUserPrompt& CGpsApp::Prompt() {
    if (m_pPromptOverride != nullptr) {
        return *m_pPromptOverride;
    }
    if (!m_pQtPrompt) {
        m_pQtPrompt = std::make_unique<CQtUserPrompt>();
    }
    return *m_pQtPrompt;
}

CProfile& CGpsApp::Profile() {
    if (!m_pProfile) {
        m_pProfile = std::make_unique<CQtSettingsProfile>(ProfilePath());
    }
    return *m_pProfile;
}

CDisplaySettings& CGpsApp::Settings() {
    return *m_pSettings;
}

bool CGpsApp::InitInstance(const QStringList& args) {
    ExitInstance();

    // The profile store: an INI file named after the application title.
    m_pProfile = std::make_unique<CQtSettingsProfile>(ProfilePath());
    LoadRecentFileList();

    // The document with its frame and view.
    m_pDoc = std::make_unique<CGpsDoc>(Prompt());
    // Through the prompt the document has at the time: none while saving without questions.
    m_pDoc->SetResultReporter([pDoc = m_pDoc.get()](const FileResult& result) {
        ShowFileResult(pDoc->Prompt(), result);
    });
    m_pFrame = std::make_unique<CMainFrame>(*this);
    if (m_pQtPrompt) {
        m_pQtPrompt->SetParent(m_pFrame.get());
    }
    m_pFrame->PreCreateWindow();

    // Display settings: a fresh start, then whatever the profile holds.
    CDisplaySettings& settings = Settings();
    settings.SetDefaults();
    settings.SetNearestColorFunction(NearestDisplayColor);
    settings.ReadColors(*m_pProfile);
    settings.ReadSpriteSize(*m_pProfile);
    settings.ReadFormats(*m_pProfile);

    if (!m_pFrame->OnCreate()) {
        ExitInstance();
        return false;
    }
    auto* pView = new CGpsView(*m_pDoc, settings, Prompt(), m_pFrame.get());
    m_pFrame->setCentralWidget(pView);
    m_pFrame->SetView(pView);
    if (!pView->OnCreate()) {
        ExitInstance();
        return false;
    }

    // The shell command: the map file of the command line, else a new document.
    const QString file = args.isEmpty() ? QString() : args.front();
    const bool bOk =
        file.isEmpty() ? m_pDoc->OnNewDocument() : OpenDocumentFile(file) == OpenResult::Opened;
    if (!bOk) {
        ExitInstance();
        return false;
    }
    pView->OnInitialUpdate();
    m_pFrame->UpdateCommandUI();
    m_pFrame->ShowWithStoredCommand();
    m_pFrame->setAcceptDrops(true);
    m_bInitialized = true;
    // Desktop requests that came while the program started.
    if (!m_shellRequests.empty()) {
        QMetaObject::invokeMethod(this, &CGpsApp::ProcessShellRequests, Qt::QueuedConnection);
    }
    return true;
}

void CGpsApp::ExitInstance() {
    m_bInitialized = false;
    m_shellRetry.stop();
    // The program ends before it could open them: their senders open the maps themselves.
    for (ShellRequest& request : m_shellRequests) {
        if (request.pReply) {
            request.pReply->Refuse();
        }
    }
    m_shellRequests.clear();
    m_keptMap.clear();
    if (m_pQtPrompt) {
        m_pQtPrompt->SetParent(nullptr);
    }
    // The view detaches from the document when the frame destroys it.
    m_pFrame.reset();
    m_pDoc.reset();
    m_pProfile.reset();
}

void CGpsApp::AfterDocumentChange() {
    if (m_pFrame) {
        m_pFrame->UpdateCommandUI();
    }
}

void CGpsApp::OnFileNew() {
    if (m_pDoc) {
        m_pDoc->FileNew();
    }
    AfterDocumentChange();
}

void CGpsApp::OnFileOpen() {
    if (!m_pDoc) {
        return;
    }
    const std::string filter =
        AppString(IDR_MAINFRAME).section(QLatin1Char('\n'), 3, 3).toStdString() + "|*" +
        AppString(IDR_MAINFRAME).section(QLatin1Char('\n'), 4, 4).toStdString() +
        "|All Files (*.*)|*.*||";
    const auto chosen = Prompt().ChooseFileToOpen(
        AppString(IDR_MAINFRAME).section(QLatin1Char('\n'), 4, 4).toStdString(), filter, "");
    if (chosen && !chosen->empty()) {
        OpenDocumentFile(QString::fromStdString(*chosen));
    }
    AfterDocumentChange();
}

void CGpsApp::OnFileSave() {
    if (m_pDoc && m_pDoc->FileSave()) {
        AddToRecentFileList(QString::fromStdString(m_pDoc->GetPathName()));
    }
    AfterDocumentChange();
}

void CGpsApp::OnFileSaveAs() {
    if (m_pDoc && m_pDoc->FileSaveAs()) {
        AddToRecentFileList(QString::fromStdString(m_pDoc->GetPathName()));
    }
    AfterDocumentChange();
}

CGpsApp::OpenResult CGpsApp::OpenDocumentFile(const QString& path) {
    if (!m_pDoc) {
        return OpenResult::Failed;
    }
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (IsOpenDocument(absolute)) {
        return OpenResult::Opened;
    }
    if (!m_pDoc->SaveModified()) {
        AfterDocumentChange();
        return OpenResult::Cancelled;
    }
    const bool bOk = m_pDoc->OpenFile(absolute.toStdString());
    if (bOk) {
        AddToRecentFileList(absolute);
    }
    AfterDocumentChange();
    return bOk ? OpenResult::Opened : OpenResult::Failed;
}

bool CGpsApp::IsOpenDocument(const QString& path) const {
    const QString open = m_pDoc ? QString::fromStdString(m_pDoc->GetPathName()) : QString();
    if (open.isEmpty()) {
        return false;
    }
    // The same file under another spelling (links, "..") counts as the same map.
    const QString a = QFileInfo(open).canonicalFilePath();
    const QString b = QFileInfo(path).canonicalFilePath();
    return a.isEmpty() || b.isEmpty() ? QFileInfo(open).absoluteFilePath() == path : a == b;
}

void CGpsApp::OpenRecentFile(int nIndex) {
    if (nIndex < 0 || nIndex >= m_recentFiles.size()) {
        return;
    }
    const QString path = m_recentFiles[nIndex];
    if (OpenDocumentFile(path) == OpenResult::Failed) {
        m_recentFiles.removeAll(path);
        SaveRecentFileList();
        if (m_pFrame) {
            m_pFrame->UpdateRecentFileMenu();
        }
    }
}

void CGpsApp::OpenFromShell(const QString& path, std::unique_ptr<IShellReply> pReply) {
    m_shellRequests.push_back({path, std::move(pReply)});
    if (IsInitialized()) {
        BringToFront();
    }
    ProcessShellRequests();
}

void CGpsApp::RequestOpen(const QString& path) {
    m_shellRequests.push_back({path, nullptr});
    QMetaObject::invokeMethod(this, &CGpsApp::ProcessShellRequests, Qt::QueuedConnection);
}

void CGpsApp::EndCommand() {
    if (--m_nCommands == 0 && !m_shellRequests.empty()) {
        // Once the command has fully returned to the event loop.
        QMetaObject::invokeMethod(this, &CGpsApp::ProcessShellRequests, Qt::QueuedConnection);
    }
}

void CGpsApp::BringToFront() {
    // A frame that was closed stays closed: the program is ending.
    if (!m_pFrame || !m_pFrame->isVisible()) {
        return;
    }
    if (m_pFrame->isMinimized()) {
        m_pFrame->showNormal();
    }
    m_pFrame->show();
    // A dialog open over the frame comes along; it is what the user has to answer first.
    QWidget* pTop = QApplication::activeModalWidget() != nullptr ? QApplication::activeModalWidget()
                                                                 : m_pFrame.get();
    pTop->raise();
    pTop->activateWindow();
}

void CGpsApp::ProcessShellRequests() {
    // A running command (which may spin an event loop, as a conversion's progress does) opens
    // the waiting requests when it ends.
    if (IsCommandRunning() || !IsInitialized() || !m_pDoc) {
        return;
    }
    // A map is opened where File Open could be chosen: not over a modal dialog or a menu, not
    // while the calibration marks are placed, and not in a window that has been closed (the
    // program ends, and refuses the request then).
    while (!m_shellRequests.empty()) {
        // A sender that gave up waiting opens the map itself.
        std::erase_if(m_shellRequests, [](const ShellRequest& request) {
            return request.pReply && !request.pReply->IsWaiting();
        });
        if (m_shellRequests.empty()) {
            break;
        }
        if (QApplication::activeModalWidget() != nullptr ||
            QApplication::activePopupWidget() != nullptr ||
            !m_pDoc->IsCommandEnabled(ID_FILE_OPEN) || !m_pFrame || !m_pFrame->isVisible()) {
            m_shellRetry.start();
            return;
        }
        const ShellRequest request = std::move(m_shellRequests.front());
        m_shellRequests.pop_front();
        if (request.pReply) {
            request.pReply->Accept();
        }
        const QString& path = request.path;
        if (!path.isEmpty()) {
            {
                const CCommandGuard guard;
                OpenDocumentFile(path);
            }
            if (!m_pDoc) {
                break;
            }
        }
    }
    m_shellRetry.stop();
}

bool CGpsApp::CanCloseDocument() {
    if (!m_pDoc) {
        return true;
    }
    // Work kept in a recovery file at the end of the session, unchanged since: the session
    // manager's quit that follows must not ask about it again.
    if (!m_keptMap.empty() && m_pDoc->IsModified()) {
        try {
            if (m_pDoc->BuildMapFile() == m_keptMap) {
                return true;
            }
        } catch (const std::exception&) {
            // Cannot compare: ask as usual.
        }
    }
    return m_pDoc->SaveModified();
}

bool CGpsApp::CommitData(const std::function<bool()>& askInteraction) {
    if (m_pFrame) {
        m_pFrame->SaveSettings();
    }
    if (!m_pDoc || !m_pDoc->IsModified()) {
        return true;
    }
    if (askInteraction()) {
        return CanCloseDocument();
    }
    // No one may be asked: the map is saved where it belongs, else kept in a recovery file.
    // When neither worked the session manager hears that nothing was kept.
    const std::string path = m_pDoc->GetPathName();
    if (!path.empty() && SaveWithoutQuestions(path)) {
        return true;
    }
    return WriteRecoveryFile();
}

bool CGpsApp::SaveWithoutQuestions(const std::string& path) {
    CSilentPrompt silent;
    CUserPrompt& prompt = m_pDoc->Prompt();
    m_pDoc->SetPrompt(silent);
    bool bSaved = false;
    try {
        bSaved = m_pDoc->DoSave(path);
    } catch (const std::exception&) {
        bSaved = false;
    }
    m_pDoc->SetPrompt(prompt);
    return bSaved;
}

QString CGpsApp::RecoveryFolder() {
    QString folder = qEnvironmentVariable("XDG_STATE_HOME");
    if (folder.isEmpty() || !QDir::isAbsolutePath(folder)) {
        folder = QDir::homePath() + QStringLiteral("/.local/state");
    }
    return folder + QLatin1Char('/') + AppString(AFX_IDS_APP_TITLE);
}

bool CGpsApp::WriteRecoveryFile() {
    const QString folder = RecoveryFolder();
    if (!QDir().mkpath(folder)) {
        return false;
    }
    // "<title> <date and time>.gpm": a new file for every session end, never one of the user's.
    const QString name =
        QFileInfo(QString::fromStdString(m_pDoc->GetTitle())).completeBaseName() +
        QLatin1Char(' ') +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hhmmss")) +
        QStringLiteral(".gpm");
    try {
        std::string bytes = m_pDoc->BuildMapFile();
        if (CAtomicFile::Write((folder + QLatin1Char('/') + name).toStdString(), bytes).IsError()) {
            return false;
        }
        m_keptMap = std::move(bytes);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void CGpsApp::OnDocumentCommand(unsigned nCommandId) {
    if (!m_pDoc) {
        return;
    }
    bool straighten = false;
    if (nCommandId == ID_MAP_NEW_BITMAP) {
        // New Bitmap takes pictures of every format, which the document alone cannot convert.
        straighten = m_pDoc->IsCommandEnabled(nCommandId) &&
                     CPictureImport(*m_pDoc, Prompt(), m_pFrame.get()).OnNewBitmap();
    } else if (nCommandId == ID_MAP_STRAIGHTEN) {
        straighten = IsStraightenEnabled();
    } else {
        const bool wasCalibrating = m_pDoc->IsCalibrationMode();
        m_pDoc->OnCommand(nCommandId);
        // A calibration committed by hand that the device would show more than a pixel away
        // is said once, with the offer to straighten it.
        straighten = nCommandId == ID_CALIBRATE_SET_COORDINATES && wasCalibrating &&
                     !m_pDoc->IsCalibrationMode() && m_pDoc->IsCalibrated() &&
                     CStraightenCommand(*m_pDoc, Prompt(), m_pFrame.get()).OfferAfterCalibration();
    }
    if (straighten) {
        if (const auto map = CStraightenCommand(*m_pDoc, Prompt(), m_pFrame.get()).Run()) {
            OpenDocumentFile(QString::fromStdString(*map));
        }
    }
    AfterDocumentChange();
}

bool CGpsApp::IsStraightenEnabled() const {
    return m_pDoc && !m_pDoc->IsCalibrationMode() && m_pDoc->IsCalibrated() &&
           !m_pDoc->GetBitmapPath().empty();
}

void CGpsApp::OnAppAbout() {
    CAboutDlg dlg(m_pFrame.get());
    dlg.exec();
}

void CGpsApp::LoadRecentFileList() {
    m_recentFiles.clear();
    for (const auto& entry : kRecentFileEntries) {
        const QString file = QString::fromStdString(entry.Get(*m_pProfile));
        if (!file.isEmpty() && !m_recentFiles.contains(file)) {
            m_recentFiles.append(file);
        }
    }
}

void CGpsApp::AddToRecentFileList(const QString& path) {
    if (path.isEmpty()) {
        return;
    }
    m_recentFiles.removeAll(path);
    m_recentFiles.prepend(path);
    while (m_recentFiles.size() > kRecentFiles) {
        m_recentFiles.removeLast();
    }
    SaveRecentFileList();
    if (m_pFrame) {
        m_pFrame->UpdateRecentFileMenu();
    }
}

void CGpsApp::SaveRecentFileList() {
    if (!m_pProfile) {
        return;
    }
    const CProfileWrites writes(*m_pProfile);
    for (std::size_t i = 0; i < std::size(kRecentFileEntries); ++i) {
        const QString file = m_recentFiles.value(static_cast<qsizetype>(i));
        kRecentFileEntries[i].Set(*m_pProfile, file.toStdString());
    }
}

} // namespace mapreg

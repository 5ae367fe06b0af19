#include "app/CMainFrame.h"

#include "app/CStraightenCommand.h"

#include "app/AppStrings.h"
#include "app/CCommandGuard.h"
#include "app/CControlPointsDock.h"
#include "app/CDisplayFormatDlg.h"
#include "app/CGpsApp.h"
#include "app/CGpsView.h"
#include "app/CToolbarArt.h"
#include "app/RecentFileNames.h"
#include "app/ShowFileResult.h"
#include "resources/StringTable.h"

#include "app/CDeviceExportCommand.h"
#include "display/CMapZoom.h"
#include "document/CDisplaySettings.h"
#include "document/CGpsDoc.h"
#include "document/CMapExporter.h"
#include "framework/CProfileWrites.h"
#include "framework/CUserPrompt.h"
#include "framework/ProfileEntry.h"
#include "georef/CPointFit.h"
#include "georef/CalibrationCheck.h"
#include "georef/PixelGround.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QPalette>

#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <cmath>

#include <string>

namespace mapreg {

namespace {

// The device pane's text colour when the device puts the map more than a pixel off.
constexpr QRgb kDeviceWarningColor = 0xB00000;

// Placement rectangles beyond this are no rectangles a screen can show.
constexpr int kMaxCoordinate = 1 << 20;

bool IsCoordinate(int n) {
    return n > -kMaxCoordinate && n < kMaxCoordinate;
}

// The window placement. A missing edge reads as kNoPlacement, and so does one far outside any
// screen, where the window's size would overflow.
constexpr int kNoPlacement = CMainFrame::kNoPlacement;
constexpr ProfileEntry<int> kShowCommand{kSettingsSection, "cmdShow", kNoPlacement};
constexpr ProfileEntry<int> kLeft{kSettingsSection, "left", kNoPlacement, IsCoordinate};
constexpr ProfileEntry<int> kTop{kSettingsSection, "top", kNoPlacement, IsCoordinate};
constexpr ProfileEntry<int> kRight{kSettingsSection, "right", kNoPlacement, IsCoordinate};
constexpr ProfileEntry<int> kBottom{kSettingsSection, "bottom", kNoPlacement, IsCoordinate};
constexpr std::string_view kToolbarSection = "Toolbar";
constexpr ProfileEntry<std::string> kToolbarState{kToolbarSection, "State", ""};
// The status bar is no part of the window's saved state; its visibility is kept beside it.
constexpr ProfileEntry<bool> kStatusBarShown{kToolbarSection, "StatusBar", true};

// The zoom commands, in the order of the View menu and the toolbar.
constexpr unsigned kZoomCommands[] = {ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_ZOOM_ACTUAL_SIZE,
                                      ID_VIEW_ZOOM_FIT};

} // namespace

CMainFrame::CMainFrame(CGpsApp& app) : m_app(app) {
    setObjectName(QStringLiteral("mainFrame"));
    // The frame follows the document's calibration mode like a view follows its picture.
    if (CGpsDoc* pDoc = m_app.Document()) {
        pDoc->AddView(this);
    }
}

CMainFrame::~CMainFrame() {
    // The dock would report being hidden while QWidget's destructor closes the window, when this
    // frame is no longer one.
    if (m_pPointsDock != nullptr) {
        disconnect(m_pPointsDock, nullptr, this, nullptr);
    }
    if (CGpsDoc* pDoc = m_app.Document()) {
        pDoc->RemoveView(this);
    }
}

void CMainFrame::OnUpdate(CDocument* /*pSender*/, int nHint) {
    const auto hint = static_cast<UpdateHint>(nHint);
    const CGpsDoc* pDoc = m_app.Document();
    // The bar is rebuilt only when the mode changed: a new bar lays the window out anew.
    if (hint == UpdateHint::HINT_CALIBRATION_MODE && pDoc != nullptr) {
        if (pDoc->IsCalibrationMode() != m_bCalibrationMenu) {
            SwitchMenu(pDoc->IsCalibrationMode());
        } else {
            UpdateCommandUI();
        }
    }
    // Apply and Delete Point follow the points wherever they were changed.
    if ((hint == UpdateHint::HINT_CONTROL_POINTS || hint == UpdateHint::HINT_REFRESH) &&
        CommandAction(ID_MAP_APPLY_POINTS) != nullptr) {
        UpdateCommandUI();
    }
    UpdateDevicePane();
}

void CMainFrame::UpdateGroundPane() {
    const CGpsDoc* pDoc = m_app.Document();
    if (m_pGroundPane == nullptr) {
        return;
    }
    const SPixelGround ground =
        pDoc != nullptr && pDoc->IsCalibrated()
            ? PixelGroundAt(pDoc->GetCalibration(),
                            {pDoc->GetMapWidth() / 2.0, pDoc->GetMapHeight() / 2.0})
            : SPixelGround{std::nan(""), std::nan(""), std::nan("")};
    const bool bShown = std::isfinite(ground.xMetres) && std::isfinite(ground.yMetres) &&
                        std::isfinite(ground.rotationDegrees);
    m_pGroundPane->setVisible(bShown);
    if (!bShown) {
        return;
    }
    // Three significant digits for the usual sizes; whole metres from 100 m on.
    const auto metres = [](double value) {
        return QString::number(value, 'f', value < 10.0 ? 2 : (value < 100.0 ? 1 : 0));
    };
    // A turn that rounds to zero shows as 0.0, never as -0.0.
    const double rotation = std::abs(ground.rotationDegrees) < 0.05 ? 0.0 : ground.rotationDegrees;
    m_pGroundPane->setText(AppString(IDS_PANE_GROUND)
                               .arg(metres(ground.xMetres), metres(ground.yMetres),
                                    QString::number(rotation, 'f', 1)));
}

QLabel* CMainFrame::DevicePane() {
    if (m_bDevicePaneDue) {
        m_bFirstPaintDone = true;
        UpdateDevicePane();
    }
    return m_pDevicePane;
}

QLabel* CMainFrame::GroundPane() {
    DevicePane();
    return m_pGroundPane;
}

void CMainFrame::UpdateDevicePane() {
    const CGpsDoc* pDoc = m_app.Document();
    if (m_pDevicePane == nullptr) {
        return;
    }
    if (!m_bFirstPaintDone) {
        m_bDevicePaneDue = true;
        return;
    }
    m_bDevicePaneDue = false;
    // The ground pane needs the same geodesics: it waits and follows with the device pane.
    UpdateGroundPane();
    const auto error = pDoc != nullptr ? CStraightenCommand::Of(*pDoc)
                                       : CStraightenCommand::DeviceError{std::nan(""), false};
    m_pDevicePane->setVisible(std::isfinite(error.metres));
    if (!std::isfinite(error.metres)) {
        return;
    }
    m_pDevicePane->setText(AppFormatString1(
        IDS_PANE_DEVICE, QString::number(std::llround(std::min(error.metres, 1e15)))));
    QPalette palette = m_pDevicePane->palette();
    palette.setColor(QPalette::WindowText, error.visible
                                               ? QColor(kDeviceWarningColor)
                                               : this->palette().color(QPalette::WindowText));
    m_pDevicePane->setPalette(palette);
}

void CMainFrame::PreCreateWindow() {
    const CProfile& profile = m_app.Profile();
    const int nShow = kShowCommand.Get(profile);
    int nLeft = kLeft.Get(profile);
    int nTop = kTop.Get(profile);
    const int nRight = kRight.Get(profile);
    const int nBottom = kBottom.Get(profile);

    const QRect rcScreen = QGuiApplication::primaryScreen() != nullptr
                               ? QGuiApplication::primaryScreen()->geometry()
                               : QRect(0, 0, 1024, 768);
    m_bPlacementRestored = false;
    m_nShowCommand = kShowNormal;
    const bool bMissing = nShow == kNoPlacement || nLeft == kNoPlacement || nTop == kNoPlacement ||
                          nRight == kNoPlacement || nBottom == kNoPlacement;
    // A rectangle with no area is as good as missing: the window would be invisible.
    const bool bUsable = !bMissing && nRight > nLeft && nBottom > nTop;
    if (!bUsable) {
        // Default place and size: three quarters of the screen, centred.
        const QSize size(rcScreen.width() * 3 / 4, rcScreen.height() * 3 / 4);
        m_rcCreate = QRect(QPoint(rcScreen.left() + (rcScreen.width() - size.width()) / 2,
                                  rcScreen.top() + (rcScreen.height() - size.height()) / 2),
                           size);
        setGeometry(m_rcCreate);
        return;
    }
    // Keep at least an icon's width and height of the window on the screen.
    const int nIcon = style()->pixelMetric(QStyle::PM_LargeIconSize);
    if (nLeft >= rcScreen.width() - nIcon) {
        nLeft = rcScreen.width() - nIcon;
    }
    if (nTop >= rcScreen.height() - nIcon) {
        nTop = rcScreen.height() - nIcon;
    }
    m_rcCreate = QRect(nLeft, nTop, nRight - nLeft, nBottom - nTop);
    setGeometry(m_rcCreate);
    // A window that was closed minimized opens in its normal state.
    m_nShowCommand = nShow == kShowMaximized ? kShowMaximized : kShowNormal;
    m_bPlacementRestored = true;
}

bool CMainFrame::OnCreate() {
    CreateActions();
    setMenuBar(BuildNormalMenu());
    m_bCalibrationMenu = false;
    CreateToolBar();
    CreateStatusBar();
    UpdateRecentFileMenu();

    const std::string state = kToolbarState.Get(m_app.Profile());
    if (!state.empty()) {
        restoreState(QByteArray::fromBase64(QByteArray::fromStdString(state)));
    }
    CommandAction(ID_VIEW_TOOLBAR)->setChecked(!m_pToolBar->isHidden());
    if (!kStatusBarShown.Get(m_app.Profile())) {
        statusBar()->hide();
    }
    CommandAction(ID_VIEW_STATUS_BAR)->setChecked(!statusBar()->isHidden());
    setAcceptDrops(false); // the application turns it on once it has started
    return true;
}

void CMainFrame::ShowWithStoredCommand() {
    if (m_nShowCommand == kShowMaximized) {
        showMaximized();
    } else {
        show();
    }
}

QAction* CMainFrame::MakeAction(unsigned nCommandId, const QString& text) {
    auto* pAction = new QAction(text, this);
    pAction->setObjectName(CommandName(nCommandId));
    pAction->setData(nCommandId);
    pAction->setStatusTip(CommandPrompt(nCommandId));
    pAction->setToolTip(CommandTooltip(nCommandId));
    connect(pAction, &QAction::triggered, this, [this, nCommandId] { OnCommand(nCommandId); });
    return pAction;
}

void CMainFrame::CreateActions() {
    struct Command {
        unsigned nId;
        unsigned nTextId;
        QList<QKeySequence> keys;
    };
    // The accelerator table is the same in both menu states: every shortcut lives on one
    // action that belongs to the window, whichever menu bar is shown.
    const Command commands[] = {
        {ID_FILE_NEW, IDS_MENU_FILE_NEW, {QKeySequence(Qt::CTRL | Qt::Key_N)}},
        {ID_FILE_OPEN, IDS_MENU_FILE_OPEN, {QKeySequence(Qt::CTRL | Qt::Key_O)}},
        {ID_FILE_SAVE, IDS_MENU_FILE_SAVE, {QKeySequence(Qt::CTRL | Qt::Key_S)}},
        {ID_FILE_SAVE_AS, IDS_MENU_FILE_SAVE_AS, {}},
        {ID_FILE_EXPORT_WORLD_FILE, IDS_MENU_EXPORT_WORLD_FILE, {}},
        {ID_FILE_EXPORT_GPX, IDS_MENU_EXPORT_GPX, {}},
        {ID_FILE_EXPORT_OZI_MAP, IDS_MENU_EXPORT_OZI_MAP, {}},
        {ID_FILE_EXPORT_KMZ, IDS_MENU_EXPORT_KMZ, {}},
        {ID_FILE_EXPORT_MBTILES, IDS_MENU_EXPORT_MBTILES, {}},
        {ID_FILE_EXPORT_GEOTIFF, IDS_MENU_EXPORT_GEOTIFF, {}},
        {ID_APP_EXIT, IDS_MENU_FILE_EXIT, {QKeySequence(Qt::ALT | Qt::Key_F4)}},
        {ID_MAP_NEW_BITMAP, IDS_MENU_NEW_BITMAP, {QKeySequence(Qt::Key_F2)}},
        {ID_MAP_CALIBRATE, IDS_MENU_CALIBRATE, {QKeySequence(Qt::SHIFT | Qt::Key_F2)}},
        {ID_MAP_STRAIGHTEN, IDS_MENU_STRAIGHTEN, {}},
        {ID_VIEW_TOOLBAR, IDS_MENU_VIEW_TOOLBAR, {}},
        {ID_VIEW_STATUS_BAR, IDS_MENU_VIEW_STATUS_BAR, {}},
        {ID_VIEW_ZOOM_IN,
         IDS_MENU_ZOOM_IN,
         {QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}},
        {ID_VIEW_ZOOM_OUT, IDS_MENU_ZOOM_OUT, {QKeySequence(Qt::CTRL | Qt::Key_Minus)}},
        {ID_VIEW_ZOOM_ACTUAL_SIZE, IDS_MENU_ZOOM_ACTUAL_SIZE, {QKeySequence(Qt::CTRL | Qt::Key_0)}},
        {ID_VIEW_ZOOM_FIT, IDS_MENU_ZOOM_FIT, {QKeySequence(Qt::CTRL | Qt::Key_9)}},
        {ID_SETTINGS_DISPLAY_FORMAT, IDS_MENU_DISPLAY_FORMAT, {}},
        {ID_APP_ABOUT, IDS_MENU_ABOUT, {}},
        {ID_CALIBRATE_SET_COORDINATES,
         IDS_MENU_SET_MARK_COORDINATES,
         {QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)}},
        {ID_CALIBRATE_CANCEL, IDS_MENU_CANCEL_CALIBRATION, {QKeySequence(Qt::Key_Escape)}},
        {ID_VIEW_FIND_POSITION, 0, {QKeySequence(Qt::CTRL | Qt::Key_F)}},
        {ID_ENTER_WAYPOINTS, 0, {}},
        {ID_SAVE_WAYPOINTS, 0, {}},
        {ID_MAP_CONTROL_POINTS, IDS_MENU_CONTROL_POINTS, {}},
        {ID_MAP_APPLY_POINTS, IDS_MENU_APPLY_POINTS, {}},
        {ID_EDIT_DELETE_POINT, IDS_MENU_DELETE_POINT, {QKeySequence(Qt::Key_Delete)}},
    };
    for (const Command& command : commands) {
        const QString text =
            command.nTextId != 0 ? AppString(command.nTextId) : CommandTooltip(command.nId);
        QAction* pAction = MakeAction(command.nId, text);
        pAction->setShortcuts(command.keys);
        // The menu text carries its own shortcut label after the tab.
        pAction->setShortcutVisibleInContextMenu(false);
        addAction(pAction);
        m_actions[command.nId] = pAction;
    }
    CommandAction(ID_VIEW_TOOLBAR)->setCheckable(true);
    CommandAction(ID_VIEW_STATUS_BAR)->setCheckable(true);
    CommandAction(ID_MAP_CONTROL_POINTS)->setCheckable(true);
    CommandAction(ID_VIEW_TOOLBAR)->setChecked(true);
    CommandAction(ID_VIEW_STATUS_BAR)->setChecked(true);
    // Toggles report their new state through OnCommand like every other command.
    for (unsigned nId : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_MAP_CONTROL_POINTS}) {
        QAction* pToggle = CommandAction(nId);
        disconnect(pToggle, &QAction::triggered, this, nullptr);
        connect(pToggle, &QAction::toggled, this, [this, nId] { OnCommand(nId); });
    }

    if (CGpsDoc* pDoc = m_app.Document()) {
        m_pUndo = pDoc->GetUndoStack().createUndoAction(this, AppString(IDS_UNDO));
        m_pUndo->setObjectName(QStringLiteral("editUndo"));
        m_pUndo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
        m_pRedo = pDoc->GetUndoStack().createRedoAction(this, AppString(IDS_REDO));
        m_pRedo->setObjectName(QStringLiteral("editRedo"));
        m_pRedo->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
        addAction(m_pUndo);
        addAction(m_pRedo);
    }

    m_pAboutShort = MakeAction(ID_APP_ABOUT, AppString(IDS_MENU_ABOUT_SHORT));
    m_pAboutShort->setObjectName(CommandName(ID_APP_ABOUT) + QStringLiteral("short"));

    m_pRecentPlaceholder = new QAction(AppString(IDS_MENU_RECENT_FILE), this);
    m_pRecentPlaceholder->setObjectName(CommandName(ID_FILE_MRU_FILE1) + QStringLiteral("none"));
    m_pRecentPlaceholder->setEnabled(false);
    for (int i = 0; i < static_cast<int>(m_recentActions.size()); ++i) {
        const unsigned nId = ID_FILE_MRU_FILE1 + static_cast<unsigned>(i);
        auto* pAction = new QAction(this);
        pAction->setObjectName(CommandName(nId));
        pAction->setData(nId);
        pAction->setStatusTip(CommandPrompt(ID_FILE_MRU_FILE1));
        connect(pAction, &QAction::triggered, this, [this, i] { OnRecentFile(i); });
        m_recentActions[static_cast<std::size_t>(i)] = pAction;
    }
}

void CMainFrame::AddViewItems(QMenu* pView) {
    pView->addAction(CommandAction(ID_VIEW_TOOLBAR));
    pView->addAction(CommandAction(ID_VIEW_STATUS_BAR));
    pView->addSeparator();
    for (unsigned nId : kZoomCommands) {
        pView->addAction(CommandAction(nId));
    }
}

QMenuBar* CMainFrame::BuildNormalMenu() {
    auto* pBar = new QMenuBar;
    pBar->setObjectName(QStringLiteral("menu128"));
    QMenu* pFile = pBar->addMenu(AppString(IDS_MENU_FILE));
    pFile->addAction(CommandAction(ID_FILE_NEW));
    pFile->addAction(CommandAction(ID_FILE_OPEN));
    pFile->addAction(CommandAction(ID_FILE_SAVE));
    pFile->addAction(CommandAction(ID_FILE_SAVE_AS));
    QMenu* pExport = pFile->addMenu(AppString(IDS_MENU_FILE_EXPORT));
    pExport->setObjectName(QStringLiteral("menuExport"));
    pExport->addAction(CommandAction(ID_FILE_EXPORT_WORLD_FILE));
    pExport->addAction(CommandAction(ID_FILE_EXPORT_GPX));
    pExport->addAction(CommandAction(ID_FILE_EXPORT_OZI_MAP));
    pExport->addSeparator();
    for (unsigned nId : {ID_FILE_EXPORT_KMZ, ID_FILE_EXPORT_MBTILES, ID_FILE_EXPORT_GEOTIFF}) {
        pExport->addAction(CommandAction(nId));
    }
    pFile->addSeparator();
    pFile->addAction(m_pRecentPlaceholder);
    for (QAction* pRecent : m_recentActions) {
        pFile->addAction(pRecent);
    }
    pFile->addSeparator();
    pFile->addAction(CommandAction(ID_APP_EXIT));

    if (m_pUndo != nullptr) {
        QMenu* pEdit = pBar->addMenu(AppString(IDS_MENU_EDIT));
        pEdit->addAction(m_pUndo);
        pEdit->addAction(m_pRedo);
        pEdit->addSeparator();
        pEdit->addAction(CommandAction(ID_EDIT_DELETE_POINT));
        connect(pEdit, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    }

    QMenu* pMap = pBar->addMenu(AppString(IDS_MENU_MAP));
    pMap->addAction(CommandAction(ID_MAP_NEW_BITMAP));
    pMap->addAction(CommandAction(ID_MAP_CALIBRATE));
    pMap->addSeparator();
    pMap->addAction(CommandAction(ID_MAP_STRAIGHTEN));
    pMap->addSeparator();
    pMap->addAction(CommandAction(ID_MAP_CONTROL_POINTS));
    pMap->addAction(CommandAction(ID_MAP_APPLY_POINTS));

    QMenu* pView = pBar->addMenu(AppString(IDS_MENU_VIEW));
    AddViewItems(pView);

    QMenu* pSettings = pBar->addMenu(AppString(IDS_MENU_SETTINGS));
    pSettings->addAction(CommandAction(ID_SETTINGS_DISPLAY_FORMAT));

    QMenu* pHelp = pBar->addMenu(AppString(IDS_MENU_HELP));
    pHelp->addAction(CommandAction(ID_APP_ABOUT));

    for (QMenu* pMenu : {pFile, pExport, pMap, pView, pSettings, pHelp}) {
        connect(pMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    }
    return pBar;
}

QMenuBar* CMainFrame::BuildCalibrationMenu() {
    auto* pBar = new QMenuBar;
    pBar->setObjectName(QStringLiteral("menu133"));
    QMenu* pFile = pBar->addMenu(AppString(IDS_MENU_FILE));
    pFile->addAction(CommandAction(ID_APP_EXIT));

    QMenu* pCalibrate = pBar->addMenu(AppString(IDS_MENU_CALIBRATION));
    pCalibrate->addAction(CommandAction(ID_CALIBRATE_SET_COORDINATES));
    pCalibrate->addAction(CommandAction(ID_CALIBRATE_CANCEL));

    QMenu* pView = pBar->addMenu(AppString(IDS_MENU_VIEW));
    AddViewItems(pView);

    QMenu* pHelp = pBar->addMenu(AppString(IDS_MENU_HELP));
    pHelp->addAction(m_pAboutShort);

    for (QMenu* pMenu : {pFile, pCalibrate, pView, pHelp}) {
        connect(pMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
    }
    return pBar;
}

void CMainFrame::CreateToolBar() {
    m_pToolBar = new QToolBar(this);
    // The name under which saveState and restoreState know the bar.
    m_pToolBar->setObjectName(QStringLiteral("Toolbar"));
    m_pToolBar->setWindowTitle(CommandTooltip(ID_VIEW_TOOLBAR));
    m_pToolBar->setIconSize(QSize(CToolbarArt::kButtonWidth, CToolbarArt::kButtonHeight));
    m_pToolBar->setAllowedAreas(Qt::AllToolBarAreas);
    m_pToolBar->setMovable(true);
    m_pToolBar->setFloatable(true);
    // The bar's own hide/show entry in context menus must not bypass the View menu's state.
    m_pToolBar->toggleViewAction()->setVisible(false);

    const unsigned buttons[] = {ID_FILE_NEW,
                                ID_FILE_OPEN,
                                ID_FILE_SAVE,
                                ID_MAP_NEW_BITMAP,
                                ID_MAP_CALIBRATE,
                                0,
                                ID_ENTER_WAYPOINTS,
                                0,
                                ID_SAVE_WAYPOINTS,
                                0,
                                ID_VIEW_ZOOM_IN,
                                ID_VIEW_ZOOM_OUT,
                                ID_VIEW_ZOOM_ACTUAL_SIZE,
                                ID_VIEW_ZOOM_FIT,
                                0,
                                ID_APP_ABOUT};
    for (unsigned nId : buttons) {
        if (nId == 0) {
            m_pToolBar->addSeparator();
            continue;
        }
        QAction* pAction = CommandAction(nId);
        pAction->setIcon(QIcon(CToolbarArt::ButtonImage(nId)));
        m_pToolBar->addAction(pAction);
    }
    // The menus show text only; the pictures belong to the toolbar.
    for (auto& [nId, pAction] : m_actions) {
        pAction->setIconVisibleInMenu(false);
    }
    addToolBar(Qt::TopToolBarArea, m_pToolBar);
    connect(m_pToolBar, &QToolBar::visibilityChanged, this, [this](bool bVisible) {
        // Follows a bar closed while floating; ignored while the window itself is hidden.
        if (isVisible()) {
            const QSignalBlocker block(CommandAction(ID_VIEW_TOOLBAR));
            CommandAction(ID_VIEW_TOOLBAR)->setChecked(bVisible);
        }
    });
}

void CMainFrame::CreateStatusBar() {
    QStatusBar* pBar = statusBar();
    pBar->setObjectName(QStringLiteral("statusBar"));
    m_panes[0] = new QLabel(AppString(AFX_IDS_IDLEMESSAGE));
    m_panes[0]->setObjectName(QStringLiteral("pane0"));
    m_panes[0]->setTextFormat(Qt::PlainText);
    m_panes[0]->setMinimumWidth(1);
    pBar->addWidget(m_panes[0], 1);

    // Panes 1 to 3 are sized from the average character width of the application font.
    const int nCharWidth = QFontMetrics(QApplication::font()).averageCharWidth();
    const unsigned widths[] = {IDS_PANE_1, IDS_PANE_2, IDS_PANE_3};
    for (int i = 1; i < 4; ++i) {
        const unsigned nTextId = widths[i - 1];
        auto* pPane = new QLabel;
        pPane->setObjectName(QStringLiteral("pane%1").arg(i));
        pPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        const auto nChars = static_cast<int>(LoadStringId(nTextId).size()) + 1;
        pPane->setFixedWidth(nChars * nCharWidth);
        if (nTextId == IDS_PANE_3) {
            pPane->setText(AppString(IDS_PANE_3));
        }
        pBar->addPermanentWidget(pPane);
        m_panes[static_cast<std::size_t>(i)] = pPane;
    }
    m_pZoomPane = new QLabel(AppFormatString1(IDS_ZOOM_PERCENT, QStringLiteral("100")));
    m_pZoomPane->setObjectName(QStringLiteral("paneZoom"));
    m_pZoomPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pZoomPane->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Sized from the widest level's real text: digits are wider than the average character.
    m_pZoomPane->setFixedWidth(
        m_pZoomPane->fontMetrics().horizontalAdvance(AppString(IDS_PANE_ZOOM)) +
        2 * m_pZoomPane->frameWidth() + nCharWidth);
    pBar->addPermanentWidget(m_pZoomPane);

    m_pGroundPane = new QLabel;
    m_pGroundPane->setObjectName(QStringLiteral("paneGround"));
    m_pGroundPane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pGroundPane->setToolTip(AppString(IDS_PANE_GROUND_TIP));
    pBar->addPermanentWidget(m_pGroundPane);
    m_pGroundPane->hide();

    m_pDevicePane = new QLabel;
    m_pDevicePane->setObjectName(QStringLiteral("paneDevice"));
    m_pDevicePane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_pDevicePane->setToolTip(AppString(IDS_PANE_DEVICE_TIP));
    pBar->addPermanentWidget(m_pDevicePane);
    UpdateDevicePane();
}

void CMainFrame::SetView(CGpsView* pView) {
    if (m_pView != nullptr) {
        disconnect(m_pView, nullptr, this, nullptr);
    }
    m_pView = pView;
    if (m_pView != nullptr) {
        connect(m_pView, &CGpsView::zoomChanged, this, &CMainFrame::OnZoomChanged);
        connect(m_pView, &CGpsView::statusTextChanged, this, &CMainFrame::SetStatusText);
        connect(m_pView, &CGpsView::firstPainted, this, &CMainFrame::OnFirstPaint);
        connect(m_pView, &CGpsView::selectedPointChanged, this, &CMainFrame::UpdateCommandUI);
    }
    delete m_pPointsDock;
    m_pPointsDock = nullptr;
    m_bPointsDockDue = m_pView != nullptr && m_app.Document() != nullptr &&
                       CommandAction(ID_MAP_APPLY_POINTS) != nullptr;
    // A view that has painted already (a view set again) gets its table at once.
    if (m_bFirstPaintDone) {
        CreatePointsDock();
    }
    OnZoomChanged();
}

CControlPointsDock* CMainFrame::PointsDock() {
    CreatePointsDock();
    return m_pPointsDock;
}

void CMainFrame::CreatePointsDock() {
    CGpsDoc* pDoc = m_app.Document();
    if (!m_bPointsDockDue || m_pView == nullptr || pDoc == nullptr) {
        return;
    }
    m_bPointsDockDue = false;
    m_pPointsDock =
        new CControlPointsDock(*pDoc, *m_pView, CommandAction(ID_MAP_APPLY_POINTS), this);
    m_pPointsDock->toggleViewAction()->setVisible(false);
    addDockWidget(Qt::RightDockWidgetArea, m_pPointsDock);
    m_pPointsDock->hide();
    // While the table is shown, the mouse places control points.
    connect(m_pPointsDock, &QDockWidget::visibilityChanged, this, [this] {
        const bool bShown = !m_pPointsDock->isHidden();
        m_pView->SetControlPointMode(bShown);
        const QSignalBlocker block(CommandAction(ID_MAP_CONTROL_POINTS));
        CommandAction(ID_MAP_CONTROL_POINTS)->setChecked(bShown);
    });
}

void CMainFrame::OnFirstPaint() {
    // Once the paint has reached the screen.
    QTimer::singleShot(0, this, [this] {
        m_bFirstPaintDone = true;
        if (m_bDevicePaneDue) {
            UpdateDevicePane();
        }
        CreatePointsDock();
    });
}

void CMainFrame::OnZoomChanged() {
    const bool bPicture = m_pView != nullptr && m_pView->HasPicture();
    const CMapZoom zoom = m_pView != nullptr ? m_pView->Zoom() : CMapZoom();
    if (m_pZoomPane != nullptr) {
        m_pZoomPane->setText(AppFormatString1(IDS_ZOOM_PERCENT, QString::number(zoom.Percent())));
    }
    if (CommandAction(ID_VIEW_ZOOM_IN) == nullptr) {
        return;
    }
    CommandAction(ID_VIEW_ZOOM_IN)->setEnabled(bPicture && !(zoom.NextIn() == zoom));
    CommandAction(ID_VIEW_ZOOM_OUT)->setEnabled(bPicture && !(zoom.NextOut() == zoom));
    CommandAction(ID_VIEW_ZOOM_ACTUAL_SIZE)->setEnabled(bPicture);
    CommandAction(ID_VIEW_ZOOM_FIT)->setEnabled(bPicture);
}

void CMainFrame::SetStatusText(const QString& text) {
    if (m_panes[0] == nullptr) {
        return;
    }
    if (m_panes[0]->text() != text) {
        m_panes[0]->setText(text);
        m_panes[0]->repaint();
    }
}

QString CMainFrame::StatusText() const {
    return m_panes[0] != nullptr ? m_panes[0]->text() : QString();
}

QLabel* CMainFrame::StatusPane(int nPane) const {
    return nPane >= 0 && nPane < 4 ? m_panes[static_cast<std::size_t>(nPane)] : nullptr;
}

QAction* CMainFrame::CommandAction(unsigned nCommandId) const {
    const auto it = m_actions.find(nCommandId);
    return it != m_actions.end() ? it->second : nullptr;
}

void CMainFrame::SwitchToCalibrationMenu() {
    SwitchMenu(true);
}

void CMainFrame::SwitchToNormalMenu() {
    SwitchMenu(false);
}

bool CMainFrame::SwitchMenu(bool bCalibration) {
    if (menuWidget() == nullptr) {
        m_app.Prompt().MessageBoxId(IDS_CANNOT_SWITCH_MENUS, MsgIcon::Stop);
        // Close through the normal path, after the command that asked has returned.
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
        return false;
    }
    // setMenuBar deletes the bar shown before.
    setMenuBar(bCalibration ? BuildCalibrationMenu() : BuildNormalMenu());
    m_bCalibrationMenu = bCalibration;
    UpdateCommandUI();
    return true;
}

void CMainFrame::UpdateRecentFileMenu() {
    const QStringList files = m_app.RecentFiles();
    const QStringList names = RecentFileMenuNames(files);
    m_pRecentPlaceholder->setVisible(files.isEmpty());
    for (int i = 0; i < static_cast<int>(m_recentActions.size()); ++i) {
        QAction* pAction = m_recentActions[static_cast<std::size_t>(i)];
        if (i < files.size()) {
            // "&1 name": the entry's number is its mnemonic; && keeps a literal ampersand.
            QString name = names[i];
            name.replace(QLatin1Char('&'), QStringLiteral("&&"));
            pAction->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(name));
            pAction->setToolTip(files[i]);
            pAction->setVisible(true);
        } else {
            pAction->setVisible(false);
        }
    }
}

void CMainFrame::UpdateTitle() {
    const QString appName = AppString(IDR_MAINFRAME).section(QLatin1Char('\n'), 0, 0);
    CGpsDoc* pDoc = m_app.Document();
    const QString docTitle = pDoc != nullptr ? QString::fromStdString(pDoc->GetTitle()) : QString();
    setWindowTitle(docTitle.isEmpty() ? appName : docTitle + QStringLiteral(" - ") + appName);
}

void CMainFrame::UpdateCommandUI() {
    CGpsDoc* pDoc = m_app.Document();
    for (unsigned nId : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_MAP_CALIBRATE,
                         ID_MAP_NEW_BITMAP, ID_ENTER_WAYPOINTS, ID_SAVE_WAYPOINTS,
                         ID_CALIBRATE_SET_COORDINATES, ID_CALIBRATE_CANCEL}) {
        CommandAction(nId)->setEnabled(pDoc != nullptr && pDoc->IsCommandEnabled(nId));
    }
    // Exports apply to a calibrated map with a bitmap of its own; GPX needs waypoints.
    for (unsigned nId : {ID_FILE_EXPORT_WORLD_FILE, ID_FILE_EXPORT_GPX, ID_FILE_EXPORT_OZI_MAP}) {
        CommandAction(nId)->setEnabled(pDoc != nullptr &&
                                       CMapExporter::IsCommandEnabled(*pDoc, nId));
    }
    for (unsigned nId : {ID_FILE_EXPORT_KMZ, ID_FILE_EXPORT_MBTILES, ID_FILE_EXPORT_GEOTIFF}) {
        CommandAction(nId)->setEnabled(pDoc != nullptr && CDeviceExportCommand::IsEnabled(*pDoc));
    }
    CommandAction(ID_MAP_STRAIGHTEN)->setEnabled(m_app.IsStraightenEnabled());
    const bool bFileCommands = pDoc != nullptr && pDoc->IsCommandEnabled(ID_FILE_OPEN);
    for (QAction* pRecent : m_recentActions) {
        pRecent->setEnabled(bFileCommands);
    }
    CommandAction(ID_VIEW_FIND_POSITION)
        ->setEnabled(pDoc != nullptr && !pDoc->IsCalibrationMode() && pDoc->IsCalibrated());
    const bool bPointCommands = pDoc != nullptr && !pDoc->IsCalibrationMode();
    CommandAction(ID_MAP_CONTROL_POINTS)
        ->setEnabled(bPointCommands && (m_pPointsDock != nullptr || m_bPointsDockDue));
    CommandAction(ID_MAP_APPLY_POINTS)
        ->setEnabled(bPointCommands && pDoc->GetControlPoints().size() >= CPointFit::kMinPoints);
    CommandAction(ID_EDIT_DELETE_POINT)
        ->setEnabled(bPointCommands && m_pView != nullptr && m_pView->SelectedControlPoint() >= 0);
    {
        const QSignalBlocker blockToolbar(CommandAction(ID_VIEW_TOOLBAR));
        CommandAction(ID_VIEW_TOOLBAR)->setChecked(!m_pToolBar->isHidden());
        const QSignalBlocker blockStatus(CommandAction(ID_VIEW_STATUS_BAR));
        CommandAction(ID_VIEW_STATUS_BAR)->setChecked(!statusBar()->isHidden());
    }
    OnZoomChanged();
    UpdateTitle();
}

void CMainFrame::OnCommand(unsigned nCommandId) {
    const CCommandGuard guard;
    switch (nCommandId) {
    case ID_FILE_NEW:
        m_app.OnFileNew();
        break;
    case ID_FILE_OPEN:
        m_app.OnFileOpen();
        break;
    case ID_FILE_SAVE:
        m_app.OnFileSave();
        break;
    case ID_FILE_SAVE_AS:
        m_app.OnFileSaveAs();
        break;
    case ID_FILE_EXPORT_WORLD_FILE:
    case ID_FILE_EXPORT_GPX:
    case ID_FILE_EXPORT_OZI_MAP:
        if (CGpsDoc* pDoc = m_app.Document()) {
            ShowFileResult(m_app.Prompt(),
                           CMapExporter::OnCommand(*pDoc, m_app.Prompt(), nCommandId));
        }
        break;
    case ID_FILE_EXPORT_KMZ:
    case ID_FILE_EXPORT_MBTILES:
    case ID_FILE_EXPORT_GEOTIFF:
        if (CGpsDoc* pDoc = m_app.Document()) {
            CDeviceExportCommand::Run(*pDoc, m_app.Prompt(), this, nCommandId);
        }
        break;
    case ID_APP_EXIT:
        close();
        break;
    case ID_APP_ABOUT:
        m_app.OnAppAbout();
        break;
    case ID_VIEW_TOOLBAR:
        m_pToolBar->setVisible(CommandAction(ID_VIEW_TOOLBAR)->isChecked());
        break;
    case ID_VIEW_STATUS_BAR:
        statusBar()->setVisible(CommandAction(ID_VIEW_STATUS_BAR)->isChecked());
        break;
    case ID_SETTINGS_DISPLAY_FORMAT:
        OnDisplayFormat();
        break;
    case ID_MAP_CONTROL_POINTS:
        CreatePointsDock();
        if (m_pPointsDock != nullptr) {
            m_pPointsDock->setVisible(CommandAction(ID_MAP_CONTROL_POINTS)->isChecked());
            // Wide enough for every column, up to half the window.
            resizeDocks({m_pPointsDock}, {std::min(width() / 2, m_pPointsDock->PreferredWidth())},
                        Qt::Horizontal);
        }
        break;
    case ID_MAP_APPLY_POINTS:
        OnApplyControlPoints();
        break;
    case ID_EDIT_DELETE_POINT:
        if (m_pView != nullptr) {
            m_pView->DeleteSelectedControlPoint();
        }
        break;
    case ID_VIEW_FIND_POSITION:
        if (m_pView != nullptr) {
            m_pView->OnFindCurrentPosition();
        }
        break;
    case ID_VIEW_ZOOM_IN:
    case ID_VIEW_ZOOM_OUT:
    case ID_VIEW_ZOOM_ACTUAL_SIZE:
    case ID_VIEW_ZOOM_FIT:
        OnZoomCommand(nCommandId);
        break;
    default:
        m_app.OnDocumentCommand(nCommandId);
        break;
    }
    UpdateCommandUI();
}

void CMainFrame::OnZoomCommand(unsigned nCommandId) {
    if (m_pView == nullptr) {
        return;
    }
    switch (nCommandId) {
    case ID_VIEW_ZOOM_IN:
        m_pView->ZoomIn();
        break;
    case ID_VIEW_ZOOM_OUT:
        m_pView->ZoomOut();
        break;
    case ID_VIEW_ZOOM_ACTUAL_SIZE:
        m_pView->ZoomActualSize();
        break;
    default:
        m_pView->ZoomToFit();
        break;
    }
}

void CMainFrame::OnRecentFile(int nIndex) {
    const CCommandGuard guard;
    m_app.OpenRecentFile(nIndex);
    UpdateCommandUI();
}

void CMainFrame::OnDisplayFormat() {
    CDisplaySettings& settings = m_app.Settings();
    CDisplayFormatDlg dlg(this);
    dlg.SetData(settings.GetCoordType(), settings.GetLatLonFormat(), settings.GetUnitType());
    if (dlg.DoModal() != QDialog::Accepted) {
        return;
    }
    CoordType coordType = CoordType::LatLon;
    int nLatLonFormat = 0;
    int nUnitType = 0;
    dlg.GetData(coordType, nLatLonFormat, nUnitType);
    settings.SetLatLonFormat(nLatLonFormat);
    settings.SetCoordType(coordType);
    settings.SetUnitType(nUnitType);
}

void CMainFrame::OnApplyControlPoints() {
    CGpsDoc* pDoc = m_app.Document();
    if (pDoc == nullptr || pDoc->IsCalibrationMode()) {
        return;
    }
    CUserPrompt& prompt = m_app.Prompt();
    const CPointFit fit = pDoc->GetPointFit(); // a copy: the question below lets events run
    if (!fit.IsOk()) {
        prompt.MessageBoxId(fit.GetStatus() == CPointFit::Status::TooFewPoints
                                ? IDS_POINTS_TOO_FEW
                                : IDS_POINTS_DEGENERATE,
                            MsgIcon::Exclamation);
        return;
    }
    if (pDoc->IsCalibrated() && prompt.MessageBoxId(IDS_POINTS_APPLY_REPLACE, MsgIcon::Question,
                                                    MsgButtons::YesNo) != MsgAnswer::Yes) {
        return;
    }
    const int nCode = pDoc->ApplyControlPoints();
    if (nCode > 0 && CalibrationMessageId(nCode) != 0) {
        prompt.MessageBoxId(CalibrationMessageId(nCode), MsgIcon::Exclamation);
    }
}

void CMainFrame::SaveSettings() {
    if (!m_app.IsInitialized()) {
        return;
    }
    CProfile& profile = m_app.Profile();
    // One write of the settings file for all of them.
    const CProfileWrites writes(profile);
    int nShow = kShowNormal;
    if (isMaximized()) {
        nShow = kShowMaximized;
    } else if (isMinimized()) {
        nShow = kShowMinimized;
    }
    // The normal rectangle: what the window returns to from maximized or minimized.
    const QRect rcNormal = (isMaximized() || isMinimized()) && normalGeometry().isValid()
                               ? normalGeometry()
                               : geometry();
    kShowCommand.Set(profile, nShow);
    kLeft.Set(profile, rcNormal.left());
    kTop.Set(profile, rcNormal.top());
    kRight.Set(profile, rcNormal.left() + rcNormal.width());
    kBottom.Set(profile, rcNormal.top() + rcNormal.height());

    CDisplaySettings& settings = m_app.Settings();
    settings.WriteColors(profile);
    settings.WriteSpriteSize(profile);
    settings.WriteFormats(profile);

    // The saved state lists the control points table, made or not yet.
    CreatePointsDock();
    kToolbarState.Set(profile, saveState().toBase64().toStdString());
    kStatusBarShown.Set(profile, !statusBar()->isHidden());
}

void CMainFrame::closeEvent(QCloseEvent* pEvent) {
    // The question about unsaved changes is a command: desktop requests wait until it is
    // answered, and are refused when the program then ends.
    const CCommandGuard guard;
    SaveSettings();
    if (!m_app.CanCloseDocument()) {
        // Cancel keeps the program and the map as they are.
        pEvent->ignore();
        return;
    }
    pEvent->accept();
    QMainWindow::closeEvent(pEvent);
}

void CMainFrame::changeEvent(QEvent* pEvent) {
    if (pEvent->type() == QEvent::PaletteChange) {
        // The colours of the system changed: let the view repaint the map.
        if (CGpsDoc* pDoc = m_app.Document()) {
            pDoc->UpdateAllViews(UpdateHint::HINT_REFRESH);
        }
    }
    QMainWindow::changeEvent(pEvent);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* pEvent) {
    // A map is opened only where File Open is allowed (not while the marks are placed).
    const CGpsDoc* pDoc = m_app.Document();
    if (pDoc == nullptr || !pDoc->IsCommandEnabled(ID_FILE_OPEN)) {
        return;
    }
    const QMimeData* pData = pEvent->mimeData();
    if (pData != nullptr && pData->hasUrls() && !pData->urls().isEmpty() &&
        pData->urls().front().isLocalFile()) {
        pEvent->acceptProposedAction();
    }
}

void CMainFrame::dropEvent(QDropEvent* pEvent) {
    const QMimeData* pData = pEvent->mimeData();
    if (pData == nullptr || !pData->hasUrls() || pData->urls().isEmpty() ||
        !pData->urls().front().isLocalFile()) {
        return;
    }
    pEvent->acceptProposedAction();
    activateWindow();
    // One document at a time: the first dropped file is opened.
    const QString path = pData->urls().front().toLocalFile();
    // Opening may ask questions: the drop joins the desktop's requests, which are opened once
    // the drag has finished and no command runs.
    m_app.RequestOpen(path);
}

} // namespace mapreg

#pragma once
// The single top-level window: menu bar (normal or calibration menu), toolbar, status bar
// with its four panes, window placement and toolbar state kept in the profile, and the
// commands that belong to the frame (Display Format, toolbar and status bar toggles).

#include "framework/CView.h"

#include <QMainWindow>
#include <QRect>

#include <array>
#include <map>

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QToolBar;

namespace mapreg {

class CControlPointsDock;
class CGpsApp;
class CGpsView;

class CMainFrame : public QMainWindow, public CView {
    Q_OBJECT
public:
    // Show commands stored under "cmdShow".
    static constexpr int kShowNormal = 1;
    static constexpr int kShowMinimized = 2;
    static constexpr int kShowMaximized = 3;
    // Marker of a missing window placement value.
    static constexpr int kNoPlacement = 65535;

    explicit CMainFrame(CGpsApp& app);
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Restores the stored window placement; sets the creation rectangle and the show command.
    void PreCreateWindow();
    // Builds menus, toolbar and status bar and loads the toolbar state. False on failure.
    bool OnCreate();
    // Shows the window with the show command chosen by PreCreateWindow.
    void ShowWithStoredCommand();
    int ShowCommand() const { return m_nShowCommand; }

    // Puts text into the message pane and repaints it at once.
    void SetStatusText(const QString& text);
    QString StatusText() const;
    // Status pane 0 to 3.
    QLabel* StatusPane(int nPane) const;
    // The pane after them that shows the view's zoom level, e.g. "50%".
    QLabel* ZoomPane() const { return m_pZoomPane; }
    // The pane that shows how far the device puts a calibrated map, e.g. "Device ±178 m", in
    // the warning colour when that is more than a pixel; hidden for an uncalibrated map.
    // Brought up to date first: the pane's first update waits for the window's first paint.
    QLabel* DevicePane();
    // The pane before it with the ground of one pixel at the map's centre and the turn of the
    // picture's rows, e.g. "Pixel 2.50 × 2.50 m, turned 6.0°"; hidden for an uncalibrated map.
    // Updated with the device pane.
    QLabel* GroundPane();

    void SwitchToCalibrationMenu();
    void SwitchToNormalMenu();
    // The document's HINT_CALIBRATION_MODE: the menu of the mode it is in now.
    void OnUpdate(CDocument* pSender, int nHint) override;
    bool IsCalibrationMenu() const { return m_bCalibrationMenu; }

    // The action of a command id (menu item, toolbar button, accelerator); null if none.
    QAction* CommandAction(unsigned nCommandId) const;
    QToolBar* ToolBar() const { return m_pToolBar; }
    CGpsView* View() const { return m_pView; }
    // The view, and with it the control points table docked beside it (hidden at first). The
    // table is made once the view has painted its first frame, or when it is first asked for.
    void SetView(CGpsView* pView);
    CControlPointsDock* PointsDock();

    // Writes the window placement, the display settings and the toolbar state.
    void SaveSettings();
    // Enables and disables the commands after the document's state.
    void UpdateCommandUI();
    // Re-reads the recent-file list into the File menu.
    void UpdateRecentFileMenu();
    // Window title from the document's title.
    void UpdateTitle();

    void OnDisplayFormat();
    // Map > Apply Control Points: the fit of the control points as the calibration, after a
    // question when the map is calibrated already; failures are reported.
    void OnApplyControlPoints();

protected:
    void closeEvent(QCloseEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    void dragEnterEvent(QDragEnterEvent* pEvent) override;
    void dropEvent(QDropEvent* pEvent) override;

private:
    QAction* MakeAction(unsigned nCommandId, const QString& text = QString());
    void CreateActions();
    QMenuBar* BuildNormalMenu();
    QMenuBar* BuildCalibrationMenu();
    bool SwitchMenu(bool bCalibration);
    void CreateToolBar();
    void CreateStatusBar();
    void UpdateDevicePane();
    void UpdateGroundPane();
    void OnCommand(unsigned nCommandId);
    void OnRecentFile(int nIndex);
    // The view's first paint: the device pane's first update and the control points table
    // follow it.
    void OnFirstPaint();
    // Makes the control points table when it is due.
    void CreatePointsDock();
    // Shows the view's zoom level and enables the zoom commands that can change it.
    void OnZoomChanged();
    void OnZoomCommand(unsigned nCommandId);
    // Toolbar and status bar toggles, then the zoom commands.
    void AddViewItems(QMenu* pView);

    CGpsApp& m_app;
    CGpsView* m_pView = nullptr;
    CControlPointsDock* m_pPointsDock = nullptr;
    // The table is still to be made for the view (the window's first frame does not show it).
    bool m_bPointsDockDue = false;
    std::map<unsigned, QAction*> m_actions;
    QAction* m_pAboutShort = nullptr; // "&About" of the calibration menu
    QAction* m_pUndo = nullptr;       // the document's undo and redo, named after their step
    QAction* m_pRedo = nullptr;
    QAction* m_pRecentPlaceholder = nullptr;
    std::array<QAction*, 4> m_recentActions{};
    QToolBar* m_pToolBar = nullptr;
    std::array<QLabel*, 4> m_panes{};
    QLabel* m_pZoomPane = nullptr;
    QLabel* m_pDevicePane = nullptr;
    // Computing a device error loads PROJ, which the window's first frame need not wait for:
    // until the view has painted the map once, updates of the device pane are only noted.
    bool m_bFirstPaintDone = false;
    bool m_bDevicePaneDue = false;
    QLabel* m_pGroundPane = nullptr;
    QRect m_rcCreate;
    int m_nShowCommand = kShowNormal;
    bool m_bPlacementRestored = false;
    bool m_bCalibrationMenu = false;
};

} // namespace mapreg

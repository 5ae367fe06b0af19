// The main frame as the user meets it: title, menus, accelerators, toolbar, status panes and
// the swap between the normal and the calibration menu.

#include "AppHarness.h"
#include "MapregVersion.h"
#include "app/CControlPointsDock.h"
#include "app/CToolbarArt.h"
#include "resources/StringTableTranslation.h"
#include "translations/CTranslation.h"

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <string>

using namespace mapreg;

using MainFrame = AppHarness;

TEST_F(MainFrame, starts_on_the_default_map_with_title_and_the_normal_menu_in_full) {
    Start();
    EXPECT_EQ(Frame().windowTitle(), QStringLiteral("Untitled - Halvoren Map Registration"));
    EXPECT_EQ(Frame().StatusText(), QStringLiteral("Ready"));
    EXPECT_EQ(QSize(Doc().GetMapWidth(), Doc().GetMapHeight()), QSize(998, 500));
    EXPECT_TRUE(Doc().IsCalibrated() && !Doc().IsModified() && prompt.messages.empty());
    EXPECT_EQ(Frame().menuBar()->objectName(), QStringLiteral("menu128"));
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Edit", "&Map", "&View", "&Settings", "&Help"}));
    EXPECT_EQ(MenuItems(0),
              (QStringList{"&New\tCtrl+N", "&Open...\tCtrl+O", "&Save\tCtrl+S", "Save &As...",
                           "Ex&port", "-", "Recent File", "-", "E&xit\tAlt+F4"}));
    EXPECT_EQ(MenuItems(1), (QStringList{"&Undo", "&Redo", "-", "&Delete Point\tDel"}));
    EXPECT_EQ(MenuItems(2), (QStringList{"&New Bitmap...\tF2", "Calibrate\tShift+F2", "-",
                                         "&Straighten for Device...", "-", "Control &Points",
                                         "&Apply Control Points"}));
    EXPECT_EQ(MenuItems(3).mid(0, 3), (QStringList{"&Toolbar", "&Status Bar", "-"}));
    EXPECT_EQ(MenuItems(4), (QStringList{"Display &Format..."}));
    EXPECT_EQ(MenuItems(5), (QStringList{"&About..."}));
}

TEST_F(MainFrame, no_menu_has_two_items_with_the_same_mnemonic_in_either_menu_state_or_language) {
    // A full recent-file list, so that its entries are shown too.
    for (int i = 1; i <= CGpsApp::kRecentFiles; ++i) {
        SetProfile(
            {{QStringLiteral("Recent File List/File%1").arg(i), TestPath("m%1.gpm").arg(i)}});
    }
    std::function<void(const QString&, const QList<QAction*>&)> check =
        [&](const QString& where, const QList<QAction*>& actions) {
            std::map<QKeySequence, QString> seen;
            for (QAction* pAction : actions) {
                if (!pAction->isVisible()) {
                    continue; // a menu skips hidden items when it looks for a mnemonic
                }
                const QKeySequence key = QKeySequence::mnemonic(pAction->text());
                if (!key.isEmpty()) {
                    const auto [it, bNew] = seen.emplace(key, pAction->text());
                    EXPECT_TRUE(bNew) << where.toStdString() << ": " << it->second.toStdString()
                                      << " and " << pAction->text().toStdString();
                }
                if (pAction->menu() != nullptr) {
                    check(pAction->text(), pAction->menu()->actions());
                }
            }
        };
    CTranslation german;
    ASSERT_TRUE(german.Load(QLocale(QLocale::German)));
    // The English texts return whatever happens, for the tests that follow in this process.
    struct EnglishAgain {
        EnglishAgain() = default;
        EnglishAgain(const EnglishAgain&) = delete;
        EnglishAgain& operator=(const EnglishAgain&) = delete;
        ~EnglishAgain() {
            TranslateStringTable([](std::string_view) { return std::string(); });
        }
    } englishAgain;
    const QStringList titles[] = {
        {"&File", "&Edit", "&Map", "&View", "&Settings", "&Help"},
        {"&Datei", "&Bearbeiten", "&Karte", "&Ansicht", "&Einstellungen", "&Hilfe"}};
    for (const QStringList& expected : titles) {
        if (expected == titles[0]) {
            Start();
        } else {
            german.ApplyToStringTable();
            Restart();
        }
        EXPECT_EQ(MenuTitles(), expected);
        check(QStringLiteral("menu bar"), Frame().menuBar()->actions());
        PressKey(Qt::Key_F2, Qt::ShiftModifier);
        ASSERT_TRUE(Frame().IsCalibrationMenu());
        check(QStringLiteral("calibration menu bar"), Frame().menuBar()->actions());
        PressKey(Qt::Key_Escape);
    }
}

TEST_F(MainFrame, accelerators_are_bound_to_their_commands_on_the_window) {
    Start();
    const std::pair<unsigned, QKeySequence> cases[] = {
        {ID_FILE_NEW, QKeySequence("Ctrl+N")},
        {ID_FILE_OPEN, QKeySequence("Ctrl+O")},
        {ID_FILE_SAVE, QKeySequence("Ctrl+S")},
        {ID_MAP_NEW_BITMAP, QKeySequence("F2")},
        {ID_MAP_CALIBRATE, QKeySequence("Shift+F2")},
        {ID_CALIBRATE_SET_COORDINATES, QKeySequence(Qt::Key_Return)},
        {ID_CALIBRATE_CANCEL, QKeySequence(Qt::Key_Escape)},
        {ID_VIEW_FIND_POSITION, QKeySequence("Ctrl+F")},
    };
    for (const auto& [nId, keys] : cases) {
        QAction* pAction = Frame().CommandAction(nId);
        ASSERT_NE(pAction, nullptr) << nId;
        EXPECT_TRUE(pAction->shortcuts().contains(keys)) << nId;
        // Shortcuts belong to the window, so they work with either menu bar.
        EXPECT_TRUE(Frame().actions().contains(pAction)) << nId;
    }
}

TEST_F(MainFrame, toolbar_has_its_entries_with_pictures_prompts_and_tooltips) {
    Start();
    std::vector<unsigned> ids; // 0: a separator between two groups of buttons
    for (const QAction* pAction : Frame().ToolBar()->actions()) {
        ids.push_back(pAction->isSeparator() ? 0U : pAction->data().toUInt());
        if (!pAction->isSeparator()) {
            EXPECT_EQ(pAction->icon().pixmap(QSize(16, 15)).size(), QSize(16, 15)) << ids.back();
        }
    }
    EXPECT_EQ(ids,
              (std::vector<unsigned>{ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_MAP_NEW_BITMAP,
                                     ID_MAP_CALIBRATE, 0, ID_ENTER_WAYPOINTS, 0, ID_SAVE_WAYPOINTS,
                                     0, ID_VIEW_ZOOM_IN, ID_VIEW_ZOOM_OUT, ID_VIEW_ZOOM_ACTUAL_SIZE,
                                     ID_VIEW_ZOOM_FIT, 0, ID_APP_ABOUT}));
    EXPECT_EQ(Frame().CommandAction(ID_FILE_NEW)->statusTip(), QStringLiteral("Create a new map"));
    EXPECT_EQ(Frame().CommandAction(ID_FILE_NEW)->toolTip(), QStringLiteral("New"));
    EXPECT_EQ(Frame().CommandAction(ID_SAVE_WAYPOINTS)->toolTip(),
              QStringLiteral("Save Wp points"));
}

TEST_F(MainFrame, shift_f2_swaps_to_the_calibration_menu_and_esc_swaps_back) {
    Start();
    // 1 for each enabled one of these commands.
    const auto Enabled = [] {
        std::string enabled;
        for (const unsigned nId :
             {ID_ENTER_WAYPOINTS, ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS,
              ID_MAP_CALIBRATE, ID_MAP_NEW_BITMAP, ID_CALIBRATE_SET_COORDINATES,
              ID_CALIBRATE_CANCEL, ID_SAVE_WAYPOINTS}) {
            enabled += Frame().CommandAction(nId)->isEnabled() ? '1' : '0';
        }
        return enabled;
    };
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_TRUE(Doc().IsCalibrationMode());
    EXPECT_EQ(Frame().menuBar()->objectName(), QStringLiteral("menu133"));
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Calibrate", "&View", "&Help"}));
    EXPECT_EQ(MenuItems(0), (QStringList{"E&xit\tAlt+F4"}));
    EXPECT_EQ(MenuItems(1),
              (QStringList{"&Set Mark Coordinates\tENTER", "&Cancel Calibration\tESC"}));
    EXPECT_EQ(MenuItems(3), (QStringList{"&About"}));
    // The file and map commands rest while the marks are placed; the calibration ones work.
    EXPECT_EQ(Enabled(), "0000000111");
    PressKey(Qt::Key_Escape);
    EXPECT_FALSE(Doc().IsCalibrationMode());
    EXPECT_EQ(Frame().menuBar()->objectName(), QStringLiteral("menu128"));
    EXPECT_EQ(Enabled(), "1111111001");
    // Esc outside calibration mode changes nothing.
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(Frame().menuBar()->objectName(), QStringLiteral("menu128"));
}

TEST_F(MainFrame, a_menu_switch_without_a_menu_bar_reports_and_closes) {
    Start();
    Frame().setMenuWidget(nullptr);
    Frame().SwitchToCalibrationMenu();
    EXPECT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_CANNOT_SWITCH_MENUS});
    EXPECT_EQ(prompt.messages.front().icon, MsgIcon::Stop);
    EXPECT_TRUE(QTest::qWaitFor([] { return !Frame().isVisible(); }, 1000));
}

TEST_F(MainFrame, view_menu_hides_toolbar_and_status_bar_and_both_stay_hidden) {
    Start();
    Frame().CommandAction(ID_VIEW_TOOLBAR)->trigger();
    Frame().CommandAction(ID_VIEW_STATUS_BAR)->trigger();
    EXPECT_TRUE(Frame().ToolBar()->isHidden());
    EXPECT_TRUE(Frame().statusBar()->isHidden());

    for (const bool bHidden : {true, false}) {
        ASSERT_TRUE(Close());
        Restart();
        EXPECT_EQ(Frame().ToolBar()->isHidden(), bHidden);
        EXPECT_EQ(Frame().statusBar()->isHidden(), bHidden);
        EXPECT_EQ(Frame().CommandAction(ID_VIEW_TOOLBAR)->isChecked(), !bHidden);
        EXPECT_EQ(Frame().CommandAction(ID_VIEW_STATUS_BAR)->isChecked(), !bHidden);
        Frame().CommandAction(ID_VIEW_TOOLBAR)->trigger();
        Frame().CommandAction(ID_VIEW_STATUS_BAR)->trigger();
        EXPECT_EQ(Frame().statusBar()->isHidden(), !bHidden);
    }
}

TEST_F(MainFrame, about_box_shows_the_version) {
    Start();
    QString version;
    WithNextDialog(
        [&](QDialog& dialog) {
            version = dialog.findChild<QLabel*>(QStringLiteral("version"))->text();
        },
        [] { Frame().CommandAction(ID_APP_ABOUT)->trigger(); });
    EXPECT_EQ(version, QStringLiteral("Version " MAPREG_VERSION));
}

TEST_F(MainFrame, edit_menu_names_the_step_and_its_keys_undo_and_redo_it) {
    Start();
    Doc().ChangeControlPoints({{{1, 2}, {3, 4}, true}}, "Add Point 1");
    EXPECT_EQ(MenuItems(1), (QStringList{"&Undo Add Point 1", "&Redo", "-", "&Delete Point\tDel"}));
    PressKey(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(Doc().GetControlPoints().empty());
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(MenuItems(1), (QStringList{"&Undo", "&Redo Add Point 1", "-", "&Delete Point\tDel"}));
    for (const QKeyCombination key : {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}) {
        PressKey(key.key(), key.keyboardModifiers());
        EXPECT_EQ(Doc().GetControlPoints().size(), 1u);
        EXPECT_TRUE(Doc().IsModified());
        PressKey(Qt::Key_Z, Qt::ControlModifier);
    }
}

// The application icon is drawn only when something asks for it (a window system that shows
// window icons); it then gives every picture, size and painting the drawn icon gives.
TEST_F(MainFrame, application_icon_drawn_on_demand_is_the_drawn_icon) {
    Start();
    const QIcon lazy = CToolbarArt::AppIcon();
    const QIcon drawn = CToolbarArt::AppIconDrawn();
    EXPECT_FALSE(lazy.isNull());
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    for (const QIcon::State state : {QIcon::Off, QIcon::On}) {
        for (const QIcon::Mode mode :
             {QIcon::Normal, QIcon::Disabled, QIcon::Active, QIcon::Selected}) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << ", state " << state);
            EXPECT_EQ(lazy.availableSizes(mode, state), drawn.availableSizes(mode, state));
            for (int nSide : {1, 8, 15, 16, 17, 20, 24, 31, 32, 40, 48, 50, 64, 100, 128, 200}) {
                for (const QSize size : {QSize(nSide, nSide), QSize(nSide, nSide / 2 + 1)}) {
                    EXPECT_EQ(lazy.actualSize(size, mode, state),
                              drawn.actualSize(size, mode, state));
                    for (const qreal dRatio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
                        const QPixmap a = lazy.pixmap(size, dRatio, mode, state);
                        const QPixmap b = drawn.pixmap(size, dRatio, mode, state);
                        EXPECT_EQ(a.devicePixelRatio(), b.devicePixelRatio()) << nSide;
                        EXPECT_EQ(a.toImage(), b.toImage()) << nSide << " at " << dRatio;
                    }
                    for (const qreal dRatio : {1.0, 2.0}) {
                        QImage a(150, 150, QImage::Format_ARGB32_Premultiplied);
                        a.setDevicePixelRatio(dRatio);
                        a.fill(Qt::transparent);
                        QImage b = a;
                        const QRect rect(QPoint(3, 2), size);
                        QPainter pa(&a);
                        lazy.paint(&pa, rect, Qt::AlignCenter, mode, state);
                        pa.end();
                        QPainter pb(&b);
                        drawn.paint(&pb, rect, Qt::AlignCenter, mode, state);
                        pb.end();
                        EXPECT_EQ(a, b) << nSide << " painted at " << dRatio;
                    }
                }
            }
        }
    }
}

// The control points table is hidden at start: it is made once the window has shown its first
// frame (or when it is first asked for), and its command works from the start.
TEST_F(MainFrame, control_points_table_is_made_after_the_first_frame) {
    ASSERT_TRUE(App().InitInstance({}));
    EXPECT_EQ(Frame().findChild<QDockWidget*>(), nullptr);
    EXPECT_TRUE(Frame().CommandAction(ID_MAP_CONTROL_POINTS)->isEnabled());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Frame()));
    ASSERT_TRUE(QTest::qWaitFor([] { return Frame().findChild<QDockWidget*>() != nullptr; }));
    EXPECT_EQ(Frame().findChild<QDockWidget*>(), Frame().PointsDock());
    EXPECT_TRUE(Frame().PointsDock()->isHidden());

    // Asked for before the first frame, it is there at once, and only once.
    App().ExitInstance();
    ASSERT_TRUE(App().InitInstance({}));
    CControlPointsDock* pDock = Frame().PointsDock();
    ASSERT_NE(pDock, nullptr);
    Frame().CommandAction(ID_MAP_CONTROL_POINTS)->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return pDock->isVisible(); }));
    QTest::qWait(50);
    EXPECT_EQ(Frame().findChildren<QDockWidget*>().size(), 1);
    EXPECT_EQ(Frame().PointsDock(), pDock);
    EXPECT_TRUE(View().IsControlPointMode());
}

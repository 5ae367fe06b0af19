// Maps saved and opened through the program's own commands: Save, Open, New, the recent-file
// list, a file dropped on the window and the command line. (The question about unsaved changes
// before any of them: UnsavedWorkTest.)

#include "AppHarness.h"

#include "app/RecentFileNames.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

using namespace mapreg;

class FileCommands : public AppHarness {
protected:
    // Saves through Ctrl+S, answering the file chooser with path.
    void SaveAs(const QString& path) {
        prompt.chosenFiles.push_back(path.toStdString());
        PressKey(Qt::Key_S, Qt::ControlModifier);
    }
};

TEST_F(FileCommands, save_then_open_or_drop_brings_the_map_back) {
    Start();
    LoadPicture({120, 80});
    ASSERT_TRUE(Doc().IsModified());
    const QString mapPath = TestPath(QStringLiteral("first.gpm"));
    SaveAs(mapPath);
    ASSERT_TRUE(QFileInfo::exists(mapPath));
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_TRUE(Frame().windowTitle().startsWith(QStringLiteral("first.gpm")));
    EXPECT_TRUE(prompt.choosers.back().save);

    for (const bool bDrop : {false, true}) {
        PressKey(Qt::Key_N, Qt::ControlModifier);
        ASSERT_EQ(Doc().GetMapWidth(), 998);
        if (bDrop) {
            ASSERT_TRUE(Drop(mapPath));
        } else {
            prompt.chosenFiles.push_back(mapPath.toStdString());
            PressKey(Qt::Key_O, Qt::ControlModifier);
            EXPECT_FALSE(prompt.choosers.back().save);
        }
        EXPECT_EQ(QSize(Doc().GetMapWidth(), Doc().GetMapHeight()), QSize(120, 80)) << bDrop;
        EXPECT_EQ(QString::fromStdString(Doc().GetPathName()), mapPath);
        EXPECT_EQ(View().GetScrollPosition(), QPoint(0, 0));
    }
    // No file is taken while the marks are placed.
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    ASSERT_TRUE(Doc().IsCalibrationMode());
    EXPECT_FALSE(Drop(mapPath));
}

TEST_F(FileCommands, recent_file_list_keeps_the_last_four_maps_and_opens_them_also_at_start) {
    Start();
    LoadPicture({64, 48});
    QStringList paths;
    for (int i = 1; i <= 5; ++i) {
        paths << TestPath(QStringLiteral("map%1.gpm").arg(i));
        prompt.chosenFiles.push_back(paths.back().toStdString());
        Frame().CommandAction(ID_FILE_SAVE_AS)->trigger();
    }
    EXPECT_EQ(App().RecentFiles(), (QStringList{paths[4], paths[3], paths[2], paths[1]}));
    EXPECT_EQ(ProfileValue("Recent File List/File1").toString(), paths[4]);
    const QStringList items = MenuItems(0);
    EXPECT_TRUE(items.contains(QStringLiteral("&1 map5.gpm")));
    EXPECT_TRUE(items.contains(QStringLiteral("&4 map2.gpm")));
    EXPECT_FALSE(items.contains(QStringLiteral("Recent File")));

    PressKey(Qt::Key_N, Qt::ControlModifier);
    Frame().findChild<QAction*>(QStringLiteral("cmd57619"))->trigger();
    EXPECT_EQ(QString::fromStdString(Doc().GetPathName()), paths[1]);
    EXPECT_EQ(App().RecentFiles().front(), paths[1]);

    // The list survives a restart, and a map named on the command line opens at the start.
    ASSERT_TRUE(Close());
    Restart({paths[3]});
    EXPECT_EQ(QString::fromStdString(Doc().GetPathName()), paths[3]);
    EXPECT_EQ(App().RecentFiles(), (QStringList{paths[3], paths[1], paths[4], paths[2]}));
    App().ExitInstance();

    // A file that cannot be opened ends the start with the document's message.
    prompt.messages.clear();
    EXPECT_FALSE(App().InitInstance({TestPath(QStringLiteral("missing.gpm"))}));
    EXPECT_FALSE(prompt.messages.empty());
    EXPECT_EQ(App().MainFrame(), nullptr);
}

TEST(RecentFileNames, maps_of_the_same_name_show_the_shortest_path_that_tells_them_apart) {
    const struct {
        QStringList paths, names;
    } cases[] = {
        {{"/maps/harbour.gpm", "/maps/hills.gpm"}, {"harbour.gpm", "hills.gpm"}},
        {{"/a/map.gpm", "/b/map.gpm", "/c/other.gpm"}, {"a/map.gpm", "b/map.gpm", "other.gpm"}},
        {{"/p/x/map.gpm", "/q/x/map.gpm", "/q/y/map.gpm"},
         {"p/x/map.gpm", "q/x/map.gpm", "y/map.gpm"}},
        // A path that is the tail of another is shown whole.
        {{"/x/map.gpm", "/y/x/map.gpm"}, {"/x/map.gpm", "y/x/map.gpm"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecentFileMenuNames(c.paths), c.names) << c.paths.join(' ').toStdString();
    }
}

TEST_F(FileCommands, recent_entries_open_the_open_map_quietly_and_drop_a_map_that_fails) {
    Start();
    LoadPicture({64, 48});
    QStringList paths;
    for (const char* folder : {"north", "south"}) {
        ASSERT_TRUE(QDir(m_pDir->path()).mkpath(QString::fromLatin1(folder)));
        paths << TestPath(QStringLiteral("%1/map.gpm").arg(QString::fromLatin1(folder)));
        prompt.chosenFiles.push_back(paths.back().toStdString());
        Frame().CommandAction(ID_FILE_SAVE_AS)->trigger();
    }
    EXPECT_EQ(MenuItems(0).filter(QStringLiteral("map.gpm")),
              (QStringList{"&1 south/map.gpm", "&2 north/map.gpm"}));
    const auto recent = [](int i) {
        Frame().findChild<QAction*>(QStringLiteral("cmd%1").arg(ID_FILE_MRU_FILE1 + i))->trigger();
    };

    // The map that is open, modified: nothing happens and nothing is asked.
    LoadPicture({30, 20});
    recent(0);
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_EQ(Doc().GetMapWidth(), 30);
    EXPECT_TRUE(Doc().IsModified());

    // Cancel at the save question keeps the entry; a map that cannot be opened leaves the list.
    prompt.answers.push_back(MsgAnswer::Cancel);
    recent(1);
    EXPECT_EQ(App().RecentFiles(), (QStringList{paths[1], paths[0]}));
    ASSERT_TRUE(QFile::remove(paths[0]));
    prompt.answers.push_back(MsgAnswer::No);
    recent(1);
    EXPECT_EQ(prompt.MessageIds().front(), IDS_SAVE_CHANGES);
    EXPECT_EQ(prompt.MessageIds().back(), IDS_OPEN_MAP_FAILED);
    EXPECT_EQ(App().RecentFiles(), QStringList{paths[1]});
    EXPECT_TRUE(ProfileValue("Recent File List/File2").toString().isEmpty());
    EXPECT_EQ(MenuItems(0).filter(QStringLiteral("map.gpm")), QStringList{"&1 map.gpm"});
}

TEST_F(FileCommands, a_desktop_request_waits_for_the_open_dialog_then_asks_and_opens) {
    Start();
    LoadPicture({120, 80});
    const QString mapPath = TestPath(QStringLiteral("desk.gpm"));
    SaveAs(mapPath);
    PressKey(Qt::Key_N, Qt::ControlModifier);
    LoadPicture({50, 40}, QStringLiteral("other.bmp"));
    // A request brings the window back to the front.
    Frame().showMinimized();
    App().OpenFromShell(QString());
    EXPECT_FALSE(Frame().isMinimized());
    WithNextDialog(
        [&](QDialog&) {
            App().OpenFromShell(mapPath);
            EXPECT_TRUE(prompt.messages.empty());
            EXPECT_EQ(Doc().GetMapWidth(), 50);
        },
        [] { Frame().CommandAction(ID_SETTINGS_DISPLAY_FORMAT)->trigger(); });
    prompt.answers.push_back(MsgAnswer::No);
    EXPECT_TRUE(QTest::qWaitFor([] { return Doc().GetMapWidth() == 120; }, 10000));
    EXPECT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_SAVE_CHANGES});
    EXPECT_EQ(QString::fromStdString(Doc().GetPathName()), mapPath);
}

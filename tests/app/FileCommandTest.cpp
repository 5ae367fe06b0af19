// Maps saved and opened through the program's own commands: Save, Open, New, the recent-file
// list, a file dropped on the window, the command line and the question about unsaved changes.

#include "AppHarness.h"

#include "StringTable.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

class FileCommands : public AppHarness {
protected:
    // A plain picture loaded through Map > New Bitmap; the map is then modified.
    void LoadPicture(QSize size) {
        prompt.chosenFiles.push_back(WriteBitmap(QStringLiteral("plain.bmp"), size).toStdString());
        PressKey(Qt::Key_F2);
        ASSERT_EQ(Doc().GetMapWidth(), size.width());
        ASSERT_TRUE(Doc().IsModified());
    }
    // Saves through Ctrl+S, answering the file chooser with path.
    void SaveAs(const QString& path) {
        prompt.chosenFiles.push_back(path.toStdString());
        PressKey(Qt::Key_S, Qt::ControlModifier);
    }
    void Drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint pt = Frame().rect().center();
        QDragEnterEvent enter(pt, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Frame(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(pt), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Frame(), &drop);
        QCoreApplication::processEvents();
    }
};

TEST_F(FileCommands, save_then_open_through_the_ui_brings_the_map_back) {
    Start();
    LoadPicture(QSize(120, 80));
    const QString mapPath = TestPath(QStringLiteral("first.gpm"));
    SaveAs(mapPath);
    ASSERT_TRUE(QFileInfo::exists(mapPath));
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_TRUE(Frame().windowTitle().startsWith(QStringLiteral("first.gpm")));
    ASSERT_FALSE(prompt.choosers.empty());
    EXPECT_TRUE(prompt.choosers.back().save);

    PressKey(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(Doc().GetMapWidth(), 998);

    prompt.chosenFiles.push_back(mapPath.toStdString());
    PressKey(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Doc().GetMapWidth(), 120);
    EXPECT_EQ(Doc().GetMapHeight(), 80);
    EXPECT_EQ(QString::fromStdString(Doc().GetPathName()), mapPath);
    EXPECT_FALSE(prompt.choosers.back().save);
    EXPECT_EQ(View().GetScrollPosition(), QPoint(0, 0));
}

TEST_F(FileCommands, recent_file_list_keeps_the_last_four_maps_and_opens_them) {
    Start();
    LoadPicture(QSize(64, 48));
    QStringList paths;
    for (int i = 1; i <= 5; ++i) {
        paths << TestPath(QStringLiteral("map%1.gpm").arg(i));
        prompt.chosenFiles.push_back(paths.back().toStdString());
        Frame().CommandAction(ID_FILE_SAVE_AS)->trigger();
    }
    const QStringList expected{paths[4], paths[3], paths[2], paths[1]};
    EXPECT_EQ(App().RecentFiles(), expected);
    EXPECT_EQ(ProfileValue("Recent File List/File1").toString(), paths[4]);
    QStringList items = MenuItems(0);
    EXPECT_TRUE(items.contains(QStringLiteral("&1 map5.gpm")));
    EXPECT_TRUE(items.contains(QStringLiteral("&4 map2.gpm")));
    EXPECT_FALSE(items.contains(QStringLiteral("Recent File")));

    PressKey(Qt::Key_N, Qt::ControlModifier);
    Frame().findChild<QAction*>(QStringLiteral("cmd57619"))->trigger();
    EXPECT_EQ(QString::fromStdString(Doc().GetPathName()), paths[1]);
    EXPECT_EQ(App().RecentFiles().front(), paths[1]);

    // The list survives a restart.
    ASSERT_TRUE(Close());
    App().ExitInstance();
    Start();
    EXPECT_EQ(App().RecentFiles().size(), 4);
    EXPECT_EQ(App().RecentFiles().front(), paths[1]);
}

TEST_F(FileCommands, a_dropped_map_file_is_opened) {
    Start();
    LoadPicture(QSize(90, 70));
    const QString mapPath = TestPath(QStringLiteral("dropped.gpm"));
    SaveAs(mapPath);
    PressKey(Qt::Key_N, Qt::ControlModifier);
    ASSERT_EQ(Doc().GetMapWidth(), 998);
    Drop(mapPath);
    EXPECT_EQ(Doc().GetMapWidth(), 90);
    EXPECT_EQ(QString::fromStdString(Doc().GetPathName()), mapPath);
}

TEST_F(FileCommands, the_map_file_on_the_command_line_is_opened_at_start) {
    Start();
    LoadPicture(QSize(50, 40));
    const QString mapPath = TestPath(QStringLiteral("arg.gpm"));
    SaveAs(mapPath);
    ASSERT_TRUE(Close());
    App().ExitInstance();

    Start({mapPath});
    EXPECT_EQ(Doc().GetMapWidth(), 50);
    App().ExitInstance();

    // A file that cannot be opened ends the start with the document's message.
    prompt.messages.clear();
    EXPECT_FALSE(App().InitInstance({TestPath(QStringLiteral("missing.gpm"))}));
    EXPECT_FALSE(prompt.messages.empty());
    EXPECT_EQ(App().MainFrame(), nullptr);
}

TEST_F(FileCommands, cancel_on_the_unsaved_changes_question_keeps_program_and_map) {
    Start();
    LoadPicture(QSize(120, 80));
    prompt.answers.push_back(MsgAnswer::Cancel);
    EXPECT_FALSE(Close());
    EXPECT_TRUE(Frame().isVisible());
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Doc().GetMapWidth(), 120);
    ASSERT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_SAVE_CHANGES});
    EXPECT_EQ(prompt.messages.back().buttons, MsgButtons::YesNoCancel);

    prompt.answers.push_back(MsgAnswer::Cancel);
    PressKey(Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(Doc().GetMapWidth(), 120);
    EXPECT_TRUE(Doc().IsModified());

    // No discards the changes and lets the window close.
    prompt.answers.push_back(MsgAnswer::No);
    EXPECT_TRUE(Close());
}

TEST_F(FileCommands, yes_on_the_unsaved_changes_question_saves_before_closing) {
    Start();
    LoadPicture(QSize(120, 80));
    const QString mapPath = TestPath(QStringLiteral("onclose.gpm"));
    prompt.answers.push_back(MsgAnswer::Yes);
    prompt.chosenFiles.push_back(mapPath.toStdString());
    EXPECT_TRUE(Close());
    EXPECT_TRUE(QFileInfo::exists(mapPath));
}

TEST_F(FileCommands, no_file_is_taken_by_drop_while_the_marks_are_placed) {
    Start();
    const QString path = WriteBitmap(QStringLiteral("any.gpm"), {10, 10});
    PressKey(Qt::Key_F2, Qt::ShiftModifier);
    ASSERT_TRUE(Doc().IsCalibrationMode());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(Frame().rect().center(), Qt::CopyAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(&Frame(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

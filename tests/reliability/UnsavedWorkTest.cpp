// Every way of replacing the map on screen asks about unsaved changes first, and Cancel keeps
// everything: closing the window, File New, File Open, a file dropped on the window and a
// file from the recent-file list.
#include "AppHarness.h"
#include "DocumentSnapshot.h"

#include "StringTable.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

class UnsavedWork : public AppHarness {
protected:
    // A saved map (so that the recent-file list has an entry), then a new map with another
    // picture loaded and calibrated without saving. (Choosing the map that is open asks nothing.)
    void MakeUnsavedWork() {
        prompt.chosenFiles.push_back(WriteBitmap("saved.bmp", {80, 60}).toStdString());
        PressKey(Qt::Key_F2);
        savedMap = TestPath("saved.gpm");
        prompt.chosenFiles.push_back(savedMap.toStdString());
        PressKey(Qt::Key_S, Qt::ControlModifier);
        ASSERT_FALSE(Doc().IsModified());
        PressKey(Qt::Key_N, Qt::ControlModifier);
        prompt.chosenFiles.push_back(WriteBitmap("work.bmp", {120, 90}).toStdString());
        PressKey(Qt::Key_F2);
        ASSERT_EQ(Doc().Calibrate(0, {CDoublePoint{-1, 1}, {1, 1}, {1, -1}},
                                  {CDoublePoint{0, 0}, {120, 0}, {120, 90}}, 0, '?', nullptr,
                                  nullptr),
                  0);
        ASSERT_TRUE(Doc().IsModified());
        prompt.messages.clear();
        prompt.choosers.clear();
    }
    void Drop(const QString& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        const QPoint pt = Frame().rect().center();
        QDragEnterEvent enter(pt, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Frame(), &enter);
        QDropEvent drop(QPointF(pt), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&Frame(), &drop);
        QCoreApplication::processEvents();
    }

    QString savedMap;
};

} // namespace

TEST_F(UnsavedWork, every_way_to_replace_a_modified_map_asks_and_cancel_keeps_it) {
    Start();
    MakeUnsavedWork();
    const struct {
        const char* name;
        std::function<void()> act;
    } cases[] = {
        {"close the window", [&] { EXPECT_FALSE(Close()); }},
        {"file new", [&] { PressKey(Qt::Key_N, Qt::ControlModifier); }},
        {"file open",
         [&] {
             prompt.chosenFiles.push_back(savedMap.toStdString());
             PressKey(Qt::Key_O, Qt::ControlModifier);
         }},
        {"dropped file", [&] { Drop(savedMap); }},
        {"recent file",
         [&] {
             QAction* recent = Frame().findChild<QAction*>(
                 QStringLiteral("cmd%1").arg(static_cast<int>(ID_FILE_MRU_FILE1)));
             ASSERT_NE(recent, nullptr);
             recent->trigger();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DocumentSnapshot before = DocumentSnapshot::Of(Doc());
        prompt.messages.clear();
        prompt.chosenFiles.clear();
        prompt.answers.push_back(MsgAnswer::Cancel);
        c.act();
        QCoreApplication::processEvents();
        ASSERT_EQ(prompt.MessageIds(), std::vector<unsigned>{IDS_SAVE_CHANGES});
        EXPECT_EQ(prompt.messages[0].buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(DocumentSnapshot::Of(Doc()).Differences(before), std::vector<std::string>{});
        EXPECT_TRUE(Frame().isVisible());
    }
    // No lets the last of them go on: the saved map replaces the unsaved work.
    prompt.messages.clear();
    prompt.answers.push_back(MsgAnswer::No);
    Drop(savedMap);
    EXPECT_EQ(Doc().GetMapWidth(), 80);
    EXPECT_FALSE(Doc().IsModified());
    prompt.answers.push_back(MsgAnswer::No);
}

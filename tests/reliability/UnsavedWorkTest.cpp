// Every way of replacing the map on screen asks about unsaved changes first, and Cancel keeps
// everything: closing the window, File New, File Open, a file dropped on the window and a
// file from the recent-file list. The end of the session asks the same, or keeps the map
// without asking when it may not ask.
#include "AppHarness.h"
#include "DocumentSnapshot.h"

#include "TestFiles.h"
#include "framework/CAtomicFile.h"
#include "resources/StringTable.h"

#include <QAction>
#include <QDir>

using namespace mapreg;

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
        ASSERT_EQ(Doc()
                      .Calibrate({CoordType::LatLon,
                                  {CDoublePoint{-1, 1}, {1, 1}, {1, -1}},
                                  {CDoublePoint{0, 0}, {120, 0}, {120, 90}},
                                  0,
                                  '?'})
                      .code,
                  0);
        ASSERT_TRUE(Doc().IsModified());
        prompt.messages.clear();
        prompt.choosers.clear();
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
    // No lets the last of them go on: the saved map replaces the unsaved work. Yes saves the
    // work before the window closes.
    prompt.answers.push_back(MsgAnswer::No);
    Drop(savedMap);
    EXPECT_EQ(Doc().GetMapWidth(), 80);
    EXPECT_FALSE(Doc().IsModified());
    LoadPicture({30, 20});
    prompt.answers.push_back(MsgAnswer::Yes);
    EXPECT_TRUE(Close());
    EXPECT_NE(ReadBytes(savedMap.toStdString()).find("plain.bmp"), std::string::npos);
}

TEST_F(UnsavedWork, session_end_asks_like_a_close_or_keeps_the_map_without_asking) {
    qputenv("XDG_STATE_HOME", TestPath("state").toLocal8Bit());
    Start();
    MakeUnsavedWork(); // untitled and modified; Yes saves it as saved.gpm
    const std::string before = ReadBytes(savedMap.toStdString());
    const auto saved = [&] { return ReadBytes(savedMap.toStdString()) == Doc().BuildMapFile(); };
    const struct {
        const char* name;
        bool interactive;
        MsgAnswer answer;
        bool diskFull;
        bool ends;
    } cases[] = {
        {"cancel", true, MsgAnswer::Cancel, false, false},
        {"yes_but_the_save_fails", true, MsgAnswer::Yes, true, false},
        {"yes", true, MsgAnswer::Yes, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.messages.clear();
        prompt.answers.push_back(c.answer);
        prompt.chosenFiles.push_back(savedMap.toStdString());
        CAtomicFile::SetFailureHookForTesting(
            c.diskFull ? CAtomicFile::FailureHook([](const std::string&) { return ENOSPC; })
                       : nullptr);
        EXPECT_EQ(App().CommitData([&] { return c.interactive; }), c.ends);
        EXPECT_EQ(prompt.MessageIds().front(), IDS_SAVE_CHANGES);
        EXPECT_EQ(saved(), c.ends);
        EXPECT_EQ(Doc().IsModified(), !c.ends);
        EXPECT_TRUE(ProfileValue(QStringLiteral("Settings/cmdShow")).isValid());
    }
    CAtomicFile::SetFailureHookForTesting(nullptr);
    ASSERT_NE(ReadBytes(savedMap.toStdString()), before);
    prompt.chosenFiles.clear();

    // Without interaction: a named map is saved, an unnamed one goes to a recovery file.
    prompt.messages.clear();
    ASSERT_EQ(Doc()
                  .Calibrate({CoordType::LatLon,
                              {CDoublePoint{-2, 2}, {2, 2}, {2, -2}},
                              {CDoublePoint{0, 0}, {120, 0}, {120, 90}},
                              0,
                              '?'})
                  .code,
              0);
    EXPECT_TRUE(App().CommitData([] { return false; }));
    EXPECT_TRUE(saved());
    PressKey(Qt::Key_N, Qt::ControlModifier);
    LoadPicture({50, 40}, QStringLiteral("unnamed.bmp"));
    EXPECT_TRUE(App().CommitData([] { return false; }));
    EXPECT_TRUE(prompt.messages.empty());
    const QStringList kept = QDir(CGpsApp::RecoveryFolder()).entryList(QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(kept[0].startsWith(QStringLiteral("Untitled ")) && kept[0].endsWith(".gpm"));
    EXPECT_EQ(ReadBytes((CGpsApp::RecoveryFolder() + "/" + kept[0]).toStdString()),
              Doc().BuildMapFile());
}

// Without interaction nothing is ever shown: a failed save falls back to the recovery file, a
// failed recovery write too is reported as nothing kept, and the quit after a kept recovery
// closes the window without a question.
TEST_F(UnsavedWork, session_end_without_interaction_never_asks_and_reports_what_it_kept) {
    qputenv("XDG_STATE_HOME", TestPath("state").toLocal8Bit());
    Start();
    MakeUnsavedWork();
    prompt.chosenFiles.push_back(savedMap.toStdString());
    PressKey(Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(Doc()
                  .Calibrate({CoordType::LatLon,
                              {CDoublePoint{-3, 3}, {3, 3}, {3, -3}},
                              {CDoublePoint{0, 0}, {120, 0}, {120, 90}}})
                  .code,
              0);
    ASSERT_TRUE(Doc().IsModified());
    const std::string before = ReadBytes(savedMap.toStdString());
    const auto recoveryFiles = [] {
        return QDir(CGpsApp::RecoveryFolder()).entryList(QDir::Files);
    };
    const struct {
        const char* name;
        bool recoveryFails;
        bool ends;
    } cases[] = {
        {"nothing could be kept", true, false},
        {"the save fails, the recovery file keeps the work", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        prompt.messages.clear();
        const std::string recovery = CGpsApp::RecoveryFolder().toStdString();
        CAtomicFile::SetFailureHookForTesting([&](const std::string& path) {
            return c.recoveryFails || path.rfind(recovery, 0) != 0 ? ENOSPC : 0;
        });
        EXPECT_EQ(App().CommitData([] { return false; }), c.ends);
        CAtomicFile::SetFailureHookForTesting(nullptr);
        EXPECT_TRUE(prompt.messages.empty());
        EXPECT_EQ(ReadBytes(savedMap.toStdString()), before);
        EXPECT_EQ(recoveryFiles().size(), c.ends ? 1 : 0);
    }
    ASSERT_EQ(recoveryFiles().size(), 1);
    EXPECT_EQ(ReadBytes((CGpsApp::RecoveryFolder() + "/" + recoveryFiles()[0]).toStdString()),
              Doc().BuildMapFile());
    // The session manager's quit that follows.
    EXPECT_TRUE(Close());
    EXPECT_TRUE(prompt.messages.empty());
}

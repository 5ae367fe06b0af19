#include "CDocument.h"
#include "CRecordingFrame.h"
#include "CRecordingPrompt.h"
#include "CView.h"
#include "StringTable.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct RecordingView : CView {
    void OnUpdate(CDocument* sender, int hint) override {
        senders.push_back(sender);
        hints.push_back(hint);
    }
    std::vector<CDocument*> senders;
    std::vector<int> hints;
};

// A document whose open and save answer as told and count their calls.
class ScriptedDocument : public CDocument {
public:
    using CDocument::CDocument;
    bool OnOpenDocument(const std::string& path) override {
        opened.push_back(path);
        return openSucceeds;
    }
    bool OnSaveDocument(const std::string& path) override {
        saved.push_back(path);
        return saveSucceeds;
    }
    void DeleteContents() override { ++deleted; }
    std::string GetDefaultExtension() const override { return ".gpm"; }

    bool openSucceeds = true;
    bool saveSucceeds = true;
    std::vector<std::string> opened;
    std::vector<std::string> saved;
    int deleted = 0;
};

} // namespace

TEST(DocumentBase, update_reaches_every_view_but_the_sender) {
    CRecordingPrompt prompt;
    ScriptedDocument doc(prompt);
    RecordingView a;
    RecordingView b;
    doc.AddView(&a);
    doc.AddView(&b);
    doc.AddView(&a); // attached once only
    doc.UpdateAllViews(3);
    doc.UpdateAllViews(5, &a);
    EXPECT_EQ(a.hints, (std::vector<int>{3}));
    EXPECT_EQ(b.hints, (std::vector<int>{3, 5}));
    EXPECT_EQ(b.senders.front(), &doc);
    doc.RemoveView(&b);
    doc.UpdateAllViews(0);
    EXPECT_EQ(b.hints.size(), 2u);
}

TEST(DocumentBase, path_gives_the_title_and_new_document_forgets_it) {
    CRecordingPrompt prompt;
    ScriptedDocument doc(prompt);
    EXPECT_EQ(doc.GetTitle(), LoadStringId(IDS_UNTITLED));
    ASSERT_TRUE(doc.FileOpen("/maps/harbour.gpm"));
    EXPECT_EQ(doc.GetPathName(), "/maps/harbour.gpm");
    EXPECT_EQ(doc.GetTitle(), "harbour.gpm");
    doc.SetModifiedFlag();
    prompt.answers.push_back(MsgAnswer::No);
    ASSERT_TRUE(doc.FileNew());
    EXPECT_EQ(doc.deleted, 1);
    EXPECT_EQ(doc.GetPathName(), "");
    EXPECT_EQ(doc.GetTitle(), LoadStringId(IDS_UNTITLED));
    EXPECT_FALSE(doc.IsModified());
}

TEST(DocumentBase, failed_open_keeps_path_title_and_modified_flag) {
    CRecordingPrompt prompt;
    ScriptedDocument doc(prompt);
    ASSERT_TRUE(doc.FileOpen("/maps/a.gpm"));
    doc.openSucceeds = false;
    EXPECT_FALSE(doc.FileOpen("/maps/b.gpm"));
    EXPECT_EQ(doc.GetPathName(), "/maps/a.gpm");
    EXPECT_EQ(doc.GetTitle(), "a.gpm");
}

TEST(DocumentBase, save_changes_question_decides_what_happens) {
    struct Case {
        MsgAnswer answer;
        bool saveSucceeds;
        bool goesOn;
        std::size_t saves;
    };
    const Case cases[] = {
        {MsgAnswer::Yes, true, true, 1},
        {MsgAnswer::Yes, false, false, 1}, // a failed save stops the command
        {MsgAnswer::No, true, true, 0},
        {MsgAnswer::Cancel, true, false, 0},
    };
    for (const Case& c : cases) {
        CRecordingPrompt prompt;
        ScriptedDocument doc(prompt);
        ASSERT_TRUE(doc.FileOpen("/maps/a.gpm"));
        doc.SetModifiedFlag();
        doc.saveSucceeds = c.saveSucceeds;
        prompt.answers.push_back(c.answer);
        EXPECT_EQ(doc.SaveModified(), c.goesOn);
        EXPECT_EQ(doc.saved.size(), c.saves);
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_EQ(prompt.messages[0].text, "Save changes to a.gpm?");
        EXPECT_EQ(prompt.messages[0].buttons, MsgButtons::YesNoCancel);
    }
}

TEST(DocumentBase, save_without_a_path_asks_for_one) {
    CRecordingPrompt prompt;
    ScriptedDocument doc(prompt);
    EXPECT_FALSE(doc.FileSave()); // chooser cancelled
    ASSERT_EQ(prompt.choosers.size(), 1u);
    EXPECT_TRUE(prompt.choosers[0].save);
    EXPECT_EQ(prompt.choosers[0].defaultExt, ".gpm");
    prompt.chosenFiles.push_back("/maps/new.gpm");
    doc.SetModifiedFlag();
    EXPECT_TRUE(doc.FileSave());
    EXPECT_EQ(doc.saved, (std::vector<std::string>{"/maps/new.gpm"}));
    EXPECT_EQ(doc.GetTitle(), "new.gpm");
    EXPECT_FALSE(doc.IsModified());
}

TEST(FrameCommands, recording_frame_is_the_main_window_while_it_lives) {
    EXPECT_EQ(GetAppMainWindow(), nullptr);
    {
        CRecordingFrame frame;
        EXPECT_EQ(GetAppMainWindow(), &frame);
    }
    EXPECT_EQ(GetAppMainWindow(), nullptr);
}

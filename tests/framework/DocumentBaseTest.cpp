#include "framework/CDocument.h"
#include "framework/CRecordingPrompt.h"
#include "framework/CView.h"
#include "resources/StringTable.h"

#include <gtest/gtest.h>

#include <vector>

using namespace mapreg;

namespace {

struct RecordingView : CView {
    void OnUpdate(CDocument* sender, int hint) override {
        senders.push_back(sender);
        hints.push_back(hint);
    }
    std::vector<CDocument*> senders;
    std::vector<int> hints;
};

// A document whose open and save answer as told; saves and deletions are counted.
class ScriptedDocument : public CDocument {
public:
    using CDocument::CDocument;
    bool OnOpenDocument(const std::string&) override { return openSucceeds; }
    bool OnSaveDocument(const std::string& path) override {
        saved.push_back(path);
        return saveSucceeds;
    }
    void DeleteContents() override { ++deleted; }
    std::string GetDefaultExtension() const override { return ".gpm"; }

    bool openSucceeds = true;
    bool saveSucceeds = true;
    std::vector<std::string> saved;
    int deleted = 0;
};

struct DocumentBase : ::testing::Test {
    CRecordingPrompt prompt;
    ScriptedDocument doc{prompt};
};

} // namespace

TEST_F(DocumentBase, update_reaches_every_view_but_the_sender) {
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

TEST_F(DocumentBase, path_gives_the_title_failed_open_keeps_it_and_new_forgets_it) {
    EXPECT_EQ(doc.GetTitle(), LoadStringId(IDS_UNTITLED));
    ASSERT_TRUE(doc.FileOpen("/maps/harbour.gpm"));
    doc.openSucceeds = false;
    EXPECT_FALSE(doc.FileOpen("/maps/b.gpm"));
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

TEST_F(DocumentBase, save_changes_question_decides_what_happens) {
    const struct {
        MsgAnswer answer;
        bool saveSucceeds;
        bool goesOn;
        std::size_t saves;
    } cases[] = {
        {MsgAnswer::Yes, true, true, 1},
        {MsgAnswer::Yes, false, false, 1}, // a failed save stops the command
        {MsgAnswer::No, true, true, 0},
        {MsgAnswer::Cancel, true, false, 0},
    };
    for (const auto& c : cases) {
        CRecordingPrompt answers;
        ScriptedDocument modified(answers);
        ASSERT_TRUE(modified.FileOpen("/maps/a.gpm"));
        modified.SetModifiedFlag();
        modified.saveSucceeds = c.saveSucceeds;
        answers.answers.push_back(c.answer);
        EXPECT_EQ(modified.SaveModified(), c.goesOn);
        EXPECT_EQ(modified.saved.size(), c.saves);
        ASSERT_EQ(answers.messages.size(), 1u);
        EXPECT_EQ(answers.messages[0].text, "Save changes to a.gpm?");
        EXPECT_EQ(answers.messages[0].buttons, MsgButtons::YesNoCancel);
    }
}

TEST_F(DocumentBase, save_without_a_path_asks_for_one) {
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

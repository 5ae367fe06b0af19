#pragma once
// The questions and notices the document puts to the user: message boxes with a text of
// the string table, a choice among a few items, the file choosers and the wait cursor. The desktop
// application answers them with dialogs; tests answer them with CRecordingPrompt.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mapreg {

enum class MsgIcon { Stop, Exclamation, Question, Information };
enum class MsgButtons { Ok, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Yes, No, Cancel };

class CUserPrompt {
public:
    virtual ~CUserPrompt() = default;

    // Shows text in a modal message box; id is the string-table id the text was made
    // from (kept so that callers and tests can tell the messages apart).
    virtual MsgAnswer ShowMessage(unsigned id, const std::string& text, MsgIcon icon,
                                  MsgButtons buttons) = 0;

    // File-open chooser for an existing file. filter is in the "label|pattern|...||" form
    // of the string table. Returns the chosen full path, or nothing when cancelled.
    virtual std::optional<std::string> ChooseFileToOpen(std::string_view defaultExt,
                                                        std::string_view filter,
                                                        std::string_view title) = 0;
    // File-save chooser, starting at initialPath. Returns the path or nothing.
    virtual std::optional<std::string> ChooseFileToSave(std::string_view defaultExt,
                                                        std::string_view filter,
                                                        std::string_view initialPath) = 0;

    // Asks for one of items (at least one) under text; id is the string-table id of text. Returns
    // the index of the chosen item, or nothing when cancelled.
    virtual std::optional<int> ChooseItem(unsigned id, const std::string& text,
                                          const std::vector<std::string>& items) = 0;

    // Nested calls are counted; the cursor returns when every Begin has its End.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;

    // The text of id from the string table, shown with ShowMessage.
    MsgAnswer MessageBoxId(unsigned id, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok);
    // The text of id with %1 replaced by arg.
    MsgAnswer MessageBoxId1(unsigned id, std::string_view arg, MsgIcon icon,
                            MsgButtons buttons = MsgButtons::Ok);
};

} // namespace mapreg

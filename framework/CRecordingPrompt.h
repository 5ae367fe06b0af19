#pragma once
// A CUserPrompt for tests and for tools without a window: it records every message and
// chooser call and answers from queues filled beforehand. With an empty queue a message
// is answered Ok, No or Cancel (the answer that changes nothing) and a chooser is cancelled.

#include "framework/CUserPrompt.h"

#include <deque>
#include <string>
#include <vector>

namespace mapreg {

class CRecordingPrompt : public CUserPrompt {
public:
    struct Message {
        unsigned id;
        std::string text;
        MsgIcon icon;
        MsgButtons buttons;
    };
    struct Chooser {
        bool save;
        std::string defaultExt;
        std::string filter;
        std::string titleOrPath; // the title of an open chooser, the initial path of a save one
    };

    MsgAnswer ShowMessage(unsigned id, const std::string& text, MsgIcon icon,
                          MsgButtons buttons) override;
    std::optional<std::string> ChooseFileToOpen(std::string_view defaultExt,
                                                std::string_view filter,
                                                std::string_view title) override;
    std::optional<std::string> ChooseFileToSave(std::string_view defaultExt,
                                                std::string_view filter,
                                                std::string_view initialPath) override;
    std::optional<int> ChooseItem(unsigned id, const std::string& text,
                                  const std::vector<std::string>& items) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

    // Queued answers, used first in first out.
    std::deque<MsgAnswer> answers;
    std::deque<std::optional<std::string>> chosenFiles;
    std::deque<std::optional<int>> chosenItems;

    // What was asked, in order.
    std::vector<Message> messages;
    std::vector<Chooser> choosers;
    struct ItemChoice {
        unsigned id;
        std::vector<std::string> items;
    };
    std::vector<ItemChoice> itemChoices;
    int waitCursorDepth = 0;
    int waitCursorCount = 0;

    // Ids of the recorded messages, in order.
    std::vector<unsigned> MessageIds() const;
};

} // namespace mapreg

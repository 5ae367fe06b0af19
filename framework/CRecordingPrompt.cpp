#include "framework/CRecordingPrompt.h"

namespace mapreg {

MsgAnswer CRecordingPrompt::ShowMessage(unsigned id, const std::string& text, MsgIcon icon,
                                        MsgButtons buttons) {
    messages.push_back({id, text, icon, buttons});
    if (!answers.empty()) {
        const MsgAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    switch (buttons) {
    case MsgButtons::YesNo:
        return MsgAnswer::No;
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return MsgAnswer::Ok;
}

std::optional<std::string> CRecordingPrompt::ChooseFileToOpen(std::string_view defaultExt,
                                                              std::string_view filter,
                                                              std::string_view title) {
    choosers.push_back({false, std::string(defaultExt), std::string(filter), std::string(title)});
    if (chosenFiles.empty()) {
        return std::nullopt;
    }
    auto chosen = chosenFiles.front();
    chosenFiles.pop_front();
    return chosen;
}

std::optional<std::string> CRecordingPrompt::ChooseFileToSave(std::string_view defaultExt,
                                                              std::string_view filter,
                                                              std::string_view initialPath) {
    choosers.push_back(
        {true, std::string(defaultExt), std::string(filter), std::string(initialPath)});
    if (chosenFiles.empty()) {
        return std::nullopt;
    }
    auto chosen = chosenFiles.front();
    chosenFiles.pop_front();
    return chosen;
}

std::optional<int> CRecordingPrompt::ChooseItem(unsigned id, const std::string& /*text*/,
                                                const std::vector<std::string>& items) {
    itemChoices.push_back({id, items});
    if (chosenItems.empty()) {
        return std::nullopt;
    }
    const std::optional<int> chosen = chosenItems.front();
    chosenItems.pop_front();
    return chosen;
}

void CRecordingPrompt::BeginWaitCursor() {
    ++waitCursorDepth;
    ++waitCursorCount;
}

void CRecordingPrompt::EndWaitCursor() {
    --waitCursorDepth;
}

std::vector<unsigned> CRecordingPrompt::MessageIds() const {
    std::vector<unsigned> ids;
    ids.reserve(messages.size());
    for (const auto& m : messages) {
        ids.push_back(m.id);
    }
    return ids;
}

} // namespace mapreg

#pragma once
// Answers the document's questions where no one may be asked (the end of a session): every
// message is counted instead of shown and answered as declined, every chooser is cancelled.

#include "framework/CUserPrompt.h"

namespace mapreg {

class CSilentPrompt : public CUserPrompt {
public:
    // Ok for a notice, No or Cancel for a question.
    MsgAnswer ShowMessage(unsigned id, const std::string& text, MsgIcon icon,
                          MsgButtons buttons) override;
    std::optional<std::string> ChooseFileToOpen(std::string_view defaultExt,
                                                std::string_view filter,
                                                std::string_view title) override;
    std::optional<std::string> ChooseFileToSave(std::string_view defaultExt,
                                                std::string_view filter,
                                                std::string_view initialPath) override;
    std::optional<int> ChooseItem(unsigned /*id*/, const std::string& /*text*/,
                                  const std::vector<std::string>& /*items*/) override {
        return std::nullopt;
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}

    // How many messages would have been shown.
    int Messages() const { return m_nMessages; }

private:
    int m_nMessages = 0;
};

} // namespace mapreg

#pragma once
// The desktop application's CUserPrompt: QMessageBox, QInputDialog, QFileDialog and the override
// cursor. Message boxes carry the application title as their window title.

#include "framework/CUserPrompt.h"

class QWidget;

namespace mapreg {

class CQtUserPrompt : public CUserPrompt {
public:
    // parent, when set, owns the dialogs' position; it may be changed later.
    explicit CQtUserPrompt(QWidget* parent = nullptr) : m_pParent(parent) {}
    void SetParent(QWidget* parent) { m_pParent = parent; }

    MsgAnswer ShowMessage(unsigned id, const std::string& text, MsgIcon icon,
                          MsgButtons buttons) override;
    std::optional<std::string> ChooseFileToOpen(std::string_view defaultExt,
                                                std::string_view filter,
                                                std::string_view title) override;
    std::optional<std::string> ChooseFileToSave(std::string_view defaultExt,
                                                std::string_view filter,
                                                std::string_view initialPath) override;
    // A list of the items with OK and Cancel, the first item selected.
    std::optional<int> ChooseItem(unsigned id, const std::string& text,
                                  const std::vector<std::string>& items) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;

    // Turns a "label|pattern|label|pattern||" filter into QFileDialog's
    // "label (patterns);;..." form; "*.*" becomes "*".
    static std::string ToQtFilter(std::string_view filter);

private:
    QWidget* m_pParent;
};

} // namespace mapreg

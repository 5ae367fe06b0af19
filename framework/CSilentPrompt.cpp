#include "framework/CSilentPrompt.h"

namespace mapreg {

MsgAnswer CSilentPrompt::ShowMessage(unsigned /*id*/, const std::string& /*text*/, MsgIcon /*icon*/,
                                     MsgButtons buttons) {
    ++m_nMessages;
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgAnswer::Ok;
    case MsgButtons::YesNo:
        return MsgAnswer::No;
    case MsgButtons::YesNoCancel:
        break;
    }
    return MsgAnswer::Cancel;
}

std::optional<std::string> CSilentPrompt::ChooseFileToOpen(std::string_view /*defaultExt*/,
                                                           std::string_view /*filter*/,
                                                           std::string_view /*title*/) {
    return std::nullopt;
}

std::optional<std::string> CSilentPrompt::ChooseFileToSave(std::string_view /*defaultExt*/,
                                                           std::string_view /*filter*/,
                                                           std::string_view /*initialPath*/) {
    return std::nullopt;
}

} // namespace mapreg

#include "framework/CUserPrompt.h"

#include "resources/StringTable.h"

namespace mapreg {

MsgAnswer CUserPrompt::MessageBoxId(unsigned id, MsgIcon icon, MsgButtons buttons) {
    return ShowMessage(id, std::string(LoadStringId(id)), icon, buttons);
}

MsgAnswer CUserPrompt::MessageBoxId1(unsigned id, std::string_view arg, MsgIcon icon,
                                     MsgButtons buttons) {
    return ShowMessage(id, FormatString1(id, arg), icon, buttons);
}

} // namespace mapreg

#include "app/ShowFileResult.h"

#include "framework/CUserPrompt.h"

namespace mapreg {

void ShowFileResult(CUserPrompt& prompt, const FileResult& result) {
    for (const FileResult::Notice& notice : result.notices) {
        prompt.ShowMessage(notice.id, notice.text, notice.icon, MsgButtons::Ok);
    }
}

} // namespace mapreg

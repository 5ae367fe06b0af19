#pragma once
// Hands a document's load and save results to a prompt the way the desktop program does (one
// message box per notice), so that a test reads them in order with the questions.

#include "document/CGpsDoc.h"
#include "framework/CUserPrompt.h"

namespace mapreg {

inline void ReportToPrompt(CGpsDoc& doc, CUserPrompt& prompt) {
    doc.SetResultReporter([&prompt](const FileResult& result) {
        for (const FileResult::Notice& notice : result.notices) {
            prompt.ShowMessage(notice.id, notice.text, notice.icon, MsgButtons::Ok);
        }
    });
}

} // namespace mapreg

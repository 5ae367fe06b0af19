#pragma once
// How the desktop program tells the user what a load or save of the document ended with.

#include "document/FileResult.h"

namespace mapreg {

class CUserPrompt;

// One message box per notice of result, in order, each with its icon and an OK button.
void ShowFileResult(CUserPrompt& prompt, const FileResult& result);

} // namespace mapreg

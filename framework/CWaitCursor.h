#pragma once
// Shows the wait cursor of a CUserPrompt for the lifetime of the object, so that every
// path out of a long operation restores the cursor.

#include "framework/CUserPrompt.h"

namespace mapreg {

class CWaitCursor {
public:
    explicit CWaitCursor(CUserPrompt& prompt) : m_prompt(prompt) { m_prompt.BeginWaitCursor(); }
    ~CWaitCursor() { m_prompt.EndWaitCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    CUserPrompt& m_prompt;
};

} // namespace mapreg

#include "app/CCommandGuard.h"

#include "app/CGpsApp.h"

namespace mapreg {

CCommandGuard::CCommandGuard() {
    if (CGpsApp* pApp = CGpsApp::Instance()) {
        pApp->BeginCommand();
        m_bHeld = true;
    }
}

CCommandGuard::~CCommandGuard() {
    // The application object outlives every command that runs inside its event loop.
    if (CGpsApp* pApp = CGpsApp::Instance(); m_bHeld && pApp != nullptr) {
        pApp->EndCommand();
    }
}

} // namespace mapreg

#pragma once
// Marks that a command runs (a menu command, an open handed over by the desktop or dropped on
// the window, a worker job behind its progress dialog). While one is held, desktop requests and
// dropped files wait in the application's queue and are opened once the last guard is gone, so
// no command ever runs inside another, even when the running one spins an event loop.

namespace mapreg {

class CCommandGuard {
public:
    // Does nothing when there is no CGpsApp (tests of single widgets).
    CCommandGuard();
    ~CCommandGuard();
    CCommandGuard(const CCommandGuard&) = delete;
    CCommandGuard& operator=(const CCommandGuard&) = delete;

private:
    bool m_bHeld = false;
};

} // namespace mapreg

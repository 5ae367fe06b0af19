#include "CFrameCommands.h"

namespace {
CFrameCommands* g_pMainWindow = nullptr;
}

CFrameCommands* GetAppMainWindow() {
    return g_pMainWindow;
}

void SetAppMainWindow(CFrameCommands* mainWindow) {
    g_pMainWindow = mainWindow;
}

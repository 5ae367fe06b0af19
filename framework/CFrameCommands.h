#pragma once
// The main-frame operations the document asks for, and the accessor through which the
// document reaches the application's main window. There is no main window in tests and
// tools unless one is installed, and callers skip the calls then.

class CFrameCommands {
public:
    virtual ~CFrameCommands() = default;
    // Shows the calibration menu in place of the normal one.
    virtual void SwitchToCalibrationMenu() = 0;
    // Shows the normal menu again.
    virtual void SwitchToNormalMenu() = 0;
};

// The application's main window, or null while there is none.
CFrameCommands* GetAppMainWindow();
// Installs (or with null removes) the main window; the caller keeps ownership.
void SetAppMainWindow(CFrameCommands* mainWindow);

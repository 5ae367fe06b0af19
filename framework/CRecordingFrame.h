#pragma once
// A main window for tests: it records the menu switches asked of it and installs itself
// as the application's main window for its lifetime.

#include "CFrameCommands.h"

#include <string>
#include <vector>

class CRecordingFrame : public CFrameCommands {
public:
    CRecordingFrame() { SetAppMainWindow(this); }
    ~CRecordingFrame() override {
        if (GetAppMainWindow() == this) {
            SetAppMainWindow(nullptr);
        }
    }
    CRecordingFrame(const CRecordingFrame&) = delete;
    CRecordingFrame& operator=(const CRecordingFrame&) = delete;

    void SwitchToCalibrationMenu() override {
        calls.emplace_back("calibration");
        calibrationMenu = true;
    }
    void SwitchToNormalMenu() override {
        calls.emplace_back("normal");
        calibrationMenu = false;
    }

    std::vector<std::string> calls; // "calibration" or "normal", in order
    bool calibrationMenu = false;
};

#pragma once
// A main window for document tests: attached to the document like the real frame, it records
// the menu that each calibration-mode hint asks for.

#include "document/CGpsDoc.h"
#include "framework/CView.h"

#include <string>
#include <vector>

namespace mapreg {

class CRecordingFrame : public CView {
public:
    void OnUpdate(CDocument* sender, int hint) override {
        if (static_cast<UpdateHint>(hint) == UpdateHint::HINT_CALIBRATION_MODE) {
            calibrationMenu = static_cast<CGpsDoc*>(sender)->IsCalibrationMode();
            calls.emplace_back(calibrationMenu ? "calibration" : "normal");
        }
    }

    std::vector<std::string> calls; // "calibration" or "normal", in order
    bool calibrationMenu = false;
};

} // namespace mapreg

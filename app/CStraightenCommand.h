#pragma once
// Map > Straighten for Device: warps the calibrated map's picture into the north-up grid the
// device reads (mapreg-cli rectify, run as a worker with progress and Cancel), writing
// <name>-straight.bmp beside the bitmap (or where the user says, when that name is taken or the
// folder is not writable) with its map file and registration file. With six enabled control
// points or more the user chooses the fit to warp through: the calibration's affine, or a
// polynomial or thin-plate spline through the points. The map in the window is never touched:
// the caller opens the new map, after the usual question about unsaved changes.

#include "georef/WarpFit.h"

#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace mapreg {

class CGpsDoc;
class CUserPrompt;

class CStraightenCommand {
public:
    CStraightenCommand(const CGpsDoc& doc, CUserPrompt& prompt, QWidget* pParent);

    // Straightens the map; returns the new map file, or nothing when the user cancelled or it
    // failed (the failure already said).
    std::optional<std::string> Run();

    // After a calibration was committed by hand: when the device would show the map more than a
    // pixel away, says so once with the figure and offers to straighten. True when the user
    // accepted.
    bool OfferAfterCalibration();

    // The device error of the document's calibration in metres, and whether it exceeds the ground
    // size of a pixel at the picture's centre. NaN for a map that is not calibrated.
    struct DeviceError {
        double metres;
        bool visible;
    };
    static DeviceError Of(const CGpsDoc& doc);

    // The fits the document's enabled control points allow, the calibration's first; only the
    // calibration's when they allow no better one.
    static std::vector<WarpFit> FitsOf(const CGpsDoc& doc);

private:
    // The fit to straighten through: asked when there is a choice; nothing when cancelled.
    std::optional<WarpFit> ChooseFit();

    const CGpsDoc& m_doc;
    CUserPrompt& m_prompt;
    QWidget* m_pParent;
};

} // namespace mapreg

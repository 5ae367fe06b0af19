#pragma once
// What the calibration coordinates dialog asks of the map view: moving a calibration mark to a
// pixel position while the dialog is open. The dialog works without one; marks then stay put.

#include <QPoint>

namespace mapreg {

class ICalibrationView {
public:
    virtual ~ICalibrationView() = default;

    // Moves mark nMark (0..2) to ptPixel (map pixels; clamped to the picture by the view).
    // nScroll 1 scrolls the view so that the mark is visible, 0 leaves the scroll position.
    virtual void SetMarkPosition(int nMark, QPoint ptPixel, int nScroll) = 0;
};

} // namespace mapreg

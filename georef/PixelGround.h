#pragma once
// What a calibration makes of one pixel on the ground: the length of its two sides and how far
// the picture's rows are turned against east in the grid of the calibration's kind. A mistyped
// hemisphere, a swapped easting or a wrong zone shows here as an absurd size or turn. Lengths
// are geodesics on the WGS 84 ellipsoid in metres; no function here throws.

#include "georef/CCalibration.h"
#include "georef/CDoublePoint.h"

namespace mapreg {

struct SPixelGround {
    double xMetres = 0.0; // one pixel to the right
    double yMetres = 0.0; // one pixel down
    // The turn of a picture row against east, in degrees in (-180, 180], clockwise positive: 0
    // for a north-up picture, 180 for one mirrored left to right. East is that of the grid the
    // device draws in: grid east for UTM, along the parallel for latitude/longitude.
    double rotationDegrees = 0.0;
};

// At picture point at (pixels from the top-left corner; the picture's centre for the figures the
// program shows). Every field NaN when the calibration cannot map the point.
SPixelGround PixelGroundAt(const CCalibration& calibration, CDoublePoint at);

} // namespace mapreg

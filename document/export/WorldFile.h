#pragma once
// The world file beside the bitmap: the affine mapping of its pixels, read by desktop GIS.

#include "georef/CAffine.h"

#include <string>

namespace mapreg {

// "city.bpw" for "city.bmp": the first and last letter of the extension and 'w' (in the case of
// the extension's last letter); ".wld" when the file name has an extension of fewer than two
// letters or none.
std::string WorldFileName(const std::string& bitmapPath);

// The six lines A, D, B, E, C, F of the world file, C and F at the centre of the upper-left
// pixel.
std::string BuildWorldFileText(const CAffine& affine);

} // namespace mapreg

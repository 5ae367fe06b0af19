#include "document/export/WorldFile.h"

#include "document/export/ExportText.h"

#include <filesystem>

namespace mapreg {

std::string WorldFileName(const std::string& bitmapPath) {
    std::filesystem::path path(bitmapPath);
    const std::string ext = path.extension().string();
    std::string worldExt = ".wld";
    if (ext.size() >= 3) { // the dot and at least two letters
        const char last = ext.back();
        worldExt = std::string(".") + ext[1] + last + (last >= 'A' && last <= 'Z' ? 'W' : 'w');
    }
    path.replace_extension(worldExt);
    return path.string();
}

std::string BuildWorldFileText(const CAffine& affine) {
    // World files name the centre of the upper-left pixel, half a pixel in from the corner.
    const CDoublePoint centre = affine.Apply({0.5, 0.5});
    std::string text;
    for (const double value : {affine.a, affine.d, affine.b, affine.e, centre.x, centre.y}) {
        text += ExactNumber(value);
        text += "\n";
    }
    return text;
}

} // namespace mapreg

#pragma once
// Which bands of a GDAL picture carry its colours and its transparency, as the importer and the
// warper both read them.

#include <vector>

class GDALDataset;

namespace mapreg {

struct SBandRoles {
    // The first band marked alpha; 0 for none.
    int alpha = 0;
    // Read as colours rather than through a palette: the red, green and blue bands; else the
    // first three bands other than alpha; else one grey band.
    std::vector<int> colour;
    // The alpha band of that reading: a second band beside a lone grey one is alpha, as PNG
    // stores them.
    int colourAlpha = 0;
    // The first band is palette indices with a colour table.
    bool palette = false;
};

SBandRoles FindBandRoles(GDALDataset& ds);

} // namespace mapreg

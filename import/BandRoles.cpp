#include "import/BandRoles.h"

#include <gdal_priv.h>

namespace mapreg {

SBandRoles FindBandRoles(GDALDataset& ds) {
    SBandRoles roles;
    const int count = ds.GetRasterCount();
    int red = 0;
    int green = 0;
    int blue = 0;
    for (int i = 1; i <= count; ++i) {
        int* role = nullptr;
        switch (ds.GetRasterBand(i)->GetColorInterpretation()) {
        case GCI_RedBand:
            role = &red;
            break;
        case GCI_GreenBand:
            role = &green;
            break;
        case GCI_BlueBand:
            role = &blue;
            break;
        case GCI_AlphaBand:
            role = &roles.alpha;
            break;
        default:
            break;
        }
        if (role != nullptr && *role == 0) {
            *role = i;
        }
    }
    GDALRasterBand* first = ds.GetRasterBand(1);
    const GDALColorTable* table = first->GetColorTable();
    roles.palette = first->GetColorInterpretation() == GCI_PaletteIndex && table != nullptr &&
                    table->GetColorEntryCount() > 0;
    roles.colourAlpha = roles.alpha;
    if (red && green && blue) {
        roles.colour = {red, green, blue};
    } else if (count - (roles.alpha ? 1 : 0) >= 3) {
        for (int i = 1; roles.colour.size() < 3; ++i) {
            if (i != roles.alpha) {
                roles.colour.push_back(i);
            }
        }
    } else {
        roles.colour = {roles.alpha == 1 ? 2 : 1};
        if (roles.alpha == 0 && count == 2) {
            roles.colourAlpha = 2;
        }
    }
    return roles;
}

} // namespace mapreg

#pragma once
// Test rasters written with GDAL: a pattern of samples, an optional geotransform, coordinate
// system and palette, in any driver (through a MEM dataset, so that PNG and JPEG work too).

#include "../cli/CliHarness.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mapreg {

using Sample = std::function<double(int x, int y, int band)>;

struct Raster {
    const char* driver;
    const char* name;
    int width;
    int height;
    int bands;
    GDALDataType type = GDT_Byte;
    std::vector<double> gt = {}; // none when empty
    std::string srs = {};        // EPSG:n or WKT
    bool palette = false;
};

inline double Pattern(int x, int y, int band) {
    return (x * 7 + y * 13 + band * 50) % 256;
}

// Writes the raster through a MEM dataset, so that drivers without Create (PNG, JPEG) work too.
inline fs::path MakeRaster(const fs::path& dir, const Raster& r, const Sample& sample = Pattern) {
    GDALAllRegister();
    auto* mem = GetGDALDriverManager()->GetDriverByName("MEM");
    GDALDataset* ds = mem->Create("", r.width, r.height, r.bands, r.type, nullptr);
    std::vector<double> row(static_cast<std::size_t>(r.width));
    for (int b = 1; b <= r.bands; ++b) {
        for (int y = 0; y < r.height; ++y) {
            for (int x = 0; x < r.width; ++x) {
                row[static_cast<std::size_t>(x)] = sample(x, y, b);
            }
            EXPECT_EQ(CE_None,
                      ds->GetRasterBand(b)->RasterIO(GF_Write, 0, y, r.width, 1, row.data(),
                                                     r.width, 1, GDT_Float64, 0, 0, nullptr));
        }
    }
    if (r.bands == 4 || r.bands == 2) {
        ds->GetRasterBand(r.bands)->SetColorInterpretation(GCI_AlphaBand);
    }
    if (r.palette) {
        GDALColorTable table;
        for (int i = 0; i < 256; ++i) {
            const GDALColorEntry e{static_cast<short>(i), static_cast<short>(255 - i),
                                   static_cast<short>(i / 2), 255};
            table.SetColorEntry(i, &e);
        }
        ds->GetRasterBand(1)->SetColorTable(&table);
        ds->GetRasterBand(1)->SetColorInterpretation(GCI_PaletteIndex);
    }
    if (!r.gt.empty()) {
        ds->SetGeoTransform(const_cast<double*>(r.gt.data()));
    }
    if (!r.srs.empty()) {
        OGRSpatialReference srs;
        srs.SetFromUserInput(r.srs.c_str());
        ds->SetSpatialRef(&srs);
    }
    const fs::path path = dir / r.name;
    // A georeferenced PNG gets a world file beside it, as a GIS writes it.
    std::array<const char*, 2> options{nullptr, nullptr};
    if (std::string_view(r.driver) == "PNG" && !r.gt.empty()) {
        options[0] = "WORLDFILE=YES";
    }
    GDALDataset* out = GetGDALDriverManager()->GetDriverByName(r.driver)->CreateCopy(
        path.c_str(), ds, FALSE, const_cast<char**>(options.data()), nullptr, nullptr);
    EXPECT_NE(out, nullptr) << r.name;
    GDALClose(out);
    GDALClose(ds);
    return path;
}

} // namespace mapreg

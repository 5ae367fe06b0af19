#include "import/CRasterWarper.h"

#include "import/CGdalSession.h"
#include "import/CWarpSource.h"
#include "resources/StringTable.h"

#include <gdal_alg.h>
#include <gdal_priv.h>
#include <gdalwarper.h>
#include <ogr_spatialref.h>

#include <algorithm>
#include <memory>

namespace mapreg {

namespace {

struct SWarpOptionsDeleter {
    void operator()(GDALWarpOptions* options) const { GDALDestroyWarpOptions(options); }
};
struct SDatasetCloser {
    void operator()(GDALDataset* dataset) const { GDALClose(GDALDataset::ToHandle(dataset)); }
};
struct STransformerDeleter {
    bool approximate = false;
    void operator()(void* transformer) const {
        if (approximate) {
            GDALDestroyApproxTransformer(transformer);
        } else {
            GDALDestroyGenImgProjTransformer(transformer);
        }
    }
};
using TransformerPtr = std::unique_ptr<void, STransformerDeleter>;

// Progress of one strip, reported as progress of the whole grid.
struct SStripProgress {
    const CRasterWarper::Progress* progress;
    double from;
    double span;
    bool cancelled = false;
};

int CPL_STDCALL OnStripProgress(double fraction, const char*, void* arg) {
    auto* strip = static_cast<SStripProgress*>(arg);
    if (*strip->progress && !(*strip->progress)(strip->from + fraction * strip->span)) {
        strip->cancelled = true;
        return FALSE;
    }
    return TRUE;
}

GDALResampleAlg GdalResampling(CRasterWarper::Resampling resampling) {
    switch (resampling) {
    case CRasterWarper::Resampling::Nearest:
        return GRA_NearestNeighbour;
    case CRasterWarper::Resampling::Bilinear:
        return GRA_Bilinear;
    case CRasterWarper::Resampling::Bicubic:
        break;
    }
    return GRA_Cubic;
}

// A MEM dataset whose bands are the components of the caller's pixel-interleaved rows.
std::unique_ptr<GDALDataset, SDatasetCloser> WrapStrip(std::uint8_t* rows, int width, int height,
                                                       std::size_t components, std::size_t stride) {
    GDALDriver* mem = GetGDALDriverManager()->GetDriverByName("MEM");
    std::unique_ptr<GDALDataset, SDatasetCloser> ds(
        mem != nullptr ? mem->Create("", width, height, 0, GDT_Byte, nullptr) : nullptr);
    for (std::size_t i = 0; ds && i < components; ++i) {
        char pointer[64];
        CPLPrintPointer(pointer, rows + i, sizeof(pointer));
        const std::string options[] = {"DATAPOINTER=" + std::string(pointer),
                                       "PIXELOFFSET=" + std::to_string(components),
                                       "LINEOFFSET=" + std::to_string(stride)};
        const char* list[] = {options[0].c_str(), options[1].c_str(), options[2].c_str(), nullptr};
        if (ds->AddBand(GDT_Byte, const_cast<char**>(list)) != CE_None) {
            ds.reset();
        }
    }
    return ds;
}

} // namespace

std::size_t CRasterWarper::Stride(int width, std::size_t components) {
    return (static_cast<std::size_t>(std::max(width, 0)) * components + 3) / 4 * 4;
}

CRasterWarper::Status CRasterWarper::Warp(const CWarpSource& source, const SWarpGrid& grid,
                                          const Options& options, const Sink& sink,
                                          const Progress& progress, std::string& message) {
    CGdalSession session;
    const std::size_t components = options.bands.size();
    const auto fail = [&](const std::string& why) {
        message = why.empty() ? CGdalSession::LastError() : why;
        return Status::Failed;
    };
    if (source.GetDataset() == nullptr || components == 0 || options.fill.size() != components ||
        grid.width < 1 || grid.height < 1) {
        return fail("nothing to warp");
    }
    OGRSpatialReference target;
    if (target.importFromWkt(grid.srsWkt.c_str()) != OGRERR_NONE) {
        return fail("unknown target coordinate system");
    }
    target.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    TransformerPtr exact(source.HasPoints()
                             ? source.CreatePointsTransformer(target)
                             : GDALCreateGenImgProjTransformer4(
                                   OGRSpatialReference::ToHandle(
                                       const_cast<OGRSpatialReference*>(&source.GetSpatialRef())),
                                   source.GetGeoTransform().data(),
                                   OGRSpatialReference::ToHandle(&target), grid.geoTransform.data(),
                                   nullptr));
    if (!exact) {
        return fail("");
    }
    TransformerPtr approximate(options.errorThreshold > 0.0
                                   ? GDALCreateApproxTransformer(GDALGenImgProjTransform,
                                                                 exact.get(),
                                                                 options.errorThreshold)
                                   : nullptr,
                               STransformerDeleter{true});

    const std::size_t stride = Stride(grid.width, components);
    const int stripRows = static_cast<int>(
        std::clamp<std::size_t>(options.stripBytes / stride, 1, std::size_t(grid.height)));
    std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(stripRows));
    std::vector<std::uint8_t> blank(stride, 0);
    for (std::size_t x = 0; x < static_cast<std::size_t>(grid.width); ++x) {
        std::copy(options.fill.begin(), options.fill.end(), blank.begin() + x * components);
    }

    for (int y0 = 0; y0 < grid.height; y0 += stripRows) {
        const int count = std::min(stripRows, grid.height - y0);
        // The strip's own grid: the target grid moved down y0 rows.
        std::array<double, 6> stripGt = grid.geoTransform;
        stripGt[0] += y0 * stripGt[2];
        stripGt[3] += y0 * stripGt[5];
        GDALSetGenImgProjTransformerDstGeoTransform(exact.get(), stripGt.data());
        for (int y = 0; y < count; ++y) {
            std::copy(blank.begin(), blank.end(), rows.begin() + std::ptrdiff_t(y) * stride);
        }
        auto strip = WrapStrip(rows.data(), grid.width, count, components, stride);
        if (!strip) {
            return fail("");
        }
        std::unique_ptr<GDALWarpOptions, SWarpOptionsDeleter> wo(GDALCreateWarpOptions());
        wo->hSrcDS = GDALDataset::ToHandle(source.GetDataset());
        wo->hDstDS = GDALDataset::ToHandle(strip.get());
        wo->nBandCount = static_cast<int>(components);
        wo->panSrcBands = static_cast<int*>(CPLMalloc(sizeof(int) * components));
        wo->panDstBands = static_cast<int*>(CPLMalloc(sizeof(int) * components));
        for (std::size_t i = 0; i < components; ++i) {
            wo->panSrcBands[i] = options.bands[i];
            wo->panDstBands[i] = static_cast<int>(i) + 1;
        }
        wo->nSrcAlphaBand = options.alphaBand;
        wo->eResampleAlg = GdalResampling(options.resampling);
        wo->dfWarpMemoryLimit = options.workingMemory;
        wo->pfnTransformer = approximate ? GDALApproxTransform : GDALGenImgProjTransform;
        wo->pTransformerArg = approximate ? approximate.get() : exact.get();
        SStripProgress stripProgress{&progress, double(y0) / grid.height,
                                     double(count) / grid.height};
        wo->pfnProgress = OnStripProgress;
        wo->pProgressArg = &stripProgress;

        GDALWarpOperation operation;
        if (operation.Initialize(wo.get()) != CE_None) {
            return fail("");
        }
        const CPLErr error = operation.ChunkAndWarpImage(0, 0, grid.width, count);
        if (stripProgress.cancelled) {
            return Status::Cancelled;
        }
        if (error != CE_None) {
            return fail("");
        }
        strip.reset(); // flushes nothing: the bands write straight into rows
        if (!sink(y0, count, rows.data(), stride)) {
            return Status::SinkFailed;
        }
    }
    if (progress && !progress(1.0)) {
        return Status::Cancelled;
    }
    return Status::Ok;
}

} // namespace mapreg

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

// Progress of one warp operation, reported as the caller's.
int CPL_STDCALL OnWarpProgress(double fraction, const char*, void* arg) {
    const auto* progress = static_cast<const CRasterWarper::Progress*>(arg);
    return !*progress || (*progress)(fraction) ? TRUE : FALSE;
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
        // CPLPrintPointer does not end the text: the zeros of the buffer do.
        char pointer[64] = {};
        CPLPrintPointer(pointer, rows + i, sizeof(pointer) - 1);
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

CRasterWarper::CRasterWarper(const CWarpSource& source, const SWarpGrid& grid,
                             const Options& options)
    : m_source(source), m_grid(grid), m_options(options) {
    CGdalSession session;
    if (source.GetDataset() == nullptr || options.bands.empty() ||
        options.fill.size() != options.bands.size()) {
        m_strMessage = "nothing to warp";
        return;
    }
    OGRSpatialReference target;
    if (target.importFromWkt(grid.srsWkt.c_str()) != OGRERR_NONE) {
        m_strMessage = "unknown target coordinate system";
        return;
    }
    target.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    std::shared_ptr<void> exact(
        source.HasPoints()
            ? source.CreatePointsTransformer(target)
            : GDALCreateGenImgProjTransformer4(
                  OGRSpatialReference::ToHandle(
                      const_cast<OGRSpatialReference*>(&source.GetSpatialRef())),
                  source.GetGeoTransform().data(), OGRSpatialReference::ToHandle(&target),
                  grid.geoTransform.data(), nullptr),
        [](void* transformer) {
            if (transformer != nullptr) {
                GDALDestroyGenImgProjTransformer(transformer);
            }
        });
    if (exact.get() == nullptr) {
        m_strMessage = CGdalSession::LastError();
        return;
    }
    if (options.errorThreshold > 0.0) {
        m_pApproximate.reset(GDALCreateApproxTransformer(GDALGenImgProjTransform, exact.get(),
                                                         options.errorThreshold),
                             [](void* transformer) {
                                 if (transformer != nullptr) {
                                     GDALDestroyApproxTransformer(transformer);
                                 }
                             });
    }
    m_pExact = std::move(exact);
}

CRasterWarper::~CRasterWarper() {
    // The approximation refers to the exact transformer: it goes first.
    m_pApproximate.reset();
    m_pExact.reset();
}

std::size_t CRasterWarper::Components() const {
    return m_options.bands.size() + (m_options.destinationAlpha ? 1 : 0);
}

CRasterWarper::Status CRasterWarper::WarpWindow(int x0, int y0, int width, int height,
                                                std::uint8_t* rows, std::size_t stride,
                                                const Progress& progress, std::string& message) {
    CGdalSession session;
    const auto fail = [&](const std::string& why) {
        message = why.empty() ? CGdalSession::LastError() : why;
        return Status::Failed;
    };
    if (!Ok()) {
        return fail(m_strMessage);
    }
    if (width < 1 || height < 1) {
        return fail("nothing to warp");
    }
    const std::size_t bands = m_options.bands.size();
    const std::size_t components = Components();
    // The window's own grid: the target grid moved by (x0, y0) pixels.
    std::array<double, 6> windowGt = m_grid.geoTransform;
    windowGt[0] += x0 * windowGt[1] + y0 * windowGt[2];
    windowGt[3] += x0 * windowGt[4] + y0 * windowGt[5];
    GDALSetGenImgProjTransformerDstGeoTransform(m_pExact.get(), windowGt.data());
    // The fill: the first row pixel by pixel, the others copied from it.
    std::uint8_t* first = rows;
    for (int x = 0; x < width; ++x, first += components) {
        std::copy(m_options.fill.begin(), m_options.fill.end(), first);
        if (m_options.destinationAlpha) {
            first[bands] = 0;
        }
    }
    const std::size_t rowBytes = std::size_t(width) * components;
    for (int y = 1; y < height; ++y) {
        std::copy(rows, rows + rowBytes, rows + std::size_t(y) * stride);
    }
    auto window = WrapStrip(rows, width, height, components, stride);
    if (!window) {
        return fail("");
    }
    std::unique_ptr<GDALWarpOptions, SWarpOptionsDeleter> wo(GDALCreateWarpOptions());
    wo->hSrcDS = GDALDataset::ToHandle(m_source.GetDataset());
    wo->hDstDS = GDALDataset::ToHandle(window.get());
    wo->nBandCount = static_cast<int>(bands);
    wo->panSrcBands = static_cast<int*>(CPLMalloc(sizeof(int) * bands));
    wo->panDstBands = static_cast<int*>(CPLMalloc(sizeof(int) * bands));
    for (std::size_t i = 0; i < bands; ++i) {
        wo->panSrcBands[i] = m_options.bands[i];
        wo->panDstBands[i] = static_cast<int>(i) + 1;
    }
    wo->nSrcAlphaBand = m_options.alphaBand;
    wo->nDstAlphaBand = m_options.destinationAlpha ? static_cast<int>(components) : 0;
    wo->eResampleAlg = GdalResampling(m_options.resampling);
    wo->dfWarpMemoryLimit = m_options.workingMemory;
    wo->pfnTransformer = m_pApproximate ? GDALApproxTransform : GDALGenImgProjTransform;
    wo->pTransformerArg = m_pApproximate ? m_pApproximate.get() : m_pExact.get();
    bool cancelled = false;
    const Progress report = [&](double fraction) {
        cancelled = cancelled || (progress && !progress(fraction));
        return !cancelled;
    };
    wo->pfnProgress = OnWarpProgress;
    wo->pProgressArg = const_cast<Progress*>(&report);

    GDALWarpOperation operation;
    if (operation.Initialize(wo.get()) != CE_None) {
        return fail("");
    }
    const CPLErr error = operation.ChunkAndWarpImage(0, 0, width, height);
    if (cancelled) {
        return Status::Cancelled;
    }
    if (error != CE_None) {
        return fail("");
    }
    return Status::Ok; // the bands wrote straight into rows
}

CRasterWarper::Status CRasterWarper::Warp(const CWarpSource& source, const SWarpGrid& grid,
                                          const Options& options, const Sink& sink,
                                          const Progress& progress, std::string& message) {
    if (grid.width < 1 || grid.height < 1) {
        message = "nothing to warp";
        return Status::Failed;
    }
    CRasterWarper warper(source, grid, options);
    if (!warper.Ok()) {
        message = warper.Message();
        return Status::Failed;
    }
    const std::size_t stride = Stride(grid.width, warper.Components());
    const int stripRows = static_cast<int>(
        std::clamp<std::size_t>(options.stripBytes / stride, 1, std::size_t(grid.height)));
    std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(stripRows));
    for (int y0 = 0; y0 < grid.height; y0 += stripRows) {
        const int count = std::min(stripRows, grid.height - y0);
        const double from = double(y0) / grid.height;
        const double span = double(count) / grid.height;
        const Progress strip = [&](double fraction) {
            return !progress || progress(from + fraction * span);
        };
        if (const Status status =
                warper.WarpWindow(0, y0, grid.width, count, rows.data(), stride, strip, message);
            status != Status::Ok) {
            return status;
        }
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

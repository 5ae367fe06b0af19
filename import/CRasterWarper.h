#pragma once
// Warps a picture into a target grid with GDAL's warper (GDALWarpOperation::ChunkAndWarpImage
// over a GenImgProj transform from the source's geotransform or its control points, approximated
// to an eighth of a pixel as gdalwarp does), and hands the result to a sink in strips of whole
// rows from the top, so that memory depends on the warper's working memory and the grid's width,
// never on its height. The grid is a geotransform into a coordinate system, in GDAL's convention
// (pixel (0,0) spans 0..1); any grid works, north-up or not, a whole map or one tile of it. A
// warper made for a grid warps any window of it into the caller's memory, the transform made once
// for all of them (the tiles of a tile set).

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class GDALDataset;

namespace mapreg {

class CWarpSource;

// The grid to warp into.
struct SWarpGrid {
    std::string srsWkt; // its coordinate system, as WKT
    std::array<double, 6> geoTransform{0, 1, 0, 0, 0, 1};
    int width = 0;
    int height = 0;
};

class CRasterWarper {
public:
    enum class Resampling { Nearest, Bilinear, Bicubic };
    enum class Status { Ok, Failed, Cancelled, SinkFailed };

    // Receives rows y0 .. y0 + count - 1, top-down, each `stride` bytes apart: width pixels of
    // one byte per component, components in the order of Options::bands (and the alpha of
    // Options::destinationAlpha last), then zero padding to a whole 32-bit word (the row layout of
    // a Windows bitmap). False stops the warp.
    using Sink =
        std::function<bool(int y0, int count, const std::uint8_t* rows, std::size_t stride)>;
    // The fraction done, 0..1; false cancels.
    using Progress = std::function<bool(double)>;

    struct Options {
        Resampling resampling = Resampling::Bicubic;
        // Output component i comes from source band bands[i] (1-based); e.g. {3, 2, 1} gives
        // blue-green-red from an RGB picture.
        std::vector<int> bands{1, 2, 3};
        // Per component, where no source pixel lands (and under transparent source pixels).
        std::vector<std::uint8_t> fill{255, 255, 255};
        int alphaBand = 0;                             // the source's alpha band, 0 for none
        double workingMemory = 64.0 * 1048576.0;       // GDAL's -wm, bytes
        double errorThreshold = 0.125;                 // transform approximation, pixels; 0 exact
        std::size_t stripBytes = std::size_t{8} << 20; // about this much per strip to the sink
        // One more component after the bands: 255 where the warp put a source pixel, 0 where
        // none lands (GDAL's destination alpha).
        bool destinationAlpha = false;
    };

    // Bytes between rows handed to the sink for a width and component count.
    static std::size_t Stride(int width, std::size_t components);

    // Warps source into grid strip by strip. On failure, message says why.
    static Status Warp(const CWarpSource& source, const SWarpGrid& grid, const Options& options,
                       const Sink& sink, const Progress& progress, std::string& message);

    // Prepares the warp of source (which must outlive the warper) into grid; Ok() says whether
    // GDAL could make its transform, else Message() says why.
    CRasterWarper(const CWarpSource& source, const SWarpGrid& grid, const Options& options);
    ~CRasterWarper();
    CRasterWarper(const CRasterWarper&) = delete;
    CRasterWarper& operator=(const CRasterWarper&) = delete;
    bool Ok() const { return m_pExact != nullptr; }
    const std::string& Message() const { return m_strMessage; }
    // Components per pixel: the bands, and the alpha when asked for.
    std::size_t Components() const;

    // Warps the window of the grid at (x0, y0), width x height pixels, into rows (`stride` bytes
    // apart, laid out as the sink's), filling it first; the window may reach beyond the grid. On
    // failure, message says why.
    Status WarpWindow(int x0, int y0, int width, int height, std::uint8_t* rows, std::size_t stride,
                      const Progress& progress, std::string& message);

private:
    const CWarpSource& m_source;
    SWarpGrid m_grid;
    Options m_options;
    std::shared_ptr<void> m_pExact;       // GenImgProj transformer into the grid
    std::shared_ptr<void> m_pApproximate; // null when the transform is exact
    std::string m_strMessage;
};

} // namespace mapreg

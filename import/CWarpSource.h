#pragma once
// A picture opened for warping: a GDAL dataset and the georeferencing it is warped from, a
// geotransform into a coordinate system. Either a foreign raster with its own georeferencing
// (its geotransform, or the first-order fit of its GCPs), or a calibrated map's bitmap with its
// three-mark calibration as the geotransform in WGS 84 latitude/longitude or WGS 84 / UTM zone
// N/S. Picture points follow GDAL's convention, which the map file and the registration file
// share: pixel (0,0) spans 0..1, a mark on pixel (x,y) stands for the point (x,y), the device's
// top-left corner is (0,0) and its bottom-right corner (width, height). A map's picture may
// instead be mapped through its control points (UsePoints), as GDAL's GCP transformers do.

#include "georef/DeviceError.h"
#include "georef/WarpFit.h"
#include "import/CBmpStreamWriter.h"
#include "import/CGdalSession.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class GDALDataset;
class OGRSpatialReference;

namespace mapreg {

struct CCalibration;

class CWarpSource {
public:
    enum class Status {
        Ok,
        CannotRead,   // GDAL cannot open the picture
        TooFewPoints, // fewer enabled control points than the fit needs
        NoFit,        // GDAL cannot fit the enabled control points (on one line, say)
    };

    // A calibrated map's bitmap with its calibration.
    static std::unique_ptr<CWarpSource> OpenMap(const std::string& bitmapPath,
                                                const CCalibration& calibration);
    // A raster of 8-bit bands (a bitmap the importer wrote, or a source that needs no
    // conversion) with the georeferencing given.
    static std::unique_ptr<CWarpSource> OpenRaster(const std::string& path,
                                                   const std::array<double, 6>& geoTransform,
                                                   const OGRSpatialReference& srs);
    ~CWarpSource();

    // Maps the picture through the enabled points (world points in GetSpatialRef's system) with
    // fit, which is not WarpFit::Calibration, instead of the geotransform. On TooFewPoints or
    // NoFit the source stays as it was.
    Status UsePoints(const std::vector<ControlPoint>& points, WarpFit fit);
    bool HasPoints() const { return m_pPoints != nullptr; }
    // A GenImgProj transformer from picture points through the control points into target (its
    // destination geotransform the identity until set), or null when GDAL cannot make it or the
    // picture has no points. Destroy it with GDALDestroyGenImgProjTransformer.
    void* CreatePointsTransformer(const OGRSpatialReference& target) const;

    CWarpSource(const CWarpSource&) = delete;
    CWarpSource& operator=(const CWarpSource&) = delete;

    Status GetStatus() const { return m_status; }
    const std::string& GetMessage() const { return m_strMessage; }

    GDALDataset* GetDataset() const { return m_pDataset; }
    int GetWidth() const;
    int GetHeight() const;
    // Picture point to the coordinate system: x = gt[0] + px gt[1] + py gt[2], y likewise.
    const std::array<double, 6>& GetGeoTransform() const { return m_geoTransform; }
    // Axes in traditional GIS order (x east or longitude, y north or latitude).
    const OGRSpatialReference& GetSpatialRef() const { return *m_pSrs; }

    // A palette picture of up to 256 colours (warped by index, nearest neighbour), its colours
    // flattened onto white; empty for any other picture.
    const std::vector<CBmpStreamWriter::Rgb>& GetPalette() const { return m_palette; }
    // The 1-based bands holding red, green and blue (the same band three times for grey, the
    // index band alone for a palette picture), and the alpha band or 0.
    const std::vector<int>& GetColourBands() const { return m_colourBands; }
    int GetAlphaBand() const { return m_nAlphaBand; }

    // Picture points to WGS 84 longitude/latitude through the georeferencing or the points.
    PictureToLonLat LonLatMapping() const;

private:
    CWarpSource() = default;
    static std::unique_ptr<CWarpSource> Open(const std::string& path);
    void DescribeBands();

    CGdalSession m_session;
    Status m_status = Status::Ok;
    std::string m_strMessage;
    GDALDataset* m_pDataset = nullptr;
    std::array<double, 6> m_geoTransform{0, 1, 0, 0, 0, 1};
    std::unique_ptr<OGRSpatialReference> m_pSrs;
    std::vector<CBmpStreamWriter::Rgb> m_palette;
    std::vector<int> m_colourBands;
    int m_nAlphaBand = 0;
    // A picture-sized dataset without bands that carries the control points as GCPs.
    GDALDataset* m_pPoints = nullptr;
    WarpFit m_fit = WarpFit::Calibration;
};

} // namespace mapreg

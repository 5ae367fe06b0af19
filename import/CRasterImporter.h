#pragma once
// A raster picture of any format GDAL reads (TIFF, JPEG, PNG, ...), converted to an uncompressed
// Windows bitmap that the map picture loader reads: 8 bits with the palette of a paletted
// source, 8 bits with a grey palette for a grey one, 24 bits otherwise. Samples wider than 8
// bits are scaled by their real minimum and maximum, alpha is flattened onto white. The
// conversion streams: it holds a band of rows at a time (plus GDAL's block cache), whatever the
// picture's height; pictures wider than 8 million pixels are refused. A source that is a pipe
// or device, or has one among its sidecars or VRT sources, is refused before GDAL opens it. The
// source's georeferencing (geotransform and coordinate system, from the file, an .aux.xml, or a
// world file with a .prj) is offered to the calibration.

#include "import/CGdalSession.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class GDALDataset;
class OGRSpatialReference;

namespace mapreg {

class CRasterImporter {
public:
    enum class Status {
        Ok,
        CannotRead,  // GDAL cannot open or read the source
        TooLarge,    // beyond the format's 4 GiB and 32-bit limits, too wide, or out of memory
        CannotWrite, // the bitmap could not be written
        Cancelled,   // the progress callback asked to stop
    };
    // Called with the fraction done (0..1); returning false cancels the conversion.
    using Progress = std::function<bool(double)>;

    // Opens the source; GetStatus tells whether it can be converted.
    explicit CRasterImporter(const std::string& sourcePath);
    ~CRasterImporter();
    CRasterImporter(const CRasterImporter&) = delete;
    CRasterImporter& operator=(const CRasterImporter&) = delete;

    // Ok, CannotRead or TooLarge after opening; the result of the last WriteBitmap after it.
    Status GetStatus() const { return m_status; }
    // The user's message for a status other than Ok.
    const std::string& GetMessage() const { return m_strMessage; }

    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetBitCount() const { return m_nBitCount; }
    // True when the source already is a Windows bitmap.
    bool IsBitmapSource() const { return m_bBitmapSource; }

    // The source's geotransform: world x = gt[0] + px * gt[1] + py * gt[2],
    // world y = gt[3] + px * gt[4] + py * gt[5], px and py from the picture's top-left corner.
    bool HasGeoTransform() const { return m_bHasGeoTransform; }
    const std::array<double, 6>& GetGeoTransform() const { return m_geoTransform; }
    // The source's coordinate system (x east, y north), or null when it names none.
    const OGRSpatialReference* GetSpatialRef() const { return m_pSpatialRef.get(); }
    // A source georeferenced by ground control points instead of a geotransform: the
    // geotransform above is then their first-order least-squares fit, and this the largest
    // distance in metres between a control point and the fit (NaN without control points).
    bool IsGcpFit() const { return m_bGcpFit; }
    double GetGcpResidual() const { return m_dGcpResidual; }
    // True when the source has control points but fewer than three usable ones.
    bool HasTooFewGcps() const { return m_bTooFewGcps; }
    // True when the source's own bands can be warped as they are (8-bit samples, a palette of
    // at most 256 colours); any other is converted to a bitmap first.
    bool IsWarpableAsIs() const { return m_bAllBytes && !m_bExpandPalette; }

    // Converts the picture into a bitmap at path, replacing it only when complete: a failure
    // or cancel leaves path as it was and no other file behind. The bitmap is no more readable
    // than the source's files. Running out of memory ends in TooLarge. Returns and keeps the
    // status.
    Status WriteBitmap(const std::string& path, const Progress& progress = {});

    // Lower-case file extensions GDAL's raster drivers read, "bmp" first.
    static std::vector<std::string> ReadableExtensions();

private:
    enum class Form { Palette, Grey, Rgb };
    struct SDatasetCloser {
        void operator()(GDALDataset* dataset) const;
    };
    struct SSrsDeleter {
        void operator()(OGRSpatialReference* srs) const;
    };

    void Open(const std::string& sourcePath);
    void Describe(const std::string& sourcePath);
    Status Write(const std::string& path, const Progress& progress);
    void ReadSpatialRef(const std::string& sourcePath);
    void FitGcps();
    Status Fail(Status status, unsigned messageId, const std::string& detail);
    bool MeasureRange(const Progress& progress);
    bool Convert(class CBmpStreamWriter& writer, const Progress& progress, double progressFrom);

    CGdalSession m_session;
    std::unique_ptr<GDALDataset, SDatasetCloser> m_pDataset;
    std::unique_ptr<OGRSpatialReference, SSrsDeleter> m_pSpatialRef;
    std::string m_strSource;
    std::string m_strTarget;
    Status m_status = Status::Ok;
    std::string m_strMessage;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nBitCount = 24;
    bool m_bBitmapSource = false;
    bool m_bHasGeoTransform = false;
    unsigned m_nModeLimit = 0777; // the bitmap is no more readable than the source
    std::array<double, 6> m_geoTransform{0, 1, 0, 0, 0, 1};
    bool m_bGcpFit = false;
    bool m_bTooFewGcps = false;
    double m_dGcpResidual = 0.0;

    Form m_form = Form::Rgb;
    std::vector<int> m_colorBands; // 1 (palette, grey) or 3 (red, green, blue), 1-based
    int m_nAlphaBand = 0;          // 0: none
    bool m_bAllBytes = true;       // every band read is 8-bit
    bool m_bExpandPalette = false; // a palette written as 24-bit colours
    std::vector<std::array<double, 3>> m_paletteColors; // flattened onto white
    double m_dMin = 0.0; // sample range of the colour bands, for scaling
    double m_dMax = 255.0;
    double m_dAlphaMax = 255.0;
};

} // namespace mapreg

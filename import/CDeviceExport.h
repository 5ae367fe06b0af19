#pragma once
// Takes a calibrated map to other devices and programs through GDAL: a Cloud-Optimised GeoTIFF
// (the bitmap with its calibration as geotransform and coordinate system, Deflate, tiled, by
// GDAL's COG driver), an MBTiles set (Web Mercator tiles in TMS rows, PNG for a palette map, JPEG
// otherwise; warped, reduced and encoded tile by tile and written through SQLite, so that its
// memory does not grow with the map) and a Garmin custom map (a KMZ of baseline JPEG tiles in
// latitude/longitude). Every file is written in a temporary folder beside the target and renamed
// over it only when complete, so a failure or cancel leaves nothing behind and the old target as
// it was.

#include "import/CGdalSession.h"

#include <functional>
#include <string>

namespace mapreg {

class CWarpSource;

class CDeviceExport {
public:
    enum class Status {
        Ok,
        CannotWrite, // the target (or its folder) cannot be written
        Failed,      // GDAL could not make the file from a readable bitmap
        Cancelled,   // the progress callback asked to stop
    };
    // Called with the fraction done (0..1); returning false cancels.
    using Progress = std::function<bool(double)>;

    // What the last write made, for the summary the user sees.
    struct Summary {
        int tiles = 0;    // tiles written (KMZ, MBTiles)
        int minZoom = -1; // MBTiles zoom levels, -1 for the other formats
        int maxZoom = -1;
        double resolutionMetres = 0.0;  // ground size of a pixel of the result at its centre
        double deviceErrorMetres = 0.0; // how far the result may stray from the calibration
    };

    // The map opened for warping (it must outlive this object; its status must be Ok), and the
    // name the KMZ and MBTiles give it.
    CDeviceExport(const CWarpSource& source, std::string name);

    Status GetStatus() const { return m_status; }
    // The user's message for a status other than Ok.
    const std::string& GetMessage() const { return m_strMessage; }
    const Summary& GetSummary() const { return m_summary; }

    // The bitmap with its georeferencing as a Cloud-Optimised GeoTIFF; straightened, it is first
    // warped into the north-up grid of its coordinate system (as the device's straightening
    // does: the source's pixel size, white outside the map, a palette kept).
    Status WriteGeoTiff(const std::string& path, bool straighten = false,
                        const Progress& progress = {});
    // A Garmin custom map: the map warped into latitude/longitude and cut into baseline JPEG
    // tiles of at most 1024 x 1024 pixels and under 3 MB, at most maxTiles of them (the
    // resolution lowered evenly until they fit), tiles outside the map left out, white where
    // the map does not reach, with doc.kml placing each.
    Status WriteKmz(const std::string& path, int maxTiles = 100, int jpegQuality = 85,
                    const Progress& progress = {});
    // Web Mercator tiles from the first zoom level at least as fine as the map down to minZoom
    // (the maximum less 4 when negative): the tiles GDAL's MBTiles driver would write (the same
    // zoom levels, encodings and metadata), each lower level reduced from the one above (averaged,
    // or by nearest neighbour for a palette map), tiles the map does not reach left out.
    Status WriteMbtiles(const std::string& path, int minZoom = -1, const Progress& progress = {});

private:
    // Sets the status and its message (none for a cancel; for a failure, GDAL's last error;
    // for a target that cannot be written, why when known).
    Status Fail(Status status, const std::string& path, const std::string& why = {});

    CGdalSession m_session;
    const CWarpSource& m_source;
    std::string m_strName;
    Status m_status = Status::Ok;
    std::string m_strMessage;
    Summary m_summary;
};

} // namespace mapreg

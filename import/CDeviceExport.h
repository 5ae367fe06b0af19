#pragma once
// Takes a calibrated map to other devices and programs through GDAL's drivers: a Cloud-Optimised
// GeoTIFF (the bitmap with its calibration as geotransform and coordinate system, Deflate,
// tiled), an MBTiles set (Web Mercator tiles in TMS rows, PNG for a palette map, JPEG otherwise)
// and a Garmin custom map (a KMZ of baseline JPEG tiles in latitude/longitude). Every file is
// written in a temporary folder beside the target and renamed over it only when complete, so a
// failure or cancel leaves nothing behind and the old target as it was.

#include "CGdalSession.h"

#include <array>
#include <functional>
#include <string>

class CDeviceExport {
public:
    enum class Status {
        Ok,
        CannotRead,  // GDAL cannot read the bitmap
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

    // The map: its bitmap, its calibration as a geotransform of corner-based picture points
    // (pixel (0,0) spans 0..1) into the coordinate system srsWkt (x east, y north; WKT or any
    // other form GDAL reads, such as "EPSG:32632").
    CDeviceExport(std::string bitmapPath, const std::array<double, 6>& geoTransform,
                  std::string srsWkt);

    Status GetStatus() const { return m_status; }
    // The user's message for a status other than Ok.
    const std::string& GetMessage() const { return m_strMessage; }
    const Summary& GetSummary() const { return m_summary; }

    // The bitmap with its georeferencing as a Cloud-Optimised GeoTIFF, not warped.
    Status WriteGeoTiff(const std::string& path, const Progress& progress = {});
    // Web Mercator tiles from the first zoom level at least as fine as the map down to minZoom
    // (the maximum less 4 when negative).
    Status WriteMbtiles(const std::string& path, int minZoom = -1, const Progress& progress = {});

private:
    Status Fail(Status status, unsigned messageId, const std::string& detail);

    CGdalSession m_session;
    std::string m_strBitmap;
    std::array<double, 6> m_geoTransform;
    std::string m_strWkt;
    Status m_status = Status::Ok;
    std::string m_strMessage;
    Summary m_summary;
};

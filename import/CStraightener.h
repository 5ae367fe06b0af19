#pragma once
// Straightens a georeferenced picture for the device: warps it into the north-up grid of the
// device's coordinate kind (a UTM zone with square pixels, or a plate-carree latitude/longitude
// grid), over the bounding box of the warped picture, filled with white outside the source. A
// palette picture stays 8 bits with its palette (nearest neighbour, filled with the entry
// nearest to white); any other becomes 24 bits, bicubic. The bitmap is streamed to its file,
// which appears only when complete.

#include "import/CRasterWarper.h"

#include "georef/CCalibration.h"
#include "georef/CDoublePoint.h"

#include <array>
#include <string>

namespace mapreg {

class CWarpSource;

class CStraightener {
public:
    enum class Status {
        Ok,
        NoGrid,              // the picture's corners cannot be placed in the target system
        TooLarge,            // wider or taller than a map file holds
        CrossesAntimeridian, // a latitude/longitude grid across 180 degrees, not asked for
        CannotWrite,         // the bitmap could not be written
        Cancelled,
    };
    // The largest width and height a map file's 16-bit pixel fields hold.
    static constexpr int kMaxSide = 65535;

    struct Target {
        CoordType coordType = CoordType::Utm;
        int zone = 0;             // UTM zone 1..60
        bool north = true;        // UTM hemisphere
        double pixelMetres = 0.0; // ground size of a pixel; 0: the source's at its centre
        // A latitude/longitude grid across the 180° meridian continues past it (longitudes
        // beyond 180° east or west) instead of being refused: for formats that place their
        // pieces one by one, not for the device's grid, which ends there.
        bool acrossAntimeridian = false;
        // A latitude/longitude grid whose pixels are as wide on the ground as they are tall at
        // the picture's centre, not square in degrees (which, away from the equator, spends
        // pixels on longitude the map does not have).
        bool squareOnGround = false;
    };

    // Lays out the grid; GetStatus says whether it can be written.
    CStraightener(const CWarpSource& source, const Target& target);

    Status GetStatus() const { return m_status; }
    const std::string& GetMessage() const { return m_strMessage; }
    const SWarpGrid& GetGrid() const { return m_grid; }
    int GetBitCount() const { return m_nBitCount; }
    // Ground size of an output pixel, metres (its latitude side for a latitude/longitude grid).
    double GetPixelMetres() const { return m_dPixelMetres; }

    // Warps into a new bitmap at path, replacing it only when complete; a failure or cancel
    // leaves path as it was and nothing else behind.
    Status Write(const std::string& path, const CRasterWarper::Progress& progress = {});

private:
    Status Fail(Status status, std::string message);

    const CWarpSource& m_source;
    Target m_target;
    Status m_status = Status::Ok;
    std::string m_strMessage;
    SWarpGrid m_grid;
    int m_nBitCount = 24;
    double m_dPixelMetres = 0.0;
};

} // namespace mapreg

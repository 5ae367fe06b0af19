#pragma once
// The control points of a map as a text file: an optional "#CRS: <WKT>" line, a header line,
// then "mapX,mapY,sourceX,sourceY,enable,dX,dY,residual" per point. mapX/mapY are easting and
// northing or longitude and latitude; sourceX is the picture x and sourceY the negated picture y;
// dX, dY and residual are the fit's residual in metres (readers ignore them). World points in
// another coordinate system than the map's are converted through PROJ while reading.

#include "georef/CCalibration.h"
#include "georef/CPointFit.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mapreg {

// The coordinate kind world points are given in.
struct WorldKind {
    // Longitude/latitude on WGS 84 in degrees, or UTM on WGS 84 in metres.
    CoordType coordType = CoordType::LatLon;
    int zone = 0;      // UTM zone 1..60 (UTM only)
    bool north = true; // UTM hemisphere (UTM only)

    bool operator==(const WorldKind&) const = default;
};

class CPointsFile {
public:
    enum class Status {
        Ok,
        CannotRead,  // the file could not be opened or read
        Malformed,   // a line that is no point, or a value that is no finite number
        UnknownCrs,  // a #CRS line PROJ does not read, or one it cannot convert from
        NoCrs,       // neither the file nor the caller names the coordinate system
        NotConverted // a point PROJ cannot convert
    };
    struct Result {
        Status status = Status::Ok;
        int line = 0; // the one-based line at fault
        std::vector<ControlPoint> points;
        // The file's coordinate system when it is longitude/latitude or a UTM zone on WGS 84.
        std::optional<WorldKind> fileKind;
        bool hasCrs = false; // the file has a #CRS line
    };

    // Reads points in kind target, converting from the file's #CRS when it differs. Without a
    // target the points stay in the file's kind, which must then be lon/lat or UTM.
    static Result Parse(std::string_view text, const std::optional<WorldKind>& target);
    static Result Read(const std::string& path, const std::optional<WorldKind>& target);

    // The file text for points in kind; residuals (one per point) may be empty for zeros.
    static std::string Build(const std::vector<ControlPoint>& points, const WorldKind& kind,
                             const std::vector<PointResidual>& residuals);

    // The message for a failed result, naming the file and the line.
    static std::string Message(const Result& result, const std::string& path);

    // The points file that belongs to a map file: NAME.gpm -> NAME.points.
    static std::string PathForMapFile(const std::string& mapFilePath);
};

} // namespace mapreg

#pragma once
// A first-order (affine) least-squares fit of world points to picture points over three or more
// control points, with each point's residual and leave-one-out residual. Solved by Householder
// QR on centred coordinates, so UTM values near 1e6 m and pixels near 1e4 lose no digits.
// World points are (longitude, latitude) in degrees or (easting, northing) in metres; residuals
// are given in metres either way (latitude/longitude differences measured on the WGS 84
// ellipsoid at the point's latitude, exact to first order for the small distances involved).

#include "georef/CCalibration.h"
#include "georef/CDoublePoint.h"

#include <array>
#include <cstddef>
#include <vector>

namespace mapreg {

// One control point: a picture pixel and the world point the user gave it.
struct ControlPoint {
    CDoublePoint picture{}; // pixels from the top-left corner, y downwards
    CDoublePoint world{};   // longitude/latitude in degrees, or easting/northing in metres
    bool enabled = true;    // disabled points are not fitted but still get residuals

    bool operator==(const ControlPoint& o) const {
        return picture.x == o.picture.x && picture.y == o.picture.y && world.x == o.world.x &&
               world.y == o.world.y && enabled == o.enabled;
    }
};

// Picture to world: x = c[0] + c[1]*px + c[2]*py, y = c[3] + c[4]*px + c[5]*py.
struct AffineTransform {
    std::array<double, 6> c{};

    CDoublePoint Map(CDoublePoint p) const {
        return {c[0] + c[1] * p.x + c[2] * p.y, c[3] + c[4] * p.x + c[5] * p.y};
    }
};

// How far the fit misses one point: where the fit puts the point's pixel minus the point's
// world, in metres (dX east, dY north) and as a length in pixels.
struct PointResidual {
    double dxM = 0.0;
    double dyM = 0.0;
    double lengthM = 0.0;
    double pixels = 0.0;
    // The distance in metres between the point and a fit made without it; NaN when the other
    // enabled points cannot be fitted (fewer than three, or on one line). For a disabled point
    // it equals lengthM.
    double leaveOneOutM = 0.0;
};

class CPointFit {
public:
    enum class Status {
        Ok,
        TooFewPoints, // fewer than three enabled points
        Degenerate,   // the enabled points lie on one line in the picture
    };
    static constexpr std::size_t kMinPoints = 3;

    // Fits the enabled points; latLon says how world points are read (see above). Never throws
    // on any input other than running out of memory; non-finite coordinates give Degenerate.
    static CPointFit Fit(const std::vector<ControlPoint>& points, bool latLon);

    Status GetStatus() const { return m_status; }
    bool IsOk() const { return m_status == Status::Ok; }
    const AffineTransform& GetTransform() const { return m_transform; }
    // One per point given to Fit, in the same order; empty unless IsOk().
    const std::vector<PointResidual>& GetResiduals() const { return m_residuals; }
    // sqrt(sum of squared residual lengths / n) over the n enabled points, metres.
    double GetRmsM() const { return m_dRmsM; }
    // Index of the enabled point with the largest leave-one-out residual; -1 when no enabled
    // point has one (exactly three points).
    int GetWorst() const { return m_nWorst; }

private:
    Status m_status = Status::TooFewPoints;
    AffineTransform m_transform{};
    std::vector<PointResidual> m_residuals;
    double m_dRmsM = 0.0;
    int m_nWorst = -1;
};

// Metres per unit of world x and world y at a world point: 1 and 1 for UTM, the lengths of a
// degree of longitude and of latitude on the WGS 84 ellipsoid for latitude/longitude.
CDoublePoint MetresPerWorldUnit(CDoublePoint world, bool latLon);

// The three-mark calibration a fit gives a picture of width x height pixels: marks on the corner
// pixels (0,0), (W-1,0) and (0,H-1) with the fit's world points there, in coordType, zone and
// letter. CheckCalibration still has to accept it.
CCalibration CalibrationOfFit(const AffineTransform& fit, CoordType coordType, int zone,
                              char letter, int width, int height);

} // namespace mapreg

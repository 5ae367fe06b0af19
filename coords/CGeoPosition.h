#pragma once
// One geographic position (latitude/longitude in degrees) that can give itself as the world
// point of its own coordinate type and as text. Text operations write into the caller's
// string and reuse its capacity, so a repeated call does not allocate.

#include <string>

namespace mapreg {

class CGeoPosition {
public:
    CGeoPosition() = default;
    CGeoPosition(const CGeoPosition&) = default;
    CGeoPosition& operator=(const CGeoPosition&) = default;
    virtual ~CGeoPosition();

    // The whole position as one text.
    virtual void Format(std::string& text) = 0;
    // The x and y texts in the object's own coordinate type.
    virtual void FormatXY(std::string& x, std::string& y) = 0;
    virtual bool IsUtm() const = 0;
    // Degrees, north and east positive.
    virtual void GetLatLon(double& latitude, double& longitude);
    // The world point in the object's own coordinate type.
    virtual void GetXY(double& x, double& y) = 0;
    virtual void SetLatLon(double latitude, double longitude);

protected:
    double m_dLatitude = 0.0;
    double m_dLongitude = 0.0;
};

} // namespace mapreg

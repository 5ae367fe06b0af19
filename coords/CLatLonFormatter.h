#pragma once
// A latitude/longitude position shown in one of three layouts: 0 decimal degrees
// ("N 48.26250*"), 1 degrees and decimal minutes ("N 48*15.750'"), 2 degrees, minutes and
// decimal seconds ("N 48*15'45.0\""). '*' is the degree mark.

#include "coords/CGeoPosition.h"

namespace mapreg {

class CLatLonFormatter : public CGeoPosition {
public:
    enum : int { FORMAT_DEGREES = 0, FORMAT_MINUTES = 1, FORMAT_SECONDS = 2 };

    CLatLonFormatter() = default;

    // Latitude text, ", ", longitude text.
    void Format(std::string& text) override;
    // x: longitude text, y: latitude text.
    void FormatXY(std::string& x, std::string& y) override;
    bool IsUtm() const override { return false; }
    // x: longitude, y: latitude (degrees).
    void GetXY(double& x, double& y) override;

    void SetLatLonFormat(int format) { m_nLatLonFormat = format; }
    int GetLatLonFormat() const { return m_nLatLonFormat; }

    // The text of one latitude or longitude in degrees in the current layout. Leaves text
    // unchanged for a layout outside 0..2. A value that is not finite, or too large to count in
    // the layout's smallest unit, shows as a placeholder.
    void FormatAngle(std::string& text, double value, bool isLongitude) const;

    // 'N'/'S' for a latitude, 'E'/'W' for a longitude; zero and negative zero give N or E.
    static char HemisphereLetter(double value, bool isLongitude);

private:
    int m_nLatLonFormat = FORMAT_DEGREES;
};

} // namespace mapreg

#pragma once
// A position held as latitude/longitude or as UTM on WGS 84, converted lazily to the other form
// when that form is first read. Texts: "10U 462737 5345598", or "[Outside UTM boundary]".

#include "coords/CGeoPosition.h"

namespace mapreg {

class CUtmConverter : public CGeoPosition {
public:
    // Stands at latitude 0, longitude 0.
    CUtmConverter();

    void Format(std::string& text) override;
    void FormatXY(std::string& x, std::string& y) override;
    bool IsUtm() const override { return true; }
    void GetLatLon(double& latitude, double& longitude) override;
    void GetXY(double& x, double& y) override;
    void SetLatLon(double latitude, double longitude) override;

    // Easting and northing in metres; the letter is '*' outside the UTM latitude limits.
    void GetUtm(int& zone, char& letter, double& easting, double& northing);
    // Stores the values unchanged; no range check.
    void SetUtm(int zone, char letter, double easting, double northing);
    void GetZone(int& zone, char& letter);

private:
    void UpdateUtm();

    int m_nZone = 0;
    char m_cLetter = ' ';
    double m_dEasting = 0.0;
    double m_dNorthing = 0.0;
    bool m_bLatLonStale = false;
    bool m_bUtmStale = false;
};

} // namespace mapreg

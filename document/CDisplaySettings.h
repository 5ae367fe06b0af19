#pragma once
// How positions and figures are shown: coordinate type, latitude/longitude format, unit
// system, figure size and six colours, with the position objects through which a position
// is shown in the chosen coordinate type. The application owns one and hands it to the
// frame and view; its values persist in the profile section "Settings".

#include "coords/CLatLonFormatter.h"
#include "coords/CUtmConverter.h"
#include "georef/CCalibration.h"
#include "georef/SMapPosition.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string_view>

namespace mapreg {

class CProfile;

using COLORREF = std::uint32_t; // 0x00BBGGRR

inline constexpr std::string_view kSettingsSection = "Settings";

class CDisplaySettings {
public:
    // The six colours, in the order of their profile keys.
    enum ColorIndex : int {
        BackgroundColor,
        ForegroundColor,
        PrimaryColor,
        SecondaryColor,
        LocationSpriteColor,
        NoFixLocationSpriteColor,
        ColorCount
    };
    // The default every profile read passes; it marks a missing key.
    static constexpr int kMissing = -128;

    // Defaults, coordinate type latitude/longitude, format 2 (degrees, minutes, seconds).
    // Starts with the defaults (SetDefaults).
    CDisplaySettings();
    // The settings of a fresh start, before the profile is read: the six default colours, small
    // figures, latitude/longitude in format 2, unit type 0. The nearest-colour function stays.
    void SetDefaults();
    CDisplaySettings(const CDisplaySettings&) = delete;
    CDisplaySettings& operator=(const CDisplaySettings&) = delete;

    // Colour setters store colour & 0xFFFFFF and compute the colour the display shows.
    void SetBackgroundColor(COLORREF color) { SetColor(BackgroundColor, color); }
    void SetForegroundColor(COLORREF color) { SetColor(ForegroundColor, color); }
    void SetPrimaryColor(COLORREF color) { SetColor(PrimaryColor, color); }
    void SetSecondaryColor(COLORREF color) { SetColor(SecondaryColor, color); }
    void SetLocationSpriteColor(COLORREF color) { SetColor(LocationSpriteColor, color); }
    void SetNoFixLocationSpriteColor(COLORREF color) { SetColor(NoFixLocationSpriteColor, color); }
    void SetColors(COLORREF background, COLORREF foreground, COLORREF primary, COLORREF secondary);
    void SetColor(ColorIndex index, COLORREF color);

    // 0 Nautical, 1 Statute, 2 Metric; other values are ignored.
    void SetUnitType(int unitType);
    // 0 Small, 1 Medium, 2 Large; other values are ignored.
    void SetSpriteSize(int spriteSize);
    // The location survives the switch.
    void SetCoordType(CoordType coordType);
    // 0, 1 or 2; copied into the latitude/longitude objects unless UTM is shown. Other
    // values are ignored.
    void SetLatLonFormat(int latLonFormat);

    // The colours the display really shows.
    COLORREF GetBackgroundColor() const { return m_displayColors[BackgroundColor]; }
    COLORREF GetForegroundColor() const { return m_displayColors[ForegroundColor]; }
    COLORREF GetPrimaryColor() const { return m_displayColors[PrimaryColor]; }
    COLORREF GetSecondaryColor() const { return m_displayColors[SecondaryColor]; }
    COLORREF GetLocationSpriteColor() const { return m_displayColors[LocationSpriteColor]; }
    COLORREF GetNoFixLocationSpriteColor() const {
        return m_displayColors[NoFixLocationSpriteColor];
    }
    COLORREF GetDisplayColor(ColorIndex index) const { return m_displayColors[index]; }
    // The colour as requested (and kept in the profile).
    COLORREF GetRequestedColor(ColorIndex index) const { return m_colors[index]; }

    int GetSpriteSize() const { return m_nSpriteSize; }
    int GetUnitType() const { return m_nUnitType; }
    int GetLatLonFormat() const { return m_nLatLonFormat; }
    // 1 when the current location object is the UTM one, else 0.
    CoordType GetCoordType() const {
        return m_pLocation->IsUtm() ? CoordType::Utm : CoordType::LatLon;
    }
    CGeoPosition& GetLocation() { return *m_pLocation; }

    // Sets the current conversion object to position's latitude and longitude and returns
    // it, so that any map position shows in the current coordinate type. The object is reused
    // by the next call.
    CGeoPosition& ConvertPosition(const SMapPosition& position);

    // Profile reads; each answers false and sets nothing (or, for ReadFormats, stops at the
    // first invalid value) when a key is missing or out of range.
    bool ReadColors(const CProfile& profile);
    bool ReadSpriteSize(const CProfile& profile);
    bool ReadFormats(const CProfile& profile);
    // Profile writes of the requested colours, the figure size and the formats.
    bool WriteColors(CProfile& profile) const;
    bool WriteSpriteSize(CProfile& profile) const;
    bool WriteFormats(CProfile& profile) const;

    // How a requested colour maps to the colour the display shows. The default keeps every
    // colour, as a true-colour display does; recomputes the current display colours.
    using NearestColorFunction = std::function<COLORREF(COLORREF)>;
    void SetNearestColorFunction(NearestColorFunction nearest);

private:
    int m_nLatLonFormat = 2;
    int m_nUnitType = 0;
    std::array<COLORREF, ColorCount> m_colors{};
    std::array<COLORREF, ColorCount> m_displayColors{};
    int m_nSpriteSize = 0;
    CLatLonFormatter m_locationLatLon;
    CUtmConverter m_locationUtm;
    CGeoPosition* m_pLocation = &m_locationLatLon;
    CLatLonFormatter m_conversionLatLon;
    CUtmConverter m_conversionUtm;
    CGeoPosition* m_pConversion = &m_conversionLatLon;
    NearestColorFunction m_nearest;
};

} // namespace mapreg

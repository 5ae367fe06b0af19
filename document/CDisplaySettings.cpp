#include "document/CDisplaySettings.h"

#include "framework/ProfileEntry.h"

namespace mapreg {

namespace {

constexpr std::array<COLORREF, CDisplaySettings::ColorCount> kDefaultColors = {
    0x000000, // black
    0xFFFFFF, // white
    0x00FF00, // green
    0x0000FF, // red
    0xFFFF00, // cyan
    0x0000FF, // red
};

constexpr COLORREF kColorMask = 0xFFFFFF;

bool IsOneOf3(int value) {
    return value >= 0 && value <= 2;
}

bool IsCoordType(int value) {
    return CoordTypeOfNumber(value).has_value();
}

// Every read passes kMissing as the default, so a missing key is told from a stored value.
constexpr int kMissing = CDisplaySettings::kMissing;
// Any whole number is a colour, even one past 32 bits: only its low 24 bits are kept.
constexpr std::array<ProfileEntry<long long>, CDisplaySettings::ColorCount> kColorEntries = {{
    {kSettingsSection, "backgroundColor", kMissing},
    {kSettingsSection, "foregroundColor", kMissing},
    {kSettingsSection, "primaryColor", kMissing},
    {kSettingsSection, "secondaryColor", kMissing},
    {kSettingsSection, "locationSpriteColor", kMissing},
    {kSettingsSection, "noFixLocationSpriteColor", kMissing},
}};
constexpr ProfileEntry<int> kSpriteSize{kSettingsSection, "spriteSize", kMissing, IsOneOf3};
constexpr ProfileEntry<int> kUnitType{kSettingsSection, "unitType", kMissing, IsOneOf3};
constexpr ProfileEntry<int> kCoordType{kSettingsSection, "coordType", kMissing, IsCoordType};
constexpr ProfileEntry<int> kLatLonFormat{kSettingsSection, "latLonFormat", kMissing, IsOneOf3};

} // namespace

CDisplaySettings::CDisplaySettings() {
    SetDefaults();
}

void CDisplaySettings::SetDefaults() {
    for (int i = 0; i < ColorCount; ++i) {
        SetColor(static_cast<ColorIndex>(i), kDefaultColors[static_cast<std::size_t>(i)]);
    }
    SetSpriteSize(0);
    SetLatLonFormat(2);
    SetCoordType(CoordType::LatLon);
    SetUnitType(0);
}

void CDisplaySettings::SetColor(ColorIndex index, COLORREF color) {
    if (index < 0 || index >= ColorCount) {
        return;
    }
    const COLORREF requested = color & kColorMask;
    m_colors[index] = requested;
    m_displayColors[index] = m_nearest ? (m_nearest(requested) & kColorMask) : requested;
}

void CDisplaySettings::SetColors(COLORREF background, COLORREF foreground, COLORREF primary,
                                 COLORREF secondary) {
    SetBackgroundColor(background);
    SetForegroundColor(foreground);
    SetPrimaryColor(primary);
    SetSecondaryColor(secondary);
}

void CDisplaySettings::SetNearestColorFunction(NearestColorFunction nearest) {
    m_nearest = std::move(nearest);
    for (int i = 0; i < ColorCount; ++i) {
        SetColor(static_cast<ColorIndex>(i), m_colors[static_cast<std::size_t>(i)]);
    }
}

void CDisplaySettings::SetUnitType(int unitType) {
    if (IsOneOf3(unitType)) {
        m_nUnitType = unitType;
    }
}

void CDisplaySettings::SetSpriteSize(int spriteSize) {
    if (IsOneOf3(spriteSize)) {
        m_nSpriteSize = spriteSize;
    }
}

void CDisplaySettings::SetLatLonFormat(int latLonFormat) {
    if (!IsOneOf3(latLonFormat)) {
        return;
    }
    m_nLatLonFormat = latLonFormat;
    if (!m_pLocation->IsUtm()) {
        m_locationLatLon.SetLatLonFormat(latLonFormat);
        m_conversionLatLon.SetLatLonFormat(latLonFormat);
    }
}

void CDisplaySettings::SetCoordType(CoordType coordType) {
    double latitude = 0.0;
    double longitude = 0.0;
    m_pLocation->GetLatLon(latitude, longitude);
    switch (coordType) {
    case CoordType::LatLon:
        m_pConversion = &m_conversionLatLon;
        m_pLocation = &m_locationLatLon;
        SetLatLonFormat(m_nLatLonFormat);
        break;
    case CoordType::Utm:
        m_pConversion = &m_conversionUtm;
        m_pLocation = &m_locationUtm;
        break;
    }
    m_pLocation->SetLatLon(latitude, longitude);
}

CGeoPosition& CDisplaySettings::ConvertPosition(const SMapPosition& position) {
    double latitude = 0.0;
    double longitude = 0.0;
    position.GetLatLon(latitude, longitude);
    m_pConversion->SetLatLon(latitude, longitude);
    return *m_pConversion;
}

bool CDisplaySettings::ReadColors(const CProfile& profile) {
    std::array<long long, ColorCount> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = kColorEntries[i].Get(profile);
        if (values[i] == kMissing) {
            return false;
        }
    }
    const auto color = [&values](int i) {
        return static_cast<COLORREF>(values[static_cast<std::size_t>(i)] & kColorMask);
    };
    SetColors(color(BackgroundColor), color(ForegroundColor), color(PrimaryColor),
              color(SecondaryColor));
    SetLocationSpriteColor(color(LocationSpriteColor));
    SetNoFixLocationSpriteColor(color(NoFixLocationSpriteColor));
    return true;
}

bool CDisplaySettings::ReadSpriteSize(const CProfile& profile) {
    const int size = kSpriteSize.Get(profile);
    if (size == kMissing) {
        return false;
    }
    m_nSpriteSize = size;
    return true;
}

bool CDisplaySettings::ReadFormats(const CProfile& profile) {
    // Unreadable formats count as missing and keep all three; an out-of-range one stops there.
    const int unitType = kUnitType.Stored(profile);
    const int coordType = kCoordType.Stored(profile);
    const int latLonFormat = kLatLonFormat.Stored(profile);
    if (unitType == kMissing || coordType == kMissing || latLonFormat == kMissing) {
        return false;
    }
    if (!kUnitType.IsValid(unitType)) {
        return false;
    }
    SetUnitType(unitType);
    const std::optional<CoordType> type = CoordTypeOfNumber(coordType);
    if (!type) {
        return false;
    }
    SetCoordType(*type);
    if (!kLatLonFormat.IsValid(latLonFormat)) {
        return false;
    }
    SetLatLonFormat(latLonFormat);
    return true;
}

bool CDisplaySettings::WriteColors(CProfile& profile) const {
    bool ok = true;
    for (std::size_t i = 0; i < kColorEntries.size(); ++i) {
        ok = kColorEntries[i].Set(profile, m_colors[i]) && ok;
    }
    return ok;
}

bool CDisplaySettings::WriteSpriteSize(CProfile& profile) const {
    return kSpriteSize.Set(profile, m_nSpriteSize);
}

bool CDisplaySettings::WriteFormats(CProfile& profile) const {
    bool ok = kUnitType.Set(profile, m_nUnitType);
    ok = kCoordType.Set(profile, CoordTypeNumber(GetCoordType())) && ok;
    ok = kLatLonFormat.Set(profile, m_nLatLonFormat) && ok;
    return ok;
}

} // namespace mapreg

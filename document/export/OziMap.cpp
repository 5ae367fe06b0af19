#include "document/export/OziMap.h"

#include "coords/UtmProjection.h"
#include "document/TextFileFormat.h"
#include "document/export/ExportText.h"
#include "georef/CAffine.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <filesystem>

namespace mapreg {

namespace {

// Metres of one degree of latitude, and of longitude on the equator: WGS 84 semi-major axis
// times pi / 180. Only used for the informational scale line of the .map file.
constexpr double kMetresPerDegree = 111319.49079327358;

// One line of the .map file: control characters would end the line early, so they become '?'.
std::string MapLineText(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 0x20) {
            c = '?';
        }
    }
    return out;
}

// "  48, 24.12345678,N": whole degrees and decimal minutes (8 decimals) with the hemisphere.
std::string OziAngle(double degrees, int degreeWidth, char positive, char negative) {
    constexpr std::int64_t kUnitsPerMinute = 100000000; // 1e-8 minute
    constexpr std::int64_t kUnitsPerDegree = 60 * kUnitsPerMinute;
    const double magnitude = std::fabs(degrees);
    // Callers pass finite values within 180 degrees; the clamp keeps llround in range anyway.
    const auto units = std::llround(std::fmin(magnitude, 360.0) * 60.0 * 1e8);
    const std::int64_t whole = units / kUnitsPerDegree;
    const std::int64_t rest = units % kUnitsPerDegree;
    std::string fraction = std::to_string(rest % kUnitsPerMinute);
    fraction.insert(0, 8 - fraction.size(), '0');
    std::string minutes = std::to_string(rest / kUnitsPerMinute) + "." + fraction;
    std::string text = std::to_string(whole);
    text.insert(
        0, static_cast<std::size_t>(std::max(0, degreeWidth - static_cast<int>(text.size()))), ' ');
    minutes.insert(0, minutes.size() < 12 ? 12 - minutes.size() : 0, ' ');
    return text + "," + minutes + "," + (std::signbit(degrees) && units != 0 ? negative : positive);
}

std::string Padded(long long value, std::size_t width) {
    std::string text = std::to_string(value);
    text.insert(0, text.size() < width ? width - text.size() : 0, ' ');
    return text;
}

// A mark of the .map file: its picture point in whole pixels (the map file stores them so).
CDoublePoint OziMarkPixel(const CExportSource& source, std::size_t i) {
    const CDoublePoint mark = source.transform.GetPicturePoints()[i];
    return {std::round(mark.x), std::round(mark.y)};
}

CDoublePoint OziLatLon(const CExportSource& source, CDoublePoint picture) {
    const CDoublePoint ll = WorldToLatLon(source, source.transform.PictureToWorld(picture));
    return {NormalizeLongitude(ll.x), ll.y};
}

} // namespace

bool CanBuildOziMap(const CExportSource& source) {
    const int zone = source.calibration.zone;
    if (!source.calibrated || !AffineOfTransform(source.transform) ||
        (source.calibration.IsUtm() && (zone < 1 || zone > 60))) {
        return false;
    }
    for (std::size_t i = 0; i < 3; ++i) {
        const CDoublePoint pixel = OziMarkPixel(source, i);
        const CDoublePoint ll = OziLatLon(source, pixel);
        if (!std::isfinite(ll.x) || !std::isfinite(ll.y) || std::fabs(ll.y) > 90.0 ||
            !(std::fabs(pixel.x) < 1e9) || !(std::fabs(pixel.y) < 1e9)) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> BuildOziMap(const CExportSource& source, const std::string& bitmapPath) {
    if (!CanBuildOziMap(source)) {
        return std::nullopt;
    }
    const bool utm = source.calibration.IsUtm();
    const std::string crlf(kCrLf);
    const auto latLonOf = [&](CDoublePoint picture) { return OziLatLon(source, picture); };
    std::string text = "OziExplorer Map Data File Version 2.2" + crlf;
    text += MapLineText(std::filesystem::path(bitmapPath).stem().string()) + crlf;
    text += MapLineText(bitmapPath) + crlf;
    text += "1 ,Map Code," + crlf;
    text += "WGS 84,WGS 84,   0.0000,   0.0000,WGS 84" + crlf;
    text += "Reserved 1" + crlf;
    text += "Reserved 2" + crlf;
    text += "Magnetic Variation,,,E" + crlf;
    // A UTM calibration is affine in the zone's grid, not in latitude/longitude: it keeps its
    // Transverse Mercator projection (a latitude/longitude fit through the marks would be
    // metres off at the corners of a map a few kilometres wide).
    text += std::string("Map Projection,") + (utm ? "Transverse Mercator" : "Latitude/Longitude") +
            ",PolyCal,No,AutoCalOnly,No,BSBUseWPX,No" + crlf;

    // The marks in whole pixels; each takes the world point that the transform gives its
    // pixel.
    for (int i = 1; i <= 30; ++i) {
        std::string number = std::to_string(i);
        number.insert(0, number.size() < 2 ? 2 - number.size() : 0, '0');
        text += "Point" + number + ",xy,";
        if (i <= 3) {
            const CDoublePoint pixel = OziMarkPixel(source, static_cast<std::size_t>(i - 1));
            const CDoublePoint world = source.transform.PictureToWorld(pixel);
            const CDoublePoint ll = latLonOf(pixel);
            text += Padded(static_cast<long long>(pixel.x), 5) + "," +
                    Padded(static_cast<long long>(pixel.y), 5) + ",in, deg," +
                    OziAngle(ll.y, 4, 'N', 'S') + "," + OziAngle(ll.x, 4, 'E', 'W') +
                    (utm ? ", grid,   ," + FormatFixed(world.x, 12, 3) + "," +
                               FormatFixed(world.y, 12, 3) + ",N"
                         : std::string(", grid,   ,           ,           ,N")) +
                    crlf;
        } else {
            text += "     ,     ,in, deg,    ,        ,N,    ,        ,W, grid,   ,           ,"
                    "           ,N" +
                    crlf;
        }
    }
    if (utm) {
        // Latitude of origin, central meridian, scale factor, false easting and northing.
        const bool south = UtmIsSouthernLetter(source.calibration.letter);
        text += "Projection Setup,     0.000000000," +
                FormatFixed(UtmCentralMeridian(source.calibration.zone), 16, 9) +
                ",     0.999600000," + FormatFixed(kUtmFalseEasting, 15, 2) + "," +
                FormatFixed(south ? kUtmFalseNorthingSouth : 0.0, 15, 2) + ",,,,," + crlf;
    } else {
        text += "Projection Setup,,,,,,,,,," + crlf;
    }
    text += "Map Feature = MF ; Map Comment = MC     These follow if map data is present" + crlf;
    text += "MM0,Yes" + crlf;
    text += "MMPNUM,4" + crlf;
    const std::array<CDoublePoint, 4> corners = {
        CDoublePoint{0.0, 0.0}, CDoublePoint{static_cast<double>(source.width), 0.0},
        CDoublePoint{static_cast<double>(source.width), static_cast<double>(source.height)},
        CDoublePoint{0.0, static_cast<double>(source.height)}};
    for (std::size_t i = 0; i < corners.size(); ++i) {
        text += "MMPXY," + std::to_string(i + 1) + "," +
                std::to_string(static_cast<long long>(corners[i].x)) + "," +
                std::to_string(static_cast<long long>(corners[i].y)) + crlf;
    }
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const CDoublePoint ll = latLonOf(corners[i]);
        text += "MMPLL," + std::to_string(i + 1) + "," + FormatFixed(ll.x, 12, 8) + "," +
                FormatFixed(ll.y, 12, 8) + crlf;
    }
    // Metres per pixel along the picture's x axis, at the middle of the map.
    const CAffine affine = *AffineOfTransform(source.transform);
    double metresPerPixel = std::hypot(affine.a, affine.d);
    if (!utm) {
        const CDoublePoint middle = affine.Apply(
            {static_cast<double>(source.width) / 2.0, static_cast<double>(source.height) / 2.0});
        const double cosLatitude = std::cos(middle.y * 3.141592653589793 / 180.0);
        metresPerPixel = kMetresPerDegree * std::hypot(affine.a * cosLatitude, affine.d);
    }
    text +=
        "MM1B," + FormatFixed(std::isfinite(metresPerPixel) ? metresPerPixel : 0.0, 0, 6) + crlf;
    text += "MOP,Map Open Position,0,0" + crlf;
    text += "IWH,Map Image Width/Height," + std::to_string(source.width) + "," +
            std::to_string(source.height) + crlf;
    return text;
}

} // namespace mapreg

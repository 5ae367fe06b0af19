#include "MapExportFormats.h"

#include "CUtmConverter.h"
#include "StringTable.h"
#include "TextFileFormat.h"
#include "Utf8Text.h"
#include "UtmProjection.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <filesystem>

namespace {

constexpr std::string_view kLf = "\n";

// Metres of one degree of latitude, and of longitude on the equator: WGS 84 semi-major axis
// times pi / 180. Only used for the informational scale line of the .map file.
constexpr double kMetresPerDegree = 111319.49079327358;

std::string ToChars(double value, std::chars_format format, int precision) {
    // Wide enough for the largest double in fixed notation.
    std::array<char, 400> buffer{};
    const auto [end, ec] =
        precision < 0
            ? std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format)
            : std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format, precision);
    return ec == std::errc() ? std::string(buffer.data(), end) : std::string("0");
}

// Length of the UTF-8 sequence at text[i] that XML can hold, or 0 when the byte starts none
// (invalid UTF-8, or the noncharacters U+FFFE and U+FFFF).
std::size_t Utf8Length(std::string_view text, std::size_t i) {
    const Utf8Char decoded = DecodeUtf8(text, i);
    return decoded.code == 0xFFFE || decoded.code == 0xFFFF ? 0 : decoded.length;
}

// Text for XML character data (or, with attribute, a double-quoted attribute value): markup
// characters escaped, valid UTF-8 kept, any other byte taken as its Latin-1 character, control
// characters that XML 1.0 cannot hold written as '?'.
std::string XmlText(std::string_view text, bool attribute = false) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t n = Utf8Length(text, i);
        if (n == 0) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
            ++i;
            continue;
        }
        if (n > 1) {
            out.append(text.substr(i, n));
        } else if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '"' && attribute) {
            out += "&quot;";
        } else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            out += '?';
        } else {
            out += static_cast<char>(c);
        }
        i += n;
    }
    return out;
}

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

// Brings a longitude into [-180, 180).
double NormalizeLongitude(double longitude) {
    if (longitude >= -180.0 && longitude < 180.0) {
        return longitude;
    }
    const double wrapped = std::fmod(longitude + 180.0, 360.0);
    return (wrapped < 0.0 ? wrapped + 360.0 : wrapped) - 180.0;
}

// The element span [begin, end) of the first child named name of the root element, and where
// the root's end tag begins. A small scanner for the files GDAL writes: it knows tags, quoted
// attribute values, comments, CDATA and processing instructions, and nothing of DTDs.
struct XmlScan {
    bool rootIsPam = false;
    std::size_t rootEnd = std::string::npos;
    std::size_t childBegin = std::string::npos;
    std::size_t childEnd = std::string::npos;
};

XmlScan ScanPam(std::string_view text, std::string_view childName) {
    XmlScan scan;
    int depth = 0;
    std::size_t pos = 0;
    const auto skipTo = [&](std::string_view terminator) {
        const std::size_t at = text.find(terminator, pos);
        pos = at == std::string_view::npos ? text.size() + 1 : at + terminator.size();
    };
    while ((pos = text.find('<', pos)) != std::string_view::npos) {
        const std::size_t tag = pos;
        const std::string_view rest = text.substr(tag);
        if (rest.starts_with("<?")) {
            skipTo("?>");
        } else if (rest.starts_with("<!--")) {
            skipTo("-->");
        } else if (rest.starts_with("<![CDATA[")) {
            skipTo("]]>");
        } else if (rest.starts_with("<!")) {
            skipTo(">");
        } else {
            // Find the end of the tag, stepping over quoted attribute values.
            char quote = 0;
            std::size_t end = tag + 1;
            for (; end < text.size(); ++end) {
                const char c = text[end];
                if (quote != 0) {
                    quote = c == quote ? 0 : quote;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            if (end >= text.size()) {
                return {}; // an unterminated tag: not a file to merge into
            }
            pos = end + 1;
            const bool closing = rest.starts_with("</");
            const bool selfClosing = !closing && text[end - 1] == '/';
            std::size_t nameEnd = tag + (closing ? 2 : 1);
            const std::size_t nameBegin = nameEnd;
            while (nameEnd < end && text[nameEnd] != ' ' && text[nameEnd] != '/' &&
                   text[nameEnd] != '\t' && text[nameEnd] != '\r' && text[nameEnd] != '\n') {
                ++nameEnd;
            }
            const std::string_view name = text.substr(nameBegin, nameEnd - nameBegin);
            if (closing) {
                --depth;
                if (depth == 1 && name == childName && scan.childBegin != std::string::npos &&
                    scan.childEnd == std::string::npos) {
                    scan.childEnd = pos;
                } else if (depth == 0) {
                    scan.rootEnd = tag;
                    return scan;
                } else if (depth < 0) {
                    return {};
                }
            } else if (depth == 0) {
                if (name != "PAMDataset" || selfClosing) {
                    return {};
                }
                scan.rootIsPam = true;
                depth = 1;
            } else {
                if (depth == 1 && name == childName && scan.childBegin == std::string::npos) {
                    scan.childBegin = tag;
                    if (selfClosing) {
                        scan.childEnd = pos;
                    }
                }
                depth += selfClosing ? 0 : 1;
            }
        }
    }
    return {}; // the root element never ends
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

} // namespace

std::string WorldFileName(const std::string& bitmapPath) {
    std::filesystem::path path(bitmapPath);
    const std::string ext = path.extension().string();
    std::string worldExt = ".wld";
    if (ext.size() >= 3) { // the dot and at least two letters
        const char last = ext.back();
        worldExt = std::string(".") + ext[1] + last + (last >= 'A' && last <= 'Z' ? 'W' : 'w');
    }
    path.replace_extension(worldExt);
    return path.string();
}

std::string AuxXmlFileName(const std::string& bitmapPath) {
    return bitmapPath + ".aux.xml";
}

std::string ExactNumber(double value) {
    return ToChars(value, std::chars_format::general, 17);
}

std::string ExactDecimal(double value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    return ToChars(value, std::chars_format::fixed, -1);
}

std::string BuildWorldFileText(const CAffine& affine) {
    // World files name the centre of the upper-left pixel, half a pixel in from the corner.
    const CDoublePoint centre = affine.Apply({0.5, 0.5});
    std::string text;
    for (const double value : {affine.a, affine.d, affine.b, affine.e, centre.x, centre.y}) {
        text += ExactNumber(value);
        text += kLf;
    }
    return text;
}

std::optional<std::string> CoordinateSystemWkt(CoordType coordType, int zone, char letter) {
    static constexpr std::string_view kGeographic =
        R"(GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563,)"
        R"(AUTHORITY["EPSG","7030"]],AUTHORITY["EPSG","6326"]],PRIMEM["Greenwich",0,)"
        R"(AUTHORITY["EPSG","8901"]],UNIT["degree",0.0174532925199433,)"
        R"(AUTHORITY["EPSG","9122"]])";
    if (coordType == CoordType::LatLon) {
        return std::string(kGeographic) +
               R"(,AXIS["Latitude",NORTH],AXIS["Longitude",EAST],AUTHORITY["EPSG","4326"]])";
    }
    if (zone < 1 || zone > 60) {
        return std::nullopt;
    }
    const bool south = UtmIsSouthernLetter(letter);
    const std::string zoneText = std::to_string(zone) + (south ? "S" : "N");
    const int epsg = (south ? 32700 : 32600) + zone;
    return R"(PROJCS["WGS 84 / UTM zone )" + zoneText + R"(",)" + std::string(kGeographic) +
           R"(,AUTHORITY["EPSG","4326"]],PROJECTION["Transverse_Mercator"],)"
           R"(PARAMETER["latitude_of_origin",0],PARAMETER["central_meridian",)" +
           std::to_string(static_cast<long long>(UtmCentralMeridian(zone))) +
           R"(],PARAMETER["scale_factor",0.9996],PARAMETER["false_easting",500000],)"
           R"(PARAMETER["false_northing",)" +
           (south ? "10000000" : "0") +
           R"(],UNIT["metre",1,AUTHORITY["EPSG","9001"]],AXIS["Easting",EAST],)"
           R"(AXIS["Northing",NORTH],AUTHORITY["EPSG",")" +
           std::to_string(epsg) + R"("]])";
}

std::string_view AxisMapping(CoordType coordType) {
    return coordType == CoordType::LatLon ? "2,1" : "1,2";
}

std::string BuildAuxXml(const std::string& wkt, CoordType coordType, std::string_view existing) {
    const std::string element = "<SRS dataAxisToSRSAxisMapping=\"" +
                                std::string(AxisMapping(coordType)) + "\">" + XmlText(wkt) +
                                "</SRS>";
    const XmlScan scan = ScanPam(existing, "SRS");
    if (scan.rootIsPam && scan.rootEnd != std::string::npos) {
        std::string merged(existing);
        if (scan.childBegin != std::string::npos && scan.childEnd != std::string::npos) {
            merged.replace(scan.childBegin, scan.childEnd - scan.childBegin, element);
        } else {
            merged.insert(scan.rootEnd, "  " + element + "\n");
        }
        return merged;
    }
    return "<PAMDataset>\n  " + element + "\n</PAMDataset>\n";
}

int CountUnwritableWaypoints(const std::vector<CDoublePoint>& waypoints) {
    int count = 0;
    for (const CDoublePoint& wp : waypoints) {
        if (!std::isfinite(wp.x) || !std::isfinite(wp.y) || std::fabs(wp.x) > 90.0) {
            ++count;
        }
    }
    return count;
}

std::string BuildGpx(const std::vector<CDoublePoint>& waypoints, std::string_view name) {
    const std::string_view title = LoadStringId(IDR_MAINFRAME);
    const std::string creator(title.substr(0, title.find('\n')));
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    text += "<gpx version=\"1.1\" creator=\"" + XmlText(creator, true) +
            "\" xmlns=\"http://www.topografix.com/GPX/1/1\""
            " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
            " xsi:schemaLocation=\"http://www.topografix.com/GPX/1/1"
            " http://www.topografix.com/GPX/1/1/gpx.xsd\">\n";
    if (!name.empty()) {
        text += "  <metadata>\n    <name>" + XmlText(name) + "</name>\n  </metadata>\n";
    }
    for (std::size_t i = 0; i < waypoints.size(); ++i) {
        const CDoublePoint& wp = waypoints[i];
        if (!std::isfinite(wp.x) || !std::isfinite(wp.y) || std::fabs(wp.x) > 90.0) {
            continue;
        }
        std::string number = std::to_string(i + 1);
        number.insert(0, number.size() < 3 ? 3 - number.size() : 0, '0');
        // "-0" is a valid decimal, but plain 0 reads better.
        const double latitude = wp.x == 0.0 ? 0.0 : wp.x;
        const double longitude = NormalizeLongitude(wp.y == 0.0 ? 0.0 : wp.y);
        text += "  <wpt lat=\"" + ExactDecimal(latitude) + "\" lon=\"" + ExactDecimal(longitude) +
                "\">\n    <name>WP" + number + "</name>\n  </wpt>\n";
    }
    text += "</gpx>\n";
    return text;
}

CDoublePoint WorldToLatLon(const CExportSource& source, CDoublePoint world) {
    if (!source.calibration.IsUtm()) {
        return world;
    }
    CUtmConverter position;
    position.SetUtm(source.calibration.zone, source.calibration.letter, world.x, world.y);
    double latitude = 0.0;
    double longitude = 0.0;
    position.GetLatLon(latitude, longitude);
    return {longitude, latitude};
}

namespace {

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

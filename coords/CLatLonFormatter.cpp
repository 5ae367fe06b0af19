#include "coords/CLatLonFormatter.h"

#include "coords/TextDigits.h"
#include "resources/StringTable.h"

#include <cmath>
#include <cstdint>
#include <string_view>

namespace mapreg {

using coords_detail::FitsInt64;
using coords_detail::WritePadded;

namespace {

// Longest angle text: letter, blank, 19 degree digits and the widest tail ("*59'59.9\"").
constexpr std::size_t kAngleBuffer = 48;

// Writes the text of one angle into buf and returns its length; 0 when the value cannot be
// counted in the format's smallest unit (not finite or far too large), -1 for an unknown format.
int WriteAngle(char* buf, double value, bool isLongitude, int format) {
    static constexpr double kUnitsPerDegree[3] = {100000.0, 60000.0, 36000.0};
    if (format < 0 || format > 2) {
        return -1;
    }
    const double scaled = std::abs(value) * kUnitsPerDegree[format] + 0.5;
    if (!FitsInt64(scaled)) {
        return 0;
    }
    // The whole value becomes one count of the smallest unit shown before it is split, so
    // carries between the fields are exact: minutes and seconds never show 60.
    const auto count = static_cast<std::int64_t>(scaled);
    const int degreeWidth = isLongitude ? 3 : 2;
    char* p = buf;
    *p++ = CLatLonFormatter::HemisphereLetter(value, isLongitude);
    *p++ = ' ';
    switch (format) {
    case CLatLonFormatter::FORMAT_DEGREES:
        p = WritePadded(p, count / 100000, degreeWidth);
        *p++ = '.';
        p = WritePadded(p, count % 100000, 5);
        *p++ = '*';
        break;
    case CLatLonFormatter::FORMAT_MINUTES: {
        const std::int64_t degrees = count / 60000;
        const std::int64_t rest = count - degrees * 60000;
        p = WritePadded(p, degrees, degreeWidth);
        *p++ = '*';
        p = WritePadded(p, rest / 1000, 2);
        *p++ = '.';
        p = WritePadded(p, rest % 1000, 3);
        *p++ = '\'';
        break;
    }
    default: {
        const std::int64_t degrees = count / 36000;
        const std::int64_t minutes = (count - degrees * 36000) / 600;
        const std::int64_t rest = count - minutes * 600 - degrees * 36000;
        p = WritePadded(p, degrees, degreeWidth);
        *p++ = '*';
        p = WritePadded(p, minutes, 2);
        *p++ = '\'';
        p = WritePadded(p, rest / 10, 2);
        *p++ = '.';
        p = WritePadded(p, rest % 10, 1);
        *p++ = '"';
        break;
    }
    }
    return static_cast<int>(p - buf);
}

// Appends the angle text to text; nothing for an unknown format.
void AppendAngle(std::string& text, double value, bool isLongitude, int format) {
    char buf[kAngleBuffer];
    const int length = WriteAngle(buf, value, isLongitude, format);
    if (length > 0) {
        text.append(buf, static_cast<std::size_t>(length));
    } else if (length == 0) {
        text.append(LoadStringId(IDS_NO_VALUE));
    }
}

} // namespace

void CLatLonFormatter::Format(std::string& text) {
    text.clear();
    AppendAngle(text, m_dLatitude, false, m_nLatLonFormat);
    text.append(", ");
    AppendAngle(text, m_dLongitude, true, m_nLatLonFormat);
}

void CLatLonFormatter::FormatXY(std::string& x, std::string& y) {
    FormatAngle(x, m_dLongitude, true);
    FormatAngle(y, m_dLatitude, false);
}

void CLatLonFormatter::GetXY(double& x, double& y) {
    x = m_dLongitude;
    y = m_dLatitude;
}

void CLatLonFormatter::FormatAngle(std::string& text, double value, bool isLongitude) const {
    if (m_nLatLonFormat < FORMAT_DEGREES || m_nLatLonFormat > FORMAT_SECONDS) {
        return;
    }
    text.clear();
    AppendAngle(text, value, isLongitude, m_nLatLonFormat);
}

char CLatLonFormatter::HemisphereLetter(double value, bool isLongitude) {
    if (isLongitude) {
        return value < 0.0 ? 'W' : 'E';
    }
    return value < 0.0 ? 'S' : 'N';
}

} // namespace mapreg

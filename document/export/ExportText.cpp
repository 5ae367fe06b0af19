#include "document/export/ExportText.h"

#include "document/Utf8Text.h"

#include <array>
#include <charconv>
#include <cmath>

namespace mapreg {

namespace {

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
} // namespace

std::string ExactNumber(double value) {
    return ToChars(value, std::chars_format::general, 17);
}

std::string ExactDecimal(double value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    return ToChars(value, std::chars_format::fixed, -1);
}

double NormalizeLongitude(double longitude) {
    if (longitude >= -180.0 && longitude < 180.0) {
        return longitude;
    }
    const double wrapped = std::fmod(longitude + 180.0, 360.0);
    return (wrapped < 0.0 ? wrapped + 360.0 : wrapped) - 180.0;
}

std::string XmlText(std::string_view text, bool attribute) {
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

} // namespace mapreg

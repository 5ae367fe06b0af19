#include "document/Utf8Text.h"

namespace mapreg {

Utf8Char DecodeUtf8(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    std::size_t n = 0;
    unsigned minimum = 0;
    unsigned code = 0;
    if (c < 0x80) {
        return {1, c};
    } else if (c >= 0xC2 && c <= 0xDF) {
        n = 2, minimum = 0x80, code = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3, minimum = 0x800, code = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4, minimum = 0x10000, code = c & 0x07u;
    } else {
        return {};
    }
    if (i + n > text.size()) {
        return {};
    }
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return {};
        }
        code = (code << 6) | (byte(i + k) & 0x3Fu);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return {};
    }
    return {n, code};
}

} // namespace mapreg

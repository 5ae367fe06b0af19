#pragma once
// Reading UTF-8 byte by byte for writers of text formats (JSON, XML) that must tell valid
// UTF-8 from stray bytes in a path stored as plain bytes.

#include <cstddef>
#include <string_view>

namespace mapreg {

struct Utf8Char {
    std::size_t length = 0; // 1..4, or 0 when the bytes at the position are no valid UTF-8
    unsigned code = 0;      // the code point when length > 0
};

// Decodes the sequence that starts at text[i] (i < text.size()). Overlong forms, surrogates,
// code points beyond U+10FFFF and sequences cut off by the end of the text give length 0.
Utf8Char DecodeUtf8(std::string_view text, std::size_t i);

} // namespace mapreg

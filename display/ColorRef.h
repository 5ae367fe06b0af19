#pragma once
// Figure and display colours are COLORREF values laid out 0x00BBGGRR (red in the low byte).
// This is the one place that turns such a value into a Qt colour.
#include <QColor>

#include <cstdint>

namespace mapreg {

using COLORREF = std::uint32_t;

// Setters keep only the colour bits of a COLORREF.
inline constexpr COLORREF kColorRefMask = 0xFFFFFFu;

inline QColor ColorFromColorRef(COLORREF cr) {
    return QColor(static_cast<int>(cr & 0xFFu), static_cast<int>((cr >> 8) & 0xFFu),
                  static_cast<int>((cr >> 16) & 0xFFu));
}

} // namespace mapreg

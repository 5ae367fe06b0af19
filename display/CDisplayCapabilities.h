#pragma once
// What the display can show, as far as the map picture cares: whether colours go through a
// hardware palette. The picture asks before it makes a palette; tests put in a palette display.

namespace mapreg {

class CDisplayCapabilities {
public:
    virtual ~CDisplayCapabilities() = default;

    // True for a display with a hardware colour palette (256 colours or fewer at once).
    virtual bool HasPalette() const = 0;

    // The screen the program runs on: a palette display only when the primary screen has a depth
    // of 8 bits or less; true colour when there is no screen at all (no GUI application).
    static const CDisplayCapabilities& Screen();
};

} // namespace mapreg

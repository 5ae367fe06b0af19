#include "display/CPalette.h"

#include <array>
#include <utility>

namespace mapreg {

CPalette::CPalette(std::vector<QRgb> entries) : m_entries(std::move(entries)) {
    if (m_entries.size() > kMaxEntries) {
        m_entries.resize(kMaxEntries);
    }
    for (QRgb& entry : m_entries) {
        entry |= 0xff000000u;
    }
}

CPalette CPalette::Halftone() {
    // The static colours that every palette display keeps at both ends of its palette.
    static constexpr std::array<QRgb, 10> kFirstStatic = {0x000000, 0x800000, 0x008000, 0x808000,
                                                          0x000080, 0x800080, 0x008080, 0xc0c0c0,
                                                          0xc0dcc0, 0xa6caf0};
    static constexpr std::array<QRgb, 10> kLastStatic = {0xfffbf0, 0xa0a0a4, 0x808080, 0xff0000,
                                                         0x00ff00, 0xffff00, 0x0000ff, 0xff00ff,
                                                         0x00ffff, 0xffffff};

    std::vector<QRgb> entries(kFirstStatic.begin(), kFirstStatic.end());
    entries.reserve(kMaxEntries);
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                entries.push_back(qRgb(r * 51, g * 51, b * 51));
            }
        }
    }
    // Twenty greys between the cube's steps of 51 fill the palette up to 256 entries.
    for (int i = 1; i <= 20; ++i) {
        const int level = i * 255 / 21;
        entries.push_back(qRgb(level, level, level));
    }
    entries.insert(entries.end(), kLastStatic.begin(), kLastStatic.end());

    CPalette palette(std::move(entries));
    palette.m_bHalftone = true;
    return palette;
}

QRgb CPalette::GetEntry(int index) const {
    if (index < 0 || index >= GetEntryCount()) {
        return 0;
    }
    return m_entries[static_cast<std::size_t>(index)];
}

} // namespace mapreg

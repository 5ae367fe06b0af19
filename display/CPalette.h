#pragma once
// A logical colour palette of at most 256 entries, made for a map picture on displays that show
// colours through a hardware palette: the picture's own colour table, or the general halftone
// palette for pictures with more colours than a palette holds.

#include <QColor>
#include <vector>

namespace mapreg {

class CPalette {
public:
    static constexpr int kMaxEntries = 256;

    // Entries past kMaxEntries are dropped.
    explicit CPalette(std::vector<QRgb> entries);

    // The 256-entry halftone palette: the 20 static system colours, a 6 x 6 x 6 colour cube and a
    // grey ramp.
    static CPalette Halftone();

    int GetEntryCount() const { return static_cast<int>(m_entries.size()); }
    // The colour of entry `index` as opaque 0xffRRGGBB; 0 for an index outside the palette.
    QRgb GetEntry(int index) const;
    const std::vector<QRgb>& GetEntries() const { return m_entries; }
    bool IsHalftone() const { return m_bHalftone; }

private:
    std::vector<QRgb> m_entries;
    bool m_bHalftone = false;
};

} // namespace mapreg

#pragma once
// The bytes of a .bmp file built field by field, for tests of the picture reader: any header
// form, depth, compression, mask and colour table, good or broken.

#include <QRgb>

#include <cstdint>
#include <string>
#include <vector>

namespace mapreg {

struct BmpForm {
    std::int64_t width = 5;
    std::int64_t height = 4;
    int bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t infoSize = 40;        // 12: the OS/2 core header, 3-byte colour table entries
    bool topDown = false;               // rows from the top: the height is written negative
    std::vector<std::uint32_t> masks{}; // red, green, blue[, alpha]: after a 40-byte header,
                                        // inside a longer one
    std::vector<QRgb> table{};
    std::uint32_t colorsUsed = 0;
    // Pixel values, top row first: colour indices up to 8 bits, the packed pixel for 16 and
    // 32 bits, 0xRRGGBB for 24 bits; or else the raw pixel data (run-length streams); with
    // neither, rows of the right size filled with varied bytes.
    std::vector<std::uint32_t> pixels{};
    std::string data{};
};

std::string EncodeBmp(const BmpForm& form);

// n distinct colours for colour tables.
std::vector<QRgb> ColourTable(int n);

} // namespace mapreg

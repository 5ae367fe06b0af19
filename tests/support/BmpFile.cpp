#include "BmpFile.h"

#include <algorithm>

namespace mapreg {

namespace {

// Appends the low nBytes bytes of v, least significant first.
void Put(std::string& s, int nBytes, std::int64_t v) {
    for (int i = 0; i < nBytes; ++i) {
        s += static_cast<char>(v >> (8 * i));
    }
}

std::string PackRows(const BmpForm& b) {
    const auto nStride =
        static_cast<std::size_t>((b.width * std::max(b.bitCount, 1) + 31) / 32 * 4);
    const auto nRows = static_cast<std::size_t>(b.height < 0 ? -b.height : b.height);
    std::string rows;
    if (b.pixels.empty()) {
        for (std::size_t i = 0; i < nStride * nRows; ++i) {
            rows.push_back(static_cast<char>(i * 37 % 251));
        }
        return rows;
    }
    for (std::int64_t r = 0; r < b.height; ++r) {
        const std::int64_t y = b.topDown ? r : b.height - 1 - r;
        std::string row(nStride, '\0');
        for (std::int64_t x = 0; x < b.width; ++x) {
            const std::uint32_t v = b.pixels[static_cast<std::size_t>(y * b.width + x)];
            const auto nBit = static_cast<std::size_t>(x * b.bitCount);
            auto& byte = reinterpret_cast<unsigned char&>(row[nBit / 8]);
            if (b.bitCount < 8) {
                byte = static_cast<unsigned char>(byte | v << (8 - b.bitCount - nBit % 8));
            } else {
                for (int i = 0; i < b.bitCount / 8; ++i) {
                    row[nBit / 8 + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
                }
            }
        }
        rows += row;
    }
    return rows;
}

} // namespace

std::string EncodeBmp(const BmpForm& b) {
    std::string info;
    Put(info, 4, b.infoSize);
    if (b.infoSize == 12) {
        for (const std::int64_t v :
             {b.width, b.height, std::int64_t{1}, std::int64_t{b.bitCount}}) {
            Put(info, 2, v);
        }
    } else {
        // Width, height, planes and bits, compression, image size, resolution, colours used and
        // important.
        for (const std::int64_t v :
             {b.width, b.topDown ? -b.height : b.height,
              std::int64_t{1} + (std::int64_t{b.bitCount} << 16), std::int64_t{b.compression},
              std::int64_t{0}, std::int64_t{2835}, std::int64_t{2835}, std::int64_t{b.colorsUsed},
              std::int64_t{0}}) {
            Put(info, 4, v);
        }
        for (std::size_t i = 0; info.size() < b.infoSize; ++i) {
            Put(info, 4, i < b.masks.size() ? b.masks[i] : 0);
        }
        if (b.infoSize == 40) {
            for (const std::uint32_t m : b.masks) {
                Put(info, 4, m);
            }
        }
    }
    for (const QRgb c : b.table) {
        Put(info, b.infoSize == 12 ? 3 : 4, c & 0xffffff); // blue, green, red[, 0]
    }
    const std::string pixels = b.data.empty() ? PackRows(b) : b.data;
    std::string file = "BM";
    Put(file, 4, static_cast<std::int64_t>(14 + info.size() + pixels.size()));
    Put(file, 4, 0);
    Put(file, 4, static_cast<std::int64_t>(14 + info.size()));
    return file + info + pixels;
}

std::vector<QRgb> ColourTable(int n) {
    std::vector<QRgb> table;
    for (int i = 0; i < n; ++i) {
        table.push_back(qRgb(i * 53 % 256, i * 101 % 256, (i * 197 + 17) % 256));
    }
    return table;
}

} // namespace mapreg

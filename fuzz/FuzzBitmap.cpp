// The .bmp decoder on arbitrary bytes, read from memory. A decoded picture must be an opaque RGB32
// image of the size in the header, with the colour facts of the header. Headers that claim more
// than kMaxPixels pixels are left out when their pixel data could be compressed: a few bytes of
// run-length data may rightly describe a picture of gigabytes, and allocating that would only
// measure the machine. Uncompressed pictures of any claimed size go in: their data must be in
// the file before anything is allocated, which is exactly what is to be checked.
#include "CBmpDecoder.h"
#include "FuzzSupport.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 24;

std::uint32_t U16(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8;
}
std::uint32_t U32(const std::uint8_t* p) {
    return U16(p) | U16(p + 2) << 16;
}

// The pixel count a header claims, when its data may be compressed (or is read by Qt's reader,
// which allocates before it reads); 0 otherwise.
std::uint64_t CompressiblePixels(const std::uint8_t* data, std::size_t size) {
    if (size < 30) {
        return 0;
    }
    const std::uint32_t infoSize = U32(data + 14);
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    if (infoSize == 12) {
        width = U16(data + 18);
        height = U16(data + 20);
    } else {
        const auto w = static_cast<std::int32_t>(U32(data + 18));
        const auto h = static_cast<std::int32_t>(U32(data + 22));
        width = static_cast<std::uint64_t>(std::llabs(w));
        height = static_cast<std::uint64_t>(std::llabs(h));
        const std::uint32_t compression = size >= 34 ? U32(data + 30) : 0;
        const bool windowsHeader = infoSize == 40 || infoSize == 52 || infoSize == 56 ||
                                   infoSize == 108 || infoSize == 124;
        if (windowsHeader && compression != 1 && compression != 2) {
            return 0;
        }
    }
    return width * height;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (CompressiblePixels(data, size) > kMaxPixels) {
        return 0;
    }
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImage image;
    CBmpDecoder::ColorInfo colors;
    const CBmpDecoder::Status status = CBmpDecoder::Decode(buffer, image, colors);
    if (status != CBmpDecoder::Status::Ok) {
        if (!image.isNull() || colors.nBitCount != 0 || !colors.colorTable.empty()) {
            fuzz::Fail("a failed decode changed its outputs");
        }
        return 0;
    }
    if (image.isNull() || image.format() != QImage::Format_RGB32 || image.width() <= 0 ||
        image.height() <= 0) {
        fuzz::Fail("a decoded picture is not a non-empty RGB32 image");
    }
    if (colors.nBitCount <= 0 || colors.nBitCount > 32 || colors.colorTable.size() > 256) {
        fuzz::Fail("the colour facts are out of range");
    }
    // RGB32 keeps 0xff in the unused byte; anything else means a pixel the decoder never wrote
    // or wrote wrongly.
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) != 0xff) {
                fuzz::Fail("a decoded pixel is not opaque");
            }
        }
    }
    return 0;
}

// The .bmp decoder on arbitrary bytes, read from memory. A decoded picture must be an opaque RGB32
// image of the size in the header, with the colour facts of the header. Headers that claim more
// than kMaxPixels pixels are left out when their pixel data could be compressed: a few bytes of
// run-length data may rightly describe a picture of gigabytes, and allocating that would only
// measure the machine. Uncompressed pictures of any claimed size go in: their data must be in
// the file before anything is allocated, which is exactly what is to be checked.
#include "FuzzSupport.h"
#include "display/CBmpDecoder.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

using namespace mapreg;

namespace {

constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 24;

// The pixel count a header claims, when its data may be compressed (or is read by Qt's reader,
// which allocates before it reads); 0 otherwise.
std::uint64_t CompressiblePixels(const std::uint8_t* data, std::size_t size) {
    if (size < 30) {
        return 0;
    }
    const auto u = [data](std::size_t at, std::size_t n) { // little-endian
        std::uint32_t v = 0;
        for (std::size_t i = n; i-- > 0;) {
            v = v << 8 | data[at + i];
        }
        return v;
    };
    const std::uint32_t infoSize = u(14, 4);
    if (infoSize == 12) {
        return std::uint64_t{u(18, 2)} * u(20, 2);
    }
    const bool windowsHeader =
        infoSize == 40 || infoSize == 52 || infoSize == 56 || infoSize == 108 || infoSize == 124;
    const std::uint32_t compression = size >= 34 ? u(30, 4) : 0;
    if (windowsHeader && compression != 1 && compression != 2) {
        return 0;
    }
    return static_cast<std::uint64_t>(std::llabs(static_cast<std::int32_t>(u(18, 4)))) *
           static_cast<std::uint64_t>(std::llabs(static_cast<std::int32_t>(u(22, 4))));
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

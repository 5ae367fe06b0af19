#include "display/CBmpDecoder.h"

#include <QIODevice>
#include <QImageReader>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <new>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace mapreg {

namespace {

using Status = CBmpDecoder::Status;

// Compression values of the info header.
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

constexpr qint64 kFileHeaderSize = 14;
constexpr qint64 kMaxInfoSize = 124; // BITMAPV5HEADER
// File bytes read and converted in one go: large enough that reads cost little per byte, small
// enough to stay in the cache while they are converted.
constexpr std::uint64_t kSliceBytes = std::uint64_t{1} << 20;
constexpr QRgb kOpaqueBlack = 0xff000000u;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

std::uint32_t U16(const uchar* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8;
}

std::uint32_t U32(const uchar* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

QRgb Opaque(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return kOpaqueBlack | r << 16 | g << 8 | b;
}

// Reads exactly `n` bytes.
Status ReadAll(QIODevice& device, uchar* p, qint64 n) {
    while (n > 0) {
        const qint64 got = device.read(reinterpret_cast<char*>(p), n);
        if (got < 0) {
            return Status::ReadFailed;
        }
        if (got == 0) {
            return Status::Truncated;
        }
        p += got;
        n -= got;
    }
    return Status::Ok;
}

// One colour channel of a 16- or 32-bit pixel, given by its bit mask, scaled to 0..255.
class CChannel {
public:
    CChannel() = default;
    explicit CChannel(std::uint32_t mask)
        : m_nMask(mask), m_nShift(mask == 0 ? 0 : std::countr_zero(mask)),
          m_nMax(mask == 0 ? 0 : mask >> m_nShift) {}

    // A usable mask is empty or one run of set bits.
    bool IsContiguous() const { return (m_nMax & (m_nMax + 1)) == 0; }
    bool IsByte(int shift) const { return m_nMask == std::uint32_t{0xff} << shift; }

    std::uint32_t operator()(std::uint32_t pixel) const {
        if (m_nMax == 0) {
            return 0;
        }
        const std::uint64_t value = (pixel & m_nMask) >> m_nShift;
        return static_cast<std::uint32_t>((value * 255 + m_nMax / 2) / m_nMax);
    }

private:
    std::uint32_t m_nMask = 0;
    int m_nShift = 0;
    std::uint32_t m_nMax = 0;
};

// Everything the headers say, after checking.
struct Header {
    qint64 nFileSize = 0;
    qint64 nPixelOffset = 0;
    std::int32_t nWidth = 0;
    std::int32_t nRows = 0;
    bool bTopDown = false;
    int nBitCount = 0;
    std::uint32_t nCompression = kBiRgb;
    std::uint32_t nColorsUsed = 0;
    std::array<CChannel, 3> channels; // red, green, blue
    bool bStandardMasks = true;       // 32-bit pixels laid out as the target's 0xXXRRGGBB
    std::array<QRgb, 256> lut{};      // colour of each palette index; black past the table
    std::vector<QRgb> colorTable;
};

// Reads the file's bytes in slices for the RLE decoder; `remaining` bounds the stream by the file.
class CByteStream {
public:
    CByteStream(QIODevice& device, qint64 remaining)
        : m_device(device), m_nRemaining(remaining),
          m_buffer(static_cast<std::size_t>(std::min<qint64>(remaining, kSliceBytes))) {}

    // The next byte; false at the end of the file or on a read error (see Failed).
    bool Next(uchar& byte) {
        if (m_nPos == m_nEnd && !Refill()) {
            return false;
        }
        byte = m_buffer[m_nPos++];
        return true;
    }
    bool Failed() const { return m_bFailed; }

private:
    bool Refill() {
        if (m_nRemaining <= 0) {
            return false;
        }
        const qint64 want = std::min<qint64>(m_nRemaining, static_cast<qint64>(m_buffer.size()));
        const qint64 got = m_device.read(reinterpret_cast<char*>(m_buffer.data()), want);
        if (got <= 0) {
            m_bFailed = got < 0;
            m_nRemaining = 0;
            return false;
        }
        m_nRemaining -= got;
        m_nPos = 0;
        m_nEnd = static_cast<std::size_t>(got);
        return true;
    }

    QIODevice& m_device;
    qint64 m_nRemaining;
    std::vector<uchar> m_buffer;
    std::size_t m_nPos = 0;
    std::size_t m_nEnd = 0;
    bool m_bFailed = false;
};

// The target picture. One of 1 MB or more (the built-in world map is 2 MB) gets pixel memory
// aligned to 2 MB and advised for transparent huge pages: the first write to it then takes one
// page fault per 2 MB instead of one per 4 KB, and those faults are most of the cost of loading a
// picture (in a virtual machine a fault can cost 15 us: 500 of them add 7 ms to the start-up).
// A null image when the memory cannot be had.
QImage NewPicture(std::int32_t width, std::int32_t height) {
    const std::size_t bytesPerLine = static_cast<std::size_t>(width) * 4;
    const std::size_t bytes = bytesPerLine * static_cast<std::size_t>(height);
    if (bytes < kHugePage / 2) {
        return QImage(width, height, QImage::Format_RGB32);
    }
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = std::aligned_alloc(kHugePage, rounded);
    if (memory == nullptr) {
        return {};
    }
#ifdef MADV_HUGEPAGE
    ::madvise(memory, rounded, MADV_HUGEPAGE); // only a hint; without huge pages nothing changes
#endif
    QImage image(
        static_cast<uchar*>(memory), width, height, static_cast<qsizetype>(bytesPerLine),
        QImage::Format_RGB32, [](void* p) { std::free(p); }, memory);
    if (image.isNull()) {
        std::free(memory);
    }
    return image;
}

bool IsKnownInfoSize(std::uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

bool DepthFitsCompression(int bitCount, std::uint32_t compression, bool topDown) {
    switch (compression) {
    case kBiRgb:
        return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
               bitCount == 24 || bitCount == 32;
    case kBiRle8:
        return bitCount == 8 && !topDown;
    case kBiRle4:
        return bitCount == 4 && !topDown;
    case kBiBitfields:
    case kBiAlphaBitfields:
        return bitCount == 16 || bitCount == 32;
    default:
        return false;
    }
}

// Reads and checks the headers, the bit masks and the colour table. `head` holds the first
// 18 bytes of the file; the device stands right after them.
Status ReadHeader(QIODevice& device, std::array<uchar, kFileHeaderSize + kMaxInfoSize>& head,
                  Header& h) {
    const std::uint32_t infoSize = U32(head.data() + kFileHeaderSize);
    if (Status s = ReadAll(device, head.data() + 18, static_cast<qint64>(infoSize) - 4);
        s != Status::Ok) {
        return s;
    }
    const uchar* info = head.data() + kFileHeaderSize;

    h.nFileSize = device.size();
    h.nPixelOffset = U32(head.data() + 10);
    const auto height = static_cast<std::int32_t>(U32(info + 8));
    h.nWidth = static_cast<std::int32_t>(U32(info + 4));
    h.nBitCount = static_cast<int>(U16(info + 14));
    h.nCompression = U32(info + 16);
    h.nColorsUsed = U32(info + 32);
    if (h.nWidth <= 0 || height == 0 || height == std::numeric_limits<std::int32_t>::min()) {
        return Status::NotBitmap;
    }
    h.bTopDown = height < 0;
    h.nRows = h.bTopDown ? -height : height;
    if (!DepthFitsCompression(h.nBitCount, h.nCompression, h.bTopDown)) {
        return Status::NotBitmap;
    }

    qint64 tableOffset = kFileHeaderSize + infoSize;
    std::array<std::uint32_t, 3> masks =
        h.nBitCount == 16 ? std::array<std::uint32_t, 3>{0x7c00, 0x03e0, 0x001f}
                          : std::array<std::uint32_t, 3>{0xff0000, 0x00ff00, 0x0000ff};
    if (h.nCompression == kBiBitfields || h.nCompression == kBiAlphaBitfields) {
        std::array<uchar, 16> maskBytes{};
        const uchar* source = info + 40; // the later headers carry the masks themselves
        if (infoSize == 40) {
            // After the plain info header: red, green, blue and, for the alpha form, alpha.
            const qint64 count = h.nCompression == kBiAlphaBitfields ? 16 : 12;
            if (Status s = ReadAll(device, maskBytes.data(), count); s != Status::Ok) {
                return s;
            }
            tableOffset += count;
            source = maskBytes.data();
        }
        masks = {U32(source), U32(source + 4), U32(source + 8)};
        const std::uint32_t depthMask = h.nBitCount == 16 ? 0xffffu : 0xffffffffu;
        if ((masks[0] & masks[1]) != 0 || (masks[0] & masks[2]) != 0 ||
            (masks[1] & masks[2]) != 0 || ((masks[0] | masks[1] | masks[2]) & ~depthMask) != 0) {
            return Status::NotBitmap;
        }
    }
    for (std::size_t i = 0; i < 3; ++i) {
        h.channels[i] = CChannel(masks[i]);
        if (!h.channels[i].IsContiguous()) {
            return Status::NotBitmap;
        }
    }
    h.bStandardMasks =
        h.channels[0].IsByte(16) && h.channels[1].IsByte(8) && h.channels[2].IsByte(0);

    if (h.nPixelOffset < tableOffset) {
        return Status::NotBitmap;
    }
    if (h.nPixelOffset > h.nFileSize) {
        return Status::Truncated;
    }

    // The colour table: the palette of an indexed picture, or an optional list of the colours
    // that matter most in a deeper one. Entries that the file does not hold stay black.
    std::uint64_t entries = 0;
    if (h.nBitCount <= 8) {
        const std::uint32_t full = std::uint32_t{1} << h.nBitCount;
        entries = h.nColorsUsed == 0 || h.nColorsUsed > full ? full : h.nColorsUsed;
    } else if (h.nColorsUsed <= 256) {
        entries = h.nColorsUsed;
    }
    entries = std::min<std::uint64_t>(entries,
                                      static_cast<std::uint64_t>(h.nPixelOffset - tableOffset) / 4);
    h.lut.fill(kOpaqueBlack);
    if (entries > 0) {
        std::array<uchar, 4 * 256> table{};
        if (!device.seek(tableOffset)) {
            return Status::ReadFailed;
        }
        if (Status s = ReadAll(device, table.data(), static_cast<qint64>(entries * 4));
            s != Status::Ok) {
            return s;
        }
        h.colorTable.resize(entries);
        for (std::size_t i = 0; i < entries; ++i) {
            const uchar* q = table.data() + 4 * i;
            h.lut[i] = h.colorTable[i] = Opaque(q[2], q[1], q[0]);
        }
    }
    return Status::Ok;
}

// Converts one row of uncompressed pixels.
void ConvertRow(const Header& h, const std::vector<QRgb>& lut16,
                const std::array<std::uint64_t, 256>& lutPairs, const uchar* src, QRgb* dst) {
    const std::size_t width = static_cast<std::size_t>(h.nWidth);
    switch (h.nBitCount) {
    case 1:
        for (std::size_t x = 0; x < width; x += 8) {
            const unsigned byte = src[x >> 3];
            const std::size_t n = std::min<std::size_t>(8, width - x);
            for (std::size_t i = 0; i < n; ++i) {
                dst[x + i] = h.lut[(byte >> (7 - i)) & 1u];
            }
        }
        break;
    case 4:
        // Two pixels per byte, looked up together and stored as one 64-bit value.
        for (std::size_t x = 0; x + 1 < width; x += 2) {
            const std::uint64_t pair = lutPairs[src[x >> 1]];
            std::memcpy(dst + x, &pair, sizeof pair);
        }
        if ((width & 1) != 0) {
            dst[width - 1] = h.lut[src[width >> 1] >> 4];
        }
        break;
    case 8:
        for (std::size_t x = 0; x < width; ++x) {
            dst[x] = h.lut[src[x]];
        }
        break;
    case 16:
        for (std::size_t x = 0; x < width; ++x) {
            dst[x] = lut16[U16(src + 2 * x)];
        }
        break;
    case 24: {
        // Four pixels from three 32-bit words at a time: BGRB GRBG RBGR.
        std::size_t x = 0;
        for (; x + 4 <= width; x += 4, src += 12) {
            const std::uint32_t a = U32(src);
            const std::uint32_t b = U32(src + 4);
            const std::uint32_t c = U32(src + 8);
            dst[x] = a | kOpaqueBlack;
            dst[x + 1] = a >> 24 | b << 8 | kOpaqueBlack;
            dst[x + 2] = b >> 16 | c << 16 | kOpaqueBlack;
            dst[x + 3] = c >> 8 | kOpaqueBlack;
        }
        for (; x < width; ++x, src += 3) {
            dst[x] = Opaque(src[2], src[1], src[0]);
        }
        break;
    }
    default: // 32
        if (h.bStandardMasks) {
            for (std::size_t x = 0; x < width; ++x) {
                dst[x] = U32(src + 4 * x) | kOpaqueBlack;
            }
        } else {
            for (std::size_t x = 0; x < width; ++x) {
                const std::uint32_t p = U32(src + 4 * x);
                dst[x] = Opaque(h.channels[0](p), h.channels[1](p), h.channels[2](p));
            }
        }
        break;
    }
}

Status DecodeUncompressed(QIODevice& device, const Header& h, QImage& target) {
    const std::uint64_t stride = (static_cast<std::uint64_t>(h.nWidth) * h.nBitCount + 31) / 32 * 4;
    const std::uint64_t rows = static_cast<std::uint64_t>(h.nRows);
    const std::uint64_t rowsPerSlice = std::clamp<std::uint64_t>(kSliceBytes / stride, 1, rows);
    std::vector<uchar> slice(rowsPerSlice * stride);

    std::vector<QRgb> lut16;
    if (h.nBitCount == 16) {
        lut16.resize(65536);
        for (std::uint32_t p = 0; p < 65536; ++p) {
            lut16[p] = Opaque(h.channels[0](p), h.channels[1](p), h.channels[2](p));
        }
    }

    // The colours of both pixels of each byte of a 4-bit picture, in memory order.
    std::array<std::uint64_t, 256> lutPairs{};
    if (h.nBitCount == 4) {
        for (std::size_t b = 0; b < 256; ++b) {
            const QRgb pixels[2] = {h.lut[b >> 4], h.lut[b & 15u]};
            std::memcpy(&lutPairs[b], pixels, sizeof pixels);
        }
    }

    if (!device.seek(h.nPixelOffset)) {
        return Status::ReadFailed;
    }
    uchar* const bits = target.bits();
    const auto bytesPerLine = static_cast<std::size_t>(target.bytesPerLine());
    for (std::uint64_t row = 0; row < rows; row += rowsPerSlice) {
        const std::uint64_t count = std::min(rowsPerSlice, rows - row);
        if (Status s = ReadAll(device, slice.data(), static_cast<qint64>(count * stride));
            s != Status::Ok) {
            return s;
        }
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t fileRow = row + i;
            const std::uint64_t y = h.bTopDown ? fileRow : rows - 1 - fileRow;
            ConvertRow(h, lut16, lutPairs, slice.data() + i * stride,
                       reinterpret_cast<QRgb*>(bits + y * bytesPerLine));
        }
    }
    return Status::Ok;
}

// Run-length encoded pictures, 4 or 8 bits per pixel, always bottom-up. Pixels that the stream
// skips keep colour index 0. Codes that reach past the picture are clipped. A stream that stops
// between two codes is accepted (some writers leave out the end-of-bitmap code); one that stops
// inside a code is truncated.
Status DecodeRle(QIODevice& device, const Header& h, QImage& target) {
    if (!device.seek(h.nPixelOffset)) {
        return Status::ReadFailed;
    }
    target.fill(h.lut[0]);

    const bool rle8 = h.nCompression == kBiRle8;
    const std::uint64_t width = static_cast<std::uint64_t>(h.nWidth);
    const std::uint64_t rows = static_cast<std::uint64_t>(h.nRows);
    uchar* const bits = target.bits();
    const auto bytesPerLine = static_cast<std::uint64_t>(target.bytesPerLine());
    std::uint64_t x = 0;
    std::uint64_t y = 0; // counted from the bottom row
    auto put = [&](unsigned index) {
        if (x < width) {
            reinterpret_cast<QRgb*>(bits + (rows - 1 - y) * bytesPerLine)[x] = h.lut[index];
        }
        ++x;
    };

    CByteStream in(device, h.nFileSize - h.nPixelOffset);
    auto stopped = [&in] { return in.Failed() ? Status::ReadFailed : Status::Truncated; };
    for (;;) {
        uchar count = 0;
        uchar value = 0;
        if (!in.Next(count)) {
            return in.Failed() ? Status::ReadFailed : Status::Ok;
        }
        if (!in.Next(value)) {
            return stopped();
        }
        if (count > 0) { // a run of one index (RLE8) or of two alternating indices (RLE4)
            for (unsigned i = 0; i < count; ++i) {
                put(rle8 ? value : (i & 1) != 0 ? value & 15u : value >> 4u);
            }
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            if (++y >= rows) {
                return Status::Ok;
            }
        } else if (value == 1) { // end of bitmap
            return Status::Ok;
        } else if (value == 2) { // move right and up
            uchar dx = 0;
            uchar dy = 0;
            if (!in.Next(dx) || !in.Next(dy)) {
                return stopped();
            }
            x += dx;
            y += dy;
            if (y >= rows) {
                return Status::Ok;
            }
        } else { // `value` indices stored as they are, padded to a 16-bit boundary
            const unsigned bytes = rle8 ? value : (value + 1u) / 2;
            for (unsigned i = 0; i < bytes; ++i) {
                uchar b = 0;
                if (!in.Next(b)) {
                    return stopped();
                }
                if (rle8) {
                    put(b);
                } else {
                    put(b >> 4u);
                    if (2 * i + 1 < value) {
                        put(b & 15u);
                    }
                }
            }
            uchar pad = 0;
            if ((bytes & 1) != 0 && !in.Next(pad) && in.Failed()) {
                return Status::ReadFailed;
            }
        }
    }
}

// The OS/2 header forms, through Qt's reader. Qt may decode into a narrower format first; the
// conversion to the target then holds both copies for a moment.
Status DecodeWithQt(QIODevice& device, const uchar* fileHeader, QImage& image,
                    CBmpDecoder::ColorInfo& colors) {
    const std::uint32_t infoSize = U32(fileHeader + kFileHeaderSize);
    if (infoSize != 12 && infoSize != 64) {
        return Status::NotBitmap;
    }
    std::array<uchar, 64> info{};
    if (Status s = ReadAll(device, info.data() + 4, static_cast<qint64>(infoSize) - 4);
        s != Status::Ok) {
        return s;
    }
    const bool core = infoSize == 12;
    const int bitCount = static_cast<int>(U16(info.data() + (core ? 10 : 14)));
    const std::uint32_t colorsUsed = core ? 0 : U32(info.data() + 32);
    const std::uint32_t compression = core ? kBiRgb : U32(info.data() + 16);

    // Only the uncompressed forms go to Qt: it takes compression 3 of an OS/2 header (Huffman) for
    // bit fields, and it leaves the pixels that a short run-length stream does not reach
    // unwritten, so either would show whatever the memory held before.
    if (compression != kBiRgb) {
        return Status::NotBitmap;
    }
    // As for the Windows forms, the pixel data must be in the file before Qt allocates.
    const std::int64_t width =
        core ? U16(info.data() + 4) : static_cast<std::int32_t>(U32(info.data() + 4));
    const std::int64_t height =
        core ? U16(info.data() + 6) : static_cast<std::int32_t>(U32(info.data() + 8));
    const qint64 offset = U32(fileHeader + 10);
    if (width <= 0 || height == 0 || bitCount <= 0 || bitCount > 32) {
        return Status::NotBitmap;
    }
    // Qt reads the colour table right after the header and then only moves forward to the pixel
    // data: pixel data said to start inside the header or the table would be read from wherever
    // Qt stands, and the rows it could not fill would stay unwritten.
    const std::uint64_t tableEntries =
        bitCount <= 8 ? (colorsUsed != 0 ? colorsUsed : std::uint64_t{1} << bitCount) : 0;
    if (tableEntries > 256 ||
        offset < kFileHeaderSize + static_cast<qint64>(infoSize + tableEntries * (core ? 3 : 4))) {
        return Status::NotBitmap;
    }
    const auto stride = static_cast<std::uint64_t>((width * bitCount + 31) / 32 * 4);
    const qint64 fileSize = device.size();
    if (offset > fileSize || static_cast<std::uint64_t>(height < 0 ? -height : height) >
                                 static_cast<std::uint64_t>(fileSize - offset) / stride) {
        return Status::Truncated;
    }

    if (!device.seek(0)) {
        return Status::ReadFailed;
    }
    QImageReader reader(&device, "bmp");
    const QSize size = reader.size();
    if (!size.isValid() || size.isEmpty()) {
        return Status::NotBitmap;
    }
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height());
    if (!CBmpDecoder::FitsMemoryBudget(pixels * 8)) {
        return Status::OutOfMemory;
    }

    // Qt refuses pictures above its allocation limit (256 MB by default); the budget above is the
    // limit that counts here.
    const int previousLimit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(static_cast<int>(
        std::min<std::uint64_t>(pixels * 4 / (1 << 20) + 1, std::numeric_limits<int>::max())));
    QImage decoded;
    const bool ok = reader.read(&decoded);
    QImageReader::setAllocationLimit(previousLimit);
    if (!ok) {
        return Status::NotBitmap;
    }

    std::vector<QRgb> table;
    for (QRgb entry : decoded.colorTable()) {
        table.push_back(entry | kOpaqueBlack);
    }
    decoded.convertTo(QImage::Format_RGB32);
    if (decoded.isNull() || decoded.format() != QImage::Format_RGB32) {
        return Status::OutOfMemory;
    }

    image = std::move(decoded);
    colors = {bitCount, colorsUsed, std::move(table)};
    return Status::Ok;
}

Status DecodeChecked(QIODevice& device, QImage& image, CBmpDecoder::ColorInfo& colors) {
    std::array<uchar, kFileHeaderSize + kMaxInfoSize> head{};
    if (!device.seek(0)) {
        return Status::ReadFailed;
    }
    if (Status s = ReadAll(device, head.data(), 18); s != Status::Ok) {
        return s == Status::Truncated ? Status::NotBitmap : s;
    }
    if (head[0] != 'B' || head[1] != 'M') {
        return Status::NotBitmap;
    }
    if (!IsKnownInfoSize(U32(head.data() + kFileHeaderSize))) {
        return DecodeWithQt(device, head.data(), image, colors);
    }

    Header h;
    if (Status s = ReadHeader(device, head, h); s != Status::Ok) {
        return s;
    }
    const bool rle = h.nCompression == kBiRle8 || h.nCompression == kBiRle4;
    if (!rle) {
        // The pixel data must be in the file before anything is allocated for it.
        const std::uint64_t stride =
            (static_cast<std::uint64_t>(h.nWidth) * h.nBitCount + 31) / 32 * 4;
        const auto available = static_cast<std::uint64_t>(h.nFileSize - h.nPixelOffset);
        if (static_cast<std::uint64_t>(h.nRows) > available / stride) {
            return Status::Truncated;
        }
    }
    const std::uint64_t decodedBytes =
        static_cast<std::uint64_t>(h.nWidth) * static_cast<std::uint64_t>(h.nRows) * 4;
    if (!CBmpDecoder::FitsMemoryBudget(decodedBytes)) {
        return Status::OutOfMemory;
    }
    QImage target = NewPicture(h.nWidth, h.nRows);
    if (target.isNull()) {
        return Status::OutOfMemory;
    }

    if (Status s = rle ? DecodeRle(device, h, target) : DecodeUncompressed(device, h, target);
        s != Status::Ok) {
        return s;
    }
    image = std::move(target);
    colors = {h.nBitCount, h.nColorsUsed, std::move(h.colorTable)};
    return Status::Ok;
}

} // namespace

CBmpDecoder::Status CBmpDecoder::Decode(QIODevice& device, QImage& image, ColorInfo& colors) {
    try {
        return DecodeChecked(device, image, colors);
    } catch (const std::bad_alloc&) {
        return Status::OutOfMemory;
    }
}

std::uint64_t CBmpDecoder::MemoryBudget() {
    std::ifstream meminfo("/proc/meminfo");
    std::string line;
    while (std::getline(meminfo, line)) {
        unsigned long long kilobytes = 0;
        if (std::sscanf(line.c_str(), "MemAvailable: %llu kB", &kilobytes) == 1) {
            return static_cast<std::uint64_t>(kilobytes) * 1024;
        }
    }
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) {
        return std::numeric_limits<std::uint64_t>::max();
    }
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

bool CBmpDecoder::FitsMemoryBudget(std::uint64_t decodedBytes) {
    const std::uint64_t budget = MemoryBudget();
    return decodedBytes <= budget && decodedBytes + decodedBytes / 3 <= budget - budget / 4;
}

QImage CBmpDecoder::AllocatePicture(int nWidth, int nHeight) {
    return NewPicture(nWidth, nHeight);
}

} // namespace mapreg

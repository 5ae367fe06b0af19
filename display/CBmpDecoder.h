#pragma once
// Decodes Windows bitmap (.bmp) data into the one form in which the map picture is kept, an opaque
// QImage::Format_RGB32. Pictures with the Windows headers (uncompressed, bit fields, RLE) are
// converted from the file straight into the target, a slice at a time, so that a load holds one
// decoded copy; the older OS/2 header forms go through Qt's image reader. Every size and offset
// the file gives is checked against the file and against the memory available before it is used.

#include <QImage>
#include <cstdint>
#include <vector>

class QIODevice;

namespace mapreg {

class CBmpDecoder {
public:
    enum class Status {
        Ok,
        NotBitmap,   // not a bitmap, or a form of bitmap that cannot be read
        Truncated,   // the file ends before its pixel data does
        ReadFailed,  // the system could not read the file
        OutOfMemory, // the decoded picture does not fit in the memory available
    };

    // The colours as the file's own header gives them; the palette is made from these.
    struct ColorInfo {
        int nBitCount = 0;             // bits per pixel
        std::uint32_t nColorsUsed = 0; // the header's count of used colours; 0 when it names none
        std::vector<QRgb> colorTable;  // the colour table stored in the file, as far as present
    };

    // Decodes the bitmap that starts at offset 0 of `device` (open for reading, random access).
    // On Ok, `image` holds the picture as Format_RGB32 and `colors` what its header says about its
    // colours; on any other status both are left as they were.
    static Status Decode(QIODevice& device, QImage& image, ColorInfo& colors);

    // An uninitialised Format_RGB32 picture; a large one in memory advised for huge pages, which
    // makes its first filling far cheaper. A null image when there is no memory.
    static QImage AllocatePicture(int nWidth, int nHeight);

    // The memory the system has available now, in bytes.
    static std::uint64_t MemoryBudget();
    // True when a decoded picture of decodedBytes fits: it and its reduced copies (a third
    // more) within three quarters of the memory available, so that the program and the system
    // keep room to work.
    static bool FitsMemoryBudget(std::uint64_t decodedBytes);
};

} // namespace mapreg

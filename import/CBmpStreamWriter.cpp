#include "import/CBmpStreamWriter.h"

#include <cerrno>
#include <limits>

namespace mapreg {

namespace {

constexpr std::uint64_t kFileHeaderSize = 14;
constexpr std::uint64_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 2835; // 72 dots per inch

void PutLe(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

} // namespace

std::uint64_t CBmpStreamWriter::RowStride(int width, int bitCount) {
    if (width < 1) {
        return 0;
    }
    return (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount) + 31) / 32 * 4;
}

std::uint64_t CBmpStreamWriter::FileSize(int width, int height, int bitCount,
                                         std::size_t paletteSize) {
    if (width < 1 || height < 1 || (bitCount != 8 && bitCount != 24) || paletteSize > 256 ||
        (bitCount == 24 && paletteSize != 0)) {
        return 0;
    }
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    const std::uint64_t data = RowStride(width, bitCount) * static_cast<std::uint64_t>(height);
    const std::uint64_t size = kFileHeaderSize + kInfoHeaderSize + 4 * paletteSize + data;
    return data > kMax || size > kMax ? 0 : size;
}

CFileError CBmpStreamWriter::Open(const std::string& path, int width, int height, int bitCount,
                                  const std::vector<Rgb>& palette, unsigned modeLimit) {
    const std::uint64_t fileSize = FileSize(width, height, bitCount, palette.size());
    if (fileSize == 0) {
        return CFileError(EFBIG);
    }
    m_nStride = RowStride(width, bitCount);
    m_nHeight = height;
    m_nDataOffset = kFileHeaderSize + kInfoHeaderSize + 4 * palette.size();
    std::string head;
    head.reserve(m_nDataOffset);
    head += "BM";
    PutLe(head, fileSize, 4);
    PutLe(head, 0, 4); // two reserved words
    PutLe(head, m_nDataOffset, 4);
    PutLe(head, kInfoHeaderSize, 4);
    PutLe(head, static_cast<std::uint32_t>(width), 4);
    PutLe(head, static_cast<std::uint32_t>(height), 4); // positive: rows stored bottom-up
    PutLe(head, 1, 2);                                  // planes
    PutLe(head, static_cast<std::uint32_t>(bitCount), 2);
    PutLe(head, 0, 4); // no compression
    PutLe(head, m_nStride * static_cast<std::uint64_t>(height), 4);
    PutLe(head, kPixelsPerMetre, 4);
    PutLe(head, kPixelsPerMetre, 4);
    PutLe(head, palette.size(), 4); // colours used
    PutLe(head, 0, 4);              // all colours important
    for (const Rgb& c : palette) {
        head.push_back(static_cast<char>(c[2]));
        head.push_back(static_cast<char>(c[1]));
        head.push_back(static_cast<char>(c[0]));
        head.push_back('\0');
    }
    if (const CFileError error = m_file.Open(path, modeLimit); error.IsError()) {
        return error;
    }
    return m_file.WriteAt(0, head);
}

CFileError CBmpStreamWriter::WriteRow(int y, std::string_view row) {
    if (y < 0 || y >= m_nHeight || row.size() != m_nStride) {
        return CFileError(EINVAL);
    }
    const auto fromBottom = static_cast<std::uint64_t>(m_nHeight - 1 - y);
    return m_file.WriteAt(m_nDataOffset + fromBottom * m_nStride, row);
}

} // namespace mapreg

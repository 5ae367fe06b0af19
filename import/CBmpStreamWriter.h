#pragma once
// Writes an uncompressed Windows bitmap (8 bits with a palette, or 24 bits) row by row, without
// holding the picture: the header goes first, each row straight to its place in the file
// (bottom-up, as the device reads it). The file appears only on Commit.

#include "framework/CAtomicFileWriter.h"
#include "framework/CFileError.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mapreg {

class CBmpStreamWriter {
public:
    using Rgb = std::array<std::uint8_t, 3>;

    // Bytes of one stored row: whole 32-bit words. Zero for a width below 1.
    static std::uint64_t RowStride(int width, int bitCount);
    // The size of the whole file; 0 when a 32-bit field of the format cannot hold it (the file
    // size, the pixel data size, width or height) or the arguments make no bitmap.
    static std::uint64_t FileSize(int width, int height, int bitCount, std::size_t paletteSize);

    // Starts the file: header and palette (8 bits only, at most 256 entries). EFBIG when the
    // picture exceeds the format's limits. The file gets no permission bit modeLimit lacks.
    CFileError Open(const std::string& path, int width, int height, int bitCount,
                    const std::vector<Rgb>& palette, unsigned modeLimit = 07777);
    // Row y, counted from the top: RowStride bytes, blue-green-red for 24 bits.
    CFileError WriteRow(int y, std::string_view row);
    CFileError Commit() { return m_file.Commit(); }

private:
    CAtomicFileWriter m_file;
    std::uint64_t m_nDataOffset = 0;
    std::uint64_t m_nStride = 0;
    int m_nHeight = 0;
};

} // namespace mapreg

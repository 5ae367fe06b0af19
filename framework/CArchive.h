#pragma once
// Binary archive in the map file's byte layout: little-endian integers, IEEE 754
// doubles in little-endian order, and strings with a 1-, 3- or 7-byte length prefix.
// A storing archive appends to a byte buffer; a loading archive reads a stream whose
// size is known, so that no length read from the data is trusted beyond the bytes left.

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

namespace mapreg {

class CArchive {
public:
    // Storing: every Write appends to out.
    explicit CArchive(std::string& out);
    // Loading: reads at most size bytes from in. Reads throw CArchiveException.
    CArchive(std::istream& in, std::uint64_t size);

    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    bool IsStoring() const { return m_pOut != nullptr; }
    bool IsLoading() const { return m_pIn != nullptr; }
    // Loading: bytes not read yet.
    std::uint64_t Remaining() const { return m_nRemaining; }

    void WriteByte(std::uint8_t value);
    void WriteUInt16(std::uint16_t value);
    void WriteInt32(std::int32_t value);
    void WriteUInt32(std::uint32_t value);
    void WriteDouble(double value);
    // Length form by size: n < 255 one byte; n < 65534 0xFF and two bytes;
    // otherwise 0xFF, 0xFFFF and four bytes. Throws for strings of 4 GiB and more.
    void WriteString(std::string_view text);

    std::uint8_t ReadByte();
    std::uint16_t ReadUInt16();
    std::int32_t ReadInt32();
    std::uint32_t ReadUInt32();
    double ReadDouble();
    // Accepts each of the three length forms.
    std::string ReadString();

private:
    void WriteBytes(const void* data, std::size_t count);
    void ReadBytes(void* data, std::size_t count);

    std::string* m_pOut = nullptr;
    std::istream* m_pIn = nullptr;
    std::uint64_t m_nRemaining = 0;
};

} // namespace mapreg

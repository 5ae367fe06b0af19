#include "framework/CArchive.h"

#include "framework/CArchiveException.h"

#include <array>
#include <bit>
#include <istream>

namespace mapreg {

namespace {

template <typename T> void PutLittleEndian(std::array<unsigned char, sizeof(T)>& bytes, T value) {
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    }
}

template <typename T> T GetLittleEndian(const std::array<unsigned char, sizeof(T)>& bytes) {
    T value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) {
        value = static_cast<T>(value | static_cast<T>(static_cast<T>(bytes[i]) << (8 * i)));
    }
    return value;
}

} // namespace

CArchive::CArchive(std::string& out) : m_pOut(&out) {}

CArchive::CArchive(std::istream& in, std::uint64_t size) : m_pIn(&in), m_nRemaining(size) {}

void CArchive::WriteBytes(const void* data, std::size_t count) {
    m_pOut->append(static_cast<const char*>(data), count);
}

void CArchive::ReadBytes(void* data, std::size_t count) {
    if (count > m_nRemaining) {
        throw CArchiveException(CArchiveException::Cause::EndOfFile);
    }
    m_pIn->read(static_cast<char*>(data), static_cast<std::streamsize>(count));
    const auto got = static_cast<std::size_t>(m_pIn->gcount());
    if (got != count) {
        throw CArchiveException(m_pIn->eof() ? CArchiveException::Cause::EndOfFile
                                             : CArchiveException::Cause::ReadError);
    }
    m_nRemaining -= count;
}

void CArchive::WriteByte(std::uint8_t value) {
    WriteBytes(&value, 1);
}

void CArchive::WriteUInt16(std::uint16_t value) {
    std::array<unsigned char, 2> bytes{};
    PutLittleEndian(bytes, value);
    WriteBytes(bytes.data(), bytes.size());
}

void CArchive::WriteInt32(std::int32_t value) {
    WriteUInt32(static_cast<std::uint32_t>(value));
}

void CArchive::WriteUInt32(std::uint32_t value) {
    std::array<unsigned char, 4> bytes{};
    PutLittleEndian(bytes, value);
    WriteBytes(bytes.data(), bytes.size());
}

void CArchive::WriteDouble(double value) {
    std::array<unsigned char, 8> bytes{};
    PutLittleEndian(bytes, std::bit_cast<std::uint64_t>(value));
    WriteBytes(bytes.data(), bytes.size());
}

void CArchive::WriteString(std::string_view text) {
    const std::size_t n = text.size();
    if (n < 0xFF) {
        WriteByte(static_cast<std::uint8_t>(n));
    } else if (n < 0xFFFE) {
        WriteByte(0xFF);
        WriteUInt16(static_cast<std::uint16_t>(n));
    } else if (n < 0xFFFFFFFFu) {
        WriteByte(0xFF);
        WriteUInt16(0xFFFF);
        WriteUInt32(static_cast<std::uint32_t>(n));
    } else {
        throw CArchiveException(CArchiveException::Cause::StringTooLong);
    }
    WriteBytes(text.data(), n);
}

std::uint8_t CArchive::ReadByte() {
    unsigned char value = 0;
    ReadBytes(&value, 1);
    return value;
}

std::uint16_t CArchive::ReadUInt16() {
    std::array<unsigned char, 2> bytes{};
    ReadBytes(bytes.data(), bytes.size());
    return GetLittleEndian<std::uint16_t>(bytes);
}

std::int32_t CArchive::ReadInt32() {
    return static_cast<std::int32_t>(ReadUInt32());
}

std::uint32_t CArchive::ReadUInt32() {
    std::array<unsigned char, 4> bytes{};
    ReadBytes(bytes.data(), bytes.size());
    return GetLittleEndian<std::uint32_t>(bytes);
}

double CArchive::ReadDouble() {
    std::array<unsigned char, 8> bytes{};
    ReadBytes(bytes.data(), bytes.size());
    return std::bit_cast<double>(GetLittleEndian<std::uint64_t>(bytes));
}

std::string CArchive::ReadString() {
    std::uint64_t n = ReadByte();
    if (n == 0xFF) {
        n = ReadUInt16();
        if (n == 0xFFFF) {
            n = ReadUInt32();
        }
    }
    // The length comes from the file: check it against what is left before allocating.
    if (n > m_nRemaining) {
        throw CArchiveException(CArchiveException::Cause::EndOfFile);
    }
    std::string text(static_cast<std::size_t>(n), '\0');
    ReadBytes(text.data(), text.size());
    return text;
}

} // namespace mapreg

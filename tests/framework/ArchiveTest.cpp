#include "TestFiles.h"
#include "framework/CArchive.h"
#include "framework/CArchiveException.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>

using namespace mapreg;

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) {
        s.push_back(static_cast<char>(v));
    }
    return s;
}

// Reads a string from exactly these bytes; nothing when the archive ends too early.
std::optional<std::string> ReadStringFrom(const std::string& data) {
    std::istringstream in(data);
    CArchive rd(in, data.size());
    try {
        return rd.ReadString();
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.GetCause(), CArchiveException::Cause::EndOfFile);
        return std::nullopt;
    }
}

} // namespace

TEST(Archive, integers_and_doubles_are_little_endian) {
    std::string out;
    CArchive ar(out);
    ar.WriteByte(0xAB);
    ar.WriteUInt16(0x1234);
    ar.WriteInt32(-2);
    ar.WriteDouble(1.0);
    EXPECT_EQ(out, Bytes({0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));

    std::istringstream in(out);
    CArchive rd(in, out.size());
    EXPECT_EQ(rd.ReadByte(), 0xAB);
    EXPECT_EQ(rd.ReadUInt16(), 0x1234);
    EXPECT_EQ(rd.ReadInt32(), -2);
    EXPECT_EQ(rd.ReadDouble(), 1.0);
    EXPECT_EQ(rd.Remaining(), 0u);
}

TEST(Archive, string_length_form_follows_the_length) {
    const std::pair<std::size_t, std::string> cases[] = {
        {254, Bytes({254})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {65533, Bytes({0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
    };
    for (const auto& [length, prefix] : cases) {
        const std::string text(length, 'p');
        std::string out;
        CArchive ar(out);
        ar.WriteString(text);
        EXPECT_EQ(out, prefix + text) << length;
        EXPECT_EQ(ReadStringFrom(out), text) << length;
    }
}

TEST(Archive, reader_takes_any_length_form_and_stops_at_the_end) {
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        // A writer may use a longer length form than needed; the text is the same.
        {Bytes({0xFF, 3, 0, 'a', 'b', 'c'}), "abc"},
        {Bytes({0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 'a', 'b', 'c'}), "abc"},
        {Bytes({}), std::nullopt},
        {Bytes({5, 'a', 'b'}), std::nullopt}, // shorter than its length
        {Bytes({0xFF, 0x10}), std::nullopt},  // length word cut off
        {Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), std::nullopt}, // 4 GiB claimed
    };
    const long peakBefore = PeakRssKilobytes();
    for (const auto& [data, text] : cases) {
        EXPECT_EQ(ReadStringFrom(data), text) << data.size() << " bytes";
    }
    EXPECT_LT(PeakRssKilobytes() - peakBefore, 32 * 1024) << "a claimed length is not allocated";
    // The stream holds more than the archive may read: the size it was given
    // decides.
    std::istringstream in(Bytes({1, 2, 3, 4}));
    CArchive rd(in, 3);
    EXPECT_EQ(rd.ReadUInt16(), 0x0201);
    EXPECT_THROW(rd.ReadUInt16(), CArchiveException); // half a value left
}

#include "CArchive.h"
#include "CArchiveException.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) {
        s.push_back(static_cast<char>(v));
    }
    return s;
}

// Reads back everything that was stored, through a stream of exactly that size.
struct Loader {
    explicit Loader(std::string data) : stream(std::move(data)) {}
    std::istringstream stream;
    CArchive Archive() { return CArchive(stream, stream.str().size()); }
};

} // namespace

TEST(Archive, integers_and_doubles_are_little_endian) {
    std::string out;
    CArchive ar(out);
    ar.WriteByte(0xAB);
    ar.WriteUInt16(0x1234);
    ar.WriteInt32(-2);
    ar.WriteDouble(1.0);
    EXPECT_EQ(out, Bytes({0xAB, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));

    Loader in(out);
    CArchive rd(in.stream, out.size());
    EXPECT_EQ(rd.ReadByte(), 0xAB);
    EXPECT_EQ(rd.ReadUInt16(), 0x1234);
    EXPECT_EQ(rd.ReadInt32(), -2);
    EXPECT_EQ(rd.ReadDouble(), 1.0);
    EXPECT_EQ(rd.Remaining(), 0u);
}

TEST(Archive, string_length_form_follows_the_length) {
    struct Case {
        std::size_t length;
        std::string prefix;
    };
    const Case cases[] = {
        {0, Bytes({0})},
        {254, Bytes({254})},
        {255, Bytes({0xFF, 0xFF, 0x00})},
        {65533, Bytes({0xFF, 0xFD, 0xFF})},
        {65534, Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {70000, Bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const Case& c : cases) {
        const std::string text(c.length, 'p');
        std::string out;
        CArchive ar(out);
        ar.WriteString(text);
        ASSERT_EQ(out.size(), c.prefix.size() + c.length) << c.length;
        EXPECT_EQ(out.substr(0, c.prefix.size()), c.prefix) << c.length;

        std::istringstream in(out);
        CArchive rd(in, out.size());
        EXPECT_EQ(rd.ReadString(), text) << c.length;
    }
}

TEST(Archive, reader_accepts_a_long_form_for_a_short_string) {
    // A writer may use a longer length form than needed; the text is the same.
    const std::string forms[] = {Bytes({3, 'a', 'b', 'c'}), Bytes({0xFF, 3, 0, 'a', 'b', 'c'}),
                                 Bytes({0xFF, 0xFF, 0xFF, 3, 0, 0, 0, 'a', 'b', 'c'})};
    for (const std::string& data : forms) {
        std::istringstream in(data);
        CArchive rd(in, data.size());
        EXPECT_EQ(rd.ReadString(), "abc");
    }
}

TEST(Archive, short_reads_throw_end_of_file) {
    const std::string cases[] = {
        Bytes({}),                                         // no byte at all
        Bytes({0x34}),                                     // half a 16-bit value
        Bytes({5, 'a', 'b'}),                              // string shorter than its length
        Bytes({0xFF, 0x10}),                               // length word cut off
        Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), // 4 GiB claimed, nothing there
    };
    for (const std::string& data : cases) {
        std::istringstream in(data);
        CArchive rd(in, data.size());
        try {
            if (data.size() == 1) {
                rd.ReadUInt16();
            } else {
                rd.ReadString();
            }
            ADD_FAILURE() << "no exception for " << data.size() << " bytes";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.GetCause(), CArchiveException::Cause::EndOfFile);
        }
    }
}

TEST(Archive, reader_never_reads_past_the_size_it_was_given) {
    // The stream holds more than the archive may read: the limit decides.
    std::istringstream in(Bytes({1, 2, 3, 4}));
    CArchive rd(in, 2);
    EXPECT_EQ(rd.ReadUInt16(), 0x0201);
    EXPECT_THROW(rd.ReadByte(), CArchiveException);
}

// Map pictures that cannot be used (the picture tests cut every form they decode): every bit depth
// with every compression, headers whose size overflows or exceeds any memory, files that cannot
// be read and things that are not files. A failed load keeps the picture loaded before.
#include "BmpFile.h"
#include "PrivilegeDrop.h"
#include "TestFiles.h"
#include "display/CMapBitmap.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <vector>

using namespace mapreg;

namespace {

namespace fs = std::filesystem;

using Bmp = BmpForm;

class BitmapFaults : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = m_dir.path().toStdString() + "/" + name;
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        return path;
    }
    // A map holding a good 7 x 5 picture, so that each failure can be seen to keep it.
    void LoadGood(CMapBitmap& map) {
        ASSERT_EQ(map.LoadFromFile(Write("good.bmp", EncodeBmp(Bmp{.width = 7, .height = 5}))),
                  BitmapLoadResult::Ok);
        m_good = map.GetBitmap();
    }
    void ExpectGoodKept(const CMapBitmap& map) const {
        EXPECT_TRUE(map.IsLoaded());
        EXPECT_EQ(map.GetBitmap(), m_good);
        EXPECT_EQ(map.GetWidth(), 7);
        EXPECT_EQ(map.GetHeight(), 5);
    }

    QTemporaryDir m_dir;
    const QImage* m_good = nullptr;
};

} // namespace

TEST_F(BitmapFaults, every_depth_with_every_compression_loads_or_is_refused_cleanly) {
    // The forms a Windows bitmap can take: uncompressed at 1, 4, 8, 16, 24 and 32 bits,
    // run-length coded at 8 (RLE8) and 4 (RLE4) bits, bit fields at 16 and 32 bits.
    const std::set<std::pair<int, std::uint32_t>> readable = {{1, 0},  {4, 0},  {8, 0},  {16, 0},
                                                              {24, 0}, {32, 0}, {8, 1},  {4, 2},
                                                              {16, 3}, {32, 3}, {16, 6}, {32, 6}};
    CMapBitmap map;
    LoadGood(map);
    for (const int bits : {0, 1, 2, 4, 8, 12, 16, 24, 32, 48, 64}) {
        for (const std::uint32_t compression : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 11u, 0xFFFFFFFFu}) {
            SCOPED_TRACE("bits " + std::to_string(bits) + " compression " +
                         std::to_string(compression));
            Bmp bmp{.bitCount = bits, .compression = compression};
            if (bits <= 8) {
                bmp.table = ColourTable(1 << std::min(bits, 8));
            }
            if (compression == 3 || compression == 6) {
                bmp.masks = bits == 16 ? std::vector<std::uint32_t>{0x7C00, 0x3E0, 0x1F, 0}
                                       : std::vector<std::uint32_t>{0xFF0000, 0xFF00, 0xFF, 0};
                bmp.masks.resize(compression == 6 ? 4 : 3);
            }
            if (compression == 1 || compression == 2) {
                bmp.data = std::string("\x03\x01\x00\x00\x03\x02\x00\x01", 8);
            } else if (compression == 4 || compression == 5) {
                bmp.data = "\xFF\xD8\xFF\xE0 not really a JPEG or PNG stream";
            }
            const BitmapLoadResult result = map.LoadFromFile(Write("form.bmp", EncodeBmp(bmp)));
            if (readable.contains({bits, compression})) {
                ASSERT_EQ(result, BitmapLoadResult::Ok);
                EXPECT_EQ(map.GetBitmap()->size(), QSize(5, 4));
                m_good = map.GetBitmap();
            } else {
                ASSERT_EQ(result, BitmapLoadResult::NotABitmap);
                EXPECT_EQ(map.GetBitmap(), m_good);
            }
        }
    }
}

TEST_F(BitmapFaults, sizes_beyond_any_memory_are_refused_without_allocating) {
    constexpr std::int64_t kMax = 0x7FFFFFFF;
    const std::string rle8 = std::string("\x00\x01", 2);
    struct Case {
        const char* name;
        Bmp bmp;
        BitmapLoadResult result;
    };
    const BitmapLoadResult failed = BitmapLoadResult::Truncated;
    const BitmapLoadResult oom = BitmapLoadResult::OutOfMemory;
    // clang-format off
    const Case cases[] = {
        // Uncompressed data must be in the file, whatever memory there is.
        {"100000_square_24bit", Bmp{.width = 100000, .height = 100000, .data = "xx"}, failed},
        {"largest_32bit", Bmp{.width = kMax, .height = kMax, .bitCount = 32, .data = "xx"}, failed},
        {"largest_top_down", Bmp{.width = kMax, .height = -kMax, .bitCount = 1, .table = ColourTable(2), .data = "xx"}, failed},
        {"largest_bit_fields", Bmp{.width = kMax, .height = kMax, .bitCount = 32, .compression = 3, .masks = {0xFF0000, 0xFF00, 0xFF}, .data = "xx"}, failed},
        {"os2_core_largest", Bmp{.width = 0xFFFF, .height = 0xFFFF, .infoSize = 12, .data = "xx"}, failed},
        // A few bytes of run-length data may claim any size: more than 2^64 bytes would not be
        // enough for these.
        {"largest_rle8", Bmp{.width = kMax, .height = kMax, .bitCount = 8, .compression = 1, .table = ColourTable(256), .data = rle8}, oom},
        {"largest_rle4", Bmp{.width = kMax, .height = kMax, .bitCount = 4, .compression = 2, .table = ColourTable(16), .data = rle8}, oom},
    };
    // clang-format on
    CMapBitmap map;
    LoadGood(map);
    const long peakBefore = PeakRssKilobytes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(map.LoadFromFile(Write("huge.bmp", EncodeBmp(c.bmp))), c.result);
        ExpectGoodKept(map);
    }
    EXPECT_LT(PeakRssKilobytes() - peakBefore, 64 * 1024);
}

TEST_F(BitmapFaults, things_that_are_not_files_are_refused_at_once) {
    const std::string dir = m_dir.path().toStdString();
    const std::string fifo = dir + "/pipe.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", dir + "/zero.bmp");
    fs::create_symlink(dir + "/nowhere.bmp", dir + "/dangling.bmp");
    fs::create_directory(dir + "/folder.bmp");
    struct Case {
        std::string path;
        BitmapLoadResult result;
    };
    const Case cases[] = {
        {fifo, BitmapLoadResult::AccessDenied}, // nobody writes to it: must not wait
        {dir + "/zero.bmp", BitmapLoadResult::AccessDenied},
        {dir + "/dangling.bmp", BitmapLoadResult::NotFound},
        {dir + "/folder.bmp", BitmapLoadResult::AccessDenied},
        {dir + "/good.bmp/inside.bmp", BitmapLoadResult::NotFound},
        {dir + "/no/such/folder.bmp", BitmapLoadResult::NotFound},
        {"", BitmapLoadResult::NotFound},
    };
    CMapBitmap map;
    LoadGood(map);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(map.LoadFromFile(c.path), c.result);
        ExpectGoodKept(map);
    }
}

TEST_F(BitmapFaults, unreadable_file_is_refused_as_access_denied) {
    // Permissions bind only a user without the privileges of root: the check runs in a child
    // process that gives them up.
    const std::string locked = Write("locked.bmp", EncodeBmp(Bmp{}));
    fs::permissions(locked, fs::perms::none);
    EXPECT_EXIT(
        {
            DropPrivileges();
            CMapBitmap map;
            std::_Exit(map.LoadFromFile(locked) == BitmapLoadResult::AccessDenied ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// One case for each check of the headers. Qt's reader, which reads the OS/2 forms, would return
// the compressed ones and those whose pixel data starts inside the header or the colour table
// with pixels it never wrote: whatever the memory held would be shown as the map.
TEST_F(BitmapFaults, each_malformed_header_is_refused_with_its_reason) {
    const auto withOffset = [](std::string bytes, char offset) {
        return bytes.replace(10, 4, std::string{offset, 0, 0, 0});
    };
    const std::string rle = std::string("\x02\x01", 2);
    const BitmapLoadResult bad = BitmapLoadResult::NotABitmap;
    // clang-format off
    const std::tuple<const char*, std::string, BitmapLoadResult> cases[] = {
        {"empty", "", bad},
        {"png", "\x89PNG\r\n\x1a\n" + std::string(56, '\0'), bad},
        {"zero_width", EncodeBmp(Bmp{.width = 0, .data = "xx"}), bad},
        {"zero_height", EncodeBmp(Bmp{.height = 0}), bad},
        {"lowest_height", EncodeBmp(Bmp{.height = -0x80000000LL, .data = "xx"}), bad},
        {"overlapping_masks", EncodeBmp(Bmp{.bitCount = 32, .compression = 3, .masks = {0xFF00, 0xFF0, 0xF}}), bad},
        {"mask_beyond_16_bits", EncodeBmp(Bmp{.bitCount = 16, .compression = 3, .masks = {0x10000, 0x3E0, 0x1F}}), bad},
        {"scattered_mask", EncodeBmp(Bmp{.bitCount = 16, .compression = 3, .masks = {0x5000, 0x3E0, 0x1F}}), bad},
        {"pixels_in_header", withOffset(EncodeBmp(Bmp{}), 20), bad},
        {"top_down_rle8", EncodeBmp(Bmp{.height = -2, .bitCount = 8, .compression = 1, .table = ColourTable(256), .data = rle}), bad},
        {"top_down_rle4", EncodeBmp(Bmp{.height = -2, .bitCount = 4, .compression = 2, .table = ColourTable(16), .data = rle}), bad},
        {"rle_cut_inside_a_code", EncodeBmp(Bmp{.bitCount = 8, .compression = 1, .table = ColourTable(256), .data = std::string("\x02\x01\x00", 3)}), BitmapLoadResult::Truncated},
        {"os2_v2_rle8", EncodeBmp(Bmp{.bitCount = 8, .compression = 1, .infoSize = 64, .table = ColourTable(256), .data = rle}), bad},
        {"os2_v2_rle4", EncodeBmp(Bmp{.bitCount = 4, .compression = 2, .infoSize = 64, .table = ColourTable(16), .data = rle}), bad},
        {"os2_v2_huffman", EncodeBmp(Bmp{.bitCount = 16, .compression = 3, .infoSize = 64}), bad},
        {"os2_v2_rle24", EncodeBmp(Bmp{.compression = 4, .infoSize = 64, .data = rle}), bad},
        {"os2_core_pixels_at_0", withOffset(EncodeBmp(Bmp{.infoSize = 12}), 0), bad},
        {"os2_core_pixels_in_header", withOffset(EncodeBmp(Bmp{.infoSize = 12}), 20), bad},
        {"os2_core_pixels_in_table", withOffset(EncodeBmp(Bmp{.bitCount = 8, .infoSize = 12, .table = ColourTable(256)}), 100), bad},
    };
    // clang-format on
    CMapBitmap map;
    LoadGood(map);
    for (const auto& [name, bytes, result] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(map.LoadFromFile(Write("malformed.bmp", bytes)), result);
        ExpectGoodKept(map);
    }
}

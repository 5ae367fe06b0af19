// Map pictures that cannot be used: every truncation point of each header form, every bit depth
// with every compression, headers whose size overflows or exceeds any memory, files that cannot
// be read and things that are not files. A failed load keeps the picture loaded before.
#include "BmpFile.h"
#include "CMapBitmap.h"
#include "PrivilegeDrop.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

using Bmp = BmpForm;

std::string Le(std::uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    return out;
}

long PeakRssKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

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
    }
    static void ExpectGoodKept(const CMapBitmap& map, const QImage* picture) {
        EXPECT_TRUE(map.IsLoaded());
        EXPECT_EQ(map.GetBitmap(), picture);
        EXPECT_EQ(map.GetWidth(), 7);
        EXPECT_EQ(map.GetHeight(), 5);
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(BitmapFaults, every_truncation_point_of_each_form_is_refused) {
    const std::pair<const char*, Bmp> forms[] = {
        {"1bit", Bmp{.bitCount = 1, .table = ColourTable(2)}},
        {"4bit", Bmp{.bitCount = 4, .table = ColourTable(16)}},
        {"8bit", Bmp{.bitCount = 8, .table = ColourTable(256)}},
        {"16bit_masks", Bmp{.bitCount = 16, .compression = 3, .masks = {0xF800, 0x7E0, 0x1F}}},
        {"24bit", Bmp{}},
        {"32bit_v5", Bmp{.bitCount = 32, .infoSize = 124}},
        {"32bit_v4_masks",
         Bmp{.bitCount = 32, .compression = 3, .infoSize = 108, .masks = {0xFF0000, 0xFF00, 0xFF}}},
        {"os2_core_8bit", Bmp{.bitCount = 8, .infoSize = 12, .table = ColourTable(256)}},
        {"os2_core_24bit", Bmp{.infoSize = 12}},
    };
    CMapBitmap map;
    LoadGood(map);
    const QImage* good = map.GetBitmap();
    for (const auto& [name, bmp] : forms) {
        const std::string bytes = EncodeBmp(bmp);
        {
            CMapBitmap whole;
            ASSERT_EQ(whole.LoadFromFile(Write("whole.bmp", bytes)), BitmapLoadResult::Ok) << name;
        }
        for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
            SCOPED_TRACE(std::string(name) + " cut at " + std::to_string(cut));
            // Too short to tell what it is: not a bitmap. Otherwise: ends too early.
            ASSERT_EQ(map.LoadFromFile(Write("cut.bmp", bytes.substr(0, cut))),
                      cut < 18 ? BitmapLoadResult::NotABitmap : BitmapLoadResult::Truncated);
            ExpectGoodKept(map, good);
        }
    }
}

TEST_F(BitmapFaults, every_depth_with_every_compression_loads_or_is_refused_cleanly) {
    // The forms a Windows bitmap can take: uncompressed at 1, 4, 8, 16, 24 and 32 bits,
    // run-length coded at 8 (RLE8) and 4 (RLE4) bits, bit fields at 16 and 32 bits.
    const auto readable = [](int bits, std::uint32_t compression) {
        switch (compression) {
        case 0:
            return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
        case 1:
            return bits == 8;
        case 2:
            return bits == 4;
        case 3:
        case 6:
            return bits == 16 || bits == 32;
        default:
            return false;
        }
    };
    CMapBitmap map;
    LoadGood(map);
    const QImage* good = map.GetBitmap();
    int loaded = 0;
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
            if (readable(bits, compression)) {
                ASSERT_EQ(result, BitmapLoadResult::Ok);
                EXPECT_EQ(map.GetBitmap()->size(), QSize(5, 4));
                good = map.GetBitmap();
                ++loaded;
            } else {
                ASSERT_EQ(result, BitmapLoadResult::NotABitmap);
                EXPECT_EQ(map.GetBitmap(), good);
            }
        }
    }
    EXPECT_EQ(loaded, 12);
}

TEST_F(BitmapFaults, sizes_beyond_any_memory_are_refused_without_allocating) {
    constexpr std::int64_t kMax = 0x7FFFFFFF;
    const std::string rle8 = std::string("\x00\x01", 2);
    struct Case {
        const char* name;
        Bmp bmp;
        BitmapLoadResult result;
    };
    const Case cases[] = {
        // Uncompressed data must be in the file, whatever memory there is.
        {"100000_square_24bit", Bmp{.width = 100000, .height = 100000, .data = "xx"},
         BitmapLoadResult::Truncated},
        {"largest_32bit", Bmp{.width = kMax, .height = kMax, .bitCount = 32, .data = "xx"},
         BitmapLoadResult::Truncated},
        {"largest_top_down",
         Bmp{.width = kMax, .height = -kMax, .bitCount = 1, .table = ColourTable(2), .data = "xx"},
         BitmapLoadResult::Truncated},
        {"largest_bit_fields",
         Bmp{.width = kMax,
             .height = kMax,
             .bitCount = 32,
             .compression = 3,
             .masks = {0xFF0000, 0xFF00, 0xFF},
             .data = "xx"},
         BitmapLoadResult::Truncated},
        {"os2_core_largest", Bmp{.width = 0xFFFF, .height = 0xFFFF, .infoSize = 12, .data = "xx"},
         BitmapLoadResult::Truncated},
        // A few bytes of run-length data may claim any size: more than 2^64 bytes would not be
        // enough for these.
        {"largest_rle8",
         Bmp{.width = kMax,
             .height = kMax,
             .bitCount = 8,
             .compression = 1,
             .table = ColourTable(256),
             .data = rle8},
         BitmapLoadResult::OutOfMemory},
        {"largest_rle4",
         Bmp{.width = kMax,
             .height = kMax,
             .bitCount = 4,
             .compression = 2,
             .table = ColourTable(16),
             .data = rle8},
         BitmapLoadResult::OutOfMemory},
    };
    CMapBitmap map;
    LoadGood(map);
    const QImage* good = map.GetBitmap();
    const long peakBefore = PeakRssKilobytes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(map.LoadFromFile(Write("huge.bmp", EncodeBmp(c.bmp))), c.result);
        ExpectGoodKept(map, good);
    }
    EXPECT_LT(PeakRssKilobytes() - peakBefore, 64 * 1024);
}

TEST_F(BitmapFaults, run_length_pictures_cannot_be_top_down) {
    // Negative heights mean rows from the top; run-length data has no such form.
    CMapBitmap map;
    for (const auto& bmp : {Bmp{.height = -2,
                           .bitCount = 8,
                           .compression = 1,
                           .table = ColourTable(256),
                           .data = std::string("\x00\x01", 2)},
                            Bmp{.height = -2,
                            .bitCount = 4,
                            .compression = 2,
                            .table = ColourTable(16),
                            .data = std::string("\x00\x01", 2)}}) {
        EXPECT_EQ(map.LoadFromFile(Write("top_down_rle.bmp", EncodeBmp(bmp))),
                  BitmapLoadResult::NotABitmap);
        EXPECT_FALSE(map.IsLoaded());
    }
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
    const QImage* good = map.GetBitmap();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(map.LoadFromFile(c.path), c.result);
        ExpectGoodKept(map, good);
    }
}

TEST_F(BitmapFaults, unreadable_file_is_refused_and_keeps_the_previous_picture) {
    // Permissions bind only a user without the privileges of root: the check runs in a child
    // process that gives them up.
    const std::string dir = m_dir.path().toStdString();
    fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
    const std::string bmp = EncodeBmp(Bmp{});
    const std::string good = Write("good.bmp", EncodeBmp(Bmp{.width = 7, .height = 5}));
    const std::string locked = Write("locked.bmp", bmp);
    fs::permissions(good, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(locked, fs::perms::none);
    fs::create_directory(dir + "/closed");
    const std::string inClosed = dir + "/closed/map.bmp";
    std::ofstream(inClosed, std::ios::binary) << bmp;
    fs::permissions(dir + "/closed", fs::perms::none);

    EXPECT_EXIT(
        {
            DropPrivileges();
            CMapBitmap map;
            int failures = 0;
            failures += map.LoadFromFile(good) != BitmapLoadResult::Ok;
            const QImage* picture = map.GetBitmap();
            for (const std::string& path : {locked, inClosed}) {
                failures += map.LoadFromFile(path) != BitmapLoadResult::AccessDenied;
                failures += map.GetBitmap() != picture || map.GetWidth() != 7;
            }
            std::_Exit(failures);
        },
        ::testing::ExitedWithCode(0), "");
    fs::permissions(dir + "/closed", fs::perms::owner_all);
}

TEST_F(BitmapFaults, os2_forms_whose_pixels_qt_would_leave_unwritten_are_refused) {
    // Qt's reader, which reads the OS/2 forms, returns such pictures with pixels it never
    // wrote: whatever the memory held would be shown as the map.
    const auto withOffset = [](std::string bytes, std::uint32_t offset) {
        return bytes.replace(10, 4, Le(offset, 4));
    };
    const std::string rle8 = std::string("\x02\x01", 2);
    const std::pair<const char*, std::string> cases[] = {
        {"os2_v2_rle8", EncodeBmp(Bmp{.bitCount = 8,
                                      .compression = 1,
                                      .infoSize = 64,
                                      .table = ColourTable(256),
                                      .data = rle8})},
        {"os2_v2_rle4", EncodeBmp(Bmp{.bitCount = 4,
                                      .compression = 2,
                                      .infoSize = 64,
                                      .table = ColourTable(16),
                                      .data = rle8})},
        {"os2_v2_huffman", EncodeBmp(Bmp{.bitCount = 16, .compression = 3, .infoSize = 64})},
        {"os2_v2_rle24", EncodeBmp(Bmp{.compression = 4, .infoSize = 64, .data = rle8})},
        {"os2_core_pixels_at_0", withOffset(EncodeBmp(Bmp{.infoSize = 12}), 0)},
        {"os2_core_pixels_in_header", withOffset(EncodeBmp(Bmp{.infoSize = 12}), 20)},
        {"os2_core_pixels_in_table",
         withOffset(EncodeBmp(Bmp{.bitCount = 8, .infoSize = 12, .table = ColourTable(256)}), 100)},
    };
    CMapBitmap map;
    LoadGood(map);
    const QImage* good = map.GetBitmap();
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(map.LoadFromFile(Write("os2.bmp", bytes)), BitmapLoadResult::NotABitmap);
        ExpectGoodKept(map, good);
    }
    // The uncompressed forms with their pixels where they belong still load.
    for (const Bmp& bmp :
         {Bmp{.infoSize = 12}, Bmp{.bitCount = 8, .infoSize = 12, .table = ColourTable(256)},
          Bmp{.bitCount = 4, .infoSize = 64, .table = ColourTable(16)}}) {
        EXPECT_EQ(map.LoadFromFile(Write("os2.bmp", EncodeBmp(bmp))), BitmapLoadResult::Ok);
        EXPECT_EQ(map.GetBitmap()->size(), QSize(5, 4));
    }
}

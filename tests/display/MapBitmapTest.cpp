// CMapBitmap on real .bmp files written to a temporary folder: every depth and header form and
// every truncation point of each, RLE, failures and what they leave behind, the built-in map and
// the palettes.
#include "BmpFile.h"
#include "TestFiles.h"
#include "display/CDisplayCapabilities.h"
#include "display/CMapBitmap.h"
#include "display/CPalette.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <utility>
#include <vector>

using namespace mapreg;

namespace {

class CFixedDisplay final : public CDisplayCapabilities {
public:
    explicit CFixedDisplay(bool bPalette) : m_bPalette(bPalette) {}
    bool HasPalette() const override { return m_bPalette; }

private:
    bool m_bPalette;
};

// The eight colours whose channels are all 0 or 255: exact at every depth.
constexpr QRgb kCorners[8] = {0x000000, 0xff0000, 0x00ff00, 0x0000ff,
                              0xffff00, 0x00ffff, 0xff00ff, 0xffffff};

class MapBitmapTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (m_dir.path() + "/").toStdString() + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::string Write(const std::string& name, const BmpForm& form) {
        return Write(name, EncodeBmp(form));
    }
    static void ExpectPixels(const CMapBitmap& map, int w, int h,
                             const std::function<QRgb(int, int)>& expected) {
        ASSERT_TRUE(map.IsLoaded());
        const QImage& image = *map.GetBitmap();
        ASSERT_EQ(image.format(), QImage::Format_RGB32);
        ASSERT_EQ(image.size(), QSize(w, h));
        EXPECT_EQ(map.GetWidth(), w);
        EXPECT_EQ(map.GetHeight(), h);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                EXPECT_EQ(image.pixel(x, y), expected(x, y) | 0xff000000u)
                    << "pixel " << x << "," << y;
            }
        }
    }

    QTemporaryDir m_dir;
    CFixedDisplay m_paletteDisplay{true};
    CFixedDisplay m_trueColor{false};
};

TEST_F(MapBitmapTest, decodes_every_depth_header_form_and_mask_form_and_refuses_each_cut) {
    // Packs 0xRRGGBB with 0/255 channels into a pixel with the given channel masks.
    auto pack = [](QRgb c, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
        return (qRed(c) != 0 ? r : 0) | (qGreen(c) != 0 ? g : 0) | (qBlue(c) != 0 ? b : 0);
    };
    // Indexed pixels go through a colour table. Direct pixels are packed with the masks r, g, b;
    // the file names them (and alpha) unless the compression is 0, which implies 5-5-5 or 8-8-8.
    struct Case {
        const char* name;
        int bitCount;
        std::uint32_t compression, infoSize;
        bool topDown;
        std::uint32_t r, g, b, alpha;
        std::uint32_t junk; // bits outside the colour masks, to be ignored
    };
    // clang-format off
    const Case cases[] = {
        {"1bit",                  1,  0, 40,  false, 0, 0, 0, 0, 0},
        {"4bit",                  4,  0, 40,  false, 0, 0, 0, 0, 0},
        {"8bit",                  8,  0, 40,  false, 0, 0, 0, 0, 0},
        {"8bit_top_down",         8,  0, 40,  true,  0, 0, 0, 0, 0},
        {"4bit_v5_header",        4,  0, 124, false, 0, 0, 0, 0, 0},
        {"8bit_os2_core_header",  8,  0, 12,  false, 0, 0, 0, 0, 0},
        {"4bit_os2_v2_header",    4,  0, 64,  false, 0, 0, 0, 0, 0},
        {"16bit_555",             16, 0, 40,  false, 0x7c00, 0x03e0, 0x001f, 0, 0x8000},
        {"16bit_565_bitfields",   16, 3, 40,  false, 0xf800, 0x07e0, 0x001f, 0, 0},
        {"16bit_565_v5_top_down", 16, 3, 124, true,  0xf800, 0x07e0, 0x001f, 0, 0},
        {"24bit",                 24, 0, 40,  false, 0xff0000, 0xff00, 0xff, 0, 0},
        {"24bit_os2_core_header", 24, 0, 12,  false, 0xff0000, 0xff00, 0xff, 0, 0},
        {"32bit_v5_header",       32, 0, 124, false, 0xff0000, 0xff00, 0xff, 0, 0},
        {"32bit_alpha_ignored",   32, 0, 40,  false, 0xff0000, 0xff00, 0xff, 0, 0x5a000000},
        {"32bit_bgr_bitfields",   32, 3, 40,  false, 0xff, 0xff00, 0xff0000, 0, 0},
        {"32bit_alpha_bitfields", 32, 6, 40,  false, 0xff0000, 0xff00, 0xff, 0xff000000, 0x12000000},
        {"32bit_10bit_v4",        32, 3, 108, false, 0x3ff00000, 0xffc00, 0x3ff, 0, 0xc0000000},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool indexed = c.bitCount <= 8;
        BmpForm form{.bitCount = c.bitCount,
                     .compression = c.compression,
                     .infoSize = c.infoSize,
                     .topDown = c.topDown,
                     .table = indexed ? ColourTable(1 << c.bitCount) : std::vector<QRgb>{}};
        if (c.compression != 0) {
            form.masks = {c.r, c.g, c.b};
        }
        if (c.compression == 6) {
            form.masks.push_back(c.alpha);
        }
        auto index = [&](int x, int y) { return (x + 3 * y) * 37 % (1 << c.bitCount); };
        auto colour = [&](int x, int y) {
            return indexed ? form.table[static_cast<std::size_t>(index(x, y))]
                           : kCorners[(x + 3 * y) % 8];
        };
        for (int y = 0; y < form.height; ++y) {
            for (int x = 0; x < form.width; ++x) {
                form.pixels.push_back(indexed ? static_cast<std::uint32_t>(index(x, y))
                                      : c.bitCount == 24
                                          ? colour(x, y)
                                          : pack(colour(x, y), c.r, c.g, c.b) | c.junk);
            }
        }
        CMapBitmap map(m_trueColor);
        const std::string bytes = EncodeBmp(form);
        ASSERT_EQ(map.LoadFromFile(Write(c.name, bytes)), BitmapLoadResult::Ok);
        // Every shorter piece is refused: too short to tell what it is, not a bitmap; otherwise
        // one that ends too early. The picture loaded before stays.
        for (std::size_t cut = 1; cut < bytes.size(); ++cut) {
            ASSERT_EQ(map.LoadFromFile(Write("cut", bytes.substr(0, cut))),
                      cut < 18 ? BitmapLoadResult::NotABitmap : BitmapLoadResult::Truncated)
                << "cut at " << cut;
        }
        ExpectPixels(map, 5, 4, colour);
        EXPECT_EQ(map.GetPalette(), nullptr) << "no palette on a true-colour display";
    }
}

TEST_F(MapBitmapTest, scales_narrow_channels_to_the_full_range) {
    // 5-bit 16 and 6-bit 32 are just above half: 16 * 255 / 31 = 131.6, 32 * 255 / 63 = 129.5.
    BmpForm form{.width = 2,
                 .height = 1,
                 .bitCount = 16,
                 .compression = 3,
                 .masks = {0xf800, 0x07e0, 0x001f},
                 .pixels = {16u << 11 | 32u << 5 | 16u, 0xffff}};
    CMapBitmap map(m_trueColor);
    ASSERT_EQ(map.LoadFromFile(Write("scale", form)), BitmapLoadResult::Ok);
    EXPECT_EQ(map.GetBitmap()->pixel(0, 0), qRgb(132, 130, 132));
    EXPECT_EQ(map.GetBitmap()->pixel(1, 0), qRgb(255, 255, 255));
}

// A 6 x 3 picture in RLE8, and the same picture in RLE4: runs (in RLE4 of two alternating
// indices), stored indices with padding, a move right and up that skips pixels (they keep index
// 0), end of line, end of bitmap.
const char kRle8[] = "\x02\x01\x00\x03\x02\x03\x04\x00"  // bottom row: 1 1 2 3 4 _
                     "\x00\x00"                          // end of line
                     "\x00\x02\x02\x01"                  // move to x 2 in the top row
                     "\x00\x03\x05\x06\x05\x00\x00\x01"; // 5 6 5, end of bitmap
const char kRle4[] = "\x02\x11\x00\x03\x23\x40"
                     "\x00\x00"
                     "\x00\x02\x02\x01"
                     "\x03\x56\x00\x01";

TEST_F(MapBitmapTest, decodes_run_length_encoded_pictures) {
    const char* rows[3] = {"005650", "000000", "112340"}; // indices, top row first
    const std::pair<int, std::string> streams[] = {
        {8, std::string(kRle8, sizeof kRle8 - 1)},
        {4, std::string(kRle4, sizeof kRle4 - 1)},
        {8, std::string(kRle8, sizeof kRle8 - 3)}, // without the end-of-bitmap code
    };
    for (const auto& [bitCount, data] : streams) {
        SCOPED_TRACE(data.size());
        const BmpForm form{.width = 6,
                           .height = 3,
                           .bitCount = bitCount,
                           .compression = bitCount == 8 ? 1u : 2u,
                           .table = ColourTable(16),
                           .data = data};
        CMapBitmap map(m_trueColor);
        ASSERT_EQ(map.LoadFromFile(Write("rle", form)), BitmapLoadResult::Ok);
        ExpectPixels(map, 6, 3, [&](int x, int y) {
            return form.table[static_cast<std::size_t>(rows[y][x] - '0')];
        });
    }
}

// A refused file keeps the palette of the picture loaded before too; the picture stays (above).
TEST_F(MapBitmapTest, failed_load_keeps_the_previous_palette) {
    const BmpForm form{.bitCount = 8, .table = ColourTable(256)};
    CMapBitmap map(m_paletteDisplay);
    ASSERT_EQ(map.LoadFromFile(Write("good", form)), BitmapLoadResult::Ok);
    const CPalette* palette = map.GetPalette();
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(map.LoadFromFile(Write("cut", EncodeBmp(form).substr(0, 99))),
              BitmapLoadResult::Truncated);
    EXPECT_EQ(map.GetPalette(), palette);
    EXPECT_EQ(palette->GetEntries(), ColourTable(256));
}

#if !defined(__SANITIZE_ADDRESS__)
TEST_F(MapBitmapTest, reports_out_of_memory_when_the_picture_cannot_be_allocated) {
    // 12000 x 12000 pixels need 576 MB; the child process may have 256 MB of address space.
    const std::string path = Write("big", BmpForm{.width = 12000,
                                                  .height = 12000,
                                                  .bitCount = 8,
                                                  .compression = 1,
                                                  .table = ColourTable(256),
                                                  .data = std::string("\x00\x01", 2)});
    auto loadWithLittleMemory = [&] {
        const rlimit limit{256u << 20, 256u << 20};
        setrlimit(RLIMIT_AS, &limit);
        CMapBitmap map(m_trueColor);
        std::exit(map.LoadFromFile(path) == BitmapLoadResult::OutOfMemory ? 0 : 1);
    };
    EXPECT_EXIT(loadWithLittleMemory(), ::testing::ExitedWithCode(0), "");
}
#endif

TEST_F(MapBitmapTest, large_picture_is_a_surface_that_figures_can_be_painted_on) {
    // Large enough for the picture to get memory of its own, aligned for huge pages.
    BmpForm form{.width = 1601, .height = 1500, .bitCount = 8, .table = ColourTable(256)};
    for (int y = 0; y < form.height; ++y) {
        for (int x = 0; x < form.width; ++x) {
            form.pixels.push_back(static_cast<std::uint32_t>((x + 3 * y) % 256));
        }
    }
    CMapBitmap map(m_trueColor);
    ASSERT_EQ(map.LoadFromFile(Write("large", form)), BitmapLoadResult::Ok);
    QImage* surface = map.GetBitmap();
    for (auto [x, y] : {std::pair{0, 0}, {1600, 0}, {0, 1499}, {1600, 1499}, {777, 555}}) {
        EXPECT_EQ(surface->pixel(x, y), form.table[static_cast<std::size_t>((x + 3 * y) % 256)]);
    }
    QPainter(surface).fillRect(QRect(10, 20, 5, 5), QColor(1, 2, 3));
    EXPECT_EQ(surface->pixel(12, 22), qRgb(1, 2, 3));
    EXPECT_EQ(surface->pixel(9, 22), form.table[(9 + 3 * 22) % 256]);
    EXPECT_EQ(map.GetBitmap(), surface); // painted in place, no copy made
}

TEST_F(MapBitmapTest, built_in_world_map_is_998_by_500_with_sea_and_land) {
    CMapBitmap map(m_paletteDisplay);
    ASSERT_EQ(map.LoadFromResource(CMapBitmap::kDefaultMapResource), BitmapLoadResult::Ok);
    ASSERT_EQ(map.GetWidth(), 998);
    ASSERT_EQ(map.GetHeight(), 500);
    // Sea, land, ice, a black frame and grid lines every 30 degrees, teal at the prime meridian
    // and the equator: the decoded pixels as they have always been.
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (int y = 0; y < 500; ++y) {
        hash.addData(QByteArrayView(map.GetBitmap()->constScanLine(y), 998 * 4));
    }
    EXPECT_EQ(hash.result().toHex().toStdString(),
              "32c169e959330e07e9a2a5d8c0d8edaf23594da174367a4a74631d8c6b218d17");

    // Its colour table is the 16 standard system colours.
    const std::vector<QRgb> standard = {0xff000000, 0xff800000, 0xff008000, 0xff808000,
                                        0xff000080, 0xff800080, 0xff008080, 0xffc0c0c0,
                                        0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00,
                                        0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff};
    ASSERT_NE(map.GetPalette(), nullptr);
    EXPECT_EQ(map.GetPalette()->GetEntries(), standard);

    // A failed resource load keeps the picture; only the low 16 bits of the id count.
    const QImage* picture = map.GetBitmap();
    EXPECT_EQ(map.LoadFromResource(999), BitmapLoadResult::NotFound);
    EXPECT_EQ(map.GetBitmap(), picture);
    EXPECT_EQ(map.GetWidth(), 998); // the size changes only with a successful load
    EXPECT_EQ(map.LoadFromResource(0x10000 + CMapBitmap::kDefaultMapResource),
              BitmapLoadResult::Ok);
}

TEST_F(MapBitmapTest, palette_follows_the_colour_count_in_the_file_header) {
    struct Case {
        int bitCount;
        std::uint32_t colorsUsed;
        int tableSize; // entries stored in the file
        int entries;   // entries of the palette, 0 for the halftone palette
    };
    // clang-format off
    const Case cases[] = {
        {8, 0, 256, 256}, {8, 20, 20, 20}, {4, 20, 16, 16}, {1, 0, 2, 2},
        {8, 0, 10, 256}, // a short table: black where the file has no colour
        {16, 0, 0, 0}, {24, 0, 0, 0}, {24, 3, 3, 3}, {24, 300, 0, 0}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.bitCount << " bits, " << c.colorsUsed << " used");
        const BmpForm form{.bitCount = c.bitCount,
                           .table = ColourTable(c.tableSize),
                           .colorsUsed = c.colorsUsed,
                           .pixels = std::vector<std::uint32_t>(20, 1)};
        CMapBitmap map(m_paletteDisplay);
        ASSERT_EQ(map.LoadFromFile(Write("palette", form)), BitmapLoadResult::Ok);
        const CPalette* palette = map.GetPalette();
        ASSERT_NE(palette, nullptr);
        EXPECT_EQ(palette->IsHalftone(), c.entries == 0);
        EXPECT_EQ(palette->GetEntryCount(), c.entries == 0 ? 256 : c.entries);
        for (int i = 0; i < c.entries; ++i) {
            EXPECT_EQ(palette->GetEntry(i),
                      i < c.tableSize ? ColourTable(c.tableSize)[static_cast<std::size_t>(i)]
                                      : qRgb(0, 0, 0));
        }
    }
}

TEST(PaletteTest, halftone_palette_spans_the_colour_cube_and_keeps_the_static_colours) {
    const CPalette halftone = CPalette::Halftone();
    ASSERT_EQ(halftone.GetEntryCount(), 256);
    EXPECT_EQ(halftone.GetEntry(0), qRgb(0, 0, 0));
    EXPECT_EQ(halftone.GetEntry(255), qRgb(255, 255, 255));
    const auto& e = halftone.GetEntries();
    for (int r = 0; r <= 255; r += 51) {
        for (int b = 0; b <= 255; b += 51) {
            EXPECT_NE(std::find(e.begin(), e.end(), qRgb(r, 0, b)), e.end()) << r << "," << b;
        }
    }
    EXPECT_EQ(halftone.GetEntry(256), 0u);
}

} // namespace

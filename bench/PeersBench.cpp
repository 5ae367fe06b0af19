// The same work done by other libraries, side by side with this program's own code:
// UTM both ways against GeographicLib's TransverseMercator and PROJ's "+proj=utm" (C API), the
// accuracy of the UTM series against GeographicLib's exact transverse Mercator, and the load of
// an 8000 x 8000 picture against plainly reading the file and against GDAL's RasterIO.
#include "coords/UtmProjection.h"
#include "display/CMapBitmap.h"

#include "BenchMain.h"
#include <GeographicLib/TransverseMercator.hpp>
#include <GeographicLib/TransverseMercatorExact.hpp>

#include <benchmark/benchmark.h>
#include <cpl_conv.h>
#include <gdal.h>
#include <proj.h>

#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <numbers>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>

using namespace mapreg;

namespace {

// ---------------------------------------------------------------------------------------------
// UTM. The inputs walk the same way as in the core benchmarks: a point in zone 10 north whose
// latitude (forward) or easting (reverse) creeps along, so no call repeats the one before.

constexpr double kLongitude = -123.50208333;
constexpr double kZone10Meridian = -123.0;
constexpr double kDegree = std::numbers::pi / 180.0;

void BM_Utm_Forward_Ours(benchmark::State& state) {
    double latitude = 48.2625;
    int zone = 0;
    char letter = 0;
    double easting = 0.0;
    double northing = 0.0;
    for (auto _ : state) {
        LatLonToUtm(kWgs84SemiMajorAxis, kWgs84Flattening, latitude, kLongitude, zone, letter,
                    easting, northing);
        benchmark::DoNotOptimize(easting);
        benchmark::DoNotOptimize(northing);
        latitude = latitude < 49.0 ? latitude + 1e-6 : 48.0;
    }
}
BENCHMARK(BM_Utm_Forward_Ours);

void BM_Utm_Forward_GeographicLib(benchmark::State& state) {
    const GeographicLib::TransverseMercator& tm = GeographicLib::TransverseMercator::UTM();
    double latitude = 48.2625;
    double x = 0.0;
    double y = 0.0;
    for (auto _ : state) {
        tm.Forward(kZone10Meridian, latitude, kLongitude, x, y);
        x += kUtmFalseEasting;
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(y);
        latitude = latitude < 49.0 ? latitude + 1e-6 : 48.0;
    }
}
BENCHMARK(BM_Utm_Forward_GeographicLib);

// PROJ's own UTM operation; it takes radians in and gives metres out.
PJ* ProjUtmZone10() {
    static PJ* const p = proj_create(PJ_DEFAULT_CTX, "+proj=utm +zone=10 +ellps=WGS84");
    return p;
}

void BM_Utm_Forward_Proj(benchmark::State& state) {
    PJ* const p = ProjUtmZone10();
    if (p == nullptr) {
        state.SkipWithError("PROJ could not create +proj=utm");
        return;
    }
    double latitude = 48.2625;
    for (auto _ : state) {
        const PJ_COORD in = proj_coord(kLongitude * kDegree, latitude * kDegree, 0.0, 0.0);
        const PJ_COORD out = proj_trans(p, PJ_FWD, in);
        benchmark::DoNotOptimize(out.xy.x);
        benchmark::DoNotOptimize(out.xy.y);
        latitude = latitude < 49.0 ? latitude + 1e-6 : 48.0;
    }
}
BENCHMARK(BM_Utm_Forward_Proj);

void BM_Utm_Reverse_Ours(benchmark::State& state) {
    double easting = 462737.0;
    double latitude = 0.0;
    double longitude = 0.0;
    for (auto _ : state) {
        UtmToLatLon(kWgs84SemiMajorAxis, kWgs84Flattening, 10, 'U', easting, 5345598.0, latitude,
                    longitude);
        benchmark::DoNotOptimize(latitude);
        benchmark::DoNotOptimize(longitude);
        easting = easting < 470000.0 ? easting + 0.1 : 462737.0;
    }
}
BENCHMARK(BM_Utm_Reverse_Ours);

void BM_Utm_Reverse_GeographicLib(benchmark::State& state) {
    const GeographicLib::TransverseMercator& tm = GeographicLib::TransverseMercator::UTM();
    double easting = 462737.0;
    double latitude = 0.0;
    double longitude = 0.0;
    for (auto _ : state) {
        tm.Reverse(kZone10Meridian, easting - kUtmFalseEasting, 5345598.0, latitude, longitude);
        benchmark::DoNotOptimize(latitude);
        benchmark::DoNotOptimize(longitude);
        easting = easting < 470000.0 ? easting + 0.1 : 462737.0;
    }
}
BENCHMARK(BM_Utm_Reverse_GeographicLib);

void BM_Utm_Reverse_Proj(benchmark::State& state) {
    PJ* const p = ProjUtmZone10();
    if (p == nullptr) {
        state.SkipWithError("PROJ could not create +proj=utm");
        return;
    }
    double easting = 462737.0;
    for (auto _ : state) {
        const PJ_COORD out = proj_trans(p, PJ_INV, proj_coord(easting, 5345598.0, 0.0, 0.0));
        benchmark::DoNotOptimize(out.lp.lam);
        benchmark::DoNotOptimize(out.lp.phi);
        easting = easting < 470000.0 ? easting + 0.1 : 462737.0;
    }
}
BENCHMARK(BM_Utm_Reverse_Proj);

// The largest difference in metres between the series and the exact transverse Mercator, over
// latitudes 80 S to 84 N, for longitudes within `range(0)` degrees of the central meridian (or,
// with range(1) = 1, exactly that far from it). Forward: grid distance of easting and
// northing. Reverse: the exact grid point taken back by the series, the error as a ground
// distance (metres along the meridian and the parallel).
void BM_Utm_Accuracy(benchmark::State& state) {
    const double reach = static_cast<double>(state.range(0));
    const bool onlyEdge = state.range(1) != 0;
    const GeographicLib::TransverseMercatorExact& exact =
        GeographicLib::TransverseMercatorExact::UTM();
    constexpr int kZone = 31; // central meridian 3 E
    constexpr double kMeridian = 3.0;
    double forwardError = 0.0;
    double reverseError = 0.0;
    for (auto _ : state) {
        for (double latitude = -80.0; latitude <= 84.0; latitude += 0.25) {
            for (double offset = onlyEdge ? reach : 0.0; offset <= reach; offset += 0.125) {
                for (const double sign : {-1.0, 1.0}) {
                    const double longitude = kMeridian + sign * offset;
                    double x = 0.0;
                    double y = 0.0;
                    exact.Forward(kMeridian, latitude, longitude, x, y);
                    const double easting = x + kUtmFalseEasting;
                    const double northing = latitude < 0.0 ? y + kUtmFalseNorthingSouth : y;
                    double e = 0.0;
                    double n = 0.0;
                    LatLonToUtmInZone(kWgs84SemiMajorAxis, kWgs84Flattening, kZone, latitude,
                                      longitude, e, n);
                    // The series' results carry half a metre for truncation to whole metres.
                    if (northing < kUtmMaxNorthing) {
                        forwardError = std::max(forwardError,
                                                std::hypot(e - 0.5 - easting, n - 0.5 - northing));
                    }
                    double backLat = 0.0;
                    double backLon = 0.0;
                    UtmToLatLon(kWgs84SemiMajorAxis, kWgs84Flattening, kZone,
                                latitude < 0.0 ? 'M' : 'N', easting, northing, backLat, backLon);
                    const double metresPerDegree = 6371000.0 * kDegree;
                    const double dNorth = (backLat - latitude) * metresPerDegree;
                    const double dEast =
                        (backLon - longitude) * metresPerDegree * std::cos(latitude * kDegree);
                    reverseError = std::max(reverseError, std::hypot(dNorth, dEast));
                    if (offset == 0.0) {
                        break;
                    }
                }
            }
        }
    }
    state.counters["forward_m"] = forwardError;
    state.counters["reverse_m"] = reverseError;
}
BENCHMARK(BM_Utm_Accuracy)
    ->ArgNames({"deg", "edge"})
    ->Args({3, 0})
    ->Args({6, 1})
    ->Args({9, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// ---------------------------------------------------------------------------------------------
// Loading an 8000 x 8000 picture at 24, 8 and 4 bits per pixel. Every loader delivers the same
// form: 32 bits per pixel, blue, green, red, unused (as QImage::Format_RGB32 in memory).
//   ReadFile       the file's bytes into memory with one read: the lower bound of any loader
//   Floor          the file's bytes into a reused buffer plus writing every byte of a fresh
//                  picture: the least a loader that delivers a new 32-bit picture must do
//   MapBitmap      this program's loader (CMapBitmap::LoadFromFile)
//   Gdal           GDALOpen + RasterIO of the whole picture; a palette picture is read as its
//                  indices and then looked up in GDAL's colour table
// The memory a load writes into ("mem"):
//   0 fresh, small pages: mapped for the load, as a plain malloc of this size gets it. Its first
//     touch costs a page fault per 4 KB page, which in a virtual machine can cost more than the
//     reading itself.
//   1 fresh, huge pages: mapped for the load and advised for transparent huge pages, as
//     CMapBitmap allocates its picture: one fault per 2 MB.
//   2 warm: the same memory as the previous load, already touched, so only reading and
//     decoding are measured.
// CMapBitmap always loads into fresh memory of its own (huge pages where the system has them).

constexpr int kSide = 8000;

void Put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        s += static_cast<char>((v >> (8 * i)) & 0xff);
    }
}

// A bottom-up BI_RGB picture with a full palette at 8 and 4 bits, written row by row.
void WriteBmp(const std::string& path, int bits) {
    const std::size_t stride = (static_cast<std::size_t>(kSide) * bits + 31) / 32 * 4;
    const std::uint32_t colors = bits <= 8 ? 1u << bits : 0u;
    std::string head = "BM";
    const std::uint32_t offset = 14 + 40 + 4 * colors;
    Put32(head, offset + static_cast<std::uint32_t>(stride * kSide));
    Put32(head, 0);
    Put32(head, offset);
    for (const std::uint32_t v : {40u, std::uint32_t{kSide}, std::uint32_t{kSide}}) {
        Put32(head, v);
    }
    Put32(head, 1u | static_cast<std::uint32_t>(bits) << 16);
    for (const std::uint32_t v : {0u, 0u, 2835u, 2835u, colors, 0u}) {
        Put32(head, v);
    }
    for (std::uint32_t i = 0; i < colors; ++i) {
        Put32(head, (i * 0x9e3779b9u) >> 8);
    }
    std::ofstream out(path, std::ios::binary);
    out << head;
    std::string row(stride, '\0');
    for (int y = 0; y < kSide; ++y) {
        for (std::size_t i = 0; i < stride; ++i) {
            row[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(y) * 13) ^ (i >> 5));
        }
        out << row;
    }
}

// The picture files live in one folder for the whole run and are removed at exit.
struct SPictureFolder {
    std::string path;
    std::map<int, std::string> files;
    SPictureFolder() {
        char name[] = "/tmp/mapreg-peers-XXXXXX";
        if (::mkdtemp(name) != nullptr) {
            path = name;
        }
    }
    ~SPictureFolder() {
        for (const auto& [bits, file] : files) {
            std::remove(file.c_str());
        }
        if (!path.empty()) {
            ::rmdir(path.c_str());
        }
    }
};

const std::string& PictureFile(int bits) {
    static SPictureFolder folder;
    auto [it, added] = folder.files.try_emplace(bits);
    if (added) {
        it->second = folder.path + "/map" + std::to_string(bits) + ".bmp";
        WriteBmp(it->second, bits);
    }
    return it->second;
}

constexpr std::size_t kPictureBytes = std::size_t{4} * kSide * kSide;
constexpr std::size_t kHugePage = std::size_t{2} << 20;

// Anonymous memory straight from the system, unmapped when released: the first write to each
// page faults (nothing is reused from an earlier load, as malloc might for smaller sizes).
class CMemory {
public:
    CMemory() = default;
    CMemory(std::size_t bytes, bool hugePages) : m_nBytes(bytes + (hugePages ? kHugePage : 0)) {
        void* p =
            ::mmap(nullptr, m_nBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) {
            m_nBytes = 0;
            return;
        }
        m_pMap = static_cast<std::uint8_t*>(p);
        m_pData = m_pMap;
        if (hugePages) {
            const auto address = reinterpret_cast<std::uintptr_t>(p);
            m_pData += (kHugePage - address % kHugePage) % kHugePage;
            ::madvise(m_pData, bytes, MADV_HUGEPAGE);
        }
    }
    ~CMemory() {
        if (m_pMap != nullptr) {
            ::munmap(m_pMap, m_nBytes);
        }
    }
    CMemory(CMemory&& other) noexcept
        : m_pMap(std::exchange(other.m_pMap, nullptr)), m_pData(other.m_pData),
          m_nBytes(other.m_nBytes) {}
    CMemory& operator=(CMemory&& other) noexcept {
        std::swap(m_pMap, other.m_pMap);
        std::swap(m_pData, other.m_pData);
        std::swap(m_nBytes, other.m_nBytes);
        return *this;
    }
    std::uint8_t* Data() const { return m_pData; }

private:
    std::uint8_t* m_pMap = nullptr;
    std::uint8_t* m_pData = nullptr;
    std::size_t m_nBytes = 0;
};

// The memory of one load of the kind `mem` names; `warm` is the reused buffer.
std::uint8_t* LoadMemory(int mem, std::size_t bytes, CMemory& fresh, const CMemory& warm) {
    if (mem == 2) {
        return warm.Data();
    }
    fresh = CMemory(bytes, mem == 1);
    return fresh.Data();
}

CMemory WarmMemory(std::size_t bytes) {
    CMemory memory(bytes, true);
    if (memory.Data() != nullptr) {
        std::memset(memory.Data(), 1, bytes);
    }
    return memory;
}

long FileSize(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return -1;
    }
    std::fseek(f, 0, SEEK_END);
    const long size = std::ftell(f);
    std::fclose(f);
    return size;
}

bool ReadWholeFile(const std::string& path, std::uint8_t* bytes, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = bytes != nullptr && std::fread(bytes, 1, size, f) == size;
    std::fclose(f);
    return ok;
}

void BM_Load_ReadFile(benchmark::State& state) {
    const std::string& path = PictureFile(static_cast<int>(state.range(0)));
    const int mem = static_cast<int>(state.range(1));
    const auto size = static_cast<std::size_t>(FileSize(path));
    const CMemory warm = WarmMemory(size);
    for (auto _ : state) {
        CMemory fresh;
        std::uint8_t* bytes = LoadMemory(mem, size, fresh, warm);
        if (!ReadWholeFile(path, bytes, size)) {
            state.SkipWithError("could not read the picture file");
            break;
        }
        benchmark::DoNotOptimize(bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
}

void BM_Load_Floor(benchmark::State& state) {
    const std::string& path = PictureFile(static_cast<int>(state.range(0)));
    const auto size = static_cast<std::size_t>(FileSize(path));
    const CMemory warm = WarmMemory(size);
    for (auto _ : state) {
        if (!ReadWholeFile(path, warm.Data(), size)) {
            state.SkipWithError("could not read the picture file");
            break;
        }
        const CMemory picture(kPictureBytes, true);
        if (picture.Data() == nullptr) {
            state.SkipWithError("no memory for the picture");
            break;
        }
        std::memset(picture.Data(), 0xff, kPictureBytes);
        benchmark::DoNotOptimize(picture.Data());
        benchmark::ClobberMemory();
    }
}

void BM_Load_MapBitmap(benchmark::State& state) {
    const std::string& path = PictureFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CMapBitmap map;
        if (map.LoadFromFile(path) != BitmapLoadResult::Ok) {
            state.SkipWithError("CMapBitmap could not load the picture");
            break;
        }
        benchmark::DoNotOptimize(map.GetBitmap()->constBits());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileSize(path)));
}

// GDALOpen + RasterIO into blue, green, red, unused bytes per pixel.
bool GdalLoad(const std::string& path, std::uint8_t* out, std::uint8_t* indices) {
    GDALDatasetH dataset = GDALOpen(path.c_str(), GA_ReadOnly);
    if (dataset == nullptr) {
        return false;
    }
    bool ok = GDALGetRasterXSize(dataset) == kSide && GDALGetRasterYSize(dataset) == kSide;
    const int bands = GDALGetRasterCount(dataset);
    if (ok && bands >= 3) {
        int bandMap[3] = {3, 2, 1};
        ok = GDALDatasetRasterIO(dataset, GF_Read, 0, 0, kSide, kSide, out, kSide, kSide, GDT_Byte,
                                 3, bandMap, 4, std::int64_t{4} * kSide, 1) == CE_None;
    } else if (ok && bands == 1) {
        GDALRasterBandH band = GDALGetRasterBand(dataset, 1);
        GDALColorTableH table = GDALGetRasterColorTable(band);
        ok = table != nullptr && GDALRasterIO(band, GF_Read, 0, 0, kSide, kSide, indices, kSide,
                                              kSide, GDT_Byte, 0, 0) == CE_None;
        if (ok) {
            std::array<std::uint32_t, 256> lut{};
            const int count = std::min(GDALGetColorEntryCount(table), 256);
            for (int i = 0; i < count; ++i) {
                const GDALColorEntry* c = GDALGetColorEntry(table, i);
                lut[static_cast<std::size_t>(i)] =
                    0xff000000u | static_cast<std::uint32_t>(c->c1) << 16 |
                    static_cast<std::uint32_t>(c->c2) << 8 | static_cast<std::uint32_t>(c->c3);
            }
            auto* pixels = reinterpret_cast<std::uint32_t*>(out);
            const std::size_t count2 = std::size_t{kSide} * kSide;
            for (std::size_t i = 0; i < count2; ++i) {
                pixels[i] = lut[indices[i]];
            }
        }
    } else {
        ok = false;
    }
    GDALClose(dataset);
    return ok;
}

void BM_Load_Gdal(benchmark::State& state) {
    const std::string& path = PictureFile(static_cast<int>(state.range(0)));
    const int mem = static_cast<int>(state.range(1));
    const CMemory warm = WarmMemory(kPictureBytes);
    const CMemory indices = WarmMemory(std::size_t{kSide} * kSide);
    for (auto _ : state) {
        CMemory fresh;
        std::uint8_t* picture = LoadMemory(mem, kPictureBytes, fresh, warm);
        if (picture == nullptr || !GdalLoad(path, picture, indices.Data())) {
            state.SkipWithError("GDAL could not read the picture");
            break;
        }
        benchmark::DoNotOptimize(picture);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * FileSize(path)));
}

} // namespace

BENCHMARK(BM_Load_ReadFile)
    ->ArgNames({"bpp", "mem"})
    ->ArgsProduct({{24, 8, 4}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_Floor)->ArgNames({"bpp"})->Arg(24)->Arg(8)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_MapBitmap)
    ->ArgNames({"bpp"})
    ->Arg(24)
    ->Arg(8)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load_Gdal)
    ->ArgNames({"bpp", "mem"})
    ->ArgsProduct({{24, 8, 4}, {1, 2}})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    GDALAllRegister();
    CPLSetConfigOption("GDAL_PAM_ENABLED", "NO"); // no .aux.xml files beside the pictures
    // CMapBitmap asks the screen whether it needs a palette.
    return RunBenchmarksWith<QGuiApplication>(argc, argv);
}

// Loading an 8000 x 8000 map picture at 24, 8 and 4 bits per pixel, against reading the same
// file's bytes into memory and against Qt's own image reader; and the peak memory of one load
// measured against the size of the decoded picture.
#include "display/CMapBitmap.h"

#include <benchmark/benchmark.h>

#include <QImage>
#include <QImageReader>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

using namespace mapreg;

namespace {

constexpr int kSide = 8000;

void Put32(std::string& s, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xff);
}

// Writes a bottom-up BI_RGB picture row by row, so that making it takes little memory.
void WriteBmp(const std::string& path, int bits) {
    const std::size_t stride = (static_cast<std::size_t>(kSide) * bits + 31) / 32 * 4;
    const std::uint32_t colors = bits <= 8 ? 1u << bits : 0u;
    std::string head = "BM";
    const std::uint32_t offset = 14 + 40 + 4 * colors;
    Put32(head, offset + static_cast<std::uint32_t>(stride * kSide));
    Put32(head, 0);
    Put32(head, offset);
    for (std::uint32_t v : {40u, std::uint32_t{kSide}, std::uint32_t{kSide}})
        Put32(head, v);
    Put32(head, 1u | static_cast<std::uint32_t>(bits) << 16);
    for (std::uint32_t v : {0u, 0u, 2835u, 2835u, colors, 0u})
        Put32(head, v);
    for (std::uint32_t i = 0; i < colors; ++i)
        Put32(head, (i * 0x9e3779b9u) >> 8);

    std::ofstream out(path, std::ios::binary);
    out << head;
    std::string row(stride, '\0');
    for (int y = 0; y < kSide; ++y) {
        for (std::size_t i = 0; i < stride; ++i)
            row[i] = static_cast<char>((i * 7 + static_cast<std::size_t>(y) * 13) ^ (i >> 5));
        out << row;
    }
}

const std::string& PictureFile(int bits) {
    static QTemporaryDir dir;
    static std::map<int, std::string> files;
    auto [it, added] = files.try_emplace(bits);
    if (added) {
        it->second = (dir.path() + QStringLiteral("/map%1.bmp").arg(bits)).toStdString();
        WriteBmp(it->second, bits);
    }
    return it->second;
}

void ReadFileBytes(benchmark::State& state) {
    const std::string& path = PictureFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        std::fseek(f, 0, SEEK_END);
        std::vector<char> bytes(static_cast<std::size_t>(std::ftell(f)));
        std::fseek(f, 0, SEEK_SET);
        benchmark::DoNotOptimize(std::fread(bytes.data(), 1, bytes.size(), f));
        std::fclose(f);
        benchmark::DoNotOptimize(bytes.data());
    }
}

// The floor: the same read into a buffer that is already in memory, so that only the copy out of
// the page cache is measured, not the page faults of fresh memory.
void ReadFileBytesIntoWarmBuffer(benchmark::State& state) {
    const std::string& path = PictureFile(static_cast<int>(state.range(0)));
    std::FILE* f = std::fopen(path.c_str(), "rb");
    std::fseek(f, 0, SEEK_END);
    std::vector<char> bytes(static_cast<std::size_t>(std::ftell(f)), 1);
    for (auto _ : state) {
        std::fseek(f, 0, SEEK_SET);
        benchmark::DoNotOptimize(std::fread(bytes.data(), 1, bytes.size(), f));
        benchmark::DoNotOptimize(bytes.data());
    }
    std::fclose(f);
}

void LoadMapBitmap(benchmark::State& state) {
    const std::string& path = PictureFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CMapBitmap map;
        if (map.LoadFromFile(path) != BitmapLoadResult::Ok)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(map.GetBitmap()->constBits());
    }
}

// Qt's reader into the same RGB32 form, for comparison (the 8- and 4-bit pictures take a
// conversion from Qt's indexed form).
void QtImageReader(benchmark::State& state) {
    const QString path = QString::fromStdString(PictureFile(static_cast<int>(state.range(0))));
    QImageReader::setAllocationLimit(0);
    for (auto _ : state) {
        QImageReader reader(path, "bmp");
        QImage image;
        if (!reader.read(&image))
            state.SkipWithError("Qt could not read the picture");
        image.convertTo(QImage::Format_RGB32);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// A field of /proc/self/status in kilobytes.
long StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(status, line))
        if (line.rfind(prefix, 0) == 0)
            return std::stol(line.substr(prefix.size()));
    return -1;
}

// Peak resident memory that one load adds, as a multiple of the decoded picture. The high-water
// mark is reset first (clear_refs 5), so earlier benchmarks do not count.
void PeakMemoryOfLoad(benchmark::State& state) {
    const std::string& path = PictureFile(static_cast<int>(state.range(0)));
    double ratio = 0;
    double peakMb = 0;
    for (auto _ : state) {
        std::ofstream("/proc/self/clear_refs") << "5";
        const long before = StatusKb("VmRSS");
        {
            CMapBitmap map;
            if (map.LoadFromFile(path) != BitmapLoadResult::Ok)
                state.SkipWithError("load failed");
        }
        const double added = static_cast<double>(StatusKb("VmHWM") - before) * 1024;
        const double decoded = 4.0 * kSide * kSide;
        ratio = added / decoded;
        peakMb = added / (1 << 20);
    }
    state.counters["peak_MB"] = peakMb;
    state.counters["decoded_MB"] = 4.0 * kSide * kSide / (1 << 20);
    state.counters["peak_per_decoded"] = ratio;
}

} // namespace

BENCHMARK(ReadFileBytes)->Arg(24)->Arg(8)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadFileBytesIntoWarmBuffer)->Arg(24)->Arg(8)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadMapBitmap)->Arg(24)->Arg(8)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(QtImageReader)->Arg(24)->Arg(8)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(PeakMemoryOfLoad)->Arg(24)->Arg(8)->Arg(4)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

#include "TextFileFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>

std::string DeriveTextFileName(const std::string& bitmapPath, std::string_view ext) {
    std::filesystem::path path(bitmapPath);
    path.replace_extension(std::filesystem::path(std::string(ext)));
    return path.string();
}

std::string FileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string FormatFixed(double value, int width, int precision) {
    std::string digits;
    if (std::isnan(value)) {
        digits = std::signbit(value) ? "-nan" : "nan";
    } else if (std::isinf(value)) {
        digits = value < 0 ? "-inf" : "inf";
    } else {
        // Wide enough for the largest double in fixed notation.
        std::array<char, 400> buffer{};
        const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                             std::chars_format::fixed, precision);
        digits = ec == std::errc() ? std::string(buffer.data(), end) : std::string("nan");
    }
    if (static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), ' ');
    }
    return digits;
}

bool IsSameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (std::filesystem::exists(a, ec) && std::filesystem::exists(b, ec)) {
        const bool same = std::filesystem::equivalent(a, b, ec);
        if (!ec) {
            return same;
        }
    }
    const auto ca = std::filesystem::weakly_canonical(std::filesystem::absolute(a, ec), ec);
    const auto cb = std::filesystem::weakly_canonical(std::filesystem::absolute(b, ec), ec);
    return ca == cb;
}

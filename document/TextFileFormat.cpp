#include "document/TextFileFormat.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace mapreg {

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

bool IsReplaceableTextFile(const std::string& path) {
    // Non-blocking, so that a pipe named like the file cannot hold the save up.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT;
    }
    struct stat info {};
    std::string head(64, '\0');
    ssize_t n = -1;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        do {
            n = ::read(fd, head.data(), head.size());
        } while (n < 0 && errno == EINTR);
    }
    ::close(fd);
    if (n < 0) {
        return false;
    }
    head.resize(static_cast<std::size_t>(n));
    if (head.empty()) {
        return true;
    }
    const std::string_view line = std::string_view(head).substr(0, head.find_first_of("\r\n"));
    return line == kRegistrationHeader || line == kWaypointHeader;
}

} // namespace mapreg

#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace mapreg {

namespace fuzz {

const std::string& ScratchFolder() {
    // Never destroyed: the exit handler that removes the folder still needs its name.
    static const std::string* const folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        auto* made = new std::string(std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") +
                                     "/mapreg-fuzz-XXXXXX");
        if (::mkdtemp(made->data()) == nullptr) {
            Fail("cannot make the scratch folder");
        }
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(ScratchFolder(), ec);
        });
        return made;
    }();
    return *folder;
}

std::string WriteScratchFile(std::string_view name, const std::uint8_t* data, std::size_t size) {
    return WriteScratchFile(name, std::string_view(reinterpret_cast<const char*>(data), size));
}

std::string WriteScratchFile(std::string_view name, std::string_view bytes) {
    const std::string path = ScratchFolder() + "/" + std::string(name);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        Fail("cannot write a scratch file");
    }
    return path;
}

void Fail(std::string_view what) {
    std::fprintf(stderr, "fuzz target: %.*s\n", static_cast<int>(what.size()), what.data());
    std::fflush(stderr);
    std::abort();
}

bool ShowsNonFinite(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return lower.find("nan") != std::string::npos || lower.find("inf") != std::string::npos;
}

} // namespace fuzz

} // namespace mapreg

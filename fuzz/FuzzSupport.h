#pragma once
// What the fuzz targets share: a private scratch folder for the files they write (removed when
// the process exits normally), a way to write an input there, and the stop that libFuzzer and
// the replay driver report as a crash when a target finds a broken promise.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mapreg {

namespace fuzz {

// A fresh folder of this process, made on first use. The current directory is not changed.
const std::string& ScratchFolder();

// Writes the bytes as the file `name` of the scratch folder and returns its full path.
std::string WriteScratchFile(std::string_view name, const std::uint8_t* data, std::size_t size);
std::string WriteScratchFile(std::string_view name, std::string_view bytes);

// Prints what went wrong and aborts, so that the input is kept as a crash.
[[noreturn]] void Fail(std::string_view what);

// True when text holds "nan" or "inf" in any case: a number that should never be shown.
bool ShowsNonFinite(std::string_view text);

} // namespace fuzz

} // namespace mapreg

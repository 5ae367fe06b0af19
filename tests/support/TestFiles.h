#pragma once
// Files for tests: whole-file bytes, and plain pictures written as .bmp files; and the peak
// memory of the test process, to show that a refused file was not read into memory.

#include <QColor>
#include <QSize>

#include <filesystem>
#include <string>

namespace mapreg {

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// Writes a 24-bit .bmp of one colour; false when the file could not be written.
bool WritePlainBitmap(const std::filesystem::path& path, QSize size, QColor color);

// The most memory this process has held so far, in kilobytes.
long PeakRssKilobytes();

} // namespace mapreg

#pragma once
// Files for tests: whole-file bytes, and plain pictures written as .bmp files.

#include <QColor>
#include <QSize>

#include <filesystem>
#include <string>

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// Writes a 24-bit .bmp of one colour; false when the file could not be written.
bool WritePlainBitmap(const std::filesystem::path& path, QSize size, QColor color);

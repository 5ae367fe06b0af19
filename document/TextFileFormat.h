#pragma once
// Helpers for the registration and waypoint files that the handheld device reads: their
// names beside the bitmap, fixed-point numbers as printf's "%W.Pf" writes them (always
// with a '.' whatever the locale), and the Windows line end the device expects.

#include <string>
#include <string_view>

namespace mapreg {

inline constexpr std::string_view kCrLf = "\r\n";
// The first lines of a registration file and of a waypoint file.
inline constexpr std::string_view kRegistrationHeader = "Halvoren Map Registry";
inline constexpr std::string_view kWaypointHeader = "Halvoren Wp File";

// The bitmap's path with the extension of its file name (from the last '.' of the last
// path component) replaced by ext, or ext appended when the file name has none.
std::string DeriveTextFileName(const std::string& bitmapPath, std::string_view ext);

// The last path component of a path ("harbour.bmp" for "/maps/harbour.bmp").
std::string FileNameOf(const std::string& path);

// value with precision decimals, right-aligned in width characters.
std::string FormatFixed(double value, int width, int precision);

// True when the two paths name the same file, existing or not.
bool IsSameFile(const std::string& a, const std::string& b);

// True when a registration or waypoint file may be written at path: nothing is there, or an
// empty plain file, or a plain file whose first line is either file's header. Anything else
// (a picture named .txt, a pipe) holds someone's data and must not be replaced.
bool IsReplaceableTextFile(const std::string& path);

} // namespace mapreg

#pragma once
// The ".gpm" map file: the magic string "Halvoren..", version 1, the bitmap's path and
// the calibration (three marks with picture and world points, coordinate type, UTM zone).
// Reading trusts nothing in the file: lengths are checked against the bytes left, and
// flags, coordinate type and calibration are validated before the caller uses them.

#include "framework/CFileError.h"
#include "georef/CCalibration.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace mapreg {

class CArchive;

class CMapFile {
public:
    static constexpr std::string_view kMagic = "Halvoren..";
    static constexpr std::uint16_t kVersion = 1;
    // What ReadFileHeader answers for a file that does not start with the magic string.
    static constexpr std::uint16_t kNotValid = 0xFFFF;
    // Picture coordinates are stored as unsigned 16-bit values.
    static constexpr double kMaxPixel = 65535.0;

    struct Contents {
        std::string bitmapPath; // UTF-8 bytes; empty for the default map
        bool calibrated = false;
        // Picture points are whole pixels in 0..65535; the zone is 0..255 as stored (both
        // kept for an uncalibrated map too).
        CCalibration calibration;
    };

    enum class Status {
        Ok,
        Empty,       // a zero-length file
        CannotOpen,  // the file could not be opened (see the file error)
        EndsEarly,   // a field or string runs past the end of the file
        ReadError,   // the file could not be read (see the file error)
        NotValid,    // the magic string differs
        Unsupported, // a version other than 1
        BadData      // bad flag or coordinate type, or a calibration that would be rejected
    };

    struct LoadResult {
        Status status = Status::Ok;
        CFileError fileError;
    };

    // True when the value, truncated toward zero, fits the 16-bit fields.
    static bool FitsPixelField(double value);

    // Writes the whole file. Picture coordinates outside 0..65535 must have been refused
    // before (FitsPixelField); they are stored as 0 here rather than cut to 16 bits.
    static void Write(CArchive& ar, const Contents& contents);
    static std::string WriteToBytes(const Contents& contents);

    // The version word after the magic string, or kNotValid (also for a file too short to
    // hold the magic string). Throws CArchiveException when the version is cut off.
    static std::uint16_t ReadFileHeader(CArchive& ar);
    // The fields after the header: Ok or BadData. Throws CArchiveException.
    static Status ReadBody(CArchive& ar, Contents& contents);
    // Opens and reads path; contents is filled only when the status is Ok.
    static LoadResult Load(const std::string& path, Contents& contents);

    // The message an open shows for a failed load: string id and full text.
    static unsigned MessageId(Status status);
    static std::string Message(const LoadResult& result, const std::string& path);
};

} // namespace mapreg

#include "document/CMapFile.h"

#include "framework/CArchive.h"
#include "framework/CArchiveException.h"
#include "georef/CalibrationCheck.h"
#include "resources/StringTable.h"

#include <cerrno>
#include <cmath>
#include <fstream>
#include <sys/stat.h>

namespace mapreg {

bool CMapFile::FitsPixelField(double value) {
    const double whole = std::trunc(value);
    return whole >= 0.0 && whole <= kMaxPixel; // false for NaN
}

void CMapFile::Write(CArchive& ar, const Contents& contents) {
    ar.WriteString(kMagic);
    ar.WriteUInt16(kVersion);
    ar.WriteString(contents.bitmapPath);
    ar.WriteByte(contents.calibrated ? 1 : 0);
    const CCalibration& calibration = contents.calibration;
    ar.WriteInt32(CoordTypeNumber(calibration.coordType));
    for (std::size_t i = 0; i < 3; ++i) {
        const CDoublePoint pixel = calibration.picture[i];
        const CDoublePoint world = calibration.world[i];
        ar.WriteUInt16(FitsPixelField(pixel.x) ? static_cast<std::uint16_t>(pixel.x) : 0);
        ar.WriteUInt16(FitsPixelField(pixel.y) ? static_cast<std::uint16_t>(pixel.y) : 0);
        ar.WriteDouble(world.x);
        ar.WriteDouble(world.y);
    }
    ar.WriteByte(static_cast<std::uint8_t>(calibration.zone & 0xFF));
    ar.WriteByte(static_cast<std::uint8_t>(calibration.letter));
}

std::string CMapFile::WriteToBytes(const Contents& contents) {
    std::string bytes;
    CArchive ar(bytes);
    Write(ar, contents);
    return bytes;
}

std::uint16_t CMapFile::ReadFileHeader(CArchive& ar) {
    // A first string that runs past the end of the file cannot be the magic string: such a
    // file (a text file, say) is not a map file rather than a map file that ends early.
    std::string magic;
    try {
        magic = ar.ReadString();
    } catch (const CArchiveException& e) {
        if (e.GetCause() != CArchiveException::Cause::EndOfFile) {
            throw;
        }
        return kNotValid;
    }
    if (magic != kMagic) {
        return kNotValid;
    }
    return ar.ReadUInt16();
}

CMapFile::Status CMapFile::ReadBody(CArchive& ar, Contents& contents) {
    Contents read;
    read.bitmapPath = ar.ReadString();
    const std::uint8_t calibrated = ar.ReadByte();
    if (calibrated > 1) {
        return Status::BadData;
    }
    read.calibrated = calibrated == 1;
    const std::optional<CoordType> coordType = CoordTypeOfNumber(ar.ReadInt32());
    if (!coordType) {
        return Status::BadData;
    }
    CCalibration& calibration = read.calibration;
    calibration.coordType = *coordType;
    for (std::size_t i = 0; i < 3; ++i) {
        calibration.picture[i].x = ar.ReadUInt16();
        calibration.picture[i].y = ar.ReadUInt16();
        calibration.world[i].x = ar.ReadDouble();
        calibration.world[i].y = ar.ReadDouble();
    }
    calibration.zone = ar.ReadByte();
    calibration.letter = static_cast<char>(ar.ReadByte());
    if (read.calibrated && CheckCalibration(calibration).code != CALIBRATION_OK) {
        return Status::BadData;
    }
    contents = std::move(read);
    return Status::Ok;
}

CMapFile::LoadResult CMapFile::Load(const std::string& path, Contents& contents) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return {Status::CannotOpen, CFileError(errno)};
    }
    if (S_ISDIR(info.st_mode)) {
        return {Status::CannotOpen, CFileError(EISDIR)};
    }
    if (!S_ISREG(info.st_mode)) {
        return {Status::CannotOpen, CFileError(EINVAL)};
    }
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return {Status::CannotOpen, CFileError(errno != 0 ? errno : EIO)};
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size == 0) {
        return {Status::Empty, CFileError()};
    }
    try {
        CArchive ar(in, size);
        const std::uint16_t version = ReadFileHeader(ar);
        if (version == kNotValid) {
            return {Status::NotValid, CFileError()};
        }
        if (version != kVersion) {
            return {Status::Unsupported, CFileError()};
        }
        return {ReadBody(ar, contents), CFileError()};
    } catch (const CArchiveException& e) {
        if (e.GetCause() == CArchiveException::Cause::EndOfFile) {
            return {Status::EndsEarly, CFileError()};
        }
        return {Status::ReadError, CFileError(EIO)};
    } catch (const std::bad_alloc&) {
        return {Status::ReadError, CFileError(ENOMEM)};
    }
}

unsigned CMapFile::MessageId(Status status) {
    switch (status) {
    case Status::Ok:
    case Status::Empty:
        return 0;
    case Status::NotValid:
        return IDS_NOT_VALID_FILE;
    case Status::Unsupported:
        return IDS_UNSUPPORTED_VERSION;
    case Status::BadData:
        return IDS_BAD_DATA;
    case Status::CannotOpen:
    case Status::EndsEarly:
    case Status::ReadError:
        break;
    }
    return IDS_OPEN_MAP_FAILED;
}

std::string CMapFile::Message(const LoadResult& result, const std::string& path) {
    const unsigned id = MessageId(result.status);
    if (id != IDS_OPEN_MAP_FAILED) {
        return std::string(LoadStringId(id));
    }
    const unsigned reason = result.status == Status::EndsEarly
                                ? static_cast<unsigned>(IDS_REASON_ENDS_EARLY)
                                : result.fileError.ReasonId(false);
    return FormatString1(IDS_OPEN_MAP_FAILED, path) + "  " + std::string(LoadStringId(reason));
}

} // namespace mapreg

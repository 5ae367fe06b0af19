#pragma once
// A KMZ being written: a zip archive (minizip) of doc.kml and the tile pictures, each added
// whole. Pictures that are already compressed (JPEG) are stored; text is deflated. Failures are
// reported by the calls; the caller removes a file it does not keep.

#include <string>
#include <string_view>

namespace mapreg {

class CKmzArchive {
public:
    CKmzArchive() = default;
    ~CKmzArchive();
    CKmzArchive(const CKmzArchive&) = delete;
    CKmzArchive& operator=(const CKmzArchive&) = delete;

    // Creates the archive at path (replacing a file there); false when it cannot be created.
    bool Open(const std::string& path);
    // Adds one entry; false when it could not be written.
    bool Add(const std::string& name, std::string_view bytes, bool deflate);
    // Writes the central directory and closes the file; false when that failed.
    bool Close();

private:
    void* m_zip = nullptr;
};

} // namespace mapreg

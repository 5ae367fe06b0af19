#pragma once
// Writes a new file piece by piece, for contents too large to hold in memory: the pieces go to
// a temporary file in the target's folder, which replaces the target only on Commit. A writer
// destroyed without a successful Commit removes its temporary file, so that a failed or
// cancelled write leaves nothing behind.

#include "framework/CFileError.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace mapreg {

class CAtomicFileWriter {
public:
    CAtomicFileWriter() = default;
    ~CAtomicFileWriter();
    CAtomicFileWriter(const CAtomicFileWriter&) = delete;
    CAtomicFileWriter& operator=(const CAtomicFileWriter&) = delete;

    // Creates the temporary file for path. A target that is a folder is refused (EISDIR); a
    // symbolic link is followed, and an existing file keeps its permissions. The new file never
    // gets a permission bit that modeLimit lacks (a copy of a private file stays private).
    CFileError Open(const std::string& path, unsigned modeLimit = 07777);
    // Writes bytes at offset of the new file; pieces may come in any order.
    CFileError WriteAt(std::uint64_t offset, std::string_view bytes);
    // Flushes the new file to disk and renames it over the target.
    CFileError Commit();
    // Removes the temporary file; the target is left as it was.
    void Discard();

private:
    int m_fd = -1;
    std::string m_strTarget;
    std::string m_strTemp;
    bool m_bKeepMode = false;
    unsigned m_nMode = 0;
};

} // namespace mapreg

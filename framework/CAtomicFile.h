#pragma once
// Replaces a file's contents all at once: the bytes go to a temporary file in the same
// folder, which is flushed to disk and renamed over the target only when complete. A
// failed write (disk full, no permission) leaves the previous file as it was.

#include "framework/CFileError.h"

#include <functional>
#include <string>
#include <string_view>

namespace mapreg {

class CAtomicFile {
public:
    // Writes bytes as the new contents of path. An existing file keeps its permissions;
    // a symbolic link is followed and its target replaced.
    static CFileError Write(const std::string& path, std::string_view bytes);

    // Test hook: called with the target path before each write; a non-zero errno makes
    // that write fail part-way through the temporary file, as a full disk would.
    using FailureHook = std::function<int(const std::string& path)>;
    static void SetFailureHookForTesting(FailureHook hook);
};

} // namespace mapreg

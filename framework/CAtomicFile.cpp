#include "framework/CAtomicFile.h"

#include "framework/CAtomicFileWriter.h"

namespace mapreg {

namespace {

CAtomicFile::FailureHook& Hook() {
    static CAtomicFile::FailureHook hook;
    return hook;
}

} // namespace

void CAtomicFile::SetFailureHookForTesting(FailureHook hook) {
    Hook() = std::move(hook);
}

CFileError CAtomicFile::Write(const std::string& path, std::string_view bytes) {
    CAtomicFileWriter file;
    if (const CFileError error = file.Open(path); error.IsError()) {
        return error;
    }
    if (const int injected = Hook() ? Hook()(path) : 0; injected != 0) {
        // Half the bytes go to the temporary file, then the write fails as a full disk would;
        // the writer removes the temporary file.
        (void)file.WriteAt(0, bytes.substr(0, bytes.size() / 2));
        return CFileError(injected);
    }
    if (const CFileError error = file.WriteAt(0, bytes); error.IsError()) {
        return error;
    }
    return file.Commit();
}

} // namespace mapreg

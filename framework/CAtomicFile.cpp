#include "CAtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

CAtomicFile::FailureHook& Hook() {
    static CAtomicFile::FailureHook hook;
    return hook;
}

// Writes all bytes, retrying short writes and interrupted calls. Returns 0 or an errno.
int WriteAll(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            return EIO;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Creates a new temporary file beside target; returns its descriptor or -1 with errno set.
int CreateTemporary(const std::filesystem::path& target, std::string& tempPath) {
    static std::mt19937 generator{std::random_device{}()};
    const std::filesystem::path folder = target.parent_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        // Short enough for the name limit of the file system however long the target name is.
        // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on "." + std::string.
        std::string name(1, '.');
        name.append(target.filename().string().substr(0, 100));
        name.append(".tmp");
        name.append(std::to_string(static_cast<unsigned>(::getpid())));
        name.push_back('-');
        name.append(std::to_string(generator() % 1000000u));
        tempPath = (folder.empty() ? std::filesystem::path(name) : folder / name).string();
        const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

} // namespace

void CAtomicFile::SetFailureHookForTesting(FailureHook hook) {
    Hook() = std::move(hook);
}

CFileError CAtomicFile::Write(const std::string& path, std::string_view bytes) {
    if (path.empty()) {
        return CFileError(ENOENT);
    }
    std::filesystem::path target(path);
    std::error_code ec;
    if (std::filesystem::is_symlink(target, ec)) {
        const auto resolved = std::filesystem::weakly_canonical(target, ec);
        if (!ec) {
            target = resolved;
        }
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) {
        return CFileError(EISDIR);
    }

    const int injected = Hook() ? Hook()(path) : 0;

    std::string tempPath;
    const int fd = CreateTemporary(target, tempPath);
    if (fd < 0) {
        return CFileError(errno);
    }
    int error = 0;
    if (injected != 0) {
        // Leave a partly written temporary file behind, then fail as the disk would.
        (void)WriteAll(fd, bytes.substr(0, bytes.size() / 2));
        error = injected;
    } else {
        error = WriteAll(fd, bytes);
    }
    if (error == 0 && exists && ::fchmod(fd, old.st_mode & 07777) != 0) {
        error = errno;
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(tempPath.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(tempPath.c_str());
        return CFileError(error);
    }
    // Make the rename itself durable; a failure here no longer endangers the old data.
    const auto folder =
        target.parent_path().empty() ? std::filesystem::path(".") : target.parent_path();
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        (void)::fsync(dirFd);
        ::close(dirFd);
    }
    return CFileError();
}

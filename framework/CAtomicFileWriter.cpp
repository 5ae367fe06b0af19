#include "framework/CAtomicFileWriter.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace mapreg {

CAtomicFileWriter::~CAtomicFileWriter() {
    Discard();
}

CFileError CAtomicFileWriter::Open(const std::string& path, unsigned modeLimit) {
    Discard();
    if (path.empty()) {
        return CFileError(ENOENT);
    }
    // A symbolic link is followed: its target is replaced and the link stays.
    std::filesystem::path target(path);
    std::error_code ec;
    if (std::filesystem::is_symlink(target, ec)) {
        const auto resolved = std::filesystem::weakly_canonical(target, ec);
        if (!ec) {
            target = resolved;
        }
    }
    struct stat old {};
    m_bKeepMode = ::stat(target.c_str(), &old) == 0;
    if (m_bKeepMode && S_ISDIR(old.st_mode)) {
        return CFileError(EISDIR);
    }
    m_nMode = old.st_mode & 07777 & modeLimit;

    static std::mt19937 generator{std::random_device{}()};
    const std::filesystem::path folder = target.parent_path();
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        // Short enough for the name limit of the file system however long the target name is.
        // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on "." + std::string.
        std::string name(1, '.');
        name.append(target.filename().string().substr(0, 100));
        name.append(".tmp");
        name.append(std::to_string(static_cast<unsigned>(::getpid())));
        name.push_back('-');
        name.append(std::to_string(generator() % 1000000u));
        m_strTemp = (folder.empty() ? std::filesystem::path(name) : folder / name).string();
        m_fd = ::open(m_strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666 & modeLimit);
        if (m_fd >= 0) {
            m_strTarget = target.string();
            return CFileError();
        }
        error = errno;
    }
    m_strTemp.clear();
    return CFileError(error);
}

CFileError CAtomicFileWriter::WriteAt(std::uint64_t offset, std::string_view bytes) {
    if (m_fd < 0) {
        return CFileError(EBADF);
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(m_fd, bytes.data() + done, bytes.size() - done,
                                   static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return CFileError(errno);
        }
        if (n == 0) {
            return CFileError(EIO);
        }
        done += static_cast<std::size_t>(n);
    }
    return CFileError();
}

CFileError CAtomicFileWriter::Commit() {
    if (m_fd < 0) {
        return CFileError(EBADF);
    }
    // A replaced file keeps its permissions.
    int error = m_bKeepMode && ::fchmod(m_fd, m_nMode) != 0 ? errno : 0;
    if (error == 0 && ::fsync(m_fd) != 0) {
        error = errno;
    }
    if (::close(m_fd) != 0 && error == 0) {
        error = errno;
    }
    m_fd = -1;
    if (error == 0 && ::rename(m_strTemp.c_str(), m_strTarget.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        Discard();
        return CFileError(error);
    }
    m_strTemp.clear();
    // Make the rename itself durable; a failure here no longer endangers the data.
    const std::filesystem::path folder = std::filesystem::path(m_strTarget).parent_path();
    const int dirFd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        (void)::fsync(dirFd);
        ::close(dirFd);
    }
    return CFileError();
}

void CAtomicFileWriter::Discard() {
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_strTemp.empty()) {
        ::unlink(m_strTemp.c_str());
        m_strTemp.clear();
    }
}

} // namespace mapreg

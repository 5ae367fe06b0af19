#include "CAtomicFileWriter.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

CAtomicFileWriter::~CAtomicFileWriter() {
    Discard();
}

CFileError CAtomicFileWriter::Open(const std::string& path) {
    Discard();
    if (path.empty()) {
        return CFileError(ENOENT);
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return CFileError(EISDIR);
    }
    static std::mt19937 generator{std::random_device{}()};
    const std::filesystem::path target(path);
    const std::filesystem::path folder = target.parent_path();
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        std::string name(1, '.');
        name.append(target.filename().string().substr(0, 100));
        name.append(".part");
        name.append(std::to_string(static_cast<unsigned>(::getpid())));
        name.push_back('-');
        name.append(std::to_string(generator() % 1000000u));
        m_strTemp = (folder.empty() ? std::filesystem::path(name) : folder / name).string();
        m_fd = ::open(m_strTemp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_strTarget = path;
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
    int error = ::fsync(m_fd) != 0 ? errno : 0;
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

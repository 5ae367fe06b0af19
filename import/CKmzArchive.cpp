#include "import/CKmzArchive.h"

#include <minizip/zip.h>

#include <ctime>

namespace mapreg {

CKmzArchive::~CKmzArchive() {
    if (m_zip != nullptr) {
        zipClose(static_cast<zipFile>(m_zip), nullptr);
    }
}

bool CKmzArchive::Open(const std::string& path) {
    m_zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    return m_zip != nullptr;
}

bool CKmzArchive::Add(const std::string& name, std::string_view bytes, bool deflate) {
    if (m_zip == nullptr || bytes.size() > 0xFFFFFFFFu) {
        return false;
    }
    zip_fileinfo info{};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local) != nullptr) {
        info.tmz_date = {static_cast<uInt>(local.tm_sec),  static_cast<uInt>(local.tm_min),
                         static_cast<uInt>(local.tm_hour), static_cast<uInt>(local.tm_mday),
                         static_cast<uInt>(local.tm_mon),  static_cast<uInt>(local.tm_year + 1900)};
    }
    auto* zip = static_cast<zipFile>(m_zip);
    if (zipOpenNewFileInZip64(zip, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                              deflate ? Z_DEFLATED : 0, deflate ? Z_DEFAULT_COMPRESSION : 0,
                              0) != ZIP_OK) {
        return false;
    }
    const bool written =
        bytes.empty() ||
        zipWriteInFileInZip(zip, bytes.data(), static_cast<unsigned>(bytes.size())) == ZIP_OK;
    return zipCloseFileInZip(zip) == ZIP_OK && written;
}

bool CKmzArchive::Close() {
    if (m_zip == nullptr) {
        return false;
    }
    const int result = zipClose(static_cast<zipFile>(m_zip), nullptr);
    m_zip = nullptr;
    return result == ZIP_OK;
}

} // namespace mapreg

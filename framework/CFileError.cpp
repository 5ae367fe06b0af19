#include "framework/CFileError.h"

#include "resources/StringTable.h"

#include <cerrno>

namespace mapreg {

bool CFileError::IsNotFound() const {
    return m_nErrno == ENOENT || m_nErrno == ENOTDIR;
}

unsigned CFileError::ReasonId(bool forWriting) const {
    switch (m_nErrno) {
    case ENOENT:
    case ENOTDIR:
        return IDS_REASON_NOT_FOUND;
    case EACCES:
    case EPERM:
        return IDS_REASON_NO_PERMISSION;
    case EROFS:
        return IDS_REASON_READ_ONLY;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return IDS_REASON_DISK_FULL;
    case EISDIR:
        return IDS_REASON_IS_FOLDER;
    case ENAMETOOLONG:
        return IDS_REASON_NAME_TOO_LONG;
    default:
        return forWriting ? IDS_REASON_WRITE_ERROR : IDS_REASON_READ_ERROR;
    }
}

} // namespace mapreg

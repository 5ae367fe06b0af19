#include "CFileError.h"
#include "StringTable.h"

#include <gtest/gtest.h>

#include <cerrno>

TEST(FileError, reasons_name_the_cause) {
    struct Case {
        int err;
        bool writing;
        unsigned reason;
    };
    const Case cases[] = {
        {ENOENT, false, IDS_REASON_NOT_FOUND},    {ENOTDIR, true, IDS_REASON_NOT_FOUND},
        {EACCES, true, IDS_REASON_NO_PERMISSION}, {EPERM, false, IDS_REASON_NO_PERMISSION},
        {EROFS, true, IDS_REASON_READ_ONLY},      {ENOSPC, true, IDS_REASON_DISK_FULL},
        {EDQUOT, true, IDS_REASON_DISK_FULL},     {EISDIR, false, IDS_REASON_IS_FOLDER},
        {EIO, false, IDS_REASON_READ_ERROR},      {EIO, true, IDS_REASON_WRITE_ERROR},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CFileError(c.err).ReasonId(c.writing), c.reason) << c.err;
        EXPECT_FALSE(LoadStringId(c.reason).empty());
    }
    EXPECT_FALSE(CFileError().IsError());
}

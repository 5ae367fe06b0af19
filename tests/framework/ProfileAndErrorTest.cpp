#include "CFileError.h"
#include "CMemoryProfile.h"
#include "StringTable.h"

#include <gtest/gtest.h>

#include <cerrno>

TEST(MemoryProfile, missing_keys_and_texts_give_the_default) {
    CMemoryProfile profile;
    EXPECT_EQ(profile.GetProfileInt("Settings", "spriteSize", -128), -128);
    profile.WriteProfileInt("Settings", "spriteSize", 2);
    profile.WriteProfileString("Settings", "name", "abc");
    profile.WriteProfileString("Settings", "number", "-17");
    EXPECT_EQ(profile.GetProfileInt("Settings", "spriteSize", -128), 2);
    EXPECT_EQ(profile.GetProfileInt("Other", "spriteSize", -128), -128);
    EXPECT_EQ(profile.GetProfileInt("Settings", "name", 7), 7);
    EXPECT_EQ(profile.GetProfileInt("Settings", "number", 7), -17);
    EXPECT_EQ(profile.GetProfileString("Settings", "spriteSize", ""), "2");
    EXPECT_EQ(profile.GetProfileString("Settings", "missing", "dflt"), "dflt");
}

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

#include "framework/CFileError.h"
#include "framework/CMemoryProfile.h"
#include "framework/ProfileEntry.h"
#include "resources/StringTable.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <tuple>

using namespace mapreg;

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
        {EDQUOT, true, IDS_REASON_DISK_FULL},     {EFBIG, true, IDS_REASON_DISK_FULL},
        {EISDIR, false, IDS_REASON_IS_FOLDER},    {EIO, false, IDS_REASON_READ_ERROR},
        {EIO, true, IDS_REASON_WRITE_ERROR},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CFileError(c.err).ReasonId(c.writing), c.reason) << c.err;
        EXPECT_FALSE(LoadStringId(c.reason).empty());
    }
    EXPECT_FALSE(CFileError().IsError());
}

TEST(ProfileEntry, unusable_values_read_as_the_default_and_wide_numbers_write_back_whole) {
    const ProfileEntry<int> size{"S", "size", 7, [](int n) { return n >= 0 && n <= 2; }};
    const ProfileEntry<long long> wide{"S", "wide", -1};
    const std::tuple<const char*, int, long long> cases[] = {{nullptr, 7, -1},
                                                             {"2", 2, 2},
                                                             {"3", 7, 3},
                                                             {"abc", 7, -1},
                                                             {"-99999999999", 7, -99999999999}};
    for (const auto& [stored, expectedSize, expectedWide] : cases) {
        SCOPED_TRACE(stored != nullptr ? stored : "missing");
        CMemoryProfile profile;
        if (stored != nullptr) {
            profile.WriteProfileString("S", "size", stored);
            profile.WriteProfileString("S", "wide", stored);
        }
        EXPECT_EQ(size.Get(profile), expectedSize);
        EXPECT_EQ(wide.Get(profile), expectedWide);
        CMemoryProfile written;
        EXPECT_TRUE(wide.Set(written, expectedWide));
        EXPECT_EQ(wide.Get(written), expectedWide);
    }
}

#include "TestFiles.h"
#include "framework/CAtomicFile.h"
#include "resources/StringTable.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

using namespace mapreg;

namespace fs = std::filesystem;

namespace {

class AtomicFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("mapreg-atomic-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        CAtomicFile::SetFailureHookForTesting(nullptr);
        fs::remove_all(dir);
    }
    fs::path dir;
};

} // namespace

TEST_F(AtomicFile, replaces_a_file_whole_and_a_failed_write_keeps_the_old_one) {
    const fs::path file = dir / "a.gpm";
    ASSERT_FALSE(CAtomicFile::Write(file.string(), "first, longer").IsError());
    ASSERT_FALSE(CAtomicFile::Write(file.string(), std::string("x\0y", 3)).IsError());
    EXPECT_EQ(ReadBytes(file), std::string("x\0y", 3));
    for (int injected : {ENOSPC, EACCES, EIO}) {
        CAtomicFile::SetFailureHookForTesting([&](const std::string&) { return injected; });
        EXPECT_EQ(CAtomicFile::Write(file.string(), "new contents, longer").Errno(), injected);
        EXPECT_EQ(ReadBytes(file), std::string("x\0y", 3));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1) << "no temporary file left";
}

TEST_F(AtomicFile, replacing_keeps_the_permissions_and_a_symbolic_link) {
    const fs::path target = dir / "real.txt";
    const fs::path link = dir / "link.txt";
    ASSERT_FALSE(CAtomicFile::Write(target.string(), "old").IsError());
    ::chmod(target.c_str(), 0640);
    fs::create_symlink(target, link);
    ASSERT_FALSE(CAtomicFile::Write(link.string(), "new").IsError());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadBytes(target), "new");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(AtomicFile, reports_why_it_could_not_write) {
    EXPECT_EQ(CAtomicFile::Write((dir / "missing" / "a.txt").string(), "x").ReasonId(true),
              IDS_REASON_NOT_FOUND);
    fs::create_directories(dir / "folder");
    EXPECT_EQ(CAtomicFile::Write((dir / "folder").string(), "x").ReasonId(true),
              IDS_REASON_IS_FOLDER);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
}

#include "CAtomicFile.h"
#include "StringTable.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

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
    std::size_t EntriesInDir() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
    }
    fs::path dir;
};

} // namespace

TEST_F(AtomicFile, creates_and_replaces_a_file) {
    const fs::path file = dir / "a.gpm";
    ASSERT_FALSE(CAtomicFile::Write(file.string(), "first").IsError());
    EXPECT_EQ(ReadAll(file), "first");
    ASSERT_FALSE(CAtomicFile::Write(file.string(), std::string("x\0y", 3)).IsError());
    EXPECT_EQ(ReadAll(file), std::string("x\0y", 3));
    EXPECT_EQ(EntriesInDir(), 1u) << "no temporary file may stay behind";
}

TEST_F(AtomicFile, failed_write_keeps_the_old_file_and_leaves_no_temporary) {
    const fs::path file = dir / "a.txt";
    ASSERT_FALSE(CAtomicFile::Write(file.string(), "old contents").IsError());
    for (int injected : {ENOSPC, EACCES, EIO}) {
        CAtomicFile::SetFailureHookForTesting([&](const std::string&) { return injected; });
        const CFileError error = CAtomicFile::Write(file.string(), "new contents, longer");
        EXPECT_EQ(error.Errno(), injected);
        EXPECT_EQ(ReadAll(file), "old contents");
        EXPECT_EQ(EntriesInDir(), 1u);
    }
}

TEST_F(AtomicFile, keeps_the_permissions_of_the_file_it_replaces) {
    const fs::path file = dir / "a.txt";
    ASSERT_FALSE(CAtomicFile::Write(file.string(), "1").IsError());
    ::chmod(file.c_str(), 0640);
    ASSERT_FALSE(CAtomicFile::Write(file.string(), "2").IsError());
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(AtomicFile, replaces_the_target_of_a_symbolic_link) {
    const fs::path target = dir / "real.txt";
    const fs::path link = dir / "link.txt";
    ASSERT_FALSE(CAtomicFile::Write(target.string(), "old").IsError());
    fs::create_symlink(target, link);
    ASSERT_FALSE(CAtomicFile::Write(link.string(), "new").IsError());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadAll(target), "new");
}

TEST_F(AtomicFile, reports_why_it_could_not_write) {
    EXPECT_EQ(CAtomicFile::Write((dir / "missing" / "a.txt").string(), "x").ReasonId(true),
              IDS_REASON_NOT_FOUND);
    fs::create_directories(dir / "folder");
    EXPECT_EQ(CAtomicFile::Write((dir / "folder").string(), "x").ReasonId(true),
              IDS_REASON_IS_FOLDER);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
}

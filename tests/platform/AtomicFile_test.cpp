#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

namespace lazrine::platform {
namespace {

using lazrine::testing::ReadFileBytes;
using lazrine::testing::TempDir;
using lazrine::testing::WriteFileBytes;

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(AtomicFile, ReplaceKeepsTheFirstOriginalAsBackupAndLeavesNoTail) {
    TempDir dir;
    const auto path = dir.File("memopad.dat");
    WriteFileBytes(path, Bytes("original content that is long"));
    std::string error;
    ASSERT_TRUE(AtomicFile::Replace(path, Bytes("short"), error)) << error;
    EXPECT_EQ(ReadFileBytes(path), Bytes("short"));
    EXPECT_EQ(ReadFileBytes(AtomicFile::BackupPathOf(path)), Bytes("original content that is long"));

    ASSERT_TRUE(AtomicFile::Replace(path, Bytes("third"), error)) << error;
    EXPECT_EQ(ReadFileBytes(AtomicFile::BackupPathOf(path)), Bytes("original content that is long"));
    EXPECT_FALSE(std::filesystem::exists(path + AtomicFile::kTempSuffix));
    EXPECT_FALSE(std::filesystem::exists(AtomicFile::BackupPathOf(path) + AtomicFile::kTempSuffix));
}

TEST(AtomicFile, ReplaceNeedsAnExistingFile) {
    TempDir dir;
    std::string error;
    EXPECT_FALSE(AtomicFile::Replace(dir.File("missing.dat"), Bytes("x"), error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing.dat")));
    EXPECT_FALSE(AtomicFile::Replace("", Bytes("x"), error));
}

TEST(AtomicFile, ALockedFileIsNeitherReadNorReplaced) {
    TempDir dir;
    const auto path = dir.File("locked.dat");
    WriteFileBytes(path, Bytes("data"));
    const int fd = ::open(path.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    std::vector<std::uint8_t> out;
    std::string error;
    EXPECT_FALSE(AtomicFile::ReadWhole(path, out, error));
    EXPECT_NE(error.find("locked"), std::string::npos) << error;
    EXPECT_FALSE(AtomicFile::Replace(path, Bytes("new"), error));
    ::close(fd);
    EXPECT_EQ(ReadFileBytes(path), Bytes("data"));
    EXPECT_FALSE(std::filesystem::exists(AtomicFile::BackupPathOf(path)));
    // Our own lock is released after every call.
    EXPECT_TRUE(AtomicFile::ReadWhole(path, out, error)) << error;
    EXPECT_TRUE(AtomicFile::ReadWhole(path, out, error)) << error;
}

TEST(AtomicFile, AStaleTemporaryFileFromACrashIsReplaced) {
    TempDir dir;
    const auto path = dir.File("memopad.dat");
    WriteFileBytes(path, Bytes("old"));
    WriteFileBytes(path + AtomicFile::kTempSuffix, Bytes("half written garbage"));
    std::string error;
    ASSERT_TRUE(AtomicFile::Replace(path, Bytes("new"), error)) << error;
    EXPECT_EQ(ReadFileBytes(path), Bytes("new"));
    EXPECT_FALSE(std::filesystem::exists(path + AtomicFile::kTempSuffix));
}

TEST(AtomicFile, AFolderIsNotAFile) {
    TempDir dir;
    std::vector<std::uint8_t> out;
    std::string error;
    EXPECT_FALSE(AtomicFile::ReadWhole(dir.Path().string(), out, error));
}

}  // namespace
}  // namespace lazrine::platform

// The Windows file services: locks taken with LockFileEx by other programs
// (Palm Desktop, Jet's lock files) keep us away, ours keep them away, and a
// replacement gets past the rule that an open file cannot be renamed over.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/FileIo.h"
#include "support/ForeignLock.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

namespace lazrine::platform {
namespace {

using lazrine::testing::ForeignLock;
using lazrine::testing::ReadFileBytes;
using lazrine::testing::TempDir;
using lazrine::testing::WriteFileBytes;
using Bytes = std::vector<std::uint8_t>;

Bytes BytesOf(const std::string& s) { return {s.begin(), s.end()}; }

TEST(WindowsFileIo, AnyLockOfAnotherProgramMeansInUse) {
    const struct {
        const char* name;
        ForeignLock::Kind kind;
        std::int64_t start;
        std::int64_t length;
    } cases[] = {
        {"exclusive lock on every byte", ForeignLock::Kind::kRecordWrite, 0, 0},
        {"exclusive lock on one byte", ForeignLock::Kind::kRecordWrite, 5, 1},
        {"shared lock far beyond the end", ForeignLock::Kind::kRecordRead, 0x10000000, 256},
        {"opened without sharing", ForeignLock::Kind::kWholeFile, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.File("memopad.dat");
        WriteFileBytes(path, BytesOf("0123456789"));
        FileIo& io = SystemFileIo();
        {
            const ForeignLock lock(path, c.kind, c.start, c.length);
            ASSERT_TRUE(lock.Held());
            FileIo::Handle h = FileIo::kInvalid;
            IoError error;
            EXPECT_FALSE(io.OpenLocked(path, h, &error));
            EXPECT_EQ(error.nCode, IoFailure::kInUse) << error.szText;
            EXPECT_FALSE(io.OpenLockedReadWrite(path, h, &error));
            EXPECT_FALSE(AtomicFile::Replace(path, BytesOf("changed"), error));
        }
        EXPECT_EQ(ReadFileBytes(path), BytesOf("0123456789"));
        FileIo::Handle h = FileIo::kInvalid;
        IoError error;
        ASSERT_TRUE(io.OpenLocked(path, h, &error)) << error.szText;
        EXPECT_TRUE(io.Close(h, &error)) << error.szText;
    }
}

TEST(WindowsFileIo, OurLockKeepsOthersAwayUntilClosed) {
    TempDir dir;
    const std::string path = dir.File("todo.dat");
    WriteFileBytes(path, BytesOf("abc"));
    FileIo& io = SystemFileIo();
    FileIo::Handle h = FileIo::kInvalid;
    IoError error;
    ASSERT_TRUE(io.OpenLocked(path, h, &error)) << error.szText;
    EXPECT_FALSE(ForeignLock(path, ForeignLock::Kind::kRecordWrite, 0, 1).Held());
    FileIo::Handle second = FileIo::kInvalid;
    EXPECT_FALSE(io.OpenLocked(path, second, &error));
    ASSERT_TRUE(io.Close(h, &error)) << error.szText;
    EXPECT_TRUE(ForeignLock(path, ForeignLock::Kind::kRecordWrite, 0, 1).Held());
}

// Jet keeps "X.ldb" beside an open "X.mdb" and locks bytes in it; a lock
// file that a crash left behind holds no locks and does not count.
TEST(WindowsFileIo, AHeldDatabaseLockFileMeansInUse) {
    TempDir dir;
    const std::string path = dir.File("MemoPad.mdb");
    WriteFileBytes(path, BytesOf("database"));
    const std::string lockFile = dir.File("memopad.LDB");
    WriteFileBytes(lockFile, Bytes(64, 0));
    FileIo& io = SystemFileIo();
    FileIo::Handle h = FileIo::kInvalid;
    IoError error;
    ASSERT_TRUE(io.OpenLocked(path, h, &error)) << error.szText;
    ASSERT_TRUE(io.Close(h, &error));
    {
        const ForeignLock lock(lockFile, ForeignLock::Kind::kRecordWrite, 0x10000000, 1);
        ASSERT_TRUE(lock.Held());
        EXPECT_FALSE(io.OpenLocked(path, h, &error));
        EXPECT_EQ(error.nCode, IoFailure::kInUse) << error.szText;
    }
}

// A replacement renames over the original, which Windows refuses while the
// original is open; the save gives up its lock just before and succeeds.
TEST(WindowsFileIo, AReplacementSucceedsAndKeepsTheBackup) {
    TempDir dir;
    const std::string path = dir.File("address.dat");
    WriteFileBytes(path, BytesOf("first"));
    Bytes loaded;
    FileFingerprint fingerprint;
    IoError error;
    ASSERT_TRUE(AtomicFile::ReadWhole(path, loaded, fingerprint, error)) << error.szText;
    EXPECT_EQ(AtomicFile::ReplaceLoaded(path, BytesOf("second"), fingerprint, error), AtomicFile::Outcome::kReplaced)
        << error.szText;
    EXPECT_EQ(AtomicFile::ReplaceLoaded(path, BytesOf("third"), fingerprint, error), AtomicFile::Outcome::kReplaced)
        << error.szText;
    EXPECT_EQ(ReadFileBytes(path), BytesOf("third"));
    EXPECT_EQ(ReadFileBytes(AtomicFile::BackupPathOf(path)), BytesOf("first"));
    EXPECT_FALSE(std::filesystem::exists(path + AtomicFile::kTempSuffix));
}

TEST(WindowsFileIo, FactsOfFilesFoldersAndMissingNames) {
    TempDir dir;
    const std::string path = dir.File("memopad.dat");
    WriteFileBytes(path, BytesOf("12345"));
    FileIo& io = SystemFileIo();
    FileIo::Facts facts;
    IoError error;
    ASSERT_TRUE(io.Inspect(path, facts, &error)) << error.szText;
    EXPECT_EQ(facts.nKind, FileIo::Facts::Kind::kRegular);
    EXPECT_EQ(facts.nSize, 5u);
    EXPECT_EQ(facts.nLinks, 1u);
    EXPECT_TRUE(facts.bWritable);
    ASSERT_TRUE(io.Inspect(dir.Path().string(), facts, &error)) << error.szText;
    EXPECT_EQ(facts.nKind, FileIo::Facts::Kind::kDirectory);
    ASSERT_TRUE(io.Inspect(dir.File("missing.dat"), facts, &error)) << error.szText;
    EXPECT_EQ(facts.nKind, FileIo::Facts::Kind::kMissing);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
    ASSERT_TRUE(io.Inspect(path, facts, &error)) << error.szText;
    EXPECT_FALSE(facts.bWritable);
    EXPECT_FALSE(AtomicFile::Replace(path, BytesOf("x"), error));
    EXPECT_NE(error.szText.find("read-only"), std::string::npos) << error.szText;
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
}

}  // namespace
}  // namespace lazrine::platform

// Locks held by other programs, as the system's file seam sees them: whole
// file locks, record locks on any byte range (Windows programs under Wine
// lock byte ranges, Jet far beyond the end of the file) and a database's
// lock file. Every reader and writer refuses such a file and says that it is
// in use, leaving it untouched.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/FileIo.h"
#include "platform/InPlaceFileWriter.h"
#include "support/BlockingFifo.h"
#include "support/ForeignLock.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

namespace lazrine::platform {
namespace {

using lazrine::testing::BlockingFifo;
using lazrine::testing::ForeignLock;
using lazrine::testing::ReadFileBytes;
using lazrine::testing::TempDir;
using lazrine::testing::WriteFileBytes;
using Kind = ForeignLock::Kind;

const std::vector<std::uint8_t> kData = {'J', 'e', 't', ' ', 'd', 'a', 't', 'a'};

struct LockCase {
    const char* name;
    const char* lockedFile;  // the database itself or a lock file beside it
    Kind kind;
    std::int64_t start;
    std::int64_t length;
};

const LockCase kLockCases[] = {
    {"whole-file lock", "MemoPad.mdb", Kind::kWholeFile, 0, 0},
    {"record lock on every byte", "MemoPad.mdb", Kind::kRecordWrite, 0, 0},
    {"record lock far beyond the end", "MemoPad.mdb", Kind::kRecordWrite, 0x10000000, 1},
    {"shared record lock on one byte", "MemoPad.mdb", Kind::kRecordRead, 3, 1},
    {"record lock on the lock file", "MemoPad.ldb", Kind::kRecordWrite, 0x10000001, 1},
    {"record lock on an upper-case lock file", "MEMOPAD.LDB", Kind::kRecordWrite, 0, 1},
    {"whole-file lock on the lock file", "memopad.ldb", Kind::kWholeFile, 0, 0},
};

TEST(PosixFileIo, AFileInUseByAnotherProgramIsNeitherReadNorWritten) {
    for (const LockCase& c : kLockCases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.File("MemoPad.mdb");
        WriteFileBytes(path, kData);
        const std::string lockFile = dir.File(c.lockedFile);
        if (lockFile != path) {
            WriteFileBytes(lockFile, {0});
        }
        IoError error;
        const auto expectInUse = [&] {
            EXPECT_EQ(error.szText, FileIo::InUseText(path));
            EXPECT_EQ(error.nCode, IoFailure::kInUse);
        };
        {
            ForeignLock lock(lockFile, c.kind, c.start, c.length);
            ASSERT_TRUE(lock.Held());
            std::vector<std::uint8_t> out;
            EXPECT_FALSE(AtomicFile::ReadWhole(path, out, error));
            expectInUse();
            EXPECT_FALSE(AtomicFile::Replace(path, std::vector<std::uint8_t>{'x'}, error));
            expectInUse();
            InPlaceFileWriter writer;
            EXPECT_FALSE(writer.Open(path, error));
            expectInUse();
            EXPECT_EQ(ReadFileBytes(path), kData);
            EXPECT_FALSE(std::filesystem::exists(AtomicFile::BackupPathOf(path)));
        }
        // Once the other program lets go, the file is ours again; a lock
        // file left behind without locks does not keep it in use.
        std::vector<std::uint8_t> out;
        EXPECT_TRUE(AtomicFile::ReadWhole(path, out, error)) << error.szText;
        EXPECT_TRUE(AtomicFile::Replace(path, std::vector<std::uint8_t>{'x'}, error)) << error.szText;
    }
}

// Our own record lock is seen by the other program: while we hold the file,
// its attempt to lock any byte fails.
TEST(PosixFileIo, OurLockIsSeenByRecordLockingPrograms) {
    TempDir dir;
    const std::string path = dir.File("memopad.dat");
    WriteFileBytes(path, kData);
    FileIo& io = SystemFileIo();
    FileIo::Handle h = FileIo::kInvalid;
    IoError error;
    ASSERT_TRUE(io.OpenLockedReadWrite(path, h, &error)) << error.szText;
    EXPECT_FALSE(ForeignLock(path, Kind::kRecordWrite, 0x10000000, 1).Held());
    EXPECT_FALSE(ForeignLock(path, Kind::kRecordRead, 0, 1).Held());
    ASSERT_TRUE(io.Close(h, &error));
    EXPECT_TRUE(ForeignLock(path, Kind::kRecordWrite, 0, 0).Held());
}

// A name that is no regular file (a FIFO, a device, a folder, a link to a
// FIFO) is refused at once by every reader and writer, and never opened in a
// way that waits: a FIFO would wait for a writer forever.
TEST(PosixFileIo, ANameThatIsNoRegularFileIsRefusedWithoutWaiting) {
    TempDir dir;
    BlockingFifo fifo(dir.File("memopad.dat"));
    ASSERT_TRUE(fifo.Made());
    std::filesystem::create_directory(dir.File("folder.dat"));
    std::filesystem::create_symlink(fifo.Path(), dir.File("link.dat"));
    const struct {
        const char* name;
        std::string path;
    } cases[] = {
        {"FIFO", fifo.Path()},
        {"link to a FIFO", dir.File("link.dat")},
        {"folder", dir.File("folder.dat")},
        {"character device", "/dev/null"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IoError error;
        const auto expectRefused = [&] {
            EXPECT_EQ(error.szText, "not a regular file '" + c.path + "'");
            EXPECT_EQ(error.nCode, IoFailure::kNotRegular);
        };
        std::vector<std::uint8_t> out;
        EXPECT_FALSE(AtomicFile::ReadWhole(c.path, out, error));
        expectRefused();
        InPlaceFileWriter writer;
        EXPECT_FALSE(writer.Open(c.path, error));
        expectRefused();
        FileIo::Handle h = FileIo::kInvalid;
        EXPECT_FALSE(SystemFileIo().OpenLockedReadWrite(c.path, h, &error));
        expectRefused();
        EXPECT_EQ(h, FileIo::kInvalid);
    }
    EXPECT_FALSE(fifo.ReaderOpened());
}

}  // namespace
}  // namespace lazrine::platform

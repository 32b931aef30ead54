#include "platform/AtomicFile.h"

#include <filesystem>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/FileIo.h"
#include "support/FaultInjectingFileIo.h"
#include "support/ForeignLock.h"
#include "support/PalmFileBuilder.h"
#include "support/ScopedFileIo.h"
#include "support/TempDir.h"

namespace lazrine::platform {
namespace {

using lazrine::testing::ReadFileBytes;
using lazrine::testing::TempDir;
using lazrine::testing::WriteFileBytes;
namespace fs = std::filesystem;

std::vector<std::uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

TEST(AtomicFile, ReplaceKeepsTheFirstOriginalAsBackupAndLeavesNoTail) {
    TempDir dir;
    const auto path = dir.File("memopad.dat");
    WriteFileBytes(path, Bytes("original content that is long"));
    IoError error;
    ASSERT_TRUE(AtomicFile::Replace(path, Bytes("short"), error)) << error.szText;
    EXPECT_EQ(ReadFileBytes(path), Bytes("short"));
    EXPECT_EQ(ReadFileBytes(AtomicFile::BackupPathOf(path)), Bytes("original content that is long"));

    ASSERT_TRUE(AtomicFile::Replace(path, Bytes("third"), error)) << error.szText;
    EXPECT_EQ(ReadFileBytes(AtomicFile::BackupPathOf(path)), Bytes("original content that is long"));
    EXPECT_FALSE(std::filesystem::exists(path + AtomicFile::kTempSuffix));
    EXPECT_FALSE(std::filesystem::exists(AtomicFile::BackupPathOf(path) + AtomicFile::kTempSuffix));
}

TEST(AtomicFile, ReplaceNeedsAnExistingFile) {
    TempDir dir;
    IoError error;
    EXPECT_FALSE(AtomicFile::Replace(dir.File("missing.dat"), Bytes("x"), error));
    EXPECT_EQ(error.nCode, IoFailure::kMissing) << error.szText;
    EXPECT_FALSE(std::filesystem::exists(dir.File("missing.dat")));
    EXPECT_FALSE(AtomicFile::Replace("", Bytes("x"), error));
}

TEST(AtomicFile, ALockedFileIsNeitherReadNorReplaced) {
    TempDir dir;
    const auto path = dir.File("locked.dat");
    WriteFileBytes(path, Bytes("data"));
    std::vector<std::uint8_t> out;
    IoError error;
    {
        const lazrine::testing::ForeignLock lock(path, lazrine::testing::ForeignLock::Kind::kWholeFile);
        ASSERT_TRUE(lock.Held());
        EXPECT_FALSE(AtomicFile::ReadWhole(path, out, error));
        EXPECT_EQ(error.nCode, IoFailure::kInUse) << error.szText;
        EXPECT_FALSE(AtomicFile::Replace(path, Bytes("new"), error));
    }
    EXPECT_EQ(ReadFileBytes(path), Bytes("data"));
    EXPECT_FALSE(std::filesystem::exists(AtomicFile::BackupPathOf(path)));
    // Our own lock is released after every call.
    EXPECT_TRUE(AtomicFile::ReadWhole(path, out, error)) << error.szText;
    EXPECT_TRUE(AtomicFile::ReadWhole(path, out, error)) << error.szText;
}

TEST(AtomicFile, AStaleTemporaryFileFromACrashIsReplaced) {
    TempDir dir;
    const auto path = dir.File("memopad.dat");
    WriteFileBytes(path, Bytes("old"));
    WriteFileBytes(path + AtomicFile::kTempSuffix, Bytes("half written garbage"));
    IoError error;
    ASSERT_TRUE(AtomicFile::Replace(path, Bytes("new"), error)) << error.szText;
    EXPECT_EQ(ReadFileBytes(path), Bytes("new"));
    EXPECT_FALSE(std::filesystem::exists(path + AtomicFile::kTempSuffix));
}

TEST(AtomicFile, AFolderIsNotAFile) {
    TempDir dir;
    std::vector<std::uint8_t> out;
    IoError error;
    EXPECT_FALSE(AtomicFile::ReadWhole(dir.Path().string(), out, error));
    EXPECT_EQ(error.nCode, IoFailure::kNotRegular);
    EXPECT_FALSE(AtomicFile::ReadWhole(dir.File("missing.dat"), out, error));
    EXPECT_EQ(error.nCode, IoFailure::kMissing);
}

// Another program changes the file between our load and our save: the save
// is refused and the file keeps the other program's content, whether the
// change shows in the size, only in the time, or only in the bytes.
TEST(AtomicFile, AFileChangedSinceItWasLoadedIsNotReplaced) {
    const struct {
        const char* name;
        std::function<void(const std::string&)> change;
    } cases[] = {
        {"another size", [](const std::string& p) { WriteFileBytes(p, Bytes("changed by HotSync, longer")); }},
        {"same size and time, other bytes",
         [](const std::string& p) {
             const auto before = fs::last_write_time(p);
             WriteFileBytes(p, Bytes("loaded content X"));
             fs::last_write_time(p, before);
         }},
        {"same bytes, touched",
         [](const std::string& p) { fs::last_write_time(p, fs::last_write_time(p) - std::chrono::hours(24 * 400)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const auto path = dir.File("memopad.dat");
        WriteFileBytes(path, Bytes("loaded content 1"));
        std::vector<std::uint8_t> loaded;
        FileFingerprint fingerprint;
        IoError error;
        ASSERT_TRUE(AtomicFile::ReadWhole(path, loaded, fingerprint, error)) << error.szText;
        c.change(path);
        const auto theirs = ReadFileBytes(path);
        EXPECT_EQ(AtomicFile::ReplaceLoaded(path, Bytes("ours"), fingerprint, error), AtomicFile::Outcome::kUnchanged);
        EXPECT_EQ(error.szText, path + " was changed by another program since it was loaded; reload it");
        EXPECT_EQ(error.nCode, IoFailure::kChangedSinceLoaded);
        EXPECT_EQ(ReadFileBytes(path), theirs);
        EXPECT_FALSE(fs::exists(AtomicFile::BackupPathOf(path)));
    }
}

// A session saves, then saves again: the second save is checked against
// what the first one wrote, not against what was loaded.
TEST(AtomicFile, EachSaveIsCheckedAgainstWhatTheLastOneWrote) {
    TempDir dir;
    const auto path = dir.File("memopad.dat");
    WriteFileBytes(path, Bytes("first"));
    std::vector<std::uint8_t> loaded;
    FileFingerprint fingerprint;
    IoError error;
    ASSERT_TRUE(AtomicFile::ReadWhole(path, loaded, fingerprint, error)) << error.szText;
    ASSERT_EQ(AtomicFile::ReplaceLoaded(path, Bytes("second"), fingerprint, error), AtomicFile::Outcome::kReplaced)
        << error.szText;
    ASSERT_EQ(AtomicFile::ReplaceLoaded(path, Bytes("third"), fingerprint, error), AtomicFile::Outcome::kReplaced)
        << error.szText;
    WriteFileBytes(path, Bytes("theirs"));
    EXPECT_EQ(AtomicFile::ReplaceLoaded(path, Bytes("fourth"), fingerprint, error), AtomicFile::Outcome::kUnchanged);
    EXPECT_EQ(ReadFileBytes(path), Bytes("theirs"));
    EXPECT_EQ(ReadFileBytes(AtomicFile::BackupPathOf(path)), Bytes("first"));
}

#ifndef _WIN32
// A data file reached through a symbolic link in another folder: the
// target is replaced in its own folder and the link stays a link.
TEST(AtomicFile, ALinkIsFollowedAndTheTargetReplacedInItsFolder) {
    TempDir dir;
    fs::create_directories(dir.Path() / "real");
    fs::create_directories(dir.Path() / "view");
    const auto target = dir.File("real/memopad.dat");
    const auto link = dir.File("view/memopad.dat");
    WriteFileBytes(target, Bytes("original"));
    fs::create_symlink("../real/memopad.dat", link);
    std::vector<std::uint8_t> loaded;
    FileFingerprint fingerprint;
    IoError error;
    ASSERT_TRUE(AtomicFile::ReadWhole(link, loaded, fingerprint, error)) << error.szText;
    ASSERT_EQ(AtomicFile::ReplaceLoaded(link, Bytes("undeleted"), fingerprint, error), AtomicFile::Outcome::kReplaced)
        << error.szText;
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(target), Bytes("undeleted"));
    EXPECT_EQ(ReadFileBytes(AtomicFile::BackupPathOf(target)), Bytes("original"));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path() / "view"), fs::directory_iterator()), 1);
}

#endif  // symbolic links, POSIX modes and owners, pipes

// Files a rename would damage or that we may not change are refused and
// stay as they are: a second name (hard link) would keep the old content,
// a read-only file is refused as Windows refuses it.
TEST(AtomicFile, HardLinkedAndReadOnlyFilesAreRefused) {
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;
        const char* says;
    } cases[] = {
        {"hard link", [](const std::string& p) { fs::create_hard_link(p, p + ".other"); }, "hard links"},
        {"read-only", [](const std::string& p) { fs::permissions(p, fs::perms(0444)); }, "read-only"},
        {"no write bit for anyone", [](const std::string& p) { fs::permissions(p, fs::perms(0404)); }, "read-only"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const auto path = dir.File("memopad.dat");
        WriteFileBytes(path, Bytes("original"));
        c.make(path);
        IoError error;
        EXPECT_FALSE(AtomicFile::Replace(path, Bytes("new"), error));
        EXPECT_NE(error.szText.find(c.says), std::string::npos) << error.szText;
        EXPECT_EQ(ReadFileBytes(path), Bytes("original"));
        EXPECT_FALSE(fs::exists(AtomicFile::BackupPathOf(path)));
        EXPECT_FALSE(fs::exists(path + AtomicFile::kTempSuffix));
    }
}

#ifndef _WIN32
struct stat StatOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

// The replacing file and the backup keep the original's mode whatever the
// process's mask, and its owner and group.
TEST(AtomicFile, TheReplacementKeepsModeOwnerAndGroup) {
    for (const mode_t mode : {mode_t{0660}, mode_t{0600}, mode_t{0664}, mode_t{0640}}) {
        SCOPED_TRACE(mode);
        TempDir dir;
        const auto path = dir.File("memopad.dat");
        WriteFileBytes(path, Bytes("original"));
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        const bool root = ::geteuid() == 0;
        if (root) {
            ASSERT_EQ(::chown(path.c_str(), 4321, 8765), 0);
        }
        const struct stat before = StatOf(path);
        const mode_t mask = ::umask(027);
        IoError error;
        const bool ok = AtomicFile::Replace(path, Bytes("new"), error);
        ::umask(mask);
        ASSERT_TRUE(ok) << error.szText;
        for (const auto& file : {path, AtomicFile::BackupPathOf(path)}) {
            const struct stat after = StatOf(file);
            EXPECT_EQ(after.st_mode & 07777, mode) << file;
            EXPECT_EQ(after.st_uid, before.st_uid) << file;
            EXPECT_EQ(after.st_gid, before.st_gid) << file;
        }
    }
}

// Only a regular file counts as the backup; anything else at its name is
// refused before the original is touched.
TEST(AtomicFile, SomethingElseAtTheBackupNameIsRefused) {
    const struct {
        const char* name;
        std::function<void(const std::string&)> make;
    } cases[] = {
        {"folder", [](const std::string& b) { fs::create_directory(b); }},
        {"link to a file",
         [](const std::string& b) {
             WriteFileBytes(b + ".elsewhere", Bytes("not the original"));
             fs::create_symlink(b + ".elsewhere", b);
         }},
        {"dangling link", [](const std::string& b) { fs::create_symlink(b + ".nowhere", b); }},
        {"pipe", [](const std::string& b) { ASSERT_EQ(::mkfifo(b.c_str(), 0600), 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const auto path = dir.File("memopad.dat");
        WriteFileBytes(path, Bytes("original"));
        c.make(AtomicFile::BackupPathOf(path));
        IoError error;
        EXPECT_FALSE(AtomicFile::Replace(path, Bytes("new"), error));
        EXPECT_NE(error.szText.find("cannot serve as the backup"), std::string::npos) << error.szText;
        EXPECT_EQ(ReadFileBytes(path), Bytes("original"));
        EXPECT_FALSE(fs::exists(path + AtomicFile::kTempSuffix));
        EXPECT_FALSE(fs::exists(dir.File("memopad.dat.lazrine.bak.nowhere")));
    }
}

// What an interrupted save left at the temporary name never blocks a later
// save, and a link there is removed itself: its target is never written.
TEST(AtomicFile, LeftoversOfAnInterruptedSaveAreRemovedWithoutFollowingThem) {
    const struct {
        const char* name;
        std::function<void(const std::string& temp, const std::string& victim)> make;
    } cases[] = {
        {"half-written file", [](const std::string& t, const std::string&) { WriteFileBytes(t, Bytes("half")); }},
        {"dangling link", [](const std::string& t, const std::string& v) { fs::create_symlink(v, t); }},
        {"link to another file",
         [](const std::string& t, const std::string& v) {
             WriteFileBytes(v, Bytes("someone else's"));
             fs::create_symlink(v, t);
         }},
    };
    for (const auto& c : cases) {
        for (const bool backupToo : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (backupToo ? " (backup's)" : " (data file's)"));
            TempDir dir;
            const auto path = dir.File("memopad.dat");
            const auto victim = dir.File("victim");
            WriteFileBytes(path, Bytes("original"));
            c.make((backupToo ? AtomicFile::BackupPathOf(path) : path) + AtomicFile::kTempSuffix, victim);
            const bool victimExisted = fs::exists(victim);
            IoError error;
            ASSERT_TRUE(AtomicFile::Replace(path, Bytes("new"), error)) << error.szText;
            EXPECT_EQ(ReadFileBytes(path), Bytes("new"));
            EXPECT_EQ(ReadFileBytes(AtomicFile::BackupPathOf(path)), Bytes("original"));
            EXPECT_EQ(fs::exists(victim), victimExisted);
            if (victimExisted) {
                EXPECT_EQ(ReadFileBytes(victim), Bytes("someone else's"));
            }
            EXPECT_FALSE(fs::exists(fs::symlink_status(path + AtomicFile::kTempSuffix)));
        }
    }
    TempDir dir;
    const auto path = dir.File("memopad.dat");
    WriteFileBytes(path, Bytes("original"));
    fs::create_directory(path + AtomicFile::kTempSuffix);
    IoError error;
    EXPECT_FALSE(AtomicFile::Replace(path, Bytes("new"), error));
    EXPECT_NE(error.szText.find("in the way"), std::string::npos) << error.szText;
    EXPECT_EQ(ReadFileBytes(path), Bytes("original"));
}

#endif  // symbolic links, POSIX modes and owners, pipes

// The new file is renamed into place but its folder cannot be flushed: the
// result says the file was replaced (not that it is unchanged), and the
// fingerprint follows the new content so a retry is not taken for a change
// made by another program.
TEST(AtomicFile, AFailedFolderFlushAfterTheRenameIsReportedAsReplaced) {
    TempDir dir;
    lazrine::testing::FaultInjectingFileIo io;
    IoError error;
    // A clean save of a twin file shows at which step the data file's
    // folder is flushed: the last one.
    std::size_t flushAt = 0;
    {
        const auto twin = dir.File("twin.dat");
        WriteFileBytes(twin, Bytes("original"));
        std::vector<std::uint8_t> loaded;
        FileFingerprint fingerprint;
        ASSERT_TRUE(AtomicFile::ReadWhole(twin, loaded, fingerprint, error)) << error.szText;
        lazrine::testing::ScopedFileIo scope(io);
        io.Arm(0);
        ASSERT_EQ(AtomicFile::ReplaceLoaded(twin, Bytes("undeleted"), fingerprint, error),
                  AtomicFile::Outcome::kReplaced)
            << error.szText;
        for (std::size_t i = 0; i < io.Log().size(); ++i) {
            if (io.Log()[i] == "FlushFolderOf " + twin) {
                flushAt = i + 1;
            }
        }
        ASSERT_NE(flushAt, 0u);
    }
    const auto path = dir.File("memopad.dat");
    WriteFileBytes(path, Bytes("original"));
    std::vector<std::uint8_t> loaded;
    FileFingerprint fingerprint;
    ASSERT_TRUE(AtomicFile::ReadWhole(path, loaded, fingerprint, error)) << error.szText;
    lazrine::testing::ScopedFileIo scope(io);
    io.Arm(flushAt);
    EXPECT_EQ(AtomicFile::ReplaceLoaded(path, Bytes("undeleted"), fingerprint, error),
              AtomicFile::Outcome::kReplacedNotDurable);
    EXPECT_TRUE(io.Injected());
    EXPECT_EQ(error.szText.rfind(path + " was replaced, but the change may not be durable", 0), 0u) << error.szText;
    EXPECT_EQ(error.nCode, IoFailure::kReplacedNotDurable);
    EXPECT_EQ(ReadFileBytes(path), Bytes("undeleted"));
    io.Arm(0);
    EXPECT_EQ(AtomicFile::ReplaceLoaded(path, Bytes("again"), fingerprint, error), AtomicFile::Outcome::kReplaced)
        << error.szText;
}

}  // namespace
}  // namespace lazrine::platform

// Walks one injected failure over every file step of a save (each write,
// flush, rename, create, close and read), for every file generation, and
// checks what a user relies on: the original stays byte-identical until the
// new file is renamed over it, the backup is either absent or the exact
// original, no temporary file is left, and the failure is reported. A save
// retried after the failure then succeeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "common/palm/PmAddrExUtil.h"
#include "common/palm/PmAddrUtil.h"
#include "common/palm/PmDateExUtil.h"
#include "common/palm/PmDateUtil.h"
#include "common/palm/PmMemoExUtil.h"
#include "common/palm/PmMemoUtil.h"
#include "common/palm/PmTodoExUtil.h"
#include "common/palm/PmTodoUtil.h"
#include "common/palm/database/PmJetEngine.h"
#include "platform/ProfileFile.h"
#include "support/FaultInjectingFileIo.h"
#include "support/PalmFileBuilder.h"
#include "support/ScopedFileIo.h"
#include "support/TempDir.h"
#include "support/SystemSupport.h"

namespace lazrine::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Fault = FaultInjectingFileIo::Fault;

constexpr const char* kFileName = "memopad.dat";

MemoFileLayout SampleMemoFile() {
    MemoFileLayout spec;
    spec.categories = {{1, 1, 0, "Business", "Business"}, {4, 9, 1, "Work/Home", ""}};
    MemoRecordLayout live;
    live.id = 1;
    live.text = "Call the plumber";
    MemoRecordLayout deleted;
    deleted.id = 2;
    deleted.status = 0x04;
    deleted.category = 9;
    deleted.text = std::string(300, 'x') + "\r\n\"quoted\" \xE9\xFF";
    deleted.blobs[1] = {65, 2, 7, 8, {1, 2, 3}};
    deleted.blobs[3] = {67, 6, 0, 0, {9, 8, 7, 6, 5, 4}};
    MemoRecordLayout archived;
    archived.id = 3;
    archived.status = 0x84;
    archived.text = "Old locker combination";
    spec.memos = {live, deleted, archived};
    return spec;
}

std::set<std::string> FilesIn(const TempDir& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// One file generation: how its sample file is built and how a store of it
// loads, undeletes every record and saves.
struct Generation {
    std::function<Bytes()> build;
    std::function<bool(const std::string& path)> load;
    std::function<Bytes()> undeleteAllAndPreview;  // the bytes a save will write
    std::function<bool()> save;
    std::function<std::string()> lastError;
    std::function<platform::IoFailure()> lastFailure;
};

// A to-do file with a repeating, deleted task whose exception dates must
// survive, and a long description.
TodoFileLayout SampleTodoFile() {
    TodoFileLayout spec;
    spec.categories = {{1, 1, 0, "Business", "Business"}};
    TodoRecordLayout live;
    live.id = 1;
    live.description = "Call the plumber";
    TodoRecordLayout deleted;
    deleted.id = 2;
    deleted.status = 0x04;
    deleted.description = std::string(300, 'x') + "\r\n\xE9";
    deleted.note = "note";
    deleted.repeat = MakeRepeat(2, {1237075200, 1237680000});
    spec.todos = {live, deleted};
    return spec;
}

// A contact file with a deleted contact whose texts are longer than any
// display, custom labels and a category.
ContactFileLayout SampleContactFile() {
    ContactFileLayout spec;
    spec.categories = {{1, 3, 0, "Clients", "Clients"}};
    spec.customLabels[0] = "Birthday";
    spec.customLabelValues[0] = 7;
    spec.headerText = "Palm Address\r\nline 2\nline 3\nline 4\nline 5\n";
    ContactRecordLayout deleted;
    deleted.id = 5;
    deleted.status = 0x04;
    deleted.category = 3;
    deleted.firstName = "Ren\xe9" "e";
    deleted.lastName = "D'Angelo";
    deleted.company = std::string(300, 'c');
    deleted.note = std::string(3000, 'n') + "\r\n";
    deleted.phones = {"555-0100", "renee@example.com", "", "", "", "", ""};
    deleted.phoneLabels = {0, 4, 1, 2, 3, 5, 7};
    ContactRecordLayout live;
    live.id = 6;
    live.firstName = "Ann";
    spec.contacts = {live, deleted};
    return spec;
}

template <class Store, class Spec = MemoFileLayout>
Generation GenerationOf(Store& store, Bytes (*builder)(const Spec&), Spec (*sample)() = &SampleMemoFile) {
    Generation g;
    g.build = [builder, sample] { return builder(sample()); };
    g.load = [&store](const std::string& path) { return store.Load(path); };
    g.undeleteAllAndPreview = [&store] {
        for (std::size_t i = 0; i < store.Count(); ++i) {
            store.SetStatusAt(i, palm::PmUndeletedStatus(store.StatusAt(i)));
        }
        Bytes preview;
        EXPECT_TRUE(store.WriteToMemory(preview)) << store.LastError();
        return preview;
    };
    g.save = [&store] { return store.Save(); };
    g.lastError = [&store] { return store.LastError(); };
    g.lastFailure = [&store] { return store.LastFailure(); };
    return g;
}

// Sets up a folder with the original (and an earlier backup when given) and
// loads it without any injected fault.
struct Scene {
    TempDir dir;
    std::string path = dir.File(kFileName);
    std::string backup = path + ".lazrine.bak";
    Bytes expected;

    Scene(Generation& g, const Bytes& original, const Bytes* earlierBackup) {
        WriteFileBytes(path, original);
        if (earlierBackup != nullptr) {
            WriteFileBytes(backup, *earlierBackup);
        }
        EXPECT_TRUE(g.load(path)) << g.lastError();
        expected = g.undeleteAllAndPreview();
    }
};

// The steps around the rename of the new file over the original (at the
// 1-based step `renamedAt`). Where the system renames over a locked file,
// the lock is held across the rename and released last, after the folder
// flush. Where it cannot (Windows), the lock is released right before the
// rename, after the new file is complete, and the original is opened under
// a fresh lock and read once more, which lock is released in turn; the
// rename and its flush are then the last steps.
void ExpectOrderAroundTheRename(const std::vector<std::string>& log, std::size_t renamedAt, bool releases) {
    ASSERT_GE(renamedAt, 2u);
    const std::string& rename = log[renamedAt - 1];
    const std::string path = rename.substr(rename.find(" -> ") + 4);
    if (!releases) {
        EXPECT_EQ(log.size(), renamedAt + 2);
        EXPECT_EQ(log[renamedAt], "FlushFolderOf " + path);
        EXPECT_EQ(log.back(), "Close");
        return;
    }
    EXPECT_EQ(log.size(), renamedAt + 1);
    EXPECT_EQ(log.back(), "FlushFolderOf " + path);
    EXPECT_EQ(log[renamedAt - 2], "Close") << "the fresh lock is held across the rename";
    std::size_t created = 0;
    std::size_t reopened = 0;
    for (std::size_t i = 0; i + 1 < renamedAt; ++i) {
        if (log[i] == "CreateNew " + path + ".lazrine-new") {
            created = i + 1;
        }
        if (log[i] == "OpenLocked " + path) {
            reopened = i + 1;
        }
    }
    ASSERT_NE(created, 0u);
    EXPECT_GT(reopened, created) << "the original is not checked again after the new file is written";
    EXPECT_EQ(log[reopened - 2], "Close") << "the original's lock is not released right before it is checked again";
}

#ifndef _WIN32
void AnotherWriterAtEveryStep(Generation& g, const std::vector<std::string>& log, std::size_t dataRenamedAt);
#endif

void WalkEveryStep(Generation& g, bool withEarlierBackup) {
    const Bytes original = g.build();
    const Bytes earlier = {'a', 'n', ' ', 'o', 'l', 'd', 'e', 'r', ' ', 'c', 'o', 'p', 'y'};
    const Bytes* earlierBackup = withEarlierBackup ? &earlier : nullptr;
    const Bytes& rightBackup = withEarlierBackup ? earlier : original;
    FaultInjectingFileIo io;

    // A clean save, to learn its steps.
    std::vector<std::string> log;
    std::size_t dataRenamedAt = 0;
    std::size_t backupRenamedAt = 0;
    {
        Scene scene(g, original, earlierBackup);
        ScopedFileIo scope(io);
        io.Arm(0);
        ASSERT_TRUE(g.save()) << g.lastError();
        log = io.Log();
        EXPECT_EQ(ReadFileBytes(scene.path), scene.expected);
        EXPECT_EQ(ReadFileBytes(scene.backup), rightBackup);
        EXPECT_EQ(FilesIn(scene.dir), (std::set<std::string>{kFileName, std::string(kFileName) + ".lazrine.bak"}));
        for (std::size_t i = 0; i < log.size(); ++i) {
            if (log[i] == "Rename " + scene.path + ".lazrine-new -> " + scene.path) {
                dataRenamedAt = i + 1;
            }
            if (log[i] == "Rename " + scene.backup + ".lazrine-new -> " + scene.backup) {
                backupRenamedAt = i + 1;
            }
        }
    }
    ASSERT_NE(dataRenamedAt, 0u) << "the save never renamed a new file over the original";
    EXPECT_EQ(backupRenamedAt != 0, !withEarlierBackup) << "an existing backup must be kept, a missing one made";
    const bool releases = io.ReleasesBeforeReplace();
    ExpectOrderAroundTheRename(log, dataRenamedAt, releases);
#ifndef _WIN32
    // Windows itself keeps other programs from writing or renaming a file
    // held open and locked; elsewhere the lock is only advisory.
    if (!withEarlierBackup) {
        AnotherWriterAtEveryStep(g, log, dataRenamedAt);
    }
#endif

    for (const Fault fault : {Fault::kError, Fault::kDiskFull}) {
        for (std::size_t n = 1; n <= log.size(); ++n) {
            if (fault == Fault::kDiskFull && log[n - 1].rfind("Write", 0) != 0) {
                continue;
            }
            SCOPED_TRACE("failing step " + std::to_string(n) + " of " + std::to_string(log.size()) + ": " +
                         log[n - 1] + (fault == Fault::kDiskFull ? " (disk full)" : ""));
            Scene scene(g, original, earlierBackup);
            ScopedFileIo scope(io);
            io.Arm(n, fault);
            const bool saved = g.save();
            EXPECT_TRUE(io.Injected());

            const std::set<std::string> files = FilesIn(scene.dir);
            EXPECT_TRUE(files == std::set<std::string>{kFileName} ||
                        files == (std::set<std::string>{kFileName, std::string(kFileName) + ".lazrine.bak"}))
                << "a temporary file was left behind";
            if (std::filesystem::exists(scene.backup)) {
                EXPECT_EQ(ReadFileBytes(scene.backup), rightBackup);
            }
            if (n > backupRenamedAt && backupRenamedAt != 0) {
                EXPECT_TRUE(std::filesystem::exists(scene.backup));
            }
            if (saved) {
                // Only the release of the original's lock, after everything
                // was durable, may fail without failing the save; where the
                // lock goes before the rename, no step may.
                EXPECT_FALSE(releases);
                EXPECT_EQ(n, log.size());
                EXPECT_EQ(log[n - 1], "Close");
                EXPECT_EQ(ReadFileBytes(scene.path), scene.expected);
            } else {
                EXPECT_FALSE(g.lastError().empty());
                EXPECT_EQ(ReadFileBytes(scene.path), n <= dataRenamedAt ? original : scene.expected)
                    << (n <= dataRenamedAt ? "the original changed before the new file replaced it"
                                           : "the new file is incomplete after its rename");
                EXPECT_EQ(g.lastFailure() == platform::IoFailure::kReplacedNotDurable, n > dataRenamedAt);
                if (log[n - 1].rfind("Write", 0) == 0 || log[n - 1] == "Flush") {
                    EXPECT_EQ(g.lastFailure(), platform::IoFailure::kWriteFailed);
                }
            }

            // Nothing stays locked or half-done: the same save now succeeds.
            io.Arm(0);
            EXPECT_TRUE(g.save()) << g.lastError();
            EXPECT_EQ(ReadFileBytes(scene.path), scene.expected);
            EXPECT_EQ(ReadFileBytes(scene.backup), rightBackup);
        }
    }
}

#ifndef _WIN32
// Another program that ignores our lock writes the file at one step of the
// save: in place, keeping its size and time (only its bytes tell), or by
// renaming a new file over its name. Whatever the step, its bytes are what
// the file holds afterwards and the backup holds nothing but the original.
// Before our rename the save is refused; after it the other program simply
// wrote last. (The steps of the last check, from the backup's completion to
// the rename, are not walked: a lock that others ignore leaves a window
// there that no check can close, as short as the check itself.)
void AnotherWriterAtEveryStep(Generation& g, const std::vector<std::string>& log, std::size_t dataRenamedAt) {
    std::size_t checkStart = dataRenamedAt;
    while (checkStart > 1 && log[checkStart - 2].find(".lazrine") == std::string::npos) {
        --checkStart;
    }
    const Bytes original = g.build();
    Bytes theirs = original;
    theirs[theirs.size() / 2] ^= 0x5A;
    FaultInjectingFileIo io;
    for (const bool byRename : {false, true}) {
        for (std::size_t n = 1; n <= log.size(); ++n) {
            if (n >= checkStart && n <= dataRenamedAt) {
                continue;
            }
            SCOPED_TRACE(std::string(byRename ? "renamed over" : "written in place") + " before step " +
                         std::to_string(n) + ": " + log[n - 1]);
            Scene scene(g, original, nullptr);
            ScopedFileIo scope(io);
            io.OnCall([&](const std::string&) {
                if (byRename) {
                    WriteFileBytes(scene.path + ".theirs", theirs);
                    std::filesystem::rename(scene.path + ".theirs", scene.path);
                    return;
                }
                const auto time = std::filesystem::last_write_time(scene.path);
                WriteFileBytes(scene.path, theirs);
                std::filesystem::last_write_time(scene.path, time);
            });
            io.Arm(n, Fault::kCall);
            const bool saved = g.save();
            io.Arm(0);
            EXPECT_EQ(saved, n > dataRenamedAt) << g.lastError();
            EXPECT_EQ(g.lastFailure(), saved ? platform::IoFailure::kNone : platform::IoFailure::kChangedSinceLoaded);
            EXPECT_EQ(ReadFileBytes(scene.path), theirs);
            if (std::filesystem::exists(scene.backup)) {
                EXPECT_EQ(ReadFileBytes(scene.backup), original);
            }
            EXPECT_LE(FilesIn(scene.dir).size(), 2u) << "a temporary file was left behind";
        }
    }
}

#endif

// A disk that fills up at any byte of the backup or the new file.
void FillTheDisk(Generation& g) {
    const Bytes original = g.build();
    FaultInjectingFileIo io;
    std::size_t newSize = 0;
    {
        Scene scene(g, original, nullptr);
        newSize = scene.expected.size();
    }
    const std::uint64_t both = original.size() + newSize;
    for (const std::uint64_t space : {std::uint64_t{0}, std::uint64_t{1}, std::uint64_t{original.size() / 2},
                                      std::uint64_t{original.size()}, std::uint64_t{original.size() + 1},
                                      original.size() + newSize / 2, both - 1, both}) {
        SCOPED_TRACE("free space " + std::to_string(space) + " of " + std::to_string(both) + " needed");
        Scene scene(g, original, nullptr);
        ScopedFileIo scope(io);
        io.Arm(0);
        io.LimitSpace(space);
        const bool saved = g.save();
        io.LimitSpace(std::nullopt);
        EXPECT_EQ(saved, space >= both) << g.lastError();
        EXPECT_EQ(ReadFileBytes(scene.path), saved ? scene.expected : original);
        if (!saved) {
            EXPECT_FALSE(g.lastError().empty());
            EXPECT_EQ(g.lastFailure(), platform::IoFailure::kWriteFailed);
        }
        if (std::filesystem::exists(scene.backup)) {
            EXPECT_EQ(ReadFileBytes(scene.backup), original);
        }
        EXPECT_LE(FilesIn(scene.dir).size(), 2u) << "a temporary file was left behind";
    }
}

// A store generation, on a sample file of its kind: a failure at every step,
// with and without an earlier backup, and a disk that fills up.
template <class Store, class Spec = MemoFileLayout>
void SurvivesEveryFailure(Bytes (*builder)(const Spec&), Spec (*sample)() = &SampleMemoFile) {
    Store store;
    Generation g = GenerationOf(store, builder, sample);
    WalkEveryStep(g, false);
    WalkEveryStep(g, true);
    FillTheDisk(g);
}

TEST(FaultInjection, ExtendedMemoSaveSurvivesAFailureAtEveryStep) {
    SurvivesEveryFailure<palm::PmMemoExUtil>(&BuildExtendedMemoFile);
}

// A file of about 1.2 MB, a little more than one of the pieces a save
// writes at a time.
MemoFileLayout LargeMemoFile() {
    MemoFileLayout spec = SampleMemoFile();
    for (std::uint32_t i = 0; i < 130; ++i) {
        MemoRecordLayout m;
        m.id = 100 + i;
        m.status = i % 3 == 0 ? 0x04 : 0;
        m.text = std::string(9000, static_cast<char>('a' + i % 26));
        spec.memos.push_back(m);
    }
    return spec;
}

TEST(FaultInjection, ASaveWrittenInPiecesSurvivesAFailureAtEveryStep) {
    palm::PmMemoExUtil store;
    Generation g = GenerationOf(store, &BuildExtendedMemoFile, &LargeMemoFile);
    WalkEveryStep(g, false);
    FillTheDisk(g);
}

TEST(FaultInjection, ExtendedTodoSaveSurvivesAFailureAtEveryStep) {
    SurvivesEveryFailure<palm::PmTodoExUtil>(&BuildExtendedTodoFile, &SampleTodoFile);
}

TEST(FaultInjection, ClassicTodoSaveSurvivesAFailureAtEveryStep) {
    SurvivesEveryFailure<palm::PmTodoUtil>(&BuildClassicTodoFile, &SampleTodoFile);
}

TEST(FaultInjection, ClassicMemoSaveSurvivesAFailureAtEveryStep) {
    SurvivesEveryFailure<palm::PmMemoUtil>(&BuildClassicMemoFile);
}

TEST(FaultInjection, ExtendedAddressSaveSurvivesAFailureAtEveryStep) {
    SurvivesEveryFailure<palm::PmAddrExUtil>(&BuildExtendedAddressFile, &SampleContactFile);
}

TEST(FaultInjection, ExtendedDateBookSaveSurvivesAFailureAtEveryStep) {
    SurvivesEveryFailure<palm::PmDateExUtil>(&BuildExtendedDateFile, &RichDateFileLayout);
}

TEST(FaultInjection, ClassicAddressSaveSurvivesAFailureAtEveryStep) {
    SurvivesEveryFailure<palm::PmAddrUtil>(&BuildClassicAddressFile, &SampleContactFile);
}

TEST(FaultInjection, ClassicDateBookSaveSurvivesAFailureAtEveryStep) {
    SurvivesEveryFailure<palm::PmDateUtil>(&BuildClassicDateFile, &RichDateFileLayout);
}

// The database is changed in place, cell by cell, after its backup and its
// rollback journal are made, all through the same seam. A failure at any
// step until the journal's removal is durable refuses the update and leaves
// the database byte-identical (cells already written are put back); after
// that the update has happened, and a failing close does not make it claim
// otherwise.
void WalkDatabaseUpdate(const std::string& file, const std::string& update) {
    const std::string source = std::string(LAZRINE_TEST_DATA_DIR) + "/mdb/" + file;
    const Bytes original = ReadFileBytes(source);
    ASSERT_FALSE(original.empty());
    FaultInjectingFileIo io;

    std::vector<std::string> log;
    Bytes updated;
    {
        TempDir dir;
        const std::string path = dir.File(file);
        WriteFileBytes(path, original);
        palm::PmJetEngine engine;
        std::string error;
        platform::IoError opened;
        ASSERT_TRUE(engine.Open(path, opened)) << opened.szText;
        ScopedFileIo scope(io);
        io.Arm(0);
        std::size_t changed = 0;
        ASSERT_TRUE(engine.Execute(update, changed, error)) << error;
        ASSERT_EQ(changed, 1u);
        log = io.Log();
        updated = ReadFileBytes(path);
        ASSERT_NE(updated, original);
        EXPECT_EQ(ReadFileBytes(path + ".lazrine.bak"), original);
    }
    // Backup, the in-place open, the check read, the cell write and flush.
    ASSERT_GE(log.size(), 5u);
    const auto cellWrite = std::find_if(log.begin(), log.end(),
                                        [](const std::string& s) { return s.rfind("WriteAt", 0) == 0; });
    ASSERT_NE(cellWrite, log.end()) << "the cells were not written through the file seam";
    const auto cellFlush =
        std::find_if(cellWrite, log.end(), [](const std::string& s) { return s.rfind("Flush", 0) == 0; });
    ASSERT_NE(cellFlush, log.end()) << "the cells were not flushed";
    const auto journalGone =
        std::find_if(cellFlush, log.end(), [](const std::string& s) { return s.rfind("FlushFolderOf", 0) == 0; });
    ASSERT_NE(journalGone, log.end()) << "the journal's removal was not flushed";
    const auto lastStepBeforeDurable = static_cast<std::size_t>(journalGone - log.begin()) + 1;

    for (std::size_t n = 1; n <= log.size(); ++n) {
        SCOPED_TRACE("failing step " + std::to_string(n) + ": " + log[n - 1]);
        TempDir dir;
        const std::string path = dir.File(file);
        WriteFileBytes(path, original);
        palm::PmJetEngine engine;
        std::string error;
        platform::IoError opened;
        ASSERT_TRUE(engine.Open(path, opened)) << opened.szText;
        ScopedFileIo scope(io);
        io.Arm(n);
        std::size_t changed = 0;
        const bool done = engine.Execute(update, changed, error);
        EXPECT_TRUE(io.Injected());
        if (n <= lastStepBeforeDurable) {
            EXPECT_FALSE(done) << "an update was reported although a step before its flush failed";
            EXPECT_FALSE(error.empty());
            EXPECT_EQ(ReadFileBytes(path), original);
        } else {
            EXPECT_TRUE(done) << error;
            EXPECT_EQ(ReadFileBytes(path), updated);
        }
        if (std::filesystem::exists(path + ".lazrine.bak")) {
            EXPECT_EQ(ReadFileBytes(path + ".lazrine.bak"), original);
        }
        EXPECT_LE(FilesIn(dir).size(), 2u) << "a temporary file was left behind";
    }
}

TEST(FaultInjection, DatabaseUpdateIsAllOrNothingAtEveryStep) {
    WalkDatabaseUpdate("MemoPad.mdb", "UPDATE Main SET [Status]=1 WHERE [Record ID] = 1010");
}

// The statement an undeleted contact is written with: its Status only, the
// row found by Record ID and the names as loaded.
TEST(FaultInjection, AddressDatabaseUpdateIsAllOrNothingAtEveryStep) {
    WalkDatabaseUpdate("Address.mdb",
                       "UPDATE Main SET [Status]=1 WHERE [Record ID] = 4010 AND [First Name] = 'Sean' AND "
                       "[Last Name] = 'O''Brien'");
}

// The settings file is replaced the same way: whatever step fails, it holds
// either all the old settings or all the new ones, and nothing else is left
// in its folder.
TEST(FaultInjection, SettingsWriteIsAllOrNothingAtEveryStep) {
    const std::string before = "; kept\r\n[Lazrine]\r\nUserID=1\r\nMemoAll=0\r\n[Path]\r\nPDPath=C:\\Palm\r\n";
    const std::string after = "; kept\r\n[Lazrine]\r\nUserID=2\r\nMemoAll=0\r\n[Path]\r\nPDPath=C:\\Palm\r\n";
    const Bytes oldBytes(before.begin(), before.end());
    const Bytes newBytes(after.begin(), after.end());
    FaultInjectingFileIo io;
    std::size_t steps = 0;
    {
        TempDir dir;
        const std::string file = dir.File("tamrisk.ini");
        WriteFileBytes(file, oldBytes);
        ScopedFileIo scope(io);
        io.Arm(0);
        ASSERT_TRUE(platform::ProfileFile::WriteString(file, "Lazrine", "UserID", "2"));
        EXPECT_EQ(ReadFileBytes(file), newBytes);
        steps = io.Steps();
    }
    ASSERT_GT(steps, 5u);
    for (std::size_t n = 1; n <= steps; ++n) {
        SCOPED_TRACE("failing step " + std::to_string(n) + " of " + std::to_string(steps));
        TempDir dir;
        const std::string file = dir.File("tamrisk.ini");
        WriteFileBytes(file, oldBytes);
        ScopedFileIo scope(io);
        io.Arm(n);
        const bool written = platform::ProfileFile::WriteString(file, "Lazrine", "UserID", "2");
        EXPECT_TRUE(io.Injected());
        const Bytes now = ReadFileBytes(file);
        EXPECT_TRUE(now == oldBytes || now == newBytes);
        if (written) {
            EXPECT_EQ(now, newBytes);
        }
        EXPECT_EQ(FilesIn(dir), std::set<std::string>{"tamrisk.ini"});
    }
}

// A data file reached through a link in another folder: whatever step
// fails, the target holds the original or the complete new file, the link
// stays a link, and neither folder keeps a temporary file.
TEST(FaultInjection, SaveThroughALinkSurvivesAFailureAtEveryStep) {
    LAZRINE_SKIP_ON_WINDOWS("symbolic links");
    palm::PmMemoExUtil store;
    const Bytes original = BuildExtendedMemoFile(SampleMemoFile());
    FaultInjectingFileIo io;
    const auto setUp = [&](const TempDir& dir, Bytes& expected) {
        std::filesystem::create_directory(dir.Path() / "real");
        std::filesystem::create_directory(dir.Path() / "view");
        WriteFileBytes(dir.File("real/memopad.dat"), original);
        std::filesystem::create_symlink("../real/memopad.dat", dir.Path() / "view" / "memopad.dat");
        ASSERT_TRUE(store.Load(dir.File("view/memopad.dat"))) << store.LastError();
        for (std::size_t i = 0; i < store.Count(); ++i) {
            store.SetStatusAt(i, palm::PmUndeletedStatus(store.StatusAt(i)));
        }
        ASSERT_TRUE(store.WriteToMemory(expected));
    };
    std::size_t steps = 0;
    {
        TempDir dir;
        Bytes expected;
        setUp(dir, expected);
        ScopedFileIo scope(io);
        io.Arm(0);
        ASSERT_TRUE(store.Save()) << store.LastError();
        steps = io.Steps();
        EXPECT_EQ(ReadFileBytes(dir.File("real/memopad.dat")), expected);
    }
    for (std::size_t n = 1; n <= steps; ++n) {
        SCOPED_TRACE("failing step " + std::to_string(n) + " of " + std::to_string(steps));
        TempDir dir;
        Bytes expected;
        setUp(dir, expected);
        ScopedFileIo scope(io);
        io.Arm(n);
        const bool saved = store.Save();
        EXPECT_TRUE(io.Injected());
        const Bytes now = ReadFileBytes(dir.File("real/memopad.dat"));
        EXPECT_TRUE(now == (saved ? expected : original) ||
                    (!saved && now == expected && store.LastFailure() == platform::IoFailure::kReplacedNotDurable));
        EXPECT_TRUE(std::filesystem::is_symlink(dir.Path() / "view" / "memopad.dat"));
        for (const char* folder : {"real", "view"}) {
            for (const auto& entry : std::filesystem::directory_iterator(dir.Path() / folder)) {
                EXPECT_EQ(entry.path().string().find(".lazrine-new"), std::string::npos) << entry.path();
            }
        }
    }
}

// The two faults of the soak: kCall runs another program's action right
// before the chosen step, which then runs as usual; kCrash ends the process
// there, with nothing after it done.
TEST(FaultInjection, CallActsBeforeTheStepAndCrashEndsTheProcessThere) {
    TempDir dir;
    const std::string path = dir.File(kFileName);
    const Bytes original = {1, 2, 3};
    WriteFileBytes(path, original);
    const auto readAll = [&](FaultInjectingFileIo& io, Bytes& read) {
        platform::FileIo::Handle h = platform::FileIo::kInvalid;
        const bool ok = io.OpenLocked(path, h, nullptr) && io.ReadAll(h, read, nullptr);
        io.Close(h, nullptr);
        return ok;
    };
    FaultInjectingFileIo io;
    std::vector<std::string> seen;
    std::size_t readsBefore = 0;
    io.OnCall([&](const std::string& step) {
        seen.push_back(step);
        readsBefore = io.Steps();
    });
    io.Arm(2, Fault::kCall);
    Bytes read;
    EXPECT_TRUE(readAll(io, read));
    EXPECT_EQ(seen, std::vector<std::string>{"ReadAll"});
    EXPECT_EQ(readsBefore, 2u);  // logged, not yet run
    EXPECT_EQ(read, original);
    EXPECT_EQ(io.Steps(), 3u);

    WriteFileBytes(path, original);
    EXPECT_EXIT(
        {
            FaultInjectingFileIo crashing;
            crashing.Arm(2, Fault::kCrash);
            Bytes ignored;
            readAll(crashing, ignored);
            std::exit(0);
        },
        ::testing::ExitedWithCode(FaultInjectingFileIo::kCrashExitCode), "");
    EXPECT_EQ(ReadFileBytes(path), original);
}

}  // namespace
}  // namespace lazrine::testing

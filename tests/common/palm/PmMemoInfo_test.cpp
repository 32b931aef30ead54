#include "common/palm/PmMemoInfo.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/FileIo.h"
#include "support/BlockingFifo.h"
#include "support/ForeignLock.h"
#include "support/PalmFileBuilder.h"
#include "support/PalmPdbBuilder.h"
#include "support/TempDirTest.h"
#include "support/SystemSupport.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;
using misc::CommNoteMgr;

MemoRecordLayout Memo(std::uint32_t id, std::uint32_t status, std::string text, std::uint32_t priv = 0) {
    MemoRecordLayout m = MakeMemo(id, status, std::move(text));
    m.priv = priv;
    return m;
}

MemoFileLayout Mixed() {
    MemoFileLayout spec;
    spec.memos = {Memo(1, 0x00, "live one"),         Memo(2, 0x84, "gone 84", 1),
                  Memo(3, 0x06, "gone 06"),          Memo(4, 0x80, "archived only"),
                  Memo(5, 0x01, "Subject line\r\nBody"), Memo(6, 0x04, "")};
    return spec;
}

class PmMemoInfoTest : public TempDirTest {};

TEST_F(PmMemoInfoTest, EachGenerationLoadsAsItsKind) {
    const auto extended = Put(BuildExtendedMemoFile(Mixed()), "e.dat");
    const auto classic = Put(BuildClassicMemoFile(Mixed()), "c.dat");
    const auto junk = Put({'n', 'o', 't', ' ', 'p', 'a', 'l', 'm'}, "junk.dat");
    EXPECT_EQ(PmMemoInfo::ProbeFile(extended), PM_STORE_EXTENDED);
    EXPECT_EQ(PmMemoInfo::ProbeFile(classic), PM_STORE_CLASSIC);
    EXPECT_EQ(PmMemoInfo::ProbeFile(junk), PM_STORE_FAILED);

    PmMemoInfo info;
    info.SetIncludeDeleted(true);
    ASSERT_TRUE(info.LoadFile(classic));
    EXPECT_EQ(info.LoadedKind(), PM_STORE_CLASSIC);
    EXPECT_EQ(info.GetCommMgr().At(0).nSource, 1u);
    ASSERT_TRUE(info.LoadFile(extended));
    EXPECT_EQ(info.LoadedKind(), PM_STORE_EXTENDED);
    EXPECT_EQ(info.GetCommMgr().At(0).nSource, 2u);
    EXPECT_FALSE(info.LoadFile(junk));
    EXPECT_EQ(info.LoadedKind(), PM_STORE_FAILED);
    EXPECT_EQ(info.EntryCount(), 0u);
    EXPECT_EQ(info.CommonCount(), 0u);
    EXPECT_FALSE(info.LastError().empty());
}

TEST_F(PmMemoInfoTest, DeletedAndArchivedAreLeftOutUnlessIncluded) {
    const auto path = Put(BuildExtendedMemoFile(Mixed()));
    PmMemoInfo info;
    ASSERT_TRUE(info.LoadFile(path));
    ASSERT_EQ(info.CommonCount(), 2u);
    EXPECT_EQ(info.GetCommMgr().At(0).nId, 1u);
    EXPECT_EQ(info.GetCommMgr().At(1).nId, 5u);
    // Entry i and common record i describe the same record after skipping.
    for (std::size_t i = 0; i < info.EntryCount(); ++i) {
        EXPECT_EQ(info.EntryAt(i).nRecordId, info.GetCommMgr().At(i).nId);
        EXPECT_EQ(info.EntryAt(i).nNative, i == 0 ? 0u : 4u);
    }
    info.SetIncludeDeleted(true);
    ASSERT_TRUE(info.LoadFile(path));
    EXPECT_EQ(info.CommonCount(), 6u);
    EXPECT_TRUE(PmRecordSet::IsArchived(info.EntryAt(3)));
    EXPECT_FALSE(PmRecordSet::IsDeleted(info.EntryAt(3)));
    EXPECT_TRUE(PmRecordSet::IsDeleted(info.EntryAt(2)));
    PmRecordEntry foreign = info.EntryAt(2);
    foreign.nKind = PM_STORE_FAILED;
    EXPECT_FALSE(PmRecordSet::IsDeleted(foreign));
}

TEST_F(PmMemoInfoTest, CommonNoteFieldsFollowTheMemoText) {
    MemoFileLayout spec;
    std::string longText(300, 'a');
    longText += "\r\nrest";
    std::string huge(9000, 'h');
    spec.memos = {Memo(1, 0, "Subject line\r\nBody", 1), Memo(2, 0, "lone\nfeed"), Memo(3, 0, longText),
                  Memo(4, 0, huge), Memo(5, 0, "")};
    PmMemoInfo info;
    ASSERT_TRUE(info.LoadFile(Put(BuildExtendedMemoFile(spec))));
    const auto& mgr = info.GetCommMgr();
    misc::CommFieldInfo subject;
    misc::CommFieldInfo note;
    ASSERT_TRUE(mgr.GetFieldInfo(CommNoteMgr::kSubject, subject));
    ASSERT_TRUE(mgr.GetFieldInfo(CommNoteMgr::kNote, note));
    EXPECT_EQ(mgr.GetFieldText(mgr.At(0), subject, 4096), "Subject line");
    EXPECT_EQ(mgr.GetFieldText(mgr.At(0), note, 4096), "Subject line\r\nBody");
    EXPECT_EQ(mgr.GetFieldText(mgr.At(1), subject, 4096), "lone\nfeed");
    EXPECT_EQ(mgr.GetFieldText(mgr.At(2), subject, 4096), std::string(255, 'a'));
    // The window sees at most 8191 characters of a note, cut again to its
    // cell; the whole text stays available.
    EXPECT_EQ(mgr.GetFieldText(mgr.At(3), note, 10000), std::string(8191, 'h'));
    EXPECT_EQ(info.FieldText(3, CommNoteMgr::kNote), std::string(4095, 'h'));
    EXPECT_EQ(info.WholeFieldText(3, CommNoteMgr::kNote), huge);
    EXPECT_EQ(info.WholeFieldText(2, CommNoteMgr::kSubject), std::string(255, 'a'));
    EXPECT_EQ(info.FieldText(4, CommNoteMgr::kSubject), "");
    EXPECT_EQ(info.FieldText(0, CommNoteMgr::kPrivate), "Yes");
    EXPECT_EQ(info.FieldText(1, CommNoteMgr::kPrivate), "No");
    EXPECT_EQ(info.FieldText(0, CommNoteMgr::kColor), "#000000");
    EXPECT_EQ(info.FieldText(0, CommNoteMgr::kCreationTime), "12-30-1899 00:00:00");
    info.GetCommMgr().At(0).szCategory = "Business";
    EXPECT_EQ(info.FieldText(0, CommNoteMgr::kCategory), "Business");
    EXPECT_EQ(info.FieldText(0, CommNoteMgr::kIdInteger), "");
    misc::CommFieldInfo none;
    EXPECT_FALSE(mgr.GetFieldInfo(11, none));
    EXPECT_EQ(mgr.FieldTable().size(), 11u);
}

TEST_F(PmMemoInfoTest, UndeleteRuleAndSaveChangeExactlyTheStatusWords) {
    MemoFileLayout spec = Mixed();
    const auto path = Put(BuildExtendedMemoFile(spec));
    PmMemoInfo info;
    info.SetIncludeDeleted(true);
    ASSERT_TRUE(info.LoadFile(path));
    ASSERT_TRUE(info.Undelete(info.GetCommMgr().At(1)));  // 0x84 -> 0x01
    ASSERT_TRUE(info.Undelete(info.GetCommMgr().At(2)));  // 0x06 -> 0x03
    EXPECT_FALSE(info.UndeleteAt(0));                     // 0x00: not deleted, stays
    EXPECT_EQ(info.Extended().StatusAt(1), 0x01u);
    ASSERT_TRUE(info.Save()) << info.LastError();
    EXPECT_EQ(info.StatusAt(1), 0x01u);
    EXPECT_EQ(info.EntryAt(2).nStatus, 0x03u);
    EXPECT_EQ(info.Extended().StatusAt(0), 0x00u);

    spec.memos[1].status = 0x01;
    spec.memos[2].status = 0x03;
    EXPECT_EQ(ReadFileBytes(path), BuildExtendedMemoFile(spec));
}

TEST_F(PmMemoInfoTest, ClassicSaveRewritesTheClassicFile) {
    MemoFileLayout spec = Mixed();
    const auto path = Put(BuildClassicMemoFile(spec));
    PmMemoInfo info;
    info.SetIncludeDeleted(true);
    ASSERT_TRUE(info.LoadFile(path));
    ASSERT_TRUE(info.UndeleteAt(3));
    ASSERT_TRUE(info.Save()) << info.LastError();
    spec.memos[3].status = 0x01;
    EXPECT_EQ(ReadFileBytes(path), BuildClassicMemoFile(spec));
}

TEST_F(PmMemoInfoTest, ForeignRecordsAndEmptySetsAreRefused) {
    PmMemoInfo info;
    EXPECT_FALSE(info.Save());
    const auto path = Put(BuildExtendedMemoFile(Mixed()));
    ASSERT_TRUE(info.LoadFile(path));
    misc::CommNoteRec stranger;
    EXPECT_FALSE(info.Undelete(stranger));
    PmMemoInfo other;
    ASSERT_TRUE(other.LoadFile(path));
    EXPECT_FALSE(info.Undelete(other.GetCommMgr().At(0)));
    EXPECT_FALSE(info.UndeleteAt(99));
}

TEST_F(PmMemoInfoTest, UserLoadPrefersTheExtendedFile) {
    const auto userDir = dir.Path() / "User";
    std::filesystem::create_directories(userDir / "memopad");
    WriteFileBytes((userDir / "memopad" / "memopad.dat").string(), BuildClassicMemoFile(Mixed()));
    PmUserDataPath::SetResolver([&](std::uint32_t id, std::string& folder, std::string& error) {
        if (id != 7) {
            error = "unknown user";
            return false;
        }
        folder = userDir.string() + "/";
        return true;
    });
    PmMemoInfo info;
    EXPECT_TRUE(info.LoadForUser(7));
    EXPECT_EQ(info.LoadedKind(), PM_STORE_CLASSIC);
    WriteFileBytes((userDir / "memopad" / "memopad.dat").string(), BuildExtendedMemoFile(Mixed()));
    EXPECT_TRUE(info.LoadForUser(7));
    EXPECT_EQ(info.LoadedKind(), PM_STORE_EXTENDED);
    EXPECT_FALSE(info.LoadForUser(8));
    EXPECT_EQ(info.LoadedKind(), PM_STORE_FAILED);
    PmUserDataPath::SetResolver(nullptr);
}

// Another program (Palm Desktop, a HotSync) changes the file between our
// load and our save: the save is refused and their change survives, in
// either generation, for the window's whole-session gap as for the command
// line's short one.
TEST_F(PmMemoInfoTest, AFileChangedSinceItWasLoadedIsNotOverwritten) {
    MemoFileLayout theirs = Mixed();
    theirs.memos.push_back(Memo(7, 0x00, "added on the handheld"));
    for (const bool classic : {false, true}) {
        SCOPED_TRACE(classic ? "classic" : "extended");
        const auto build = classic ? &BuildClassicMemoFile : &BuildExtendedMemoFile;
        const auto path = Put(build(Mixed()), classic ? "c.dat" : "e.dat");
        PmMemoInfo info;
        info.SetIncludeDeleted(true);
        ASSERT_TRUE(info.LoadFile(path));
        ASSERT_TRUE(info.UndeleteAt(1));
        ASSERT_TRUE(info.Save()) << info.LastError();
        // A second undelete of the same session, after another program wrote.
        const auto synced = build(theirs);
        WriteFileBytes(path, synced);
        ASSERT_TRUE(info.UndeleteAt(2));
        EXPECT_FALSE(info.Save());
        EXPECT_EQ(info.LastError(), path + " was changed by another program since it was loaded; reload it");
        EXPECT_EQ(info.LastFailure(), platform::IoFailure::kChangedSinceLoaded);
        EXPECT_EQ(ReadFileBytes(path), synced);
        // After a reload the change is made on their content.
        ASSERT_TRUE(info.LoadFile(path));
        ASSERT_TRUE(info.UndeleteAt(2));
        EXPECT_TRUE(info.Save()) << info.LastError();
    }
}

// A file held by another program cannot be read, so whether it is a memo
// file cannot be told: the record set says it is in use, nothing else.
TEST_F(PmMemoInfoTest, AFileInUseIsReportedAsInUse) {
    const auto path = Put(BuildExtendedMemoFile(Mixed()));
    ForeignLock lock(path, ForeignLock::Kind::kRecordWrite, 0x7FFFFFF0, 1);
    ASSERT_TRUE(lock.Held());
    PmMemoInfo info;
    EXPECT_FALSE(info.LoadFile(path));
    EXPECT_EQ(info.LastFailure(), platform::IoFailure::kInUse);
    EXPECT_EQ(info.LastError(), platform::FileIo::InUseText(path));
    EXPECT_EQ(info.LoadedKind(), PM_STORE_FAILED);
}

// A probe says why a name is refused, and never touches the records that
// are loaded: the loaded file stays the one that is written.
TEST_F(PmMemoInfoTest, AProbeSaysWhyAndLeavesTheLoadedRecordsAlone) {
    LAZRINE_SKIP_ON_WINDOWS("no FIFOs");
    using Failure = PmRecordSet::ProbeFailure;
    using platform::IoFailure;
    const auto loaded = Put(BuildExtendedMemoFile(Mixed()), "loaded.dat");
    const auto other = Put(BuildClassicMemoFile(Mixed()), "other.dat");
    const auto todo = Put(BuildExtendedTodoFile(TodoFileLayout{}), "todo.dat");
    const auto locked = Put(BuildExtendedMemoFile(Mixed()), "locked.dat");
    PdbLayout backup;
    backup.records = {{0x80, 1, PdbText("backed up")}};
    const auto handheld = Put(BuildPdb(backup), "backup.dat");
    std::filesystem::create_directory(dir.File("folder.dat"));
    BlockingFifo fifo(dir.File("fifo.dat"));
    ASSERT_TRUE(fifo.Made());
    ForeignLock lock(locked, ForeignLock::Kind::kRecordWrite, 0, 1);
    ASSERT_TRUE(lock.Held());

    PmMemoInfo info;
    info.SetIncludeDeleted(true);
    ASSERT_TRUE(info.LoadFile(loaded));
    const struct {
        const char* name;
        std::string path;
        PmStoreKind kind;
        Failure failure;
        const char* reasonStart;
        platform::IoFailure load;  // what a load of it fails with
    } cases[] = {
        {"another memo file", other, PM_STORE_CLASSIC, Failure::kNone, "", IoFailure::kNone},
        {"a handheld backup", handheld, PM_STORE_HANDHELD, Failure::kNone, "", IoFailure::kNone},
        {"no name", "", PM_STORE_FAILED, Failure::kNoName, "no file name given", IoFailure::kOther},
        {"missing", dir.File("nope.dat"), PM_STORE_FAILED, Failure::kMissing, "the file does not exist",
         IoFailure::kMissing},
        {"folder", dir.File("folder.dat"), PM_STORE_FAILED, Failure::kNotRegular, "not a regular file",
         IoFailure::kNotRegular},
        {"FIFO", fifo.Path(), PM_STORE_FAILED, Failure::kNotRegular, "not a regular file", IoFailure::kNotRegular},
        {"in use", locked, PM_STORE_FAILED, Failure::kInUse, "locked by another program", IoFailure::kInUse},
        {"a to-do file", todo, PM_STORE_FAILED, Failure::kNotThisKind, "not a Palm Desktop memos file (",
         IoFailure::kOther},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PmRecordSet::ProbeResult r = info.ProbeWithReason(c.path);
        EXPECT_EQ(r.nKind, c.kind);
        EXPECT_EQ(r.nFailure, c.failure);
        EXPECT_EQ(r.szReason.rfind(c.reasonStart, 0), 0u) << r.szReason;
        PmMemoInfo fresh;
        fresh.LoadFile(c.path);
        EXPECT_EQ(fresh.LastFailure(), c.load) << fresh.LastError();
        EXPECT_EQ(info.LoadedKind(), PM_STORE_EXTENDED);
        EXPECT_EQ(info.CommonCount(), Mixed().memos.size());
    }
    EXPECT_FALSE(fifo.ReaderOpened());

    // The loaded file is the one an undelete writes.
    const auto otherBefore = ReadFileBytes(other);
    ASSERT_TRUE(info.UndeleteAt(1));
    ASSERT_TRUE(info.Save());
    PmMemoInfo back;
    back.SetIncludeDeleted(true);
    ASSERT_TRUE(back.LoadFile(loaded));
    EXPECT_EQ(back.EntryAt(1).nStatus, 0x01u);
    EXPECT_EQ(ReadFileBytes(other), otherBefore);
}

}  // namespace
}  // namespace lazrine::palm

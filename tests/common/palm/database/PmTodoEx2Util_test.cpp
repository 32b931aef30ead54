#include "common/palm/database/PmTodoEx2Util.h"

#include <gtest/gtest.h>

#include "common/palm/PmMemoInfo.h"
#include "common/palm/PmTodoInfo.h"
#include "common/palm/database/PmJetEngine.h"
#include "common/palm/database/PmMemoEx2Util.h"
#include "common/palm/desktop/PmUserDataPath.h"
#include "platform/AtomicFile.h"
#include "platform/LocalClock.h"
#include "support/DatabaseRows.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"
#include "support/TestData.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;

std::string Fixture(const std::string& name) { return TestDataCopy("mdb/" + name); }

struct Expected {
    std::uint32_t id;
    std::uint32_t status;
    std::int32_t placement;
    std::uint8_t priv;
    std::int32_t category;
    std::string description;
    std::uint32_t dueDate;
    std::string dueDateText;
    std::uint8_t completed;
    std::int32_t priority;
    std::string note;
    std::uint8_t alarmSet;
    std::uint32_t alarmTime;
    std::int32_t alarmAdvance;
    std::uint8_t repeatOnComplete;
    std::uint32_t completeDate;
    std::uint32_t repeatStart;
    std::string repeatInfo;
};

// Every row of Main of Todolist.mdb, as the fixtures' README lists it.
const std::vector<Expected>& FixtureRows() {
    static const std::vector<Expected> rows{
        {2001, 0x00, 1, 0, 1, "Prepare budget meeting", 1237075200, "1237075200", 0, 1, "Agenda attached", 1,
         1237046400, 0, 0, 0, 0, ""},
        {2002, 0x01, 2, 1, 2, "Renew passport", 1625097600, "1625097600", 1, 2, "Photos needed", 0, 0, 0, 0,
         1624838400, 0, ""},
        {2003, 0x02, 3, 0, 3, "Water the plants", 0, "0", 0, 3, "", 0, 0, 0, 1, 0, 1237075200, "every 7 days"},
        {2010, 0x04, 4, 0, 2, "Return O'Brien's ladder", 0, "0", 0, 4, "Borrowed in May", 0, 0, 0, 0, 0, 0, ""},
        {2011, 0x80, 5, 0, 1, "File 2008 taxes", 1237507200, "1237507200", 1, 5, "Receipts in the blue folder", 0, 0,
         0, 0, 1237420800, 0, ""},
        {2012, 0x84, 6, 1, 2, "Cancel gym membership", 1956441600, "1956441600", 0, 9, "Before the contract renews", 1,
         1956441600, 2, 0, 0, 0, ""},
        {2013, 0x06, 7, 0, 3, "Book dentist", 0, "", 0, 2, "Check-up", 0, 0, 0, 0, 0, 0, ""},
        {2020, 0x04, 8, 0, 2, "Groceries", 1237075200, "1237075200", 0, 3, "Buy:\r\nmilk and eggs", 0, 0, 0, 0, 0, 0,
         ""},
        {2021, 0x04, 9, 0, 1, "Read contract draft", 0, "0", 0, 1,
         Repeated("The quick brown fox jumps over the lazy dog. ", 1500), 0, 0, 0, 0, 0, 0, ""},
        {2022, 0x04, 10, 0, 1, "Transcribe interview", 1632157200, "1632157200", 1, 2,
         Repeated("Lorem ipsum dolor sit amet, consectetur adipiscing elit. ", 9000), 0, 0, 0, 0, 1632157200, 0, ""},
        {2023, 0x04, 11, 0, 0, "Pick up dry cleaning", 1625097600, "1625097600", 0, 1, "", 0, 0, 0, 0, 0, 0, ""},
        {2024, 0x04, 12, 0, 2, "Café Müller: pay 12 € to Jürgen 漢", 0, "0", 0, 5, "Non-ASCII description", 0, 0, 0, 0,
         0, 0, ""},
    };
    return rows;
}

std::vector<PmValues> StatusCells(const std::string& path) {
    return DatabaseRows(path, "SELECT [Record ID], [Status], [Description], [Due Date] FROM Main");
}

class PmTodoEx2UtilTest : public ::testing::Test {
protected:
    void TearDown() override {
        PmUserDataPath::SetResolver({});
        platform::LocalClock::UseTimeZone("");
    }
    std::string Copy(const std::string& name = "Todolist.mdb") {
        const std::string path = dir.File(name);
        WriteFileBytes(path, ReadFileBytes(Fixture(name)));
        return path;
    }
    static std::size_t IndexOf(const PmTodoEx2Util& store, std::uint32_t id) {
        for (std::size_t i = 0; i < store.Count(); ++i) {
            if (store.RecordIdAt(i) == id) {
                return i;
            }
        }
        ADD_FAILURE() << "no record " << id;
        return 0;
    }
    TempDir dir;
};

TEST_F(PmTodoEx2UtilTest, LoadsEveryRowValueByValue) {
    PmTodoEx2Util store(Fixture("Todolist.mdb"));
    ASSERT_TRUE(store.IsLoaded()) << store.LastError();
    const auto& expected = FixtureRows();
    ASSERT_EQ(store.Count(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const PmTodoEx2Rec& rec = store.GetDataMgr().At(i);
        const Expected& e = expected[i];
        SCOPED_TRACE(e.id);
        EXPECT_EQ(rec.nRecordId, e.id);
        EXPECT_EQ(rec.nStatus, e.status);
        EXPECT_EQ(rec.nPlacement, e.placement);
        EXPECT_EQ(rec.nPrivate, e.priv);
        EXPECT_EQ(rec.nCategoryId, e.category);
        EXPECT_EQ(rec.szDescription, e.description);
        EXPECT_EQ(rec.nDueDate, e.dueDate);
        EXPECT_EQ(rec.szDueDateText, e.dueDateText);
        EXPECT_EQ(rec.nCompleted, e.completed);
        EXPECT_EQ(rec.nPriority, e.priority);
        EXPECT_EQ(rec.szNote, e.note);
        EXPECT_EQ(rec.nAlarmSet, e.alarmSet);
        EXPECT_EQ(rec.nAlarmTime, e.alarmTime);
        EXPECT_EQ(rec.nAlarmAdvance, e.alarmAdvance);
        EXPECT_EQ(rec.nRepeatOnCompleteDate, e.repeatOnComplete);
        EXPECT_EQ(rec.nCompleteDate, e.completeDate);
        EXPECT_EQ(rec.nRepeatStartDate, e.repeatStart);
        EXPECT_EQ(rec.szRepeatInfo, e.repeatInfo);
    }
    EXPECT_TRUE(store.Save());
}

// Every deleted row the list shows can be undeleted - a quote in its
// description, a NULL due date, texts outside Windows-1252 - and the
// undelete changes its Status cell and nothing else in the file.
TEST_F(PmTodoEx2UtilTest, EachUndeleteChangesOnlyItsStatusCell) {
    for (const Expected& row : FixtureRows()) {
        if (!PmIsDeletedStatus(row.status)) {
            continue;
        }
        SCOPED_TRACE(row.id);
        TempDir own;
        const std::string path = own.File("Todolist.mdb");
        WriteFileBytes(path, ReadFileBytes(Fixture("Todolist.mdb")));
        const auto before = ReadFileBytes(path);
        const auto cellsBefore = StatusCells(path);

        PmTodoEx2Util store(path);
        ASSERT_TRUE(store.IsLoaded());
        const std::size_t i = IndexOf(store, row.id);
        store.SetStatusAt(i, PmUndeletedStatus(store.StatusAt(i)));
        ASSERT_TRUE(store.Save()) << store.LastError();

        const auto after = ReadFileBytes(path);
        ASSERT_EQ(after.size(), before.size());
        const std::size_t differing = DifferingBytes(before, after);
        EXPECT_EQ(differing, 1u);  // the low byte of the Long Status
        EXPECT_EQ(ReadFileBytes(platform::AtomicFile::BackupPathOf(path)), before);
        const auto cellsAfter = StatusCells(path);
        ASSERT_EQ(cellsAfter.size(), cellsBefore.size());
        for (std::size_t r = 0; r < cellsAfter.size(); ++r) {
            const bool target = cellsAfter[r][0].lVal == static_cast<std::int32_t>(row.id);
            EXPECT_EQ(cellsAfter[r][1].lVal,
                      target ? static_cast<std::int32_t>(PmUndeletedStatus(row.status)) : cellsBefore[r][1].lVal);
        }
        // Already written: nothing more to write.
        ASSERT_TRUE(store.Save()) << store.LastError();
        EXPECT_EQ(ReadFileBytes(path), after);
    }
}

TEST_F(PmTodoEx2UtilTest, ARowGoneOrChangedSinceTheLoadIsNotWritten) {
    const std::string path = Copy();
    const auto before = ReadFileBytes(path);
    PmTodoEx2Util store(path);
    ASSERT_TRUE(store.IsLoaded());
    struct Change {
        const char* what;
        void (*apply)(PmTodoEx2Rec&);
    };
    const Change changes[] = {
        {"description", [](PmTodoEx2Rec& r) { r.szDescription = "Return O'Brien's ladder!"; }},
        {"due date", [](PmTodoEx2Rec& r) { r.szDueDateText = "1"; }},
        {"status", [](PmTodoEx2Rec& r) { r.nLoadedStatus = 0x80; }},
        {"record id", [](PmTodoEx2Rec& r) { r.nRecordId = 999999; }},
    };
    for (const Change& c : changes) {
        SCOPED_TRACE(c.what);
        PmTodoEx2Rec& rec = store.GetDataMgr().At(IndexOf(store, 2010));
        const PmTodoEx2Rec loaded = rec;
        c.apply(rec);
        rec.nStatus = PmUndeletedStatus(rec.nStatus);
        EXPECT_FALSE(store.Save());
        EXPECT_NE(store.LastError().find("nothing was written"), std::string::npos) << store.LastError();
        rec = loaded;
    }
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_FALSE(std::filesystem::exists(platform::AtomicFile::BackupPathOf(path)));
}

// Each kind's store refuses a database of another kind.
TEST_F(PmTodoEx2UtilTest, DatabasesOfOtherKindsAreRefused) {
    PmTodoEx2Util todo;
    for (const char* other : {"MemoPad.mdb", "DateBook.mdb", "Address.mdb", "NotPalm.mdb"}) {
        SCOPED_TRACE(other);
        EXPECT_FALSE(todo.Load(Fixture(other)));
        EXPECT_EQ(todo.Count(), 0u);
        EXPECT_FALSE(todo.LastError().empty());
        EXPECT_EQ(PmTodoInfo::ProbeFile(Fixture(other)), PM_STORE_FAILED);
    }
    PmMemoEx2Util memo;
    for (const char* other : {"Todolist.mdb", "DateBook.mdb", "Address.mdb"}) {
        SCOPED_TRACE(other);
        EXPECT_FALSE(memo.Load(Fixture(other)));
        EXPECT_NE(memo.LastError().find("another kind"), std::string::npos) << memo.LastError();
    }
    EXPECT_EQ(PmMemoInfo::ProbeFile(Fixture("Todolist.mdb")), PM_STORE_FAILED);
    EXPECT_EQ(PmTodoInfo::ProbeFile(Fixture("Todolist.mdb")), PM_STORE_DATABASE);

    std::string why;
    EXPECT_TRUE(PmDBEx2Util::MainFitsKind(PmKind::kTasks, {"Record ID", "description", "DUE DATE"}, why));
    EXPECT_FALSE(PmDBEx2Util::MainFitsKind(PmKind::kTasks, {"Record ID", "Description"}, why));
    EXPECT_FALSE(PmDBEx2Util::MainFitsKind(PmKind::kMemos, {"Note", "Start Time"}, why));
    EXPECT_TRUE(PmDBEx2Util::MainFitsKind(PmKind::kMemos, {"Record ID", "Note"}, why));
}

// Probing a file never disturbs the database that is loaded.
TEST_F(PmTodoEx2UtilTest, AProbeLeavesTheLoadedDatabaseUsable) {
    const std::string path = Copy();
    PmTodoInfo info;
    info.SetIncludeDeleted(true);
    ASSERT_TRUE(info.LoadFile(path));
    EXPECT_EQ(PmTodoInfo::ProbeFile(Fixture("Todolist.mdb")), PM_STORE_DATABASE);
    EXPECT_EQ(PmTodoInfo::ProbeFile(Fixture("MemoPad.mdb")), PM_STORE_FAILED);
    std::size_t index = 0;
    while (info.CommonAt(index).nId != 2013) {
        ++index;
    }
    ASSERT_TRUE(info.UndeleteAt(index)) << info.LastError();
    EXPECT_TRUE(info.Save());
    EXPECT_EQ(StatusCells(path)[6][1].lVal, 0x03);
    EXPECT_EQ(StatusCells(Fixture("Todolist.mdb"))[6][1].lVal, 0x06);
}

TEST_F(PmTodoEx2UtilTest, TheTaskRecordSetShowsTheDatabaseAsTheWindowDoes) {
    platform::LocalClock::UseTimeZone("UTC");
    PmTodoInfo info;
    info.SetIncludeDeleted(true);
    ASSERT_TRUE(info.LoadFile(Copy()));
    EXPECT_EQ(info.LoadedKind(), PM_STORE_DATABASE);
    ASSERT_EQ(info.CommonCount(), FixtureRows().size());
    struct Shown {
        std::uint32_t id;
        const char* due;
        const char* completed;
        const char* priority;
    };
    const Shown shown[] = {
        {2001, "03/15/2009", "No", "High"}, {2002, "07/01/2021", "Yes", "Normal"},
        {2003, "N/A", "No", "Normal"},      {2011, "03/20/2009", "Yes", "Low"},
        {2012, "N/A", "No", "Normal"},      {2013, "N/A", "No", "Normal"},
        {2022, "09/20/2021", "Yes", "Normal"},
    };
    for (const Shown& s : shown) {
        std::size_t i = 0;
        while (info.CommonAt(i).nId != s.id) {
            ++i;
        }
        SCOPED_TRACE(s.id);
        EXPECT_EQ(info.FieldText(i, misc::CommTaskMgr::kDueDate), s.due);
        EXPECT_EQ(info.FieldText(i, misc::CommTaskMgr::kCompleted), s.completed);
        EXPECT_EQ(info.FieldText(i, misc::CommTaskMgr::kPriority), s.priority);
        EXPECT_EQ(info.CommonAt(i).nSource, misc::CommRecord::kSourceDatabase);
    }
    EXPECT_EQ(info.FieldText(0, misc::CommTaskMgr::kAlarm), "Yes");
    EXPECT_EQ(info.FieldText(1, misc::CommTaskMgr::kPrivate), "Yes");
    EXPECT_EQ(info.WholeFieldText(9, misc::CommTaskMgr::kNote).size(), 9000u);
}

}  // namespace
}  // namespace lazrine::palm

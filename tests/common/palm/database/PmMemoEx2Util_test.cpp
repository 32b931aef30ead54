#include "common/palm/database/PmMemoEx2Util.h"

#include <gtest/gtest.h>

#include "common/palm/PmMemoInfo.h"
#include "common/palm/PmTypes.h"
#include "common/palm/database/PmJetEngine.h"
#include "common/palm/desktop/PmUserDataPath.h"
#include "platform/AtomicFile.h"
#include "support/JetPageEditor.h"
#include "support/DatabaseRows.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"
#include "support/TestData.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;

// A private copy: stores lock what they open, and tests run in parallel.
std::string Fixture(const std::string& name) { return TestDataCopy("mdb/" + name); }

struct Expected {
    std::uint32_t id;
    std::uint32_t status;
    std::int32_t placement;
    std::uint8_t priv;
    std::int32_t category;
    std::string note;
};

// Every row of Main of MemoPad.mdb, as the fixtures' README lists it.
const std::vector<Expected>& FixtureRows() {
    static const std::vector<Expected> rows{
        {1001, 0x00, 10, 0, 1, "Quarterly report due Friday"},
        {1002, 0x01, 20, 1, 2, "Gate code 4711"},
        {1003, 0x02, 30, 0, 3, "Call the plumber"},
        {1010, 0x04, 40, 0, 2, "Dinner with Sean O'Brien at 7"},
        {1011, 0x80, 50, 0, 1, "Archived: 2008 tax papers"},
        {1012, 0x84, 60, 1, 1, "Old locker combination 12-34-56"},
        {1013, 0x06, 70, 0, 3, "Book club reading list"},
        {1020, 0x04, 80, 0, 2, "Packing list\r\nsocks, charger, passport"},
        {1021, 0x04, 90, 0, 1, Repeated("The quick brown fox jumps over the lazy dog. ", 1500)},
        {1022, 0x04, 100, 0, 3, Repeated("Lorem ipsum dolor sit amet, consectetur adipiscing elit. ", 9000)},
        {1023, 0x04, 110, 0, 0, ""},
        {1024, 0x04, 120, 0, 2, "Café Müller: 12 € tip, 漢"},
        {1030, 0x00, 130, 0, 0, ""},
    };
    return rows;
}

// The Status and Private cells of every row, read back with a fresh engine.
std::vector<PmValues> StatusCells(const std::string& path) {
    return DatabaseRows(path, "SELECT [Record ID], [Status], [Private], [Note] FROM Main");
}

constexpr std::uint32_t kMainDefinition = 24;  // the page of Main's definition in MemoPad.mdb

// Where the Status cell of a row lies in the file: after the row's 2-byte
// column count come the fixed columns Record ID, Status, Placement, Private.
std::size_t StatusOffset(const std::vector<std::uint8_t>& file, std::uint32_t id) {
    JetPageEditor::RowPlace row;
    EXPECT_TRUE(JetPageEditor::FindRowById(file, kMainDefinition, static_cast<std::int32_t>(id), row)) << id;
    return row.nOffset + 2 + 4;
}
std::size_t PrivateOffset(const std::vector<std::uint8_t>& file, std::uint32_t id) {
    return StatusOffset(file, id) + 8;
}

// The offsets at which two files differ, outside the 4 bytes at `cell`.
std::vector<std::size_t> DifferencesBesides(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b,
                                            std::size_t cell) {
    std::vector<std::size_t> out;
    EXPECT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i] && (i < cell || i >= cell + 4)) {
            out.push_back(i);
        }
    }
    return out;
}

class PmMemoEx2UtilTest : public ::testing::Test {
protected:
    void TearDown() override { PmUserDataPath::SetResolver({}); }
    std::string Copy(const std::string& name = "MemoPad.mdb") {
        const std::string path = dir.File(name);
        WriteFileBytes(path, ReadFileBytes(Fixture(name)));
        return path;
    }
    std::size_t IndexOf(const PmMemoEx2Util& store, std::uint32_t id) {
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

TEST_F(PmMemoEx2UtilTest, LoadsEveryRowValueByValue) {
    PmMemoEx2Util store(Fixture("MemoPad.mdb"));
    ASSERT_TRUE(store.IsLoaded()) << store.LastError();
    const auto& expected = FixtureRows();
    ASSERT_EQ(store.Count(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const PmMemoEx2Rec& rec = store.GetDataMgr().At(i);
        SCOPED_TRACE(expected[i].id);
        EXPECT_EQ(rec.nRecordId, expected[i].id);
        EXPECT_EQ(rec.nStatus, expected[i].status);
        EXPECT_EQ(rec.nPlacement, expected[i].placement);
        EXPECT_EQ(rec.nPrivate, expected[i].priv);
        EXPECT_EQ(rec.nCategoryId, expected[i].category);
        EXPECT_EQ(rec.szNote, expected[i].note);
    }
    EXPECT_TRUE(store.Save());
}

TEST_F(PmMemoEx2UtilTest, CategoriesAndInformationOnRequest) {
    PmMemoEx2Util store(Fixture("MemoPad.mdb"));
    ASSERT_TRUE(store.LoadCategories());
    ASSERT_EQ(store.GetCategoryMgr().Count(), 3u);
    ASSERT_NE(store.GetCategoryMgr().FindByName("Quick List"), nullptr);
    EXPECT_EQ(store.GetCategoryMgr().FindByName("Quick List")->m_nId, 3);
    EXPECT_EQ(store.GetCategoryMgr().FindById(2)->m_szName, "Personal");
    EXPECT_EQ(store.GetCategoryMgr().FindByName("quick list"), nullptr);
    ASSERT_TRUE(store.LoadInfo());
    EXPECT_EQ(store.GetInfo().m_nVersion, 6);
    EXPECT_EQ(store.GetInfo().m_nCodePage, 1252);
    EXPECT_EQ(store.GetInfo().m_nFreeRecID, 1031);
    EXPECT_EQ(store.GetInfo().m_szTableString, "Main");
    PmValues row;
    ASSERT_TRUE(store.SelectMainByRecordId(1024, PmMemoEx2Util::ColumnNames(), row));
    EXPECT_EQ(row[5].bstrVal, "Café Müller: 12 € tip, 漢");
}

TEST_F(PmMemoEx2UtilTest, FilesThatAreNoMemoDatabaseFailTheLoad) {
    const auto memo = ReadFileBytes(Fixture("MemoPad.mdb"));
    WriteFileBytes(dir.File("truncated.mdb"), {memo.begin(), memo.begin() + 3 * 4096});
    WriteFileBytes(dir.File("text.mdb"), std::vector<std::uint8_t>(10000, 'a'));
    WriteFileBytes(dir.File("empty.mdb"), {});
    PmMemoEx2Util store;
    for (const std::string& path : {Fixture("NotPalm.mdb"), dir.File("truncated.mdb"), dir.File("text.mdb"),
                                    dir.File("empty.mdb"), dir.File("missing.mdb"), std::string()}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(store.Load(path));
        EXPECT_FALSE(store.IsLoaded());
        EXPECT_EQ(store.Count(), 0u);
        EXPECT_FALSE(store.LastError().empty());
    }
    // A to-do database has a Main table, but not the memo columns... it does
    // have all six, so it loads; an address book too. Only the record set's
    // chain decides what a file is.
    EXPECT_TRUE(store.Load(Fixture("MemoPad.mdb")));
}

TEST_F(PmMemoEx2UtilTest, LoadsForAUserFromTheMemoPadFolder) {
    std::filesystem::create_directories(dir.Path() / "User" / "MemoPad");
    WriteFileBytes((dir.Path() / "User" / "MemoPad" / "MemoPad.mdb").string(), ReadFileBytes(Fixture("MemoPad.mdb")));
    PmUserDataPath::SetResolver([&](std::uint32_t id, std::string& folder, std::string& error) {
        if (id != 7) {
            error = "no such user";
            return false;
        }
        folder = (dir.Path() / "User").string() + "/";
        return true;
    });
    PmMemoEx2Util store;
    EXPECT_TRUE(store.LoadForUser(7)) << store.LastError();
    EXPECT_EQ(store.Count(), FixtureRows().size());
    EXPECT_FALSE(store.LoadForUser(8));
    EXPECT_EQ(store.Count(), 0u);
}

// Undeleting each deleted row changes its Status cell and nothing else in
// the file; the Private value of a private memo is written as it already is.
TEST_F(PmMemoEx2UtilTest, EachUndeleteChangesOnlyItsStatusCell) {
    for (const Expected& row : FixtureRows()) {
        if (!PmIsDeletedStatus(row.status)) {
            continue;
        }
        SCOPED_TRACE(row.id);
        TempDir own;
        const std::string path = own.File("MemoPad.mdb");
        WriteFileBytes(path, ReadFileBytes(Fixture("MemoPad.mdb")));
        const auto before = ReadFileBytes(path);
        const auto cellsBefore = StatusCells(path);

        PmMemoEx2Util store(path);
        ASSERT_TRUE(store.IsLoaded());
        const std::size_t i = IndexOf(store, row.id);
        store.SetStatusAt(i, PmUndeletedStatus(store.StatusAt(i)));
        ASSERT_TRUE(store.Save()) << store.LastError();

        const auto after = ReadFileBytes(path);
        const std::size_t status = StatusOffset(before, row.id);
        EXPECT_EQ(DifferencesBesides(before, after, status), std::vector<std::size_t>{});
        EXPECT_NE(std::vector<std::uint8_t>(before.begin() + status, before.begin() + status + 4),
                  std::vector<std::uint8_t>(after.begin() + status, after.begin() + status + 4));
        EXPECT_EQ(ReadFileBytes(platform::AtomicFile::BackupPathOf(path)), before);

        const auto cellsAfter = StatusCells(path);
        ASSERT_EQ(cellsAfter.size(), cellsBefore.size());
        for (std::size_t r = 0; r < cellsAfter.size(); ++r) {
            const bool target = cellsAfter[r][0].lVal == static_cast<std::int32_t>(row.id);
            EXPECT_EQ(cellsAfter[r][1].lVal,
                      target ? static_cast<std::int32_t>(PmUndeletedStatus(row.status)) : cellsBefore[r][1].lVal);
            EXPECT_EQ(cellsAfter[r][2].vt, cellsBefore[r][2].vt);
            EXPECT_EQ(cellsAfter[r][2].lVal, cellsBefore[r][2].lVal);
            EXPECT_EQ(cellsAfter[r][3].bstrVal, cellsBefore[r][3].bstrVal);
        }
        // Written once, the record is the same as its row: nothing more to write.
        ASSERT_TRUE(store.Save()) << store.LastError();
        EXPECT_EQ(ReadFileBytes(path), after);
    }
}

// An undelete writes the Status cell alone, whatever the other cells hold:
// a Private that is a Long other than 0 or 1 is compared as loaded, never
// rewritten as the flag the record shows.
TEST_F(PmMemoEx2UtilTest, AnUndeleteWritesOnlyTheStatusWhateverPrivateHolds) {
    struct Case {
        std::uint32_t id;
        std::int32_t priv;
    };
    static const Case kCases[] = {{1010, -1}, {1010, 2}, {1010, 0x10000}, {1012, -1}, {1013, 7}, {1011, -2}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.id) + " Private " + std::to_string(c.priv));
        auto bytes = ReadFileBytes(Fixture("MemoPad.mdb"));
        const std::size_t priv = PrivateOffset(bytes, c.id);
        for (std::size_t k = 0; k < 4; ++k) {
            bytes[priv + k] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(c.priv) >> (8 * k));
        }
        TempDir own;
        const std::string path = own.File("MemoPad.mdb");
        WriteFileBytes(path, bytes);
        PmMemoEx2Util store(path);
        ASSERT_TRUE(store.IsLoaded()) << store.LastError();
        const std::size_t i = IndexOf(store, c.id);
        store.SetStatusAt(i, PmUndeletedStatus(store.StatusAt(i)));
        ASSERT_TRUE(store.Save()) << store.LastError();
        const auto after = ReadFileBytes(path);
        EXPECT_EQ(DifferencesBesides(bytes, after, StatusOffset(bytes, c.id)), std::vector<std::size_t>{});
        PmMemoEx2Util again(path);
        EXPECT_FALSE(PmIsDeletedStatus(again.StatusAt(IndexOf(again, c.id))));
    }
}

// A row changed by another program between the load and the write - its
// note or its status - is not written: the file stays as it was.
TEST_F(PmMemoEx2UtilTest, ARowChangedSinceTheLoadIsNotWritten) {
    const std::string path = Copy();
    PmMemoEx2Util store(path);
    ASSERT_TRUE(store.IsLoaded());
    // Another program changes the status of 1010; the store still holds
    // the status it loaded before.
    PmJetEngine other;
    std::string error;
    std::size_t changed = 0;
    platform::IoError opened;
    ASSERT_TRUE(other.Open(path, opened)) << opened.szText;
    ASSERT_TRUE(other.Execute("UPDATE Main SET [Status]=2 WHERE [Record ID] = 1010", changed, error)) << error;
    other.Close();
    const auto before = ReadFileBytes(path);
    ASSERT_TRUE(store.Load(path));
    const std::size_t i = IndexOf(store, 1010);
    store.GetDataMgr().At(i).nLoadedStatus = 0x04;  // as loaded before the other program's change
    store.SetStatusAt(i, 0x00);
    EXPECT_FALSE(store.Save());
    EXPECT_NE(store.LastError().find("status of record 1010 was changed"), std::string::npos) << store.LastError();
    EXPECT_EQ(ReadFileBytes(path), before);
}

// Overflow rows, as Access leaves them when an edit makes a row grow on a
// full page: the slot keeps a pointer (flagged 0x4000) to the data, which
// lies in a slot of its own flagged 0x8000, on a new page or the same one.
TEST_F(PmMemoEx2UtilTest, OverflowRowsAreReadAndUndeletedWhereTheirDataLies) {
    struct Case {
        std::vector<std::uint32_t> ids;  // rows whose data is moved, in this order
        std::uint32_t target;            // 0: a new page; else that page
    };
    static const Case kCases[] = {
        {{1010}, 0}, {{1010}, 27}, {{1001, 1012, 1022}, 0}, {{1024, 1030}, 27}, {{1021}, 0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::to_string(c.ids.front()) + " to page " + std::to_string(c.target));
        auto bytes = ReadFileBytes(Fixture("MemoPad.mdb"));
        for (const std::uint32_t id : c.ids) {
            JetPageEditor::RowPlace row;
            std::string error;
            ASSERT_TRUE(JetPageEditor::FindRowById(bytes, kMainDefinition, static_cast<std::int32_t>(id), row));
            // Later moves to a new page go to the page the first one added.
            const std::uint32_t target =
                c.target == 0 && id != c.ids.front() ? static_cast<std::uint32_t>(bytes.size() / 4096 - 1) : c.target;
            ASSERT_TRUE(JetPageEditor::MoveRowData(bytes, row.nPage, row.nSlot, target, error)) << error;
        }
        TempDir own;
        const std::string path = own.File("MemoPad.mdb");
        WriteFileBytes(path, bytes);

        // Every row reads as before, in its slot's place.
        PmMemoEx2Util store(path);
        ASSERT_TRUE(store.IsLoaded()) << store.LastError();
        const auto& expected = FixtureRows();
        ASSERT_EQ(store.Count(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(store.RecordIdAt(i), expected[i].id);
            EXPECT_EQ(store.StatusAt(i), expected[i].status);
            EXPECT_EQ(store.GetDataMgr().At(i).szNote, expected[i].note);
        }

        // Each moved deleted row is undeleted in its data's Status cell alone.
        for (const std::uint32_t id : c.ids) {
            const std::size_t i = IndexOf(store, id);
            if (!PmIsDeletedStatus(store.StatusAt(i))) {
                continue;
            }
            const auto before = ReadFileBytes(path);
            JetPageEditor::RowPlace row;
            ASSERT_TRUE(JetPageEditor::FindRowById(before, kMainDefinition, static_cast<std::int32_t>(id), row));
            EXPECT_TRUE(row.bOverflow);
            store.SetStatusAt(i, PmUndeletedStatus(store.StatusAt(i)));
            ASSERT_TRUE(store.Save()) << store.LastError();
            const auto after = ReadFileBytes(path);
            const std::size_t status = StatusOffset(before, id);
            EXPECT_EQ(status / 4096, row.nDataPage);
            EXPECT_EQ(DifferencesBesides(before, after, status), std::vector<std::size_t>{});
            EXPECT_NE(before[status], after[status]);
        }
        PmMemoEx2Util again(path);
        ASSERT_TRUE(again.IsLoaded()) << again.LastError();
        for (const std::uint32_t id : c.ids) {
            EXPECT_FALSE(PmIsDeletedStatus(again.StatusAt(IndexOf(again, id))));
        }
    }
}

// A deleted overflow row (both flags on its slot) is passed over, and so is
// the moved data its pointer reached: the table has one row less.
TEST_F(PmMemoEx2UtilTest, ADeletedOverflowRowIsNotListed) {
    auto bytes = ReadFileBytes(Fixture("MemoPad.mdb"));
    JetPageEditor::RowPlace row;
    std::string error;
    ASSERT_TRUE(JetPageEditor::FindRowById(bytes, kMainDefinition, 1013, row));
    ASSERT_TRUE(JetPageEditor::MoveRowData(bytes, row.nPage, row.nSlot, 0, error)) << error;
    ASSERT_TRUE(JetPageEditor::SetSlotFlags(bytes, row.nPage, row.nSlot, 0xC000, error)) << error;
    const std::string path = dir.File("MemoPad.mdb");
    WriteFileBytes(path, bytes);
    PmMemoEx2Util store(path);
    ASSERT_TRUE(store.IsLoaded()) << store.LastError();
    EXPECT_EQ(store.Count(), FixtureRows().size() - 1);
    for (std::size_t i = 0; i < store.Count(); ++i) {
        EXPECT_NE(store.RecordIdAt(i), 1013u);
    }
}

// One record that cannot be written fails the whole save: the record saved
// with it (1013) is not written either.
TEST_F(PmMemoEx2UtilTest, ARecordWhoseRowIsGoneIsNeverAddedAgain) {
    const std::string path = Copy();
    const auto before = ReadFileBytes(path);
    PmMemoEx2Util store(path);
    store.SetStatusAt(IndexOf(store, 1013), 0x02);
    const std::size_t i = IndexOf(store, 1010);
    store.SetStatusAt(i, 0x01);
    store.GetDataMgr().At(i).szNote = "Dinner with Sean O'Brien at 8";
    EXPECT_FALSE(store.Save());
    EXPECT_NE(store.LastError().find("nothing was written"), std::string::npos) << store.LastError();
    store.GetDataMgr().At(i).szNote = "x' OR '1'='1";
    EXPECT_FALSE(store.Save());
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_EQ(StatusCells(path).size(), FixtureRows().size());
    EXPECT_FALSE(std::filesystem::exists(platform::AtomicFile::BackupPathOf(path)));
}

TEST_F(PmMemoEx2UtilTest, TheEnginesRefusalReachesTheCaller) {
    const std::string path = Copy();
    PmMemoEx2Util store(path);
    ASSERT_TRUE(store.IsLoaded());
    auto bytes = ReadFileBytes(path);
    bytes.back() ^= 0xFF;  // another program changes the file after the load
    WriteFileBytes(path, bytes);
    const std::size_t k = IndexOf(store, 1013);
    store.SetStatusAt(k, 0x03);
    EXPECT_FALSE(store.Save());
    EXPECT_NE(store.LastError().find("changed by another program"), std::string::npos) << store.LastError();
    EXPECT_EQ(ReadFileBytes(path), bytes);
}

TEST_F(PmMemoEx2UtilTest, AStoreWritesToItsOwnFileAfterAnotherMemoDatabaseWasOpened) {
    const std::string path = Copy();
    PmMemoEx2Util store(path);
    ASSERT_TRUE(store.IsLoaded());
    // A probe of another file takes the shared memo connection.
    EXPECT_EQ(PmMemoInfo::ProbeFile(Fixture("MemoPad.mdb")), PM_STORE_DATABASE);
    const std::size_t k = IndexOf(store, 1013);
    store.SetStatusAt(k, 0x03);
    ASSERT_TRUE(store.Save()) << store.LastError();
    EXPECT_EQ(StatusCells(path)[6][1].lVal, 0x03);
    EXPECT_EQ(StatusCells(Fixture("MemoPad.mdb"))[6][1].lVal, 0x06);
}

TEST_F(PmMemoEx2UtilTest, TheMemoRecordSetReadsAndUndeletesADatabase) {
    const std::string path = Copy();
    EXPECT_EQ(PmMemoInfo::ProbeFile(path), PM_STORE_DATABASE);
    EXPECT_EQ(PmMemoInfo::ProbeFile(Fixture("NotPalm.mdb")), PM_STORE_FAILED);

    PmMemoInfo info;
    info.SetIncludeDeleted(true);
    ASSERT_TRUE(info.LoadFile(path));
    EXPECT_EQ(info.LoadedKind(), PM_STORE_DATABASE);
    ASSERT_EQ(info.CommonCount(), FixtureRows().size());
    const auto& packing = info.GetCommMgr().At(7);
    EXPECT_EQ(packing.nId, 1020u);
    EXPECT_EQ(packing.nSource, 16u);
    EXPECT_EQ(packing.Subject(), "Packing list");
    EXPECT_EQ(info.GetCommMgr().At(11).szNote, "Café Müller: 12 € tip, 漢");
    EXPECT_EQ(info.GetCommMgr().At(5).nPrivate, 1u);

    for (std::size_t i = 0; i < info.CommonCount(); ++i) {
        if (info.IsDeletedAt(i)) {
            EXPECT_TRUE(info.UndeleteAt(i)) << info.LastError();
        }
    }
    EXPECT_TRUE(info.Save());
    PmMemoInfo again;
    ASSERT_TRUE(again.LoadFile(path));
    EXPECT_EQ(again.EntryCount(), FixtureRows().size());  // nothing is deleted any more

    // A save that fails leaves the record deleted in memory and says why.
    const std::string other = dir.File("other.mdb");
    WriteFileBytes(other, ReadFileBytes(Fixture("MemoPad.mdb")));
    PmMemoInfo failing;
    failing.SetIncludeDeleted(true);
    ASSERT_TRUE(failing.LoadFile(other));
    auto bytes = ReadFileBytes(other);
    bytes.back() ^= 0xFF;  // any change made elsewhere
    WriteFileBytes(other, bytes);
    EXPECT_TRUE(failing.UndeleteAt(3));
    EXPECT_FALSE(failing.Save());
    EXPECT_NE(failing.LastError().find("changed by another program"), std::string::npos) << failing.LastError();
    EXPECT_EQ(failing.StatusAt(3), 0x04u);
    EXPECT_EQ(failing.Database().StatusAt(3), 0x04u);
}

TEST_F(PmMemoEx2UtilTest, ConversionsBetweenRowsAndRecords) {
    PmMemoEx2Rec rec;
    PmValues row(6);
    row[0].vt = VT_I4;
    row[0].lVal = 12;
    row[1].vt = VT_I4;
    row[1].lVal = 0x84;
    row[3].vt = VT_I4;
    row[3].lVal = 0x10000;  // nonzero only above the low 16 bits
    row[4].vt = VT_BSTR;
    row[4].bstrVal = "7";
    row[4].bBstrNull = false;
    ASSERT_TRUE(PmMemoEx2Util::RowToRecord(row, rec));
    EXPECT_EQ(rec.nRecordId, 12u);
    EXPECT_EQ(rec.nPrivate, 0);
    EXPECT_EQ(rec.nCategoryId, 7);
    EXPECT_FALSE(PmMemoEx2Util::RowToRecord(PmValues(5), rec));

    PmVariant v;
    ASSERT_TRUE(PmMemoEx2Util::FieldToValue(rec, 4, v));
    EXPECT_EQ(v.bstrVal, "7");
    ASSERT_TRUE(PmMemoEx2Util::FieldToValue(rec, 5, v));
    EXPECT_EQ(v.vt, VT_BSTR);
    EXPECT_FALSE(v.bBstrNull);  // an empty note is an empty text
    EXPECT_FALSE(PmMemoEx2Util::FieldToValue(rec, 6, v));

    PmMemoEx2Rec found = rec;
    found.nPlacement = 99;
    EXPECT_TRUE(PmMemoEx2Util::SameRecord(rec, found));
    EXPECT_EQ(PmMemoEx2Util::ListChanges(rec, found), (std::vector<std::size_t>{2}));
    found.nStatus = 1;
    found.nPrivate = 1;
    EXPECT_FALSE(PmMemoEx2Util::SameRecord(rec, found));
    EXPECT_EQ(PmMemoEx2Util::ListChanges(rec, found), (std::vector<std::size_t>{1, 2, 3}));
    EXPECT_EQ(PmMemoEx2Util::ColumnName(3), "Private");
    EXPECT_EQ(PmMemoEx2Util::ColumnName(6), "");
}

}  // namespace
}  // namespace lazrine::palm

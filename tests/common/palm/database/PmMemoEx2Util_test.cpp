#include "common/palm/database/PmMemoEx2Util.h"

#include <gtest/gtest.h>

#include "common/palm/PmMemoInfo.h"
#include "common/palm/PmTypes.h"
#include "common/palm/database/PmJetEngine.h"
#include "common/palm/desktop/PmUserDataPath.h"
#include "platform/AtomicFile.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"
#include "support/TestData.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;

// A private copy: stores lock what they open, and tests run in parallel.
std::string Fixture(const std::string& name) { return TestDataCopy("mdb/" + name); }

std::string Repeated(const std::string& unit, std::size_t length) {
    std::string out;
    while (out.size() < length) {
        out += unit;
    }
    out.resize(length);
    return out;
}

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
    PmJetEngine e;
    std::string error;
    std::vector<PmValues> rows;
    EXPECT_TRUE(e.Open(path, error)) << error;
    EXPECT_TRUE(e.Query("SELECT [Record ID], [Status], [Private], [Note] FROM Main", rows, error)) << error;
    return rows;
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
        ASSERT_TRUE(store.UpdateRecord(i)) << store.LastError();

        const auto after = ReadFileBytes(path);
        ASSERT_EQ(after.size(), before.size());
        std::size_t differing = 0;
        for (std::size_t b = 0; b < before.size(); ++b) {
            differing += before[b] != after[b] ? 1 : 0;
        }
        EXPECT_EQ(differing, 1u);  // the low byte of the Long Status
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
        ASSERT_TRUE(store.UpdateRecord(i)) << store.LastError();
        EXPECT_EQ(ReadFileBytes(path), after);
    }
}

TEST_F(PmMemoEx2UtilTest, ARecordWhoseRowIsGoneIsNeverAddedAgain) {
    const std::string path = Copy();
    const auto before = ReadFileBytes(path);
    PmMemoEx2Util store(path);
    const std::size_t i = IndexOf(store, 1010);
    store.SetStatusAt(i, 0x01);
    store.GetDataMgr().At(i).szNote = "Dinner with Sean O'Brien at 8";
    EXPECT_FALSE(store.UpdateRecord(i));
    EXPECT_NE(store.LastError().find("not written"), std::string::npos) << store.LastError();
    store.GetDataMgr().At(i).szNote = "x' OR '1'='1";
    EXPECT_FALSE(store.UpdateRecord(i));
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
    EXPECT_FALSE(store.UpdateRecord(k));
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
    ASSERT_TRUE(store.UpdateRecord(k)) << store.LastError();
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
        if (PmIsDeletedStatus(info.GetCommMgr().At(i).nStatus)) {
            EXPECT_TRUE(info.UndeleteAt(i)) << info.LastError();
        }
    }
    EXPECT_TRUE(info.Save());
    PmMemoInfo again;
    ASSERT_TRUE(again.LoadFile(path));
    EXPECT_EQ(again.EntryCount(), FixtureRows().size());  // nothing is deleted any more

    // A write that fails leaves the record deleted in memory and says why.
    const std::string other = dir.File("other.mdb");
    WriteFileBytes(other, ReadFileBytes(Fixture("MemoPad.mdb")));
    PmMemoInfo failing;
    failing.SetIncludeDeleted(true);
    ASSERT_TRUE(failing.LoadFile(other));
    auto bytes = ReadFileBytes(other);
    bytes.back() ^= 0xFF;  // any change made elsewhere
    WriteFileBytes(other, bytes);
    EXPECT_FALSE(failing.UndeleteAt(3));
    EXPECT_NE(failing.LastError().find("1010"), std::string::npos);
    EXPECT_EQ(failing.GetCommMgr().At(3).nStatus, 0x04u);
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

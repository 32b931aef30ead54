#include "common/palm/database/PmDateEx2Util.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/palm/PmTypes.h"
#include "common/palm/database/PmJetEngine.h"
#include "common/palm/database/PmValueHelpers.h"
#include "common/palm/desktop/PmUserDataPath.h"
#include "platform/AtomicFile.h"
#include "support/DatabaseRows.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"
#include "support/TestData.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;
using Bytes = std::vector<std::uint8_t>;

std::string Fixture(const std::string& name) { return TestDataCopy("mdb/" + name); }

// Every row of Main of DateBook.mdb, as the fixtures' README lists it.
const std::vector<PmDateEx2Rec>& FixtureRows() {
    auto row = [](std::uint32_t id, std::uint32_t status, std::int32_t placement, std::uint8_t priv,
                  std::int32_t category, std::string note, std::string start, std::string end, std::uint8_t untimed,
                  std::string zone, std::string location, std::string summary, std::uint8_t alarm,
                  std::int32_t advance, std::int32_t unit, std::string repeated) {
        PmDateEx2Rec r;
        r.nRecordId = id;
        r.nStatus = status;
        r.nPlacement = placement;
        r.nPrivate = priv;
        r.nCategoryId = category;
        r.szNote = std::move(note);
        r.nStartTime = static_cast<std::uint32_t>(std::stoul(start));
        r.szStartTime = std::move(start);
        r.nEndTime = static_cast<std::uint32_t>(std::stoul(end));
        r.szEndTime = std::move(end);
        r.nUntimed = untimed;
        r.szTimeZone = std::move(zone);
        r.szLocation = std::move(location);
        r.szSummary = std::move(summary);
        r.nAlarm = alarm;
        r.nAlarmAdvance = advance;
        r.nAlarmUnit = unit;
        r.szRepeatedEvent = std::move(repeated);
        return r;
    };
    static const std::vector<PmDateEx2Rec> rows{
        row(3001, 0x00, 1, 0, 1, "Bring the Q1 figures", "1241515800", "1241518500", 0, "UTC", "Room 4.12",
            "Team meeting", 1, 5, 0, ""),
        row(3002, 0x01, 2, 1, 2, "", "1297641600", "1297641600", 1, "UTC", "", "Anniversary dinner", 0, 0, 0,
            "yearly"),
        row(3003, 0x02, 3, 0, 2, "Check-up", "1288706400", "1288711800", 0, "Europe/London",
            "Dr Weiss, 5 Main Street", "Dentist", 1, 1, 1, ""),
        row(3010, 0x04, 4, 0, 2, "Table for two", "1241528400", "1241532000", 0, "UTC", "O'Malley's Pub",
            "Lunch with Pat O'Brien", 0, 0, 0, ""),
        row(3011, 0x80, 5, 0, 1, "Badge at the desk", "1237075200", "1237075200", 1, "UTC", "Hall B",
            "Conference 2009", 0, 0, 0, ""),
        row(3012, 0x84, 6, 1, 1, "Minutes to follow", "1366628400", "1366633800", 0, "UTC", "Board room",
            "Board review", 1, 15, 0, ""),
        row(3013, 0x06, 7, 0, 3, "Winter tyres", "1409702400", "1409702400", 1, "UTC", "Garage", "Car service", 0, 0,
            0, ""),
        row(3020, 0x04, 8, 0, 1, "Gate 12\r\nSeat 14C", "1421651700", "1421654700", 0, "America/New_York",
            "Logan Airport", "Flight to Boston", 1, 2, 1, ""),
        row(3021, 0x04, 9, 0, 1, Repeated("The quick brown fox jumps over the lazy dog. ", 1500), "1457460000",
            "1457470800", 0, "UTC", "Lab 2", "Workshop", 0, 0, 0, ""),
        row(3022, 0x04, 10, 0, 3, Repeated("Lorem ipsum dolor sit amet, consectetur adipiscing elit. ", 9000),
            "1356307200", "1356307200", 1, "UTC", "Mountain lodge", "Offsite", 0, 0, 0, ""),
        row(3023, 0x04, 11, 0, 0, "", "1341043200", "1341045900", 0, "", "", "", 0, 0, 0, ""),
        row(3024, 0x04, 12, 0, 2, "Non-ASCII summary", "1366416000", "1366416000", 1, "Europe/Zurich", "Zürich",
            "Café Müller, 20 € deposit, 漢", 0, 0, 0, ""),
    };
    return rows;
}

// The Record ID and Status cells of every row, read back with a fresh engine.
std::vector<PmValues> StatusCells(const std::string& path) {
    return DatabaseRows(path, "SELECT [Record ID], [Status], [Summary], [Start Time] FROM Main");
}

std::size_t IndexOf(const PmDateEx2Util& store, std::uint32_t id) {
    for (std::size_t i = 0; i < store.Count(); ++i) {
        if (store.RecordIdAt(i) == id) {
            return i;
        }
    }
    ADD_FAILURE() << "no record " << id;
    return 0;
}

// Replaces the only occurrence of a text stored as UTF-16LE by another of the
// same length, as another program editing the cell would.
bool PatchText(Bytes& file, const std::string& from, const std::string& to) {
    Bytes a;
    Bytes b;
    for (std::size_t i = 0; i < from.size(); ++i) {
        a.insert(a.end(), {static_cast<std::uint8_t>(from[i]), 0});
        b.insert(b.end(), {static_cast<std::uint8_t>(to[i]), 0});
    }
    const auto at = std::search(file.begin(), file.end(), a.begin(), a.end());
    if (at == file.end() || std::search(at + 1, file.end(), a.begin(), a.end()) != file.end()) {
        return false;
    }
    std::copy(b.begin(), b.end(), at);
    return true;
}

void ExpectSame(const PmDateEx2Rec& got, const PmDateEx2Rec& want) {
    SCOPED_TRACE(want.nRecordId);
    EXPECT_EQ(got.nRecordId, want.nRecordId);
    EXPECT_EQ(got.nStatus, want.nStatus);
    EXPECT_EQ(got.nPlacement, want.nPlacement);
    EXPECT_EQ(got.nPrivate, want.nPrivate);
    EXPECT_EQ(got.nCategoryId, want.nCategoryId);
    EXPECT_EQ(got.szNote, want.szNote);
    EXPECT_EQ(got.nStartTime, want.nStartTime);
    EXPECT_EQ(got.szStartTime, want.szStartTime);
    EXPECT_EQ(got.nEndTime, want.nEndTime);
    EXPECT_EQ(got.szEndTime, want.szEndTime);
    EXPECT_EQ(got.nUntimed, want.nUntimed);
    EXPECT_EQ(got.szTimeZone, want.szTimeZone);
    EXPECT_EQ(got.szLocation, want.szLocation);
    EXPECT_EQ(got.szSummary, want.szSummary);
    EXPECT_EQ(got.nAlarm, want.nAlarm);
    EXPECT_EQ(got.nAlarmAdvance, want.nAlarmAdvance);
    EXPECT_EQ(got.nAlarmUnit, want.nAlarmUnit);
    EXPECT_EQ(got.szRepeatedEvent, want.szRepeatedEvent);
}

class PmDateEx2UtilTest : public ::testing::Test {
protected:
    void TearDown() override { PmUserDataPath::SetResolver({}); }
    std::string Copy(const Bytes& bytes) {
        const std::string path = dir.File("DateBook.mdb");
        WriteFileBytes(path, bytes);
        return path;
    }
    TempDir dir;
};

TEST_F(PmDateEx2UtilTest, LoadsEveryRowValueByValue) {
    PmDateEx2Util store(Fixture("DateBook.mdb"));
    ASSERT_TRUE(store.IsLoaded()) << store.LastError();
    ASSERT_EQ(store.Count(), FixtureRows().size());
    for (std::size_t i = 0; i < store.Count(); ++i) {
        ExpectSame(store.GetDataMgr().At(i), FixtureRows()[i]);
    }
    EXPECT_TRUE(store.Save());
}

TEST_F(PmDateEx2UtilTest, OtherFilesFailTheLoad) {
    PmDateEx2Util store;
    for (const std::string& path :
         {Fixture("NotPalm.mdb"), Fixture("MemoPad.mdb"), dir.File("missing.mdb"), std::string()}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(store.Load(path));
        EXPECT_EQ(store.Count(), 0u);
        EXPECT_FALSE(store.LastError().empty());
    }
}

TEST_F(PmDateEx2UtilTest, LoadsForAUserFromTheDateBookFolder) {
    std::filesystem::create_directories(dir.Path() / "User" / "datebook");
    WriteFileBytes((dir.Path() / "User" / "datebook" / "DateBook.mdb").string(),
                   ReadFileBytes(Fixture("DateBook.mdb")));
    PmUserDataPath::SetResolver([&](std::uint32_t id, std::string& folder, std::string& error) {
        if (id != 7) {
            error = "no such user";
            return false;
        }
        folder = (dir.Path() / "User").string() + "/";
        return true;
    });
    PmDateEx2Util store;
    EXPECT_TRUE(store.LoadForUser(7)) << store.LastError();
    EXPECT_EQ(store.Count(), FixtureRows().size());
    EXPECT_FALSE(store.LoadForUser(8));
    EXPECT_EQ(store.Count(), 0u);
}

// Every deleted row can be undeleted - also one whose Summary holds a quote,
// is NULL or holds characters outside Windows-1252 - and the undelete changes
// the low byte of its Status cell and nothing else in the file.
TEST_F(PmDateEx2UtilTest, EachUndeleteChangesOnlyItsStatusCell) {
    for (const PmDateEx2Rec& row : FixtureRows()) {
        if (!PmIsDeletedStatus(row.nStatus)) {
            continue;
        }
        SCOPED_TRACE(row.nRecordId);
        TempDir own;
        const std::string path = own.File("DateBook.mdb");
        WriteFileBytes(path, ReadFileBytes(Fixture("DateBook.mdb")));
        const Bytes before = ReadFileBytes(path);
        const auto cellsBefore = StatusCells(path);

        PmDateEx2Util store(path);
        ASSERT_TRUE(store.IsLoaded());
        const std::size_t i = IndexOf(store, row.nRecordId);
        store.SetStatusAt(i, PmUndeletedStatus(store.StatusAt(i)));
        ASSERT_TRUE(store.Save()) << store.LastError();

        const Bytes after = ReadFileBytes(path);
        EXPECT_EQ(DifferingBytes(before, after), 1u);
        EXPECT_EQ(ReadFileBytes(platform::AtomicFile::BackupPathOf(path)), before);
        const auto cellsAfter = StatusCells(path);
        ASSERT_EQ(cellsAfter.size(), cellsBefore.size());
        for (std::size_t r = 0; r < cellsAfter.size(); ++r) {
            const bool target = cellsAfter[r][0].lVal == static_cast<std::int32_t>(row.nRecordId);
            EXPECT_EQ(cellsAfter[r][1].lVal, target ? static_cast<std::int32_t>(PmUndeletedStatus(row.nStatus))
                                                    : cellsBefore[r][1].lVal);
        }
        // Written once, the row already holds the status: nothing more is written.
        ASSERT_TRUE(store.Save()) << store.LastError();
        EXPECT_EQ(ReadFileBytes(path), after);
    }
}

// Date texts that are no plain number, and numbers above the signed range,
// load as unsigned numbers with their texts as stored, and such a row is
// still found and undeleted.
TEST_F(PmDateEx2UtilTest, DateTextsThatAreNoPlainNumberAreFoundAgain) {
    Bytes bytes = ReadFileBytes(Fixture("DateBook.mdb"));
    ASSERT_TRUE(PatchText(bytes, "1241528400", "12415284x0"));
    ASSERT_TRUE(PatchText(bytes, "1241532000", "3000000000"));
    const std::string path = Copy(bytes);
    PmDateEx2Util store(path);
    ASSERT_TRUE(store.IsLoaded()) << store.LastError();
    const std::size_t i = IndexOf(store, 3010);
    const PmDateEx2Rec& rec = store.GetDataMgr().At(i);
    EXPECT_EQ(rec.nStartTime, 12415284u);
    EXPECT_EQ(rec.szStartTime, "12415284x0");
    EXPECT_EQ(rec.nEndTime, 3000000000u);
    EXPECT_EQ(rec.szEndTime, "3000000000");
    store.SetStatusAt(i, 0x01);
    ASSERT_TRUE(store.Save()) << store.LastError();
    EXPECT_EQ(DifferingBytes(bytes, ReadFileBytes(path)), 1u);
}

// A row that is gone or whose key changed since the load is not written,
// and never added as a new row.
TEST_F(PmDateEx2UtilTest, ARowThatIsGoneOrChangedIsNotWritten) {
    struct Case {
        const char* name;
        void (*change)(PmDateEx2Rec&);
    };
    const Case cases[] = {
        {"gone", [](PmDateEx2Rec& r) { r.nRecordId = 9999; }},
        {"summary", [](PmDateEx2Rec& r) { r.szSummary = "Lunch with Pat O'Brien'"; }},
        {"start", [](PmDateEx2Rec& r) { r.szStartTime = "1241528401"; }},
        {"end", [](PmDateEx2Rec& r) { r.szEndTime.clear(); }},
        {"injection", [](PmDateEx2Rec& r) { r.szSummary = "x' OR '1'='1"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir own;
        const std::string path = own.File("DateBook.mdb");
        WriteFileBytes(path, ReadFileBytes(Fixture("DateBook.mdb")));
        const Bytes before = ReadFileBytes(path);
        PmDateEx2Util store(path);
        const std::size_t i = IndexOf(store, 3010);
        store.SetStatusAt(i, 0x01);
        c.change(store.GetDataMgr().At(i));
        EXPECT_FALSE(store.Save());
        EXPECT_NE(store.LastError().find("nothing was written"), std::string::npos) << store.LastError();
        EXPECT_EQ(ReadFileBytes(path), before);
        EXPECT_EQ(StatusCells(path).size(), FixtureRows().size());
        EXPECT_FALSE(std::filesystem::exists(platform::AtomicFile::BackupPathOf(path)));
    }
}

TEST_F(PmDateEx2UtilTest, ConversionsOfRows) {
    PmValues row(PmDateEx2Util::kColumnCount);
    auto text = [](const char* s) {
        PmVariant v;
        PmSetText(s, &v);
        return v;
    };
    row[3].vt = VT_I4;
    row[3].lVal = 0x10000;  // a numeric flag counts in its low 16 bits only
    row[6] = text(" 17abc");
    row[7].vt = VT_I4;
    row[7].lVal = -1;
    row[8].vt = VT_BOOL;
    row[8].boolVal = -1;
    PmDateEx2Rec rec;
    ASSERT_TRUE(PmDateEx2Util::RowToRecord(row, rec));
    EXPECT_EQ(rec.nPrivate, 0);
    EXPECT_EQ(rec.nStartTime, 17u);
    EXPECT_EQ(rec.szStartTime, " 17abc");
    EXPECT_EQ(rec.nEndTime, 0xFFFFFFFFu);
    EXPECT_EQ(rec.szEndTime, "-1");
    EXPECT_EQ(rec.nUntimed, 1);
    EXPECT_FALSE(PmDateEx2Util::RowToRecord(PmValues(15), rec));
    EXPECT_EQ(PmDateEx2Util::ColumnName(15), "Repeated Event");
    EXPECT_EQ(PmDateEx2Util::ColumnName(16), "");

    std::uint32_t n = 0;
    for (const auto& [input, want] : std::vector<std::pair<std::string, std::uint32_t>>{
             {"4294967295", 0xFFFFFFFFu}, {"99999999999", 0xFFFFFFFFu}, {"+12", 12}, {"-12", 0}, {"", 0}}) {
        PmVariant v = text(input.c_str());
        v.bBstrNull = false;
        ASSERT_TRUE(PmGetUInt(&v, n)) << input;
        EXPECT_EQ(n, want) << input;
    }
    EXPECT_FALSE(PmGetUInt(nullptr, n));
}

}  // namespace
}  // namespace lazrine::palm

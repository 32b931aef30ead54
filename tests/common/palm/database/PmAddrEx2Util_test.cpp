#include "common/palm/database/PmAddrEx2Util.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/palm/PmAddrInfo.h"
#include "common/palm/PmTypes.h"
#include "platform/AtomicFile.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"
#include "support/TestData.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;
using R = PmAddrEx2Rec;

struct Expected {
    std::uint32_t id;
    std::uint32_t status;
    std::int32_t placement;
    std::uint8_t priv;
    std::int32_t category;
    std::string first;
    std::string last;
    std::string company;
    std::string note;
    std::array<std::string, 7> phones;
    std::array<std::int32_t, 7> labels;
    // Window columns: e-mail, work, mobile, home.
    std::array<std::string, 4> shown;
};

const std::array<std::int32_t, 7> kUsual{0, 2, 7, 1, 2, 7, 3};

// Every row of Main of Address.mdb, as the fixtures' README lists it.
const std::vector<Expected>& FixtureRows() {
    static const std::vector<Expected> rows{
        {4001, 0x00, 1, 0, 1, "Anna", "Lee", "Lee Consulting", "Met at the 2008 trade fair",
         {"+1 503 555 0100", "+1 503 555 0101", "+1 503 555 0102", "+1 503 555 0103", "", "", "+1 503 555 0104"},
         kUsual, {"", "+1 503 555 0100", "+1 503 555 0102", "+1 503 555 0103"}},
        {4002, 0x01, 2, 1, 2, "Ben", "Carter", "Carter & Sons", "", {"555-0200", "", "555-0202", "555-0201", "", "", ""},
         {5, 2, 6, 1, 2, 7, 3}, {"", "", "", "555-0201"}},
        {4003, 0x02, 3, 0, 3, "Clara", "Dunn", "", "Neighbour", {"", "", "", "555-0300", "", "", ""}, kUsual,
         {"", "", "", "555-0300"}},
        {4010, 0x04, 4, 0, 2, "Sean", "O'Brien", "O'Brien Music", "Plays bass in the band",
         {"+353 1 555 0400", "", "", "", "", "sean.obrien@example.com", ""}, {0, 2, 7, 1, 2, 4, 3},
         {"sean.obrien@example.com", "+353 1 555 0400", "", ""}},
        {4011, 0x80, 5, 0, 1, "Carla", "Diaz", "Diaz Imports", "Two mobiles", {"555-0500", "", "", "555-0501", "", "", ""},
         {7, 2, 0, 7, 2, 7, 3}, {"", "", "555-0501", ""}},
        {4012, 0x84, 6, 1, 1, "Dieter", "Braun",
         "Northwestern Regional Consolidated Engineering, Surveying and Environmental Consulting Partners Ltd.",
         "Long company name", {"555-0600", "", "", "", "", "", ""}, kUsual, {"", "555-0600", "", ""}},
        {4013, 0x06, 7, 0, 3, "Emma", "Fox", "", "Old colleague", {"555-0700", "", "", "", "", "", ""}, kUsual,
         {"", "555-0700", "", ""}},
        {4020, 0x04, 8, 0, 2, "Gary", "Hunt", "", "Likes jazz\r\nAllergic to nuts", {"", "", "", "555-0800", "", "", ""},
         kUsual, {"", "", "", "555-0800"}},
        {4021, 0x04, 9, 0, 1, "Helen", "Ito", "Ito Trading", Repeated("The quick brown fox jumps over the lazy dog. ", 1500),
         {"555-0900", "", "", "", "", "", ""}, kUsual, {"", "555-0900", "", ""}},
        {4022, 0x04, 10, 0, 1, "Ivan", "Jones", "",
         Repeated("Lorem ipsum dolor sit amet, consectetur adipiscing elit. ", 9000), {"555-1000", "", "", "", "", "", ""},
         kUsual, {"", "555-1000", "", ""}},
        {4023, 0x04, 11, 0, 0, "Julia", "King", "", "", {}, {0, 0, 0, 0, 0, 0, 0}, {"", "", "", ""}},
        {4024, 0x04, 12, 0, 2, "Renée", "Müller", "Café Müller € 漢", "Non-ASCII names",
         {"+41 44 555 1200", "", "", "", "", "", ""}, kUsual, {"", "+41 44 555 1200", "", ""}},
        {4025, 0x04, 13, 0, 1, "", "", "Acme Plumbing", "Emergency plumber", {"555-1300", "555-1301", "", "", "", "", ""},
         kUsual, {"", "555-1300", "", ""}},
    };
    return rows;
}

// Every cell of Main, read with a fresh store.
std::vector<R> Rows(const std::string& path) {
    PmAddrEx2Util store(path);
    EXPECT_TRUE(store.IsLoaded()) << store.LastError();
    return store.GetDataMgr().Records();
}

bool SameCells(const R& a, const R& b) { return a.aNumbers == b.aNumbers && a.aFlags == b.aFlags && a.aTexts == b.aTexts; }

class PmAddrEx2UtilTest : public ::testing::Test {
protected:
    std::string Copy() {
        const std::string path = dir.File("Address.mdb");
        WriteFileBytes(path, ReadFileBytes(TestDataCopy("mdb/Address.mdb")));
        return path;
    }
    TempDir dir;
};

TEST_F(PmAddrEx2UtilTest, LoadsEveryRowValueByValue) {
    PmAddrEx2Util store(TestDataCopy("mdb/Address.mdb"));
    ASSERT_TRUE(store.IsLoaded()) << store.LastError();
    const auto& expected = FixtureRows();
    ASSERT_EQ(store.Count(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const R& rec = store.GetDataMgr().At(i);
        const Expected& e = expected[i];
        SCOPED_TRACE(e.id);
        EXPECT_EQ(rec.RecordId(), e.id);
        EXPECT_EQ(rec.Status(), e.status);
        EXPECT_EQ(rec.Number(R::kPlacement), e.placement);
        EXPECT_EQ(rec.Flag(R::kPrivate), e.priv);
        EXPECT_EQ(rec.Number(R::kCategory), e.category);
        EXPECT_EQ(rec.Text(R::kFirstName), e.first);
        EXPECT_EQ(rec.Text(R::kLastName), e.last);
        EXPECT_EQ(rec.Text(R::kCompany), e.company);
        EXPECT_EQ(rec.Text(R::kNote), e.note);
        for (std::size_t p = 0; p < 7; ++p) {
            EXPECT_EQ(rec.Text(R::kWorkPhone + p), e.phones[p]) << "slot " << p;
            EXPECT_EQ(rec.Number(R::kPhoneLabel1 + p), e.labels[p]) << "label " << p;
        }
    }
    // The full row of 4001, column by column.
    const R& anna = store.GetDataMgr().At(0);
    const std::vector<std::pair<std::string, std::string>> texts{
        {"Prefix", "Ms"}, {"Middle Name", "Maria"}, {"NickName", "Annie"}, {"Profession", "Engineer"},
        {"Job Title", "Owner"}, {"Assistant Name", "Tom Baker"}, {"Assistant Phone", "+1 503 555 0199"},
        {"Work Street", "12 Harbour Road"}, {"Work City", "Portland"}, {"Work State", "OR"}, {"Work Zip", "97201"},
        {"Work Country", "USA"}, {"Home Street", "4 Elm Court"}, {"Home City", "Beaverton"}, {"Home Zip", "97005"},
        {"Work E-mail", "anna@leeconsulting.example"}, {"E-mail 1", "anna.lee@mail.example"}, {"Pager", "555 7788"},
        {"Custom 1", "Golf"}, {"Custom 4", "Account 7731"}, {"Chat1", "anna.lee"},
        {"Website", "http://leeconsulting.example/"}, {"Custom 5", "C5 text"}, {"Custom 14", "C14 text"},
        {"English Name", "Anna Lee"}, {"Other Street", ""}, {"Suffix", ""}};
    const std::vector<std::pair<std::string, std::int32_t>> numbers{
        {"Birthday", 329875200}, {"Anniversary", 0}, {"Primary Contact", 0}, {"Chat1 LabelID", 1},
        {"Birthday AlarmAdv", 3}, {"Addr Label2", 1}, {"Addr Label3", 2}, {"Avatar", 0}};
    for (std::size_t c = 0; c < R::kColumnCount; ++c) {
        const std::string name = PmAddrEx2Util::ColumnName(c);
        for (const auto& [column, value] : texts) {
            if (column == name) {
                EXPECT_EQ(anna.Text(c), value) << column;
            }
        }
        for (const auto& [column, value] : numbers) {
            if (column == name) {
                EXPECT_EQ(anna.Number(c), value) << column;
            }
        }
    }
    EXPECT_EQ(anna.Flag(78), 1) << "Birthday AlarmSet";
    EXPECT_EQ(anna.Flag(84), 0) << "Anniversary AlarmSet";
    EXPECT_EQ(store.CategoryName(PmAddrEx2Util::CategoryIdOf(anna)), "Business");
    EXPECT_TRUE(store.Save());
}

TEST_F(PmAddrEx2UtilTest, TheRecordSetShowsEveryRowAsTheWindowDoes) {
    PmAddrInfo info;
    info.SetIncludeDeleted(true);
    ASSERT_TRUE(info.LoadFile(TestDataCopy("mdb/Address.mdb"))) << info.LastError();
    EXPECT_EQ(info.LoadedKind(), PM_STORE_DATABASE);
    const auto& expected = FixtureRows();
    ASSERT_EQ(info.CommonCount(), expected.size());
    using K = misc::CommAddrMgr::Key;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Expected& e = expected[i];
        SCOPED_TRACE(e.id);
        EXPECT_EQ(info.CommonAt(i).nId, e.id);
        EXPECT_EQ(info.CommonAt(i).nSource, 16u);
        EXPECT_EQ(info.FieldText(i, K::kFirstName), e.first);
        EXPECT_EQ(info.FieldText(i, K::kLastName), e.last);
        EXPECT_EQ(info.FieldText(i, K::kEmail), e.shown[0]);
        EXPECT_EQ(info.FieldText(i, K::kWorkPhone), e.shown[1]);
        EXPECT_EQ(info.FieldText(i, K::kMobilePhone), e.shown[2]);
        EXPECT_EQ(info.FieldText(i, K::kHomePhone), e.shown[3]);
        EXPECT_EQ(info.FieldText(i, K::kCompany), e.company);
        EXPECT_EQ(info.WholeFieldText(i, K::kNote), e.note);
        EXPECT_EQ(info.WholeFieldText(i, K::kSource), "") << "a database contact's source has no name";
    }
    EXPECT_EQ(info.FieldText(0, K::kFax), "+1 503 555 0101");
    EXPECT_EQ(info.FieldText(0, K::kOtherPhone), "+1 503 555 0104");
    EXPECT_EQ(info.FieldText(1, K::kMainPhone), "555-0200");
    EXPECT_EQ(info.FieldText(0, K::kTitle), "Owner");
    EXPECT_EQ(info.FieldText(0, 3), "12 Harbour Road");
    EXPECT_EQ(info.FieldText(0, 8), "4 Elm Court");
    EXPECT_EQ(info.FieldText(11, 4), "Zürich");
    EXPECT_EQ(info.FieldText(0, K::kCategory), "Business");
    EXPECT_EQ(info.WholeFieldText(0, K::kCustom1), "Golf") << "database custom fields are carried";
    EXPECT_EQ(info.WholeFieldText(0, K::kCustom10 + 4), "C14 text");
}

TEST_F(PmAddrEx2UtilTest, EachDeletedRowUndeletesWithOnlyItsStatusCellWritten) {
    for (const Expected& row : FixtureRows()) {
        if (!PmIsDeletedStatus(row.status)) {
            continue;
        }
        SCOPED_TRACE(row.id);
        TempDir own;
        const std::string path = own.File("Address.mdb");
        WriteFileBytes(path, ReadFileBytes(TestDataCopy("mdb/Address.mdb")));
        const auto before = ReadFileBytes(path);
        const std::vector<R> rowsBefore = Rows(path);

        PmAddrInfo info;
        info.SetIncludeDeleted(true);
        ASSERT_TRUE(info.LoadFile(path));
        std::size_t index = info.CommonCount();
        for (std::size_t i = 0; i < info.CommonCount(); ++i) {
            if (info.CommonAt(i).nId == row.id) {
                index = i;
            }
        }
        ASSERT_LT(index, info.CommonCount());
        ASSERT_TRUE(info.UndeleteAt(index)) << info.LastError();
        EXPECT_TRUE(info.Save());

        const auto after = ReadFileBytes(path);
        ASSERT_EQ(after.size(), before.size());
        const std::size_t differing = DifferingBytes(before, after);
        EXPECT_GE(differing, 1u);
        EXPECT_LE(differing, 4u) << "one Long cell";
        EXPECT_EQ(ReadFileBytes(platform::AtomicFile::BackupPathOf(path)), before);
        const std::vector<R> rowsAfter = Rows(path);
        ASSERT_EQ(rowsAfter.size(), rowsBefore.size());
        for (std::size_t r = 0; r < rowsAfter.size(); ++r) {
            R expected = rowsBefore[r];
            if (expected.RecordId() == row.id) {
                expected.Number(R::kStatus) = static_cast<std::int32_t>(PmUndeletedStatus(row.status));
            }
            EXPECT_TRUE(SameCells(rowsAfter[r], expected)) << "row " << r;
        }
        EXPECT_FALSE(info.IsDeletedAt(index));
    }
}

TEST_F(PmAddrEx2UtilTest, AContactWhoseRowIsGoneOrChangedIsNotWritten) {
    const std::string path = Copy();
    const auto before = ReadFileBytes(path);
    PmAddrEx2Util store(path);
    ASSERT_TRUE(store.IsLoaded());
    std::size_t sean = 0;
    for (std::size_t i = 0; i < store.Count(); ++i) {
        if (store.RecordIdAt(i) == 4010) {
            sean = i;
        }
    }
    store.SetStatusAt(sean, 0x01);
    R& rec = store.GetDataMgr().At(sean);
    rec.Text(R::kLastName) = "O'Brien' OR '1'='1";  // as if renamed since the load
    EXPECT_FALSE(store.Save());
    EXPECT_NE(store.LastError().find("nothing was written"), std::string::npos) << store.LastError();
    rec.Text(R::kLastName) = "O'Brien";
    rec.Number(R::kRecordId) = 4999;  // gone
    EXPECT_FALSE(store.Save());
    EXPECT_NE(store.LastError().find("no longer"), std::string::npos) << store.LastError();
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_FALSE(std::filesystem::exists(platform::AtomicFile::BackupPathOf(path)));
    EXPECT_EQ(Rows(path).size(), FixtureRows().size()) << "nothing was inserted";
}

TEST_F(PmAddrEx2UtilTest, ColumnTableAndConversions) {
    ASSERT_EQ(PmAddrEx2Util::ColumnNames().size(), 95u);
    EXPECT_EQ(PmAddrEx2Util::ColumnName(0), "Record ID");
    EXPECT_EQ(PmAddrEx2Util::ColumnName(59), "Phone Label7");
    EXPECT_EQ(PmAddrEx2Util::ColumnName(94), "Ringtone Sync counter");
    EXPECT_EQ(PmAddrEx2Util::ColumnName(95), "");
    R rec;
    PmValues row(95);
    row[R::kCategory] = PmVariant{VT_BSTR, 0, 0, false, "12"};
    row[R::kFirstName] = PmVariant{VT_BSTR, 0, 0, false, "D'Angelo"};
    row[R::kPrivate] = PmVariant{VT_BOOL, 0, -1, true, ""};
    row[78] = PmVariant{VT_I4, 1, 0, true, ""};
    ASSERT_TRUE(PmAddrEx2Util::RowToRecord(row, rec));
    EXPECT_EQ(rec.Number(R::kCategory), 12);
    EXPECT_EQ(rec.Text(R::kFirstName), "D'Angelo");
    EXPECT_EQ(rec.Flag(R::kPrivate), 1);
    EXPECT_EQ(rec.Flag(78), 1);
    EXPECT_FALSE(PmAddrEx2Util::RowToRecord(PmValues(94), rec));
    PmVariant value;
    ASSERT_TRUE(PmAddrEx2Util::FieldToValue(rec, R::kCategory, value));
    EXPECT_EQ(value.vt, VT_BSTR);
    EXPECT_EQ(value.bstrVal, "12");
    R other = rec;
    EXPECT_TRUE(PmAddrEx2Util::SameRecord(rec, other));
    other.Text(17) = "another assistant";  // not compared
    EXPECT_TRUE(PmAddrEx2Util::SameRecord(rec, other));
    other.Number(R::kPhoneLabel1) = 4;
    EXPECT_FALSE(PmAddrEx2Util::SameRecord(rec, other));
}

}  // namespace
}  // namespace lazrine::palm

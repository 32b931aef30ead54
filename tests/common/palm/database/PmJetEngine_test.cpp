#include "common/palm/database/PmJetEngine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "common/palm/database/PmJetPages.h"
#include "platform/AtomicFile.h"
#include "support/JetPageEditor.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"
#include "support/TestData.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;

// Opens `path`, keeping only the words of a failure.
bool Open(PmJetEngine& e, const std::string& path, std::string& error) {
    platform::IoError failure;
    const bool ok = e.Open(path, failure);
    error = failure.szText;
    return ok;
}

// A private copy: stores lock what they open, and tests run in parallel.
std::string Fixture(const std::string& name) { return TestDataCopy("mdb/" + name); }

// The offsets at which two files of the same size differ.
std::vector<std::size_t> Differences(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    std::vector<std::size_t> out;
    EXPECT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i]) {
            out.push_back(i);
        }
    }
    return out;
}

class PmJetEngineTest : public ::testing::Test {
protected:
    std::string Copy(const std::string& name) {
        const std::string path = dir.File(name);
        WriteFileBytes(path, ReadFileBytes(Fixture(name)));
        return path;
    }
    std::vector<PmValues> Select(PmJetEngine& e, const std::string& sql) {
        std::vector<PmValues> rows;
        std::string error;
        EXPECT_TRUE(e.Query(sql, rows, error)) << sql << ": " << error;
        return rows;
    }
    // Runs a statement that must be refused, and checks the file stayed as it was.
    void ExpectRefused(const std::string& path, const std::string& sql, const std::string& reasonPart) {
        const auto before = ReadFileBytes(path);
        PmJetEngine e;
        std::string error;
        ASSERT_TRUE(Open(e, path, error)) << error;
        std::size_t changed = 0;
        EXPECT_FALSE(e.Execute(sql, changed, error)) << sql;
        EXPECT_NE(error.find(reasonPart), std::string::npos) << error;
        EXPECT_EQ(ReadFileBytes(path), before) << sql;
        EXPECT_FALSE(std::filesystem::exists(platform::AtomicFile::BackupPathOf(path))) << sql;
    }
    TempDir dir;
};

TEST_F(PmJetEngineTest, SelectsColumnsByKindAndFiltersRows) {
    PmJetEngine e;
    std::string error;
    ASSERT_TRUE(Open(e, Fixture("Todolist.mdb"), error)) << error;
    const auto rows = Select(e, "SELECT [Record ID], [Private], [Priority], [Description], [Due Date], [Blob] FROM Main "
                                "WHERE [Completed] = 1");
    ASSERT_EQ(rows.size(), 3u);  // 2002, 2011, 2022
    EXPECT_EQ(rows[0][0].lVal, 2002);
    EXPECT_EQ(rows[0][1].vt, VT_BOOL);
    EXPECT_NE(rows[0][1].boolVal, 0);
    EXPECT_EQ(rows[0][2].lVal, 2);
    EXPECT_EQ(rows[0][3].bstrVal, "Renew passport");
    EXPECT_EQ(rows[0][4].bstrVal, "1625097600");
    EXPECT_EQ(rows[0][5].vt, VT_EMPTY);  // binaries are not handed over
    EXPECT_EQ(rows[1][0].lVal, 2011);
    EXPECT_EQ(rows[2][0].lVal, 2022);
    // Streamed, the same rows come one at a time, and the reader may stop.
    std::vector<std::int32_t> ids;
    const auto upTo2011 = [&ids](PmValues& row) {
        ids.push_back(row[0].lVal);
        return row[0].lVal != 2011;
    };
    ASSERT_TRUE(e.Query("SELECT [Record ID] FROM Main WHERE [Completed] = 1", upTo2011, error)) << error;
    EXPECT_EQ(ids, (std::vector<std::int32_t>{2002, 2011}));

    const auto quoted = Select(e, "SELECT [Record ID] FROM Main WHERE [Description] = 'Return O''Brien''s ladder'");
    ASSERT_EQ(quoted.size(), 1u);
    EXPECT_EQ(quoted[0][0].lVal, 2010);
    const auto unicode = Select(e, "SELECT [Record ID] FROM Main WHERE [Description] = 'Café Müller: pay 12 € to Jürgen 漢'");
    ASSERT_EQ(unicode.size(), 1u);
    EXPECT_EQ(unicode[0][0].lVal, 2024);
}

TEST_F(PmJetEngineTest, NullTextsEqualTheEmptyTextAndInjectionMatchesNothing) {
    PmJetEngine e;
    std::string error;
    ASSERT_TRUE(Open(e, Fixture("MemoPad.mdb"), error)) << error;
    const auto empty = Select(e, "SELECT [Record ID] FROM Main WHERE [Note] = ''");
    ASSERT_EQ(empty.size(), 2u);  // 1023 holds NULL, 1030 the empty text
    EXPECT_EQ(empty[0][0].lVal, 1023);
    EXPECT_EQ(empty[1][0].lVal, 1030);
    EXPECT_TRUE(Select(e, "SELECT [Record ID] FROM Main WHERE [Note] = 'x'' OR ''1''=''1'").empty());
    // A number compares with a text column by its decimal text, and back.
    EXPECT_EQ(Select(e, "SELECT [Record ID] FROM Main WHERE [Category] = 3").size(), 3u);
    EXPECT_EQ(Select(e, "SELECT [Record ID] FROM Main WHERE [Record ID] = '1001'").size(), 1u);
}

TEST_F(PmJetEngineTest, BadFilesAndStatementsFailCleanly) {
    PmJetEngine e;
    std::string error;
    EXPECT_FALSE(Open(e, dir.File("missing.mdb"), error));
    WriteFileBytes(dir.File("text.mdb"), std::vector<std::uint8_t>(8192, 'x'));
    EXPECT_FALSE(Open(e, dir.File("text.mdb"), error));
    EXPECT_FALSE(e.OpenBytes({}, error));
    std::vector<PmValues> rows;
    EXPECT_FALSE(e.Query("SELECT [A] FROM Main", rows, error));

    ASSERT_TRUE(Open(e, Fixture("NotPalm.mdb"), error)) << error;
    EXPECT_FALSE(e.Query("SELECT [Record ID] FROM Main", rows, error));
    EXPECT_NE(error.find("no table Main"), std::string::npos) << error;
    EXPECT_FALSE(e.Query("SELECT [Nope] FROM Customers", rows, error));
    EXPECT_FALSE(e.Query("SELECT [Name] FROM Customers WHERE [Nope] = 1", rows, error));
    EXPECT_FALSE(e.Query("SELECT [Name] FROM Customers WHERE [Name] = 0x00", rows, error));
    EXPECT_FALSE(e.Query("UPDATE Customers SET [Balance]=1", rows, error));
    ASSERT_TRUE(e.Query("SELECT [Name], [Balance] FROM Customers WHERE [City] = 'Dublin'", rows, error)) << error;
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].bstrVal, "Fabrikam Inc");
    EXPECT_EQ(rows[0][1].lVal, 575);
}

// Row reading over damaged files: truncations and byte flips must end in a
// clean result or a clean failure, never a crash or a read outside the data.
TEST_F(PmJetEngineTest, DamagedFilesNeverCrashTheReader) {
    const auto original = ReadFileBytes(Fixture("MemoPad.mdb"));
    const std::string sql = "SELECT [Record ID], [Status], [Private], [Category], [Note] FROM Main";
    std::string error;
    std::vector<PmValues> rows;
    for (const std::size_t size : {std::size_t{0}, std::size_t{100}, std::size_t{4096}, std::size_t{8192},
                                   original.size() / 2, original.size() - 4096, original.size() - 1}) {
        PmJetEngine e;
        if (e.OpenBytes({original.begin(), original.begin() + static_cast<std::ptrdiff_t>(size)}, error)) {
            e.Query(sql, rows, error);
        }
    }
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        auto bytes = original;
        const int flips = 1 + static_cast<int>(rng() % 40);
        for (int i = 0; i < flips; ++i) {
            // Most damage goes to the pages past the header and catalog, where the rows are.
            const std::size_t at = (round % 4 == 0) ? rng() % bytes.size() : 4096 * 2 + rng() % (bytes.size() - 8192);
            bytes[at] = static_cast<std::uint8_t>(rng());
        }
        PmJetEngine e;
        if (e.OpenBytes(std::move(bytes), error)) {
            e.Query(sql, rows, error);
        }
    }
}

// Every table of every committed database passes the structure checks and
// reads whole, multi-page table definitions (99 columns) included; read page
// by page from the file, every cell is what it is read from memory.
TEST_F(PmJetEngineTest, EveryTableOfTheFixturesPassesTheStructureChecks) {
    const auto flat = [](const std::vector<PmValues>& rows) {
        std::string out;
        for (const PmValues& row : rows) {
            for (const PmVariant& v : row) {
                out += std::to_string(v.vt) + ":" + std::to_string(v.lVal) + ":" + std::to_string(v.boolVal) + ":" +
                       v.bstrVal + "|";
            }
            out += "\n";
        }
        return out;
    };
    struct Case {
        const char* file;
        const char* table;
        std::size_t rows;
    };
    static const Case kCases[] = {
        {"MemoPad.mdb", "Main", 13},  {"MemoPad.mdb", "Category", 3},  {"MemoPad.mdb", "Information", 7},
        {"Todolist.mdb", "Main", 12}, {"Todolist.mdb", "Category", 3}, {"Todolist.mdb", "Information", 7},
        {"DateBook.mdb", "Main", 12}, {"DateBook.mdb", "Category", 3}, {"DateBook.mdb", "Information", 7},
        {"Address.mdb", "Main", 13},  {"Address.mdb", "Category", 3},  {"Address.mdb", "Information", 7},
        {"NotPalm.mdb", "Customers", 3},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.table);
        PmJetEngine e;
        std::string error;
        ASSERT_TRUE(Open(e, Fixture(c.file), error)) << error;
        const std::string key = std::string(c.table) == "Main" ? "[Record ID]" : "[Name]";
        EXPECT_EQ(Select(e, "SELECT " + key + " FROM " + c.table).size(), c.rows);
        PmJetEngine inMemory;
        std::vector<std::string> names;
        std::size_t hint = 0;
        ASSERT_TRUE(inMemory.OpenBytes(ReadFileBytes(Fixture(c.file)), error) &&
                    e.ColumnNames(c.table, names, error, &hint))
            << error;
        EXPECT_EQ(hint, c.rows);
        std::string all;
        for (const std::string& name : names) {
            all += (all.empty() ? "[" : ", [") + name + "]";
        }
        const std::string sql = "SELECT " + all + " FROM " + c.table;
        EXPECT_EQ(flat(Select(e, sql)), flat(Select(inMemory, sql)));
    }
}

// One damaged byte in a structure libmdb follows - the usage map pointer of
// a table definition (row byte at 55, page bytes from 56) or of the
// catalog's own definition on page 2 - fails the open or the query with a
// reason that names the damage, and never brings the reader down.
TEST_F(PmJetEngineTest, DamagedTableDefinitionsFailWithAReason) {
    constexpr std::size_t kPage = 4096;
    constexpr std::size_t kCatalog = 2;  // MSysObjects
    constexpr std::size_t kMain = 24;    // Main of MemoPad.mdb
    constexpr std::size_t kMainMap = 28;  // the page Main's usage map (page 25, row 0) names
    struct Case {
        std::size_t page;
        std::size_t offset;
        std::uint8_t value;
    };
    static const Case kCases[] = {
        {kMain, 55, 0xFF},    {kMain, 55, 0x07},    {kMain, 56, 0x00},    {kMain, 56, 0x01},
        {kMain, 56, 0x07},    {kMain, 56, 0xFF},    {kMain, 59, 0xFF},    {kMain, 45, 0x00},
        {kMain, 46, 0x7F},    {kMain, 51, 0x40},    {kMain, 47, 0xFF},    {kMain, 4, 0x09},
        {kCatalog, 55, 0xFF}, {kCatalog, 56, 0x00}, {kCatalog, 56, 0x01}, {kCatalog, 56, 0xFF},
        {kCatalog, 45, 0x00}, {kCatalog, 0, 0x01},  {kCatalog, 4, 0x02},
        {kMain, 4, 0x18},                            // the definition continues on itself
        {kMainMap, 0, 0x01},                         // the map page Main's usage map names
    };
    const auto original = ReadFileBytes(Fixture("MemoPad.mdb"));
    ASSERT_EQ(original[kMain * kPage], 0x02);
    ASSERT_EQ(original[kCatalog * kPage], 0x02);
    ASSERT_EQ(original[kMainMap * kPage], 0x05);
    for (const Case& c : kCases) {
        SCOPED_TRACE("page " + std::to_string(c.page) + " byte " + std::to_string(c.offset));
        auto bytes = original;
        bytes[c.page * kPage + c.offset] = c.value;
        PmJetEngine e;
        std::string error;
        std::vector<PmValues> rows;
        if (e.OpenBytes(bytes, error)) {
            EXPECT_FALSE(e.Query("SELECT [Record ID], [Status], [Note] FROM Main", rows, error));
        }
        EXPECT_TRUE(error.find("damaged") != std::string::npos || error.find("cannot be read") != std::string::npos ||
                    error.find("no table") != std::string::npos)
            << error;
        EXPECT_TRUE(rows.empty());
    }
}

// Overflow rows of every kind of database: moved to a new page, to the same
// page, or to the table's other data page, each reads whole in its slot's
// place, and an update of a number and a Yes/No cell changes bytes of the
// moved data only.
TEST_F(PmJetEngineTest, OverflowRowsAreReadAndUpdatedWhereTheirDataLies) {
    struct Case {
        const char* file;
        std::int32_t id;
        std::uint32_t target;  // 0: a new page
        const char* update;
        const char* check;  // SELECT of the row's Status and one Yes/No column
        std::int32_t status;
        bool flag;
    };
    static const Case kCases[] = {
        {"Todolist.mdb", 2010, 0, "UPDATE Main SET [Status]=1, [Completed]=1 WHERE [Record ID] = 2010",
         "SELECT [Status], [Completed] FROM Main WHERE [Record ID] = 2010", 1, true},
        {"Todolist.mdb", 2012, 27, "UPDATE Main SET [Status]=0, [Private]=0 WHERE [Record ID] = 2012",
         "SELECT [Status], [Private] FROM Main WHERE [Record ID] = 2012", 0, false},
        {"Address.mdb", 4010, 30, "UPDATE Main SET [Status]=2 WHERE [Record ID] = 4010",
         "SELECT [Status], [Private] FROM Main WHERE [Record ID] = 4010", 2, false},
        {"DateBook.mdb", 3010, 0, "UPDATE Main SET [Status]=0, [Private]=1 WHERE [Record ID] = 3010",
         "SELECT [Status], [Private] FROM Main WHERE [Record ID] = 3010", 0, true},
    };
    constexpr std::uint32_t kMain = 24;
    for (const Case& c : kCases) {
        SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.id));
        const auto original = ReadFileBytes(Fixture(c.file));
        PmJetEngine plain;
        std::string error;
        ASSERT_TRUE(plain.OpenBytes(original, error)) << error;
        const auto all = Select(plain, "SELECT [Record ID], [Status], [Note] FROM Main");

        auto bytes = original;
        JetPageEditor::RowPlace row;
        ASSERT_TRUE(JetPageEditor::FindRowById(bytes, kMain, c.id, row));
        ASSERT_TRUE(JetPageEditor::MoveRowData(bytes, row.nPage, row.nSlot, c.target, error)) << error;
        const std::string path = dir.File(std::to_string(c.id) + ".mdb");
        WriteFileBytes(path, bytes);
        ASSERT_TRUE(JetPageEditor::FindRowById(bytes, kMain, c.id, row));
        ASSERT_TRUE(row.bOverflow);

        PmJetEngine e;
        ASSERT_TRUE(Open(e, path, error)) << error;
        const auto moved = Select(e, "SELECT [Record ID], [Status], [Note] FROM Main");
        ASSERT_EQ(moved.size(), all.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            EXPECT_EQ(moved[i][0].lVal, all[i][0].lVal);
            EXPECT_EQ(moved[i][1].lVal, all[i][1].lVal);
            EXPECT_EQ(moved[i][2].bstrVal, all[i][2].bstrVal);
        }
        std::size_t changed = 0;
        ASSERT_TRUE(e.Execute(c.update, changed, error)) << error;
        EXPECT_EQ(changed, 1u);
        for (const std::size_t at : Differences(bytes, ReadFileBytes(path))) {
            EXPECT_TRUE(at >= row.nOffset && at < row.nOffset + row.nSize) << at;
        }
        PmJetEngine fresh;
        ASSERT_TRUE(Open(fresh, path, error)) << error;
        const auto after = Select(fresh, c.check);
        ASSERT_EQ(after.size(), 1u);
        EXPECT_EQ(after[0][0].lVal, c.status);
        EXPECT_EQ(after[0][1].boolVal != 0, c.flag);
    }
}

TEST_F(PmJetEngineTest, UpdateOverwritesExactlyTheCellAndKeepsABackup) {
    const std::string path = Copy("MemoPad.mdb");
    const auto before = ReadFileBytes(path);
    PmJetEngine e;
    std::string error;
    ASSERT_TRUE(Open(e, path, error)) << error;
    std::size_t changed = 0;
    ASSERT_TRUE(e.Execute("UPDATE Main SET [Status]=1 WHERE [Record ID] = 1010 AND [Note] = 'Dinner with Sean O''Brien at 7'",
                          changed, error))
        << error;
    EXPECT_EQ(changed, 1u);
    const auto after = ReadFileBytes(path);
    const auto diff = Differences(before, after);
    ASSERT_EQ(diff.size(), 1u);
    EXPECT_EQ(before[diff[0]], 0x04);
    EXPECT_EQ(after[diff[0]], 0x01);
    EXPECT_EQ(ReadFileBytes(platform::AtomicFile::BackupPathOf(path)), before);

    // The engine and a fresh reader both see the new value.
    EXPECT_EQ(Select(e, "SELECT [Status] FROM Main WHERE [Record ID] = 1010")[0][0].lVal, 1);
    PmJetEngine fresh;
    ASSERT_TRUE(Open(fresh, path, error));
    EXPECT_EQ(Select(fresh, "SELECT [Status] FROM Main WHERE [Record ID] = 1010")[0][0].lVal, 1);

    // A second write keeps the first backup; an unchanged value writes nothing.
    ASSERT_TRUE(e.Execute("UPDATE Main SET [Status]=1 WHERE [Record ID] = 1011", changed, error)) << error;
    EXPECT_EQ(ReadFileBytes(platform::AtomicFile::BackupPathOf(path)), before);
    const auto twice = ReadFileBytes(path);
    ASSERT_TRUE(e.Execute("UPDATE Main SET [Status]=1, [Private]=0 WHERE [Record ID] = 1011", changed, error)) << error;
    EXPECT_EQ(ReadFileBytes(path), twice);
    // No row matched: nothing changes, and the caller learns it from the count.
    ASSERT_TRUE(e.Execute("UPDATE Main SET [Status]=1 WHERE [Note] = 'x'' OR ''1''=''1'", changed, error)) << error;
    EXPECT_EQ(changed, 0u);
    EXPECT_EQ(ReadFileBytes(path), twice);
}

TEST_F(PmJetEngineTest, YesNoValuesAreFlippedInTheNullMask) {
    const std::string path = Copy("Todolist.mdb");
    const auto before = ReadFileBytes(path);
    PmJetEngine e;
    std::string error;
    std::size_t changed = 0;
    ASSERT_TRUE(Open(e, path, error)) << error;
    ASSERT_TRUE(e.Execute("UPDATE Main SET [Completed]=1, [Private]=0 WHERE [Record ID] = 2010", changed, error)) << error;
    const auto after = ReadFileBytes(path);
    const auto diff = Differences(before, after);
    ASSERT_EQ(diff.size(), 1u);
    EXPECT_EQ(__builtin_popcount(static_cast<unsigned>(before[diff[0]] ^ after[diff[0]])), 1);
    PmJetEngine fresh;
    ASSERT_TRUE(Open(fresh, path, error));
    const auto rows = Select(fresh, "SELECT [Completed], [Private], [Alarm Set], [Description] FROM Main WHERE [Record ID] = 2010");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0][0].boolVal, 0);
    EXPECT_EQ(rows[0][1].boolVal, 0);
    EXPECT_EQ(rows[0][2].boolVal, 0);
    EXPECT_EQ(rows[0][3].bstrVal, "Return O'Brien's ladder");
    ASSERT_TRUE(e.Execute("UPDATE Main SET [Completed]=0 WHERE [Record ID] = 2010", changed, error)) << error;
    EXPECT_EQ(ReadFileBytes(path), before);
}

TEST_F(PmJetEngineTest, WritesThatNeedMoreThanACellAreRefused) {
    const std::string memo = Copy("MemoPad.mdb");
    ExpectRefused(memo, "UPDATE Main SET [Note]='Dinner' WHERE [Record ID] = 1010", "number");
    ExpectRefused(memo, "UPDATE Main SET [Category]=2 WHERE [Record ID] = 1010", "not a number or Yes/No");
    ExpectRefused(memo, "UPDATE Main SET [Record ID]=5 WHERE [Record ID] = 1010", "indexed");
    ExpectRefused(memo, "UPDATE Main SET [Private]=1 WHERE [Record ID] = 1023", "NULL");
    ExpectRefused(memo, "UPDATE Main SET [Status]=1 WHERE [Record ID] = 1023 AND [Nope] = 1", "no column");
    ExpectRefused(memo, "UPDATE Main SET [Status]=1 WHERE [Record ID] = 1010 OR 1=1", "unexpected");
    ExpectRefused(memo,
                  "INSERT INTO Main ([Record ID], [Status], [Note], [Blob]) VALUES (12, 1, 'Call Bob', 0x00000000)",
                  "adding rows");
    ExpectRefused(memo, "DELETE FROM Main WHERE [Record ID] = 1010", "removing rows");
    const std::string todo = Copy("Todolist.mdb");
    ExpectRefused(todo, "UPDATE Main SET [Priority]=4294967295 WHERE [Record ID] = 2010", "does not fit");
    ExpectRefused(todo, "UPDATE Main SET [Completed]=2 WHERE [Record ID] = 2010", "does not fit");

    PmJetEngine inMemory;
    std::string error;
    std::size_t changed = 0;
    ASSERT_TRUE(inMemory.OpenBytes(ReadFileBytes(memo), error));
    EXPECT_FALSE(inMemory.Execute("UPDATE Main SET [Status]=1 WHERE [Record ID] = 1010", changed, error));
    EXPECT_NE(error.find("reading only"), std::string::npos);
}

// Another program changes the file after it was loaded (a cell, or its
// size): a query, an update and a batch planned before the change all fail
// as changed, and nothing is written.
TEST_F(PmJetEngineTest, AFileChangedSinceItWasOpenedIsNotReadOrWritten) {
    for (const bool grow : {false, true}) {
        SCOPED_TRACE(grow ? "grown" : "a cell changed");
        const std::string path = Copy("MemoPad.mdb");
        PmJetEngine reader;
        PmJetEngine writer;
        PmJetEngine batch;
        PmJetEngine other;
        std::string error;
        std::size_t changed = 0;
        ASSERT_TRUE(Open(reader, path, error) && Open(writer, path, error) && Open(batch, path, error)) << error;
        batch.BeginBatch();
        ASSERT_TRUE(batch.Execute("UPDATE Main SET [Status]=1 WHERE [Record ID] = 1010", changed, error)) << error;
        if (grow) {
            std::ofstream(path, std::ios::binary | std::ios::app).put('\0');
        } else {
            ASSERT_TRUE(Open(other, path, error) &&
                        other.Execute("UPDATE Main SET [Status]=1 WHERE [Record ID] = 1011", changed, error))
                << error;
        }
        const auto now = ReadFileBytes(path);
        std::vector<PmValues> rows;
        EXPECT_FALSE(reader.Query("SELECT [Status] FROM Main", rows, error));
        EXPECT_EQ(error, PmJetPages::kChangedText);
        EXPECT_FALSE(writer.Execute("UPDATE Main SET [Status]=1 WHERE [Record ID] = 1010", changed, error));
        EXPECT_EQ(error, PmJetPages::kChangedText);
        platform::IoError failure;
        EXPECT_FALSE(batch.CommitBatch(failure));
        EXPECT_EQ(failure.nCode, platform::IoFailure::kChangedSinceLoaded) << failure.szText;
        EXPECT_EQ(ReadFileBytes(path), now);
    }
}

// A batch writes nothing until it is committed, then all of its cells; an
// aborted batch writes nothing; a second change of a cell already in the
// batch is refused. Two Yes/No values sharing a mask byte change together.
TEST_F(PmJetEngineTest, ABatchWritesItsCellsTogetherOnCommit) {
    const std::string path = Copy("Todolist.mdb");
    const auto before = ReadFileBytes(path);
    PmJetEngine e;
    std::string error;
    std::size_t changed = 0;
    ASSERT_TRUE(Open(e, path, error)) << error;
    e.BeginBatch();
    ASSERT_TRUE(e.Execute("UPDATE Main SET [Status]=1 WHERE [Record ID] = 2010", changed, error)) << error;
    ASSERT_TRUE(e.Execute("UPDATE Main SET [Completed]=1, [Alarm Set]=1 WHERE [Record ID] = 2010", changed, error)) << error;
    EXPECT_FALSE(e.Execute("UPDATE Main SET [Status]=2 WHERE [Record ID] = 2010", changed, error));
    EXPECT_NE(error.find("same cell"), std::string::npos) << error;
    EXPECT_EQ(ReadFileBytes(path), before);
    e.AbortBatch();
    e.BeginBatch();
    ASSERT_TRUE(e.Execute("UPDATE Main SET [Status]=1 WHERE [Record ID] = 2010", changed, error)) << error;
    ASSERT_TRUE(e.Execute("UPDATE Main SET [Completed]=1, [Alarm Set]=1 WHERE [Record ID] = 2010", changed, error)) << error;
    EXPECT_EQ(ReadFileBytes(path), before);
    platform::IoError failure;
    ASSERT_TRUE(e.CommitBatch(failure)) << failure.szText;
    EXPECT_FALSE(std::filesystem::exists(path + ".lazrine-journal"));
    PmJetEngine fresh;
    ASSERT_TRUE(Open(fresh, path, error)) << error;
    EXPECT_EQ(Select(fresh, "SELECT [Status] FROM Main WHERE [Record ID] = 2010")[0][0].lVal, 1);
    const auto rows = Select(fresh, "SELECT [Completed], [Alarm Set] FROM Main WHERE [Record ID] = 2010");
    EXPECT_NE(rows[0][0].boolVal, 0);
    EXPECT_NE(rows[0][1].boolVal, 0);
    const auto written = ReadFileBytes(path);
    e.BeginBatch();
    EXPECT_TRUE(e.CommitBatch(failure)) << "an empty batch writes nothing";
    EXPECT_EQ(ReadFileBytes(path), written);
}

}  // namespace
}  // namespace lazrine::palm

// The command line's export: record choice, formats, output places, and
// that the data file is never written.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/CliApp.h"
#include "cli/CliRun.h"
#include "platform/LocalClock.h"
#include "support/CsvReader.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDirTest.h"
#include "support/TestData.h"
#include "support/VCardReader.h"

namespace lazrine::cli {
namespace {

using namespace lazrine::testing;

std::string ReadText(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

class CliExportTest : public TempDirTest {
protected:
    void SetUp() override { platform::LocalClock::UseTimeZone("UTC"); }
    void TearDown() override { platform::LocalClock::UseTimeZone(""); }

    // Memos 1 (deleted), 2 (live), 3 (deleted), 4 (archived), 5 (live, same
    // first line as 1).
    std::string Memos() {
        MemoFileLayout spec;
        spec.memos = {MakeMemo(1, 0x04, "Shopping\r\nmilk"), MakeMemo(2, 0x00, "Live one"),
                      MakeMemo(3, 0x04, "a/b:c?*\r\nx"), MakeMemo(4, 0x80, "CON"), MakeMemo(5, 0x00, "Shopping")};
        return Put(BuildExtendedMemoFile(spec));
    }
};

TEST_F(CliExportTest, ChoosesDeletedAllOrNamedRecords) {
    const std::string file = Memos();
    const auto ids = [](const std::string& json) {
        std::vector<int> out;
        const auto doc = nlohmann::json::parse(json);
        for (const auto& rec : doc["records"]) {
            out.push_back(rec["id"].get<int>());
        }
        return out;
    };
    struct Case {
        std::vector<std::string> extra;
        std::vector<int> want;
    };
    for (const Case& c : std::vector<Case>{{{}, {1, 3, 4}},
                                            {{"--deleted"}, {1, 3, 4}},
                                            {{"--all"}, {1, 2, 3, 4, 5}},
                                            {{"--id", "2", "--id", "3"}, {2, 3}}}) {
        std::vector<std::string> args{"export", "memos", file, "--format", "json"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const Result r = RunCli(args);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(ids(r.out), c.want);
    }
    const Result missing = RunCli({"export", "memos", file, "--id", "9"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("No memos record has the ID 9"), std::string::npos);
    EXPECT_EQ(missing.out, "");
}

TEST_F(CliExportTest, JsonIsExactlyTheListing) {
    const std::string file = Memos();
    for (const char* kind : {"all", "deleted"}) {
        std::vector<std::string> list{"list", "memos", file, "--json"};
        std::vector<std::string> exp{"export", "memos", file, "--format", "json"};
        if (std::string(kind) == "all") {
            list.push_back("--all");
            exp.push_back("--all");
        }
        const Result a = RunCli(list);
        const Result b = RunCli(exp);
        ASSERT_EQ(a.code, 0);
        ASSERT_EQ(b.code, 0);
        EXPECT_EQ(a.out, b.out);
    }
    const std::string db = TestDataCopy("mdb/Address.mdb");
    EXPECT_EQ(RunCli({"list", "contacts", db, "--json", "--all"}).out,
              RunCli({"export", "contacts", db, "--format", "json", "--all"}).out);
}

TEST_F(CliExportTest, WritesFilesAtomicallyAndNeverTheDataFile) {
    const std::string file = Memos();
    const auto before = ReadFileBytes(file);
    const std::string out = dir.File("memos.csv");
    Result r = RunCli({"export", "memos", file, "--format", "csv", "--output", out});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "3 records were exported to " + out + ".\n");
    std::vector<std::vector<std::string>> rows;
    std::string error;
    ASSERT_TRUE(ReadCsv(ReadText(out), rows, error)) << error;
    EXPECT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1][3], "Shopping\r\nmilk");
    EXPECT_FALSE(std::filesystem::exists(out + ".lazrine-new"));

    // The data file itself, and any other Palm data file, are refused.
    r = RunCli({"export", "memos", file, "--output", file});
    EXPECT_EQ(r.code, 1);
    const std::string other = Put(BuildClassicTodoFile({}), "todo.dat");
    const auto otherBefore = ReadFileBytes(other);
    r = RunCli({"export", "memos", file, "--output", other});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("is a Palm Desktop data file"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(other), otherBefore);
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_FALSE(std::filesystem::exists(file + ".lazrine.bak"));
}

TEST_F(CliExportTest, MemoFolderGetsOneSafelyNamedFileEach) {
    const std::string file = Memos();
    std::filesystem::create_directory(dir.Path() / "out");
    WriteFileBytes(dir.File("out/Shopping.txt"), {'o', 'l', 'd'});
    const std::string folder = dir.File("out") + "/";
    const Result r = RunCli({"export", "memos", file, "--all", "--output", folder});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadText(dir.File("out/Shopping.txt")), "old");
    EXPECT_EQ(ReadText(dir.File("out/Shopping (2).txt")), "Shopping\r\nmilk");
    EXPECT_EQ(ReadText(dir.File("out/Live one.txt")), "Live one");
    EXPECT_EQ(ReadText(dir.File("out/a_b_c__.txt")), "a/b:c?*\r\nx");
    EXPECT_EQ(ReadText(dir.File("out/_CON.txt")), "CON");
    EXPECT_EQ(ReadText(dir.File("out/Shopping (3).txt")), "Shopping");
}

TEST_F(CliExportTest, UsageErrors) {
    const std::string file = Memos();
    struct Case {
        std::vector<std::string> args;
        int code;
    };
    for (const Case& c : std::vector<Case>{
             {{"export", "memos", file, "--format", "vcard"}, 2},
             {{"export", "contacts", file, "--format", "text"}, 2},
             {{"export", "memos", file, "--format", "pdf"}, 2},
             {{"export", "memos", file, "--all", "--deleted"}, 2},
             {{"export", "memos", file, "--all", "--id", "1"}, 2},
             {{"export", "memos"}, 2},
             {{"export", "calendar", file, "--output", dir.File("x") + "/"}, 2},
             {{"export", "calendar", file}, 1},
         }) {
        const Result r = RunCli(c.args);
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CliExportTest, EveryKindOfTheDatabasesExportsInItsDefaultFormat) {
    struct Case {
        const char* kind;
        const char* file;
        const char* begin;
    };
    for (const Case& c : std::vector<Case>{{"contacts", "mdb/Address.mdb", "BEGIN:VCARD\r\n"},
                                            {"calendar", "mdb/DateBook.mdb", "BEGIN:VCALENDAR\r\n"},
                                            {"tasks", "mdb/Todolist.mdb", "BEGIN:VCALENDAR\r\n"},
                                            {"memos", "mdb/MemoPad.mdb", ""}}) {
        const std::string db = TestDataCopy(c.file);
        const auto before = ReadFileBytes(db);
        const Result r = RunCli({"export", c.kind, db, "--all"});
        ASSERT_EQ(r.code, 0) << c.kind << r.err;
        EXPECT_EQ(r.out.substr(0, std::string(c.begin).size()), c.begin) << c.kind;
        EXPECT_FALSE(r.out.empty()) << c.kind;
        EXPECT_EQ(ReadFileBytes(db), before) << c.kind;
        // Every database names its categories.
        const auto doc = nlohmann::json::parse(RunCli({"export", c.kind, db, "--all", "--format", "json"}).out);
        EXPECT_TRUE(std::any_of(doc["records"].begin(), doc["records"].end(),
                                [](const auto& rec) { return rec["fields"]["Category"] == "Business"; }))
            << c.kind;
    }
    const Result r = RunCli({"export", "contacts", TestDataCopy("mdb/Address.mdb"), "--all"});
    std::vector<VCardReader::Card> cards;
    std::string error;
    ASSERT_TRUE(VCardReader().Parse(r.out, cards, error)) << error;
    EXPECT_FALSE(cards.empty());
}

// An appointment without any day cannot be an iCalendar event: the export
// leaves it out and says so on standard error, apart from the data.
TEST_F(CliExportTest, UndatedAppointmentIsNotedOnStandardError) {
    DateFileLayout spec;
    spec.dates = {MakeDate(1, 0x04, "dated"), MakeDate(2, 0x04, "undated")};
    spec.dates[1].start = spec.dates[1].end = 0xFFFFFFFF;
    const std::string file = Put(BuildClassicDateFile(spec), "datebook.dat");
    const Result r = RunCli({"export", "calendar", file, "--format", "ics"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "Note: appointment 2 (undated) has no date and is left out of the iCalendar file\n");
    EXPECT_NE(r.out.find("SUMMARY:dated\r\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("undated"), std::string::npos) << r.out;
}

// Progress goes to standard error, and only when it is a terminal (the
// program tells the command which); the data stays alone on the output.
TEST_F(CliExportTest, ProgressOnlyForATerminal) {
    const std::string file = Memos();
    for (const bool terminal : {false, true}) {
        std::ostringstream out;
        std::ostringstream err;
        CliApp app;
        app.SetProgressOnErr(terminal);
        ASSERT_EQ(app.Run({"export", "memos", file, "--format", "csv"}, out, err), 0);
        EXPECT_EQ(err.str(), terminal ? "\rExporting: 3 of 3 records\n" : "");
        EXPECT_EQ(out.str().rfind("Color,Private,Subject,Note", 0), 0u);
    }
}

}  // namespace
}  // namespace lazrine::cli

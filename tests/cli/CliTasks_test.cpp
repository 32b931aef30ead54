#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/CliApp.h"
#include "cli/CliRun.h"
#include "platform/LocalClock.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDirTest.h"

namespace lazrine::cli {
namespace {

using namespace lazrine::testing;

// The command line on every generation of the to-do list.
class CliTasksTest : public TempDirTest {
protected:
    void SetUp() override { platform::LocalClock::UseTimeZone("UTC"); }
    void TearDown() override { platform::LocalClock::UseTimeZone(""); }
    std::string Database() {
        const std::string file = dir.File("Todolist.mdb");
        std::filesystem::copy_file(std::string(LAZRINE_TEST_DATA_DIR) + "/mdb/Todolist.mdb", file);
        return file;
    }
    static TodoFileLayout Spec() {
        TodoFileLayout spec;
        TodoRecordLayout live;
        live.id = 10;
        live.description = "live";
        TodoRecordLayout gone;
        gone.id = 12;
        gone.status = 0x84;
        gone.description = std::string(300, 'd');
        gone.note = "caf\xe9\r\nline two";
        gone.priority = 5;
        gone.completed = 1;
        gone.alarm = 1;
        gone.dueDate = 1237075200;
        spec.todos = {live, gone};
        return spec;
    }
};

TEST_F(CliTasksTest, ProbeNamesEachGenerationAndRefusesOtherFiles) {
    const auto extended = Put(BuildExtendedTodoFile(Spec()), "todo.dat");
    const auto classic = Put(BuildClassicTodoFile(Spec()), "classic.dat");
    MemoFileLayout memo;
    memo.memos = {MakeMemo(1, 0, "memo")};
    const auto memoFile = Put(BuildExtendedMemoFile(memo), "memopad.dat");
    EXPECT_EQ(RunCli({"probe", "tasks", Database()}).out, "database\n");
    EXPECT_EQ(RunCli({"probe", "tasks", extended}).out, "extended\n");
    EXPECT_EQ(RunCli({"probe", "tasks", classic}).out, "classic\n");
    for (const std::string& other :
         {memoFile, std::string(LAZRINE_TEST_DATA_DIR) + "/mdb/MemoPad.mdb"}) {
        const auto r = RunCli({"probe", "tasks", other});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, other + ": not a Palm Desktop tasks data file\n");
    }
    const auto r = RunCli({"probe", "memos", dir.File("Todolist.mdb")});
    EXPECT_EQ(r.code, 1);
}

TEST_F(CliTasksTest, JsonCarriesTheWindowsColumnsAndTheWholeFields) {
    const auto file = Put(BuildExtendedTodoFile(Spec()), "todo.dat");
    const auto r = RunCli({"list", "tasks", file, "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto doc = nlohmann::ordered_json::parse(r.out);
    EXPECT_EQ(doc["kind"], "tasks");
    EXPECT_EQ(doc["store"], "extended");
    ASSERT_EQ(doc["records"].size(), 1u);
    const auto& rec = doc["records"][0];
    EXPECT_EQ(rec["index"], 1);
    EXPECT_EQ(rec["id"], 12);
    EXPECT_EQ(rec["status"], 0x84);
    EXPECT_EQ(rec["deleted"], true);
    EXPECT_EQ(rec["columns"]["Description"], std::string(254, 'd'));
    EXPECT_EQ(rec["columns"]["Due Date"], "03/15/2009");
    EXPECT_EQ(rec["columns"]["Completed"], "Yes");
    EXPECT_EQ(rec["columns"]["Priority"], "Low");
    EXPECT_EQ(rec["fields"]["Subject"], std::string(300, 'd'));
    EXPECT_EQ(rec["fields"]["Note"], "caf\xc3\xa9\r\nline two");
    EXPECT_EQ(rec["fields"]["Alarm"], "Yes");
    EXPECT_EQ(rec["fields"]["Private"], "No");
    EXPECT_EQ(rec["fields"]["DueDate"], "03/15/2009");
    std::vector<std::string> names;
    for (const auto& [name, value] : rec["fields"].items()) {
        names.push_back(name);
    }
    // Names added later follow the older ones.
    EXPECT_EQ(names, (std::vector<std::string>{"Subject", "Note", "Priority", "Completed", "DueDate", "Private",
                                               "Alarm", "Category", "Palm Priority"}));
}

TEST_F(CliTasksTest, UndeleteOnEveryGeneration) {
    const auto extended = Put(BuildExtendedTodoFile(Spec()), "todo.dat");
    auto r = RunCli({"undelete", "tasks", extended, "--all-deleted"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Palm todo list undelete successfully, 1 records were undeleted.\n");
    EXPECT_TRUE(std::filesystem::exists(extended + ".lazrine.bak"));
    auto doc = nlohmann::json::parse(RunCli({"list", "tasks", extended, "--json", "--all"}).out);
    EXPECT_EQ(doc["records"][1]["status"], 1);

    const auto database = Database();
    r = RunCli({"undelete", "tasks", database, "--id", "2010", "--id", "2013", "--id", "2024"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Palm todo list undelete successfully, 3 records were undeleted.\n");
    doc = nlohmann::json::parse(RunCli({"list", "tasks", database, "--json"}).out);
    for (const auto& rec : doc["records"]) {
        EXPECT_NE(rec["id"], 2010);
        EXPECT_NE(rec["id"], 2013);
        EXPECT_NE(rec["id"], 2024);
    }
    EXPECT_EQ(doc["records"].size(), 6u);
    r = RunCli({"undelete", "tasks", database, "--all-deleted"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Palm todo list undelete successfully, 6 records were undeleted.\n");
}

}  // namespace
}  // namespace lazrine::cli

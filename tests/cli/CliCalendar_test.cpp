// The command line on the date book kind, in each generation.
#include <gtest/gtest.h>

#include <algorithm>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/CliApp.h"
#include "cli/CliRun.h"
#include "platform/LocalClock.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDirTest.h"
#include "support/TestData.h"

namespace lazrine::cli {
namespace {

using namespace lazrine::testing;

class CliCalendarTest : public TempDirTest {
protected:
    void SetUp() override { platform::LocalClock::UseTimeZone("UTC"); }
    void TearDown() override { platform::LocalClock::UseTimeZone(""); }
};

TEST_F(CliCalendarTest, ProbeNamesEachGenerationOrFails) {
    const std::string extended = Put(BuildExtendedDateFile(RichDateFileLayout()), "ext.dat");
    const std::string classic = Put(BuildClassicDateFile(RichDateFileLayout()), "classic.dat");
    const std::string memo = Put(BuildExtendedMemoFile({}), "memo.dat");
    EXPECT_EQ(RunCli({"probe", "calendar", TestDataCopy("mdb/DateBook.mdb")}).out, "database\n");
    EXPECT_EQ(RunCli({"probe", "calendar", extended}).out, "extended\n");
    EXPECT_EQ(RunCli({"probe", "calendar", classic}).out, "classic\n");
    const Result r = RunCli({"probe", "calendar", memo});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, memo + ": not a Palm Desktop calendar data file\n");
}

// The window's columns and every field of the field table, whole and in
// UTF-8, whichever generation the texts come from.
TEST_F(CliCalendarTest, JsonListingCarriesColumnsAndWholeFields) {
    const std::string extended = Put(BuildExtendedDateFile(RichDateFileLayout()), "ext.dat");
    Result r = RunCli({"list", "calendar", extended, "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["kind"], "calendar");
    EXPECT_EQ(doc["store"], "extended");
    ASSERT_EQ(doc["records"].size(), 7u);
    const auto& untimed = doc["records"][4];
    EXPECT_EQ(untimed["id"], 130);
    EXPECT_EQ(untimed["columns"].size(), 4u);
    EXPECT_EQ(untimed["columns"]["Date"], "05/05/2009");
    EXPECT_EQ(untimed["columns"]["Start Time"], "09:30:00");
    EXPECT_EQ(untimed["columns"]["End Time"], "10:15:00");
    EXPECT_EQ(untimed["columns"]["Description"].get<std::string>().substr(0, 28), "All day\r\nsecond line é€ü");
    ASSERT_EQ(untimed["fields"].size(), 13u);
    EXPECT_EQ(untimed["fields"]["Note"].get<std::string>().size(), 9005u);
    EXPECT_EQ(untimed["fields"]["Location"], std::string(300, 'l'));
    EXPECT_EQ(untimed["fields"]["All Day Event"], "Yes");
    EXPECT_EQ(untimed["fields"]["Start Date Time"], "05/05/2009 09:30:00");
    EXPECT_EQ(untimed["fields"]["Importance"], "");
    EXPECT_EQ(doc["records"][6]["fields"]["Date"], "00/00/0000");

    r = RunCli({"list", "calendar", TestDataCopy("mdb/DateBook.mdb"), "--json", "--all"});
    ASSERT_EQ(r.code, 0) << r.err;
    doc = nlohmann::json::parse(r.out);
    ASSERT_EQ(doc["records"].size(), 12u);
    EXPECT_EQ(doc["records"][11]["columns"]["Description"], "Café Müller, 20 € deposit, 漢");
    EXPECT_EQ(doc["records"][0]["fields"]["Alarm"], "Yes");
    EXPECT_EQ(doc["records"][9]["fields"]["Note"].get<std::string>().size(), 9000u);
}

TEST_F(CliCalendarTest, UndeleteWritesTheChosenRecords) {
    for (const bool database : {false, true}) {
        SCOPED_TRACE(database ? "database" : "classic");
        const std::string file =
            database ? TestDataCopy("mdb/DateBook.mdb") : Put(BuildClassicDateFile(RichDateFileLayout()), "c.dat");
        const std::vector<std::string> ids = database ? std::vector<std::string>{"3010", "3023", "3024"}
                                                      : std::vector<std::string>{"150", "130", "101"};
        Result r = RunCli({"undelete", "calendar", file, "--id", ids[0], "--id", ids[1], "--id", ids[2]});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.out.find("Palm date book undelete successfully, 3 records were undeleted."), std::string::npos)
            << r.out;
        const auto doc = nlohmann::json::parse(RunCli({"list", "calendar", file, "--json", "--all"}).out);
        for (const auto& rec : doc["records"]) {
            const std::string id = std::to_string(rec["id"].get<std::uint32_t>());
            if (std::find(ids.begin(), ids.end(), id) != ids.end()) {
                EXPECT_FALSE(rec["deleted"].get<bool>()) << id;
            }
        }
        r = RunCli({"undelete", "calendar", file, "--id", ids[0]});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "Record " + ids[0] + " is not deleted.\nNothing was undeleted; the data was left unchanged.\n");
    }
}

}  // namespace
}  // namespace lazrine::cli

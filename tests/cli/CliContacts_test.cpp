// The command line on contacts: probing, listing and undeleting in every
// store generation, the settings file's name order and the JSON fields.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/CliApp.h"
#include "cli/CliRun.h"
#include "platform/ProfileFile.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"
#include "support/TestData.h"

namespace lazrine::cli {
namespace {

using namespace lazrine::testing;

class CliContactsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ContactRecordLayout a;
        a.id = 21;
        a.status = 0x04;
        a.firstName = "Ann";
        a.lastName = "Lee";
        a.company = "Caf\xe9 " + std::string(300, 'c');
        a.phones = {"555-1", "ann.lee.with.a.long.mail@example.com", "", "", "", "", ""};
        a.phoneLabels = {0, 4, 0, 0, 0, 0, 0};
        ContactRecordLayout b;
        b.id = 22;
        b.firstName = "Live";
        b.lastName = "One";
        spec.swapped = true;  // stored first name at the last-name position
        spec.contacts = {a, b};
        file = dir.File("address.dat");
        WriteFileBytes(file, BuildExtendedAddressFile(spec));
        settings = dir.File("lazrine.ini");
        platform::ProfileFile::WriteString(settings, "ContactMirror", "SwapName", "1");
    }
    TempDir dir;
    ContactFileLayout spec;
    std::string file;
    std::string settings;
};

TEST_F(CliContactsTest, ProbeNamesEachGenerationOrFails) {
    EXPECT_EQ(RunCli({"probe", "contacts", file}).out, "extended\n");
    const auto classic = dir.File("classic.dat");
    WriteFileBytes(classic, BuildClassicAddressFile(spec));
    EXPECT_EQ(RunCli({"probe", "contacts", classic}).out, "classic\n");
    EXPECT_EQ(RunCli({"probe", "contacts", TestDataCopy("mdb/Address.mdb")}).out, "database\n");
    const auto memo = dir.File("memopad.dat");
    WriteFileBytes(memo, BuildExtendedMemoFile(MemoFileLayout{}));
    const auto r = RunCli({"probe", "contacts", memo});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, memo + ": not a Palm Desktop contacts data file\n");
}

TEST_F(CliContactsTest, JsonListsColumnsAndEveryFieldWholeWithTheSettingsNameOrder) {
    auto r = RunCli({"--settings", settings, "list", "contacts", file, "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["kind"], "contacts");
    ASSERT_EQ(doc["records"].size(), 1u);
    const auto& rec = doc["records"][0];
    const auto& columns = rec["columns"];
    ASSERT_EQ(columns.size(), 8u);
    EXPECT_EQ(columns["First Name"], "Ann");
    EXPECT_EQ(columns["Last Name"], "Lee");
    EXPECT_EQ(columns["Email Address"], "ann.lee.with.a.long.mail@example.com");
    EXPECT_EQ(columns["Work Phone"], "555-1");
    EXPECT_EQ(columns["Mobile Phone"], "");
    EXPECT_EQ(columns["Company"], "Caf\xc3\xa9 " + std::string(300, 'c'));
    const auto& fields = rec["fields"];
    EXPECT_EQ(fields.size(), 83u);
    EXPECT_EQ(fields["Company"], "Caf\xc3\xa9 " + std::string(300, 'c'));
    EXPECT_EQ(fields["E-Mail"], "ann.lee.with.a.long.mail@example.com");
    EXPECT_EQ(fields["Source Type"], "Palm(4.1.2 and aboves)");
    EXPECT_EQ(fields["Display Name"], "");
    EXPECT_EQ(fields["Custom 9"], "");
    // Field rows in table order: First Name, Last Name, Company, Title, ...
    EXPECT_EQ(r.out.find("\"fields\":{\"First Name\":\"Ann\",\"Last Name\":\"Lee\",\"Company\":") != std::string::npos,
              true);

    // Without the setting, the stored order is read the other way round.
    const auto plain = dir.File("plain.ini");
    r = RunCli({"--settings", plain, "list", "contacts", file, "--json"});
    doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["records"][0]["columns"]["First Name"], "Lee");
}

TEST_F(CliContactsTest, UndeleteWritesTheFileBackWithOnlyTheStatusChanged) {
    auto r = RunCli({"--settings", settings, "undelete", "contacts", file, "--id", "21"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Palm address book undelete successfully, 1 records were undeleted.\n");
    ContactFileLayout expected = spec;
    expected.contacts[0].status = 0x01;
    EXPECT_EQ(ReadFileBytes(file), BuildExtendedAddressFile(expected));
    r = RunCli({"undelete", "contacts", file, "--id", "21"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Record 21 is not deleted.\nNothing was undeleted; the data was left unchanged.\n");
}

TEST_F(CliContactsTest, EveryDeletedDatabaseContactThatIsListedUndeletes) {
    const std::string db = dir.File("Address.mdb");
    WriteFileBytes(db, ReadFileBytes(TestDataCopy("mdb/Address.mdb")));
    auto r = RunCli({"list", "contacts", db, "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto listed = nlohmann::json::parse(r.out)["records"];
    ASSERT_EQ(listed.size(), 10u);
    EXPECT_EQ(listed[8]["columns"]["Company"], "Café Müller € 漢");
    r = RunCli({"undelete", "contacts", db, "--all-deleted"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Palm address book undelete successfully, 10 records were undeleted.\n");
    r = RunCli({"list", "contacts", db, "--json"});
    EXPECT_EQ(nlohmann::json::parse(r.out)["records"].size(), 0u);
}

}  // namespace
}  // namespace lazrine::cli

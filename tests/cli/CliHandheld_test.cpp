// Handheld backups (.pdb) of the four applications through the command
// line: probe, the JSON listing, every export format and an undelete that
// changes only the deletion bits of the records brought back.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/CliRun.h"
#include "common/palm/handheld/PmPdbFile.h"
#include "platform/LocalClock.h"
#include "support/PalmPdbBuilder.h"
#include "support/TempDirTest.h"
#include "support/TestData.h"

namespace lazrine::cli {
namespace {

using namespace lazrine::testing;

class CliHandheldTest : public TempDirTest {
protected:
    void SetUp() override { platform::LocalClock::UseTimeZone("UTC"); }
    void TearDown() override { platform::LocalClock::UseTimeZone(""); }
};

// Each database holds a live record in "Business", a deleted one whose
// data was archived and a deleted one whose data is gone.
TEST_F(CliHandheldTest, EveryKindListsExportsAndUndeletesOnlyTheDeletionBits) {
    constexpr std::uint16_t kDay = (2003 - 1904) << 9 | 4 << 5 | 7;  // 2003-04-07
    const std::vector<std::uint8_t> meeting{9, 30, 10, 0, kDay >> 8, kDay & 0xFF, 0x04, 0, 'M', 'e', 'e', 't', 0};
    const struct {
        const char* kind;
        const char* name;
        const char* creator;
        std::vector<std::uint8_t> live;
        const char* column;  // the first column of the live record
        std::vector<std::string> formats;
    } cases[] = {
        {"contacts", "AddressDB", "addr", PdbContact(0x00043210, {{0, "Doe\x01" "doh"}, {1, "Jane"}, {3, "555-1"}, {14, "blue"}}),
         "Jane",
         {"vcard", "csv", "json"}},
        {"calendar", "DatebookDB", "date", meeting, "Meet", {"ics", "csv", "json"}},
        {"tasks", "ToDoDB", "todo", PdbTodo(kDay, 1, "Taxes", "by hand"), "Taxes", {"ics", "csv", "json"}},
        {"memos", "MemoDB", "memo", PdbText("Groceries"), "Groceries", {"text", "csv", "json"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        PdbLayout layout;
        layout.name = c.name;
        layout.creator = c.creator;
        // The address book's field labels follow its categories: custom 1
        // is label 14.
        layout.appInfoTail.assign(4 + 22 * 16, 0);
        std::copy_n("Colour", 6, layout.appInfoTail.begin() + 4 + 14 * 16);
        layout.records = {{0x01, 0x500001, c.live}, {0x80 | 0x08 | 0x10, 0x500002, c.live}, {0x80, 0x500003, {}}};
        const auto built = BuildPdb(layout);
        // Recognised by its header, whatever the file is called.
        const std::string file = Put(built, std::string(c.kind) + ".BAK");
        EXPECT_EQ(RunCli({"probe", c.kind, file}).out, "handheld\n");

        const Result list = RunCli({"list", c.kind, file, "--all", "--json"});
        ASSERT_EQ(list.code, 0) << list.err;
        const auto doc = nlohmann::ordered_json::parse(list.out);
        EXPECT_EQ(doc["store"], "handheld");
        ASSERT_EQ(doc["records"].size(), 3u);
        const auto& live = doc["records"][0];
        EXPECT_EQ(live["id"], 0x500001);
        EXPECT_FALSE(live["deleted"].get<bool>());
        EXPECT_EQ(live["columns"].front(), c.column);
        EXPECT_EQ(live["fields"]["Category"], "Business");
        EXPECT_EQ(doc["records"][1]["status"], 0x84);
        EXPECT_EQ(doc["records"][1]["columns"].front(), c.column);
        EXPECT_EQ(doc["records"][2]["status"], 0x04);
        EXPECT_EQ(doc["records"][2]["columns"].front(), "");

        for (const std::string& format : c.formats) {
            const Result r = RunCli({"export", c.kind, file, "--all", "--format", format});
            ASSERT_EQ(r.code, 0) << format << r.err;
            EXPECT_NE(r.out.find(c.column), std::string::npos) << format << r.out;
            if (format == "vcard") {
                EXPECT_NE(r.out.find("X-LAZRINE-CUSTOM;X-LABEL=Colour:blue"), std::string::npos) << r.out;
                // A name's reading after 0x01, as Japanese handhelds keep it.
                EXPECT_NE(r.out.find("N:Doe;Jane;;;\r\nFN:Jane Doe\r\nX-PHONETIC-LAST-NAME:doh\r\n"), std::string::npos);
            }
        }
        EXPECT_EQ(ReadFileBytes(file), built);

        const Result undelete = RunCli({"undelete", c.kind, file, "--id", "5242882", "--id", "5242883"});
        ASSERT_EQ(undelete.code, 0) << undelete.err;
        auto expected = built;
        expected[palm::PmPdbFile::AttributeOffset(1)] = 0x10;
        expected[palm::PmPdbFile::AttributeOffset(2)] = 0x00;
        EXPECT_EQ(ReadFileBytes(file), expected);
        EXPECT_EQ(ReadFileBytes(file + ".lazrine.bak"), built);
    }
}

}  // namespace
}  // namespace lazrine::cli

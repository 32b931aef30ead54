#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <sstream>

#include "cli/CliApp.h"

#include <nlohmann/json.hpp>
#include "support/FakeWinePrefix.h"
#include "common/palm/desktop/PmDesktop.h"
#include "common/palm/desktop/PmUserFolderScan.h"
#include "platform/ProfileFile.h"
#include "support/ForeignLock.h"
#include "support/PalmFileBuilder.h"
#include "support/TestData.h"

namespace lazrine::cli {
namespace {

using testing::FakeWinePrefix;

struct Result {
    int code;
    std::string out;
    std::string err;
};

class UsersCliTest : public ::testing::Test {
protected:
    void SetUp() override { prefix.InstallAll(); }
    void TearDown() override { palm::PmDesktop::PmUnloadDesktopLibraries(); }

    Result Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--settings", prefix.Settings()});
        std::ostringstream out;
        std::ostringstream err;
        CliApp app;
        const int code = app.Run(args, out, err);
        return {code, out.str(), err.str()};
    }

    FakeWinePrefix prefix;
};

TEST_F(UsersCliTest, UsersListsIdNameAndHostFolder) {
    const auto r = Run({"users"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("19088743"), std::string::npos) << r.out;  // 0x1234567
    EXPECT_NE(r.out.find("John Doe"), std::string::npos);
    EXPECT_NE(r.out.find(std::filesystem::canonical(prefix.Palm() / "MaryS").string() + "/"), std::string::npos);
    EXPECT_EQ(r.out.find("Profile"), std::string::npos) << "profiles are not users";
    EXPECT_NE(r.out.find("2 users"), std::string::npos);
}

TEST_F(UsersCliTest, UserByNameOrIdReplacesTheFile) {
    auto r = Run({"list", "memos", "--user", "John Doe"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("john deleted"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("live memo"), std::string::npos);
    r = Run({"list", "memos", "--user", "mary s", "--json", "--all"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"user\":\"Mary S\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("live memo"), std::string::npos);
    r = Run({"probe", "memos", "--user", "36984440"});  // 0x2345678
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_FALSE(r.out.empty());
    r = Run({"undelete", "memos", "--user", "John Doe", "--all-deleted"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(Run({"list", "memos", "--user", "John Doe"}).out.find("0 records"), std::string::npos);
}

TEST_F(UsersCliTest, UnknownUsersAndMissingInstallationsFailClearly) {
    auto r = Run({"list", "memos", "--user", "Nobody"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Nobody"), std::string::npos);
    // Either a file or a user, not both and not neither.
    EXPECT_EQ(Run({"list", "memos"}).code, 2);
    EXPECT_EQ(Run({"list", "memos", "x.dat", "--user", "John Doe"}).code, 2);

    ASSERT_TRUE(platform::ProfileFile::WriteString(prefix.Settings(), "Path", "PDPath", "C:\\Gone"));
    r = Run({"users"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("No Palm Desktop users were found"), std::string::npos) << r.err;
    r = Run({"list", "memos", "--user", "John Doe"});
    EXPECT_EQ(r.code, 1);
}

TEST_F(UsersCliTest, ScanListsWhatOnlyOtherCopiesHoldWithTheirPaths) {
    const auto folder = prefix.Palm() / "JohnD" / "memopad";
    std::filesystem::create_directories(folder / "Archive");
    testing::MemoFileLayout old;
    old.memos = {testing::MakeMemo(777, 0, "only in the archive")};
    testing::WriteFileBytes((folder / "Archive" / "memopad.bak").string(), testing::BuildExtendedMemoFile(old));
    auto r = Run({"scan", "memos", "--user", "John Doe", "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto json = nlohmann::json::parse(r.out);
    ASSERT_EQ(json["records"].size(), 1u) << r.out;
    EXPECT_EQ(json["records"][0]["id"], 777);
    EXPECT_EQ(json["user"], "John Doe");
    const std::string copy = json["records"][0]["source"];
    EXPECT_NE(copy.find("Archive/memopad.bak"), std::string::npos);
    ASSERT_EQ(json["copies"].size(), 1u);
    EXPECT_EQ(json["copies"][0]["path"], copy);
    // The same from the folder, as a table.
    r = Run({"scan", "memos", std::filesystem::path(prefix.Palm() / "JohnD").string()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find(copy + " (extended): 1 of 1 record"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("only in the archive"), std::string::npos);
    EXPECT_NE(r.out.find("Found 1 record in 1 of 1 copy read."), std::string::npos);
    EXPECT_EQ(Run({"scan", "memos"}).code, 2);
    EXPECT_EQ(Run({"scan", "memos", (prefix.Palm() / "Nobody").string()}).code, 1);
}

// Palm Desktop 6 reads only the database once a user has one. When it
// cannot be read, its reason, naming the file, is the answer of every
// command: an older record file beside it is never listed, probed or
// written instead.
TEST_F(UsersCliTest, AUserDatabaseThatFailsIsTheAnswerNotAnOlderRecordFile) {
    const auto folder = prefix.Palm() / "JohnD" / "memopad";
    const auto dat = (folder / "memopad.dat").string();
    const auto before = testing::ReadFileBytes(dat);
    auto cut = testing::ReadFileBytes(testing::TestDataCopy("mdb/MemoPad.mdb"));
    cut.resize(cut.size() / 2);
    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"not a database", std::vector<std::uint8_t>(8192, 'x')},
        {"cut short", cut},
        {"not a Palm database", testing::ReadFileBytes(testing::TestDataCopy("mdb/NotPalm.mdb"))},
        {"another kind's database", testing::ReadFileBytes(testing::TestDataCopy("mdb/Address.mdb"))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::WriteFileBytes((folder / "MemoPad.mdb").string(), c.bytes);
        const auto list = Run({"list", "memos", "--user", "John Doe"});
        EXPECT_EQ(list.code, 1);
        EXPECT_NE(list.err.find("MemoPad.mdb: "), std::string::npos) << list.err;
        EXPECT_EQ(Run({"probe", "memos", "--user", "John Doe"}).err, list.err);
        const auto undelete = Run({"undelete", "memos", "--user", "John Doe", "--all-deleted"});
        EXPECT_EQ(undelete.code, 1);
        EXPECT_EQ(undelete.err, list.err);
        EXPECT_EQ(testing::ReadFileBytes(dat), before);
    }
    // A database Palm Desktop holds (its lock file locked) is in use for
    // every command alike.
    testing::WriteFileBytes((folder / "MemoPad.mdb").string(),
                            testing::ReadFileBytes(testing::TestDataCopy("mdb/MemoPad.mdb")));
    testing::WriteFileBytes((folder / "MemoPad.ldb").string(), std::vector<std::uint8_t>(64, 0));
    {
        const testing::ForeignLock held((folder / "MemoPad.ldb").string(), testing::ForeignLock::Kind::kRecordWrite);
        ASSERT_TRUE(held.Held());
        const auto list = Run({"list", "memos", "--user", "John Doe"});
        EXPECT_EQ(list.code, 1);
        EXPECT_NE(list.err.find("in use by another program"), std::string::npos) << list.err;
        EXPECT_EQ(Run({"probe", "memos", "--user", "John Doe"}).err, list.err);
    }
    std::filesystem::remove(folder / "MemoPad.mdb");
    std::filesystem::remove(folder / "MemoPad.ldb");
    EXPECT_EQ(Run({"probe", "memos", "--user", "John Doe"}).out, "extended\n");
}

// The program itself, finding the prefix through $WINEPREFIX.
TEST_F(UsersCliTest, ProgramFindsThePrefixFromTheEnvironment) {
    const std::string command = "WINEPREFIX='" + prefix.Prefix().string() + "' '" + LAZRINE_CLI_PATH +
                                "' --settings '" + prefix.Settings() + "' list memos --user 'Mary S' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    ASSERT_NE(pipe, nullptr);
    std::string output;
    std::array<char, 4096> buffer{};
    while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe.get()) != nullptr) {
        output += buffer.data();
    }
    EXPECT_NE(output.find("mary deleted"), std::string::npos) << output;
}

}  // namespace
}  // namespace lazrine::cli

#include "cli/CliApp.h"
#include "cli/CliRun.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/BlockingFifo.h"
#include "support/ForeignLock.h"
#include "support/FaultInjectingFileIo.h"
#include "support/PalmFileBuilder.h"
#include "support/ScopedFileIo.h"
#include "support/TempDirTest.h"
#include "support/SystemSupport.h"

namespace lazrine::cli {
namespace {

using namespace lazrine::testing;

class CliAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        spec.memos = {MakeMemo(10, 0x00, "live"), MakeMemo(12, 0x84, "caf\xe9 \"quoted\"\r\nline two"),
                      MakeMemo(13, 0x04, std::string(5000, 'w')), MakeMemo(14, 0x80, "archived")};
        file = dir.File("memopad.dat");
        WriteFileBytes(file, BuildExtendedMemoFile(spec));
    }
    TempDir dir;
    MemoFileLayout spec;
    std::string file;
};

TEST_F(CliAppTest, ProbeNamesTheGenerationOrFails) {
    auto r = RunCli({"probe", "memos", file});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "extended\n");
    const auto classic = dir.File("classic.dat");
    WriteFileBytes(classic, BuildClassicMemoFile(spec));
    EXPECT_EQ(RunCli({"probe", "memos", classic}).out, "classic\n");
    const auto junk = dir.File("junk.txt");
    WriteFileBytes(junk, {'h', 'i'});
    r = RunCli({"probe", "memos", junk});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, junk + ": not a Palm Desktop memos data file\n");
    EXPECT_TRUE(r.out.empty());
}

TEST_F(CliAppTest, JsonListingHasTheDocumentedShape) {
    auto r = RunCli({"list", "memos", file, "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["kind"], "memos");
    EXPECT_EQ(doc["store"], "extended");
    EXPECT_EQ(doc["file"], file);
    ASSERT_EQ(doc["records"].size(), 3u);
    const auto& first = doc["records"][0];
    EXPECT_EQ(first["index"], 1);
    EXPECT_EQ(first["id"], 12);
    EXPECT_EQ(first["status"], 132);
    EXPECT_EQ(first["deleted"], true);
    EXPECT_EQ(first["columns"]["Memo"], "caf\xc3\xa9 \"quoted\"\r\nline two");
    EXPECT_EQ(doc["records"][1]["columns"]["Memo"].get<std::string>().size(), 4095u);
    // "fields" holds every row of the note field table, each text whole.
    EXPECT_EQ(doc["records"][1]["fields"]["Note"], std::string(5000, 'w'));
    EXPECT_EQ(first["fields"]["Subject"], "caf\xc3\xa9 \"quoted\"");
    EXPECT_EQ(first["fields"]["Private"], "No");
    EXPECT_EQ(first["fields"].size(), 11u);
    EXPECT_EQ(doc["records"][2]["index"], 3);
    // Exactly one JSON object, keys in the documented order.
    EXPECT_EQ(r.out.rfind("{\"kind\":\"memos\",\"store\":\"extended\",\"file\":", 0), 0u);
    EXPECT_NE(r.out.find("{\"index\":1,\"id\":12,\"status\":132,\"deleted\":true,\"columns\":{\"Memo\":"),
              std::string::npos);

    r = RunCli({"list", "memos", file, "--json", "--all"});
    const auto all = nlohmann::json::parse(r.out);
    ASSERT_EQ(all["records"].size(), 4u);
    EXPECT_EQ(all["records"][0]["deleted"], false);
    EXPECT_EQ(all["records"][1]["index"], 1);
}

TEST_F(CliAppTest, TableListingShowsDeletedRecords) {
    const auto r = RunCli({"list", "memos", file});
    ASSERT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("Memo"), std::string::npos);
    EXPECT_NE(r.out.find("caf\xc3\xa9"), std::string::npos);
    EXPECT_EQ(r.out.find("live"), std::string::npos);
    EXPECT_NE(r.out.find("3 records"), std::string::npos);
}

TEST_F(CliAppTest, UndeleteSelectedIdsSavesAndReports) {
    auto r = RunCli({"undelete", "memos", file, "--id", "12", "--id", "14"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Palm memopad undelete successfully, 2 records were undeleted.\n");
    EXPECT_TRUE(std::filesystem::exists(file + ".lazrine.bak"));
    const auto after = nlohmann::json::parse(RunCli({"list", "memos", file, "--json", "--all"}).out);
    EXPECT_EQ(after["records"][0]["status"], 0);
    EXPECT_EQ(after["records"][1]["status"], 1);
    EXPECT_EQ(after["records"][2]["status"], 4);
    EXPECT_EQ(after["records"][3]["status"], 1);

    r = RunCli({"undelete", "memos", file, "--id", "12"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Record 12 is not deleted.\nNothing was undeleted; the data was left unchanged.\n");
}

// Every --id must name a deleted record; one that does not fails the whole
// command before anything is written, naming each such id.
TEST_F(CliAppTest, IdsThatNameNoDeletedRecordChangeNothing) {
    const auto before = ReadFileBytes(file);
    const struct {
        std::vector<std::string> ids;
        std::string err;
    } cases[] = {
        {{"12", "99"}, "No memos record has the ID 99.\n"},
        {{"10", "13"}, "Record 10 is not deleted.\n"},
        {{"98", "12", "10", "98"}, "No memos record has the ID 98.\nRecord 10 is not deleted.\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = {"undelete", "memos", file};
        for (const auto& id : c.ids) {
            args.push_back("--id");
            args.push_back(id);
        }
        const auto r = RunCli(args);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, c.err + "Nothing was undeleted; the data was left unchanged.\n");
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(ReadFileBytes(file), before);
        EXPECT_FALSE(std::filesystem::exists(file + ".lazrine.bak"));
    }
}

TEST_F(CliAppTest, DryRunAndAllDeleted) {
    const auto before = ReadFileBytes(file);
    auto r = RunCli({"undelete", "memos", file, "--all-deleted", "--dry-run"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("3 records"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_FALSE(std::filesystem::exists(file + ".lazrine.bak"));

    r = RunCli({"undelete", "memos", file, "--all-deleted"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Palm memopad undelete successfully, 3 records were undeleted.\n");
    EXPECT_EQ(ReadFileBytes(file + ".lazrine.bak"), before);
}

TEST_F(CliAppTest, UsageErrorsExitWithTwo) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {},
             {"list"},
             {"list", "pets", file},
             {"undelete", "memos", file},
             {"undelete", "memos", file, "--id", "1", "--all-deleted"},
             {"frobnicate"},
             {"undelete", "memos", file, "--id", "x"}}) {
        const auto r = RunCli(args);
        EXPECT_EQ(r.code, 2) << (args.empty() ? "" : args[0]);
        EXPECT_NE(r.err.find("Usage"), std::string::npos) << r.err;
    }
    EXPECT_EQ(RunCli({"--help"}).code, 0);
    const auto version = RunCli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "lazrine-cli " LAZRINE_VERSION "\n");
}

// Palm Desktop under Wine holds the file with a Windows lock (a record lock
// here): the command says the file is in use, not that it is no memo file,
// and writes nothing.
TEST_F(CliAppTest, AFileInUseIsReportedAsInUse) {
    const auto before = ReadFileBytes(file);
    ForeignLock lock(file, ForeignLock::Kind::kRecordWrite, 0, 1);
    ASSERT_TRUE(lock.Held());
    for (const auto& args : std::vector<std::vector<std::string>>{{"probe", "memos", file},
                                                                  {"list", "memos", file},
                                                                  {"undelete", "memos", file, "--all-deleted"}}) {
        const auto r = RunCli(args);
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, file + " is in use by another program (Palm Desktop?)\n");
    }
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_FALSE(std::filesystem::exists(file + ".lazrine.bak"));
}

// A FIFO, a device or a folder given as the file is refused at once by
// every command; none of them waits for a FIFO's writer. Windows has no
// FIFOs; its null device stands in for /dev/null there.
TEST_F(CliAppTest, ANameThatIsNoRegularFileIsRefusedAtOnce) {
    BlockingFifo fifo(dir.File("fifo.dat"));
    std::filesystem::create_directory(dir.File("folder.dat"));
    std::vector<std::string> paths{dir.File("folder.dat")};
#ifdef _WIN32
    paths.insert(paths.end(), {"NUL", "\\\\.\\NUL"});
#else
    ASSERT_TRUE(fifo.Made());
    paths.insert(paths.end(), {"/dev/null", fifo.Path()});
#endif
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        for (const auto& args : std::vector<std::vector<std::string>>{{"probe", "memos", path},
                                                                      {"list", "tasks", path},
                                                                      {"undelete", "contacts", path, "--all-deleted"}}) {
            const auto r = RunCli(args);
            EXPECT_EQ(r.code, 1);
            EXPECT_NE(r.err.find("not a regular file"), std::string::npos) << r.err;
        }
    }
    EXPECT_EQ(RunCli({"probe", "memos", paths.back()}).err, paths.back() + ": not a regular file\n");
    EXPECT_FALSE(fifo.ReaderOpened());
}

TEST_F(CliAppTest, MissingFileFailsWithoutCreatingIt) {
    const auto missing = dir.File("nope.dat");
    const auto r = RunCli({"undelete", "memos", missing, "--all-deleted"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("not a Palm Desktop memos data file"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
}  // namespace lazrine::cli

namespace lazrine::cli {
namespace {

// The command line on a Palm Desktop 6 memo database: the same commands,
// texts passed through losslessly, undeletes written together, all or none.
class CliAppDatabaseTest : public lazrine::testing::TempDirTest {
protected:
    void SetUp() override {
        file = dir.File("MemoPad.mdb");
        std::filesystem::copy_file(std::string(LAZRINE_TEST_DATA_DIR) + "/mdb/MemoPad.mdb", file);
    }
    std::string file;
};

TEST_F(CliAppDatabaseTest, ProbeListAndUndelete) {
    EXPECT_EQ(RunCli({"probe", "memos", file}).out, "database\n");

    auto r = RunCli({"list", "memos", file, "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    auto doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["store"], "database");
    ASSERT_EQ(doc["records"].size(), 9u);
    EXPECT_EQ(doc["records"][0]["id"], 1010);
    EXPECT_EQ(doc["records"][0]["index"], 3);
    EXPECT_EQ(doc["records"][0]["columns"]["Memo"], "Dinner with Sean O'Brien at 7");
    EXPECT_EQ(doc["records"][8]["columns"]["Memo"], "Caf\xc3\xa9 M\xc3\xbcller: 12 \xe2\x82\xac tip, \xe6\xbc\xa2");

    r = RunCli({"undelete", "memos", file, "--id", "1010", "--id", "1024"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Palm memopad undelete successfully, 2 records were undeleted.\n");
    EXPECT_TRUE(std::filesystem::exists(file + ".lazrine.bak"));
    doc = nlohmann::json::parse(RunCli({"list", "memos", file, "--json", "--all"}).out);
    EXPECT_EQ(doc["records"][3]["status"], 1);
    EXPECT_EQ(doc["records"][11]["status"], 1);
    EXPECT_EQ(doc["records"][4]["status"], 0x80);
}

// A running Palm Desktop keeps a lock file beside the database and locks
// bytes in it: no undelete is written into the database under it.
TEST_F(CliAppDatabaseTest, ADatabaseWhoseLockFileIsHeldIsInUse) {
    const auto lockFile = dir.File("MemoPad.ldb");
    WriteFileBytes(lockFile, std::vector<std::uint8_t>(64, 0));
    const auto before = ReadFileBytes(file);
    {
        ForeignLock lock(lockFile, ForeignLock::Kind::kRecordWrite, 0x10000000, 1);
        ASSERT_TRUE(lock.Held());
        const auto r = RunCli({"undelete", "memos", file, "--id", "1010"});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, file + " is in use by another program (Palm Desktop?)\n");
        EXPECT_EQ(ReadFileBytes(file), before);
    }
    // Left behind without locks after Palm Desktop stopped, it is no obstacle.
    EXPECT_EQ(RunCli({"undelete", "memos", file, "--id", "1010"}).code, 0);
}

// A failure at any step of --all-deleted on a database writes no record:
// the database is as it was and the message says so, or, when the failure
// did not stop the undelete, every deleted record is written.
TEST_F(CliAppDatabaseTest, AllDeletedOnADatabaseIsAllOrNothing) {
    const auto original = ReadFileBytes(file);
    FaultInjectingFileIo io;
    std::size_t steps = 0;
    {
        ScopedFileIo scope(io);
        io.Arm(0);
        ASSERT_EQ(RunCli({"undelete", "memos", file, "--all-deleted"}).code, 0);
        steps = io.Steps();
    }
    const auto undeleted = ReadFileBytes(file);
    std::size_t saveFailures = 0;
    for (std::size_t n = 1; n <= steps; ++n) {
        SCOPED_TRACE("failing step " + std::to_string(n));
        WriteFileBytes(file, original);
        std::filesystem::remove(file + ".lazrine.bak");
        Result r;
        {
            ScopedFileIo scope(io);
            io.Arm(n);
            r = RunCli({"undelete", "memos", file, "--all-deleted"});
        }
        EXPECT_FALSE(std::filesystem::exists(file + ".lazrine-journal"));
        if (r.code == 0) {
            EXPECT_EQ(ReadFileBytes(file), undeleted);
            continue;
        }
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(ReadFileBytes(file), original);
        if (r.err.find("Cannot save") != std::string::npos) {
            EXPECT_NE(r.err.find("The file was left unchanged."), std::string::npos) << r.err;
            ++saveFailures;
        }
    }
    EXPECT_GT(saveFailures, 0u);
}

}  // namespace
}  // namespace lazrine::cli

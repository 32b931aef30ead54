// The settings file: defaults, read semantics, write order and formats, and
// that everything else in the file survives a run of the window.
#include "session/OptionRec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/ProfileFile.h"
#include "session/Workspace.h"
#include "support/AppTestFiles.h"
#include "support/TempDir.h"

namespace lazrine::session {
namespace {

using testing::AppTestFiles;
using testing::TempDir;

// What a window does with the settings between its start and its end.
void RunOnce(const std::string& ini) {
    Workspace workspace(ini);
    workspace.Open();
    EXPECT_TRUE(workspace.Close());
}

TEST(OptionRecTest, MissingFileGivesDefaults) {
    TempDir dir;
    const OptionRec rec = OptionRec::Read(dir.File("none.ini"));
    EXPECT_EQ(rec.nUserId, 0u);
    EXPECT_EQ(int(rec.bAll[0] + rec.bAll[1] + rec.bAll[2] + rec.bAll[3]), 0);
    EXPECT_EQ(int(rec.bQuitRemind), 1);
    EXPECT_TRUE(rec.szFile[0].empty() && rec.szFile[1].empty() && rec.szFile[2].empty() && rec.szFile[3].empty());
}

TEST(OptionRecTest, ReadsCaseInsensitivelyAndNormalisesFlags) {
    TempDir dir;
    const std::string ini = dir.File("t.ini");
    AppTestFiles::WriteText(ini,
                            "[lazrine]\nuserid=-2\nADDRALL=7\nDateAll=0\nTodoAll=x\nMemoAll=-1\n"
                            "QuitRemind=0\nMemoFile=C:\\data\\memopad.dat\n");
    const OptionRec rec = OptionRec::Read(ini);
    EXPECT_EQ(rec.nUserId, 0xFFFFFFFEu);
    EXPECT_EQ(int(rec.bAll[0]), 1);
    EXPECT_EQ(int(rec.bAll[1]), 0);
    EXPECT_EQ(int(rec.bAll[2]), 0);
    EXPECT_EQ(int(rec.bAll[3]), 1);
    EXPECT_EQ(int(rec.bQuitRemind), 0);
    EXPECT_EQ(rec.szFile[3], std::string("C:\\data\\memopad.dat"));
}

// A name longer than 259 characters is read whole: cut, it would name
// another file or none.
TEST(OptionRecTest, LongFileNameIsReadWhole) {
    TempDir dir;
    const std::string ini = dir.File("t.ini");
    const std::string name = "/" + std::string(100, 'd') + "/" + std::string(200, 'f') + "/todo.dat";
    AppTestFiles::WriteText(ini, "[Lazrine]\nTodoFile=" + name + "\n");
    EXPECT_EQ(OptionRec::Read(ini).szFile[2], name);
}

// Only names without control characters are kept: written to the file,
// a line break would read back as keys of its own.
TEST(OptionRecTest, NamesWithControlCharactersAreNotStorable) {
    const struct {
        const char* name;
        bool storable;
    } cases[] = {
        {"/tmp/memopad.dat", true},
        {"C:\\Palm\\Caf\xe9\\memopad.dat", true},
        {"/tmp/a\n[Path]\nPDPath=/evil", false},
        {"/tmp/a\r", false},
        {"/tmp/a\tb", false},
        {"/tmp/a\x7f", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OptionRec::IsStorableFileName(c.name), c.storable);
    }
    // The settings file refuses such a name rather than inject keys.
    TempDir dir;
    const std::string ini = dir.File("t.ini");
    OptionRec rec;
    rec.szFile[3] = "/tmp/a\n[Path]\nPDPath=/evil";
    EXPECT_TRUE(!rec.Write(ini));
    EXPECT_EQ(lazrine::platform::ProfileFile::ReadString(ini, "Path", "PDPath", "none"), std::string("none"));
}

TEST(OptionRecTest, WritesKeysInOrderWithTheirFormats) {
    TempDir dir;
    const std::string ini = dir.File("t.ini");
    OptionRec rec;
    rec.nUserId = 0x80000001u;
    rec.bAll[1] = 1;
    rec.szFile[3] = "/tmp/memopad.dat";
    rec.bQuitRemind = 1;
    EXPECT_TRUE(rec.Write(ini));
    const std::vector<std::string> expected{
        "UserID=-2147483647", "AddrAll=0", "DateAll=1", "TodoAll=0",  "MemoAll=0",
        "AddrFile=",          "DateFile=", "TodoFile=", "MemoFile=/tmp/memopad.dat", "QuitRemind=1"};
    EXPECT_EQ(AppTestFiles::SectionLines(ini, "Lazrine"), expected);
    const OptionRec back = OptionRec::Read(ini);
    EXPECT_EQ(back.nUserId, rec.nUserId);
    EXPECT_EQ(int(back.bAll[1]), 1);
    EXPECT_EQ(back.szFile[3], rec.szFile[3]);
}

// A run that changes nothing writes back what it read, and leaves every
// other section and key of the file alone.
TEST(OptionRecTest, ARunKeepsOtherSettings) {
    TempDir dir;
    const std::string ini = dir.File("tamrisk.ini");
    AppTestFiles::WriteText(ini,
                            "[Path]\nPDPath=C:\\Palm\n\n[Lazrine]\nUserID=4294967295\nTodoAll=3\n"
                            "Extra=kept\nQuitRemind=0\nAddrFile=/nowhere/address.dat\n\n"
                            "[ContactMirror]\nSwapName=1\n");
    RunOnce(ini);
    EXPECT_EQ(AppTestFiles::SectionLines(ini, "Path"), std::vector<std::string>{"PDPath=C:\\Palm"});
    EXPECT_EQ(AppTestFiles::SectionLines(ini, "ContactMirror"), std::vector<std::string>{"SwapName=1"});
    const std::vector<std::string> lazrine = AppTestFiles::SectionLines(ini, "Lazrine");
    EXPECT_TRUE(std::find(lazrine.begin(), lazrine.end(), "Extra=kept") != lazrine.end());
    EXPECT_TRUE(std::find(lazrine.begin(), lazrine.end(), "UserID=-1") != lazrine.end());
    EXPECT_TRUE(std::find(lazrine.begin(), lazrine.end(), "TodoAll=1") != lazrine.end());
    EXPECT_TRUE(std::find(lazrine.begin(), lazrine.end(), "QuitRemind=0") != lazrine.end());
    EXPECT_TRUE(std::find(lazrine.begin(), lazrine.end(), "AddrFile=/nowhere/address.dat") != lazrine.end());

    // A second run reads what the first one wrote and writes it again.
    const std::string first = AppTestFiles::ReadText(ini);
    RunOnce(ini);
    EXPECT_EQ(AppTestFiles::ReadText(ini), first);
}

TEST(OptionRecTest, ARunWritesAFreshFileOnClose) {
    TempDir dir;
    const std::string ini = dir.File("tamrisk.ini");
    {
        Workspace workspace(ini);
        workspace.Open();
        // Nothing is written before it closes.
        EXPECT_FALSE(std::filesystem::exists(ini));
        EXPECT_TRUE(workspace.Close());
    }
    const std::vector<std::string> expected{"UserID=0",  "AddrAll=0",  "DateAll=0", "TodoAll=0", "MemoAll=0",
                                            "AddrFile=", "DateFile=", "TodoFile=", "MemoFile=", "QuitRemind=1"};
    EXPECT_EQ(AppTestFiles::SectionLines(ini, "Lazrine"), expected);
}

}  // namespace
}  // namespace lazrine::session

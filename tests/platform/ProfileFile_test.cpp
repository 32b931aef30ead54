#include "platform/ProfileFile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "platform/AtomicFile.h"
#include "support/BlockingFifo.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"
#include "support/SystemSupport.h"

namespace lazrine::platform {
namespace {

using lazrine::testing::ReadFileBytes;
using lazrine::testing::TempDir;
using lazrine::testing::WriteFileBytes;
namespace fs = std::filesystem;

std::string Text(const std::string& path) {
    const auto bytes = ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

void PutText(const std::string& path, const std::string& text) { WriteFileBytes(path, {text.begin(), text.end()}); }

// Writing one key changes that key's line only; every other byte of the
// file, its comments and line ends included, stays as it was.
TEST(ProfileFile, WritingAKeyKeepsEverythingElse) {
    const struct {
        const char* name;
        std::string before;
        std::string section, key, value;
        std::string after;
    } cases[] = {
        {"first write of a missing file", "", "Lazrine", "UserID", "7", "[Lazrine]\nUserID=7\n"},
        {"key replaced in any letter case", "; mine\r\n[lazrine]\r\nuserid = 3\r\nMemoAll=1\r\n[Path]\r\nPDPath=C:\\x\r\n",
         "Lazrine", "UserID", "7", "; mine\r\n[lazrine]\r\nUserID=7\r\nMemoAll=1\r\n[Path]\r\nPDPath=C:\\x\r\n"},
        {"key added at the end of its section", "[Lazrine]\nA=1\n\n[Path]\nPDPath=x\n", "Lazrine", "B", "2",
         "[Lazrine]\nA=1\nB=2\n\n[Path]\nPDPath=x\n"},
        {"section added after a last line without end", "[Path]\nPDPath=x", "Lazrine", "B", "",
         "[Path]\nPDPath=x\n[Lazrine]\nB=\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const auto file = dir.File("tamrisk.ini");
        if (!c.before.empty()) {
            PutText(file, c.before);
        }
        ASSERT_TRUE(ProfileFile::WriteString(file, c.section, c.key, c.value));
        EXPECT_EQ(Text(file), c.after);
        EXPECT_EQ(ProfileFile::ReadString(file, c.section, c.key, "missing"), c.value);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
    }
    TempDir dir;
    EXPECT_FALSE(ProfileFile::WriteString(dir.File("tamrisk.ini"), "Lazrine", "MemoFile", "a\nUserID=1"));
    EXPECT_FALSE(fs::exists(dir.File("tamrisk.ini")));
}

// A link planted at a temporary name is never written through; a settings
// file that is itself a link is updated at its target.
TEST(ProfileFile, PlantedLinksAreNeverFollowed) {
    LAZRINE_SKIP_ON_WINDOWS("symbolic links");
    for (const char* temp : {"tamrisk.in~", "tamrisk.ini.lazrine-new"}) {
        SCOPED_TRACE(temp);
        TempDir dir;
        const auto file = dir.File("tamrisk.ini");
        const auto victim = dir.File("victim");
        PutText(file, "[Lazrine]\nUserID=1\n");
        PutText(victim, "precious");
        fs::create_symlink(victim, dir.File(temp));
        ASSERT_TRUE(ProfileFile::WriteString(file, "Lazrine", "UserID", "2"));
        EXPECT_EQ(Text(file), "[Lazrine]\nUserID=2\n");
        EXPECT_EQ(Text(victim), "precious");
    }
    TempDir dir;
    fs::create_directory(dir.Path() / "real");
    const auto target = dir.File("real/tamrisk.ini");
    const auto link = dir.File("tamrisk.ini");
    PutText(target, "[Lazrine]\nUserID=1\n");
    fs::create_symlink(target, link);
    ASSERT_TRUE(ProfileFile::WriteString(link, "Lazrine", "UserID", "2"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Text(target), "[Lazrine]\nUserID=2\n");
    EXPECT_FALSE(fs::exists(AtomicFile::BackupPathOf(target)));
}

// Settings are read only from a regular file: a FIFO at the name is never
// opened (that would wait for a writer), a folder gives the fallback.
TEST(ProfileFile, ANameThatIsNoRegularFileHoldsNoSettings) {
    TempDir dir;
    lazrine::testing::BlockingFifo fifo(dir.File("fifo.ini"));
    fs::create_directory(dir.File("folder.ini"));
    std::vector<std::string> names{dir.File("folder.ini")};
    if (fifo.Made()) {
        names.push_back(fifo.Path());
    }
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ProfileFile::ReadString(name, "Lazrine", "UserID", "none"), "none");
        EXPECT_EQ(ProfileFile::ReadInt(name, "Lazrine", "UserID", -7), -7);
    }
    EXPECT_FALSE(fifo.ReaderOpened());
}

}  // namespace
}  // namespace lazrine::platform

// Which records a scan of a user's folder finds in other copies of the data,
// and that the walk stays inside the folder, never opens a FIFO and can be
// stopped.
#include "session/BackupScan.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <filesystem>

#include "common/palm/PmRecordSetFactory.h"
#include "session/BackupList.h"
#include "support/AppTestFiles.h"
#include "support/BlockingFifo.h"
#include "support/PalmFileBuilder.h"
#include "support/PalmPdbBuilder.h"
#include "support/TempDir.h"

namespace lazrine::session {
namespace {

namespace fs = std::filesystem;
using palm::PmKind;
using testing::AppTestFiles;

struct BackupScanTest : ::testing::Test {
    testing::TempDir dir;
    fs::path user = dir.Path() / "User";
    fs::path memos = user / "MemoPad";
    BackupScan scan{PmKind::kMemos, [] { return palm::PmRecordSetFactory::Create(PmKind::kMemos); }};

    BackupScanTest() { fs::create_directories(memos / "Archive"); }
    void Write(const fs::path& path, const std::vector<testing::TestMemo>& records) {
        AppTestFiles::WriteMemoFile(path.string(), records);
    }
    // Every copy read: its name below the user's folder and the ids found.
    std::vector<std::pair<std::string, std::vector<std::uint32_t>>> Found() const {
        std::vector<std::pair<std::string, std::vector<std::uint32_t>>> found;
        for (const auto& copy : scan.Copies()) {
            std::vector<std::uint32_t> ids;
            for (const std::size_t i : copy.found) {
                ids.push_back(copy.pSet->CommonAt(i).nId);
            }
            found.emplace_back(fs::relative(fs::path(copy.szPath), user).generic_string(), ids);
        }
        return found;
    }
};

TEST_F(BackupScanTest, FindsWhatTheLiveFileLacksOrHoldsOnlyAsDeletedOnceAndStaysInTheFolder) {
    Write(memos / "memopad.dat", {{1, 0x00, "Live"}, {2, 0x04, "Two"}, {5, 0x00, "Five"}});
    // Read first (names in order): 3 is lacking, 4 lacking though deleted
    // here, 2 deleted in both adds nothing.
    Write(memos / "Archive" / "memopad.dat", {{3, 0x00, "Three"}, {4, 0x04, "Four"}, {2, 0x04, "Two"}});
    // 2 is kept here but deleted in the live file; 3 was found already.
    Write(memos / "memopad.bak", {{1, 0x00, "Live"}, {2, 0x00, "Two"}, {3, 0x00, "Three"}});
    AppTestFiles::WriteText((memos / "notes.txt").string(), "not a Palm file");
#ifndef _WIN32
    // A link out of the folder, a second name of a copy, and a FIFO.
    Write(dir.Path() / "outside.dat", {{9, 0x00, "Outside"}});
    fs::create_symlink(dir.Path() / "outside.dat", memos / "outside.dat");
    fs::create_symlink(memos / "memopad.bak", memos / "same.dat");
    const testing::BlockingFifo fifo((memos / "pipe.dat").string());
    ASSERT_TRUE(fifo.Made());
    constexpr std::size_t kNames = 8;  // Archive, its file and the six names beside the live file
#else
    constexpr std::size_t kNames = 5;
#endif

    std::vector<std::string> seen;
    const auto& report = scan.Run(user.string(), [&seen](std::size_t, const std::string& path) {
        seen.push_back(path);
        return true;
    });
    EXPECT_EQ(report.nOutcome, Outcome::kOk) << report.szReason;
    EXPECT_EQ(scan.LivePath(), (memos / "memopad.dat").string());
    EXPECT_EQ(Found(), (decltype(Found()){{"MemoPad/Archive/memopad.dat", {3, 4}}, {"MemoPad/memopad.bak", {2}}}));
    EXPECT_EQ(scan.FoundCount(), 3u);
#ifndef _WIN32
    EXPECT_FALSE(fifo.ReaderOpened());
#endif
    EXPECT_EQ(seen.size(), kNames);

    // Stopped from its progress, the scan says so.
    EXPECT_EQ(scan.Run(user.string(), [](std::size_t, const std::string&) { return false; }).nOutcome,
              Outcome::kCancelled);
}

TEST_F(BackupScanTest, WithoutLiveDataEveryRecordOfACopyIsFoundAndAHandheldBackupIsRead) {
    Write(memos / "Archive" / "old.dat", {{3, 0x00, "Three"}, {4, 0x84, "Four"}});
    const auto& report = scan.Run(user.string());
    EXPECT_EQ(report.nOutcome, Outcome::kOk);
    ASSERT_EQ(report.notes.size(), 1u);
    EXPECT_NE(report.notes[0].find("No live memopad data"), std::string::npos);
    EXPECT_EQ(scan.FoundCount(), 2u);

    // A handheld's ids are its own: its memos are matched by their texts,
    // line ends aside. Only "Five" is new; "Live" is kept, "Two" is deleted
    // in both.
    Write(memos / "memopad.dat", {{1, 0x00, "Live\r\nline"}, {2, 0x04, "Two"}});
    std::filesystem::remove(memos / "Archive" / "old.dat");
    testing::PdbLayout handheld;
    handheld.records = {{0x00, 900, testing::PdbText("Live\nline")},
                        {0x80, 901, testing::PdbText("Two")},
                        {0x00, 902, testing::PdbText("Five")}};
    fs::create_directories(user / "Backup");
    testing::WriteFileBytes((user / "Backup" / "MemoDB.PDB").string(), testing::BuildPdb(handheld));
    EXPECT_EQ(scan.Run(user.string()).nOutcome, Outcome::kOk);
    EXPECT_EQ(Found(), (decltype(Found()){{"Backup/MemoDB.PDB", {902}}}));

    EXPECT_EQ(scan.Run((dir.Path() / "nobody").string()).nOutcome, Outcome::kMissing);
}

// Answers every question yes and every save dialog with `save`; keeps
// every box's text.
struct AnsweringUi : UiServices {
    std::string save;
    std::vector<std::string> boxes;
    void Information(const std::string&, const std::string& text) override { boxes.push_back(text); }
    void Error(const std::string&, const std::string& text) override { boxes.push_back("error: " + text); }
    void ErrorWithDetail(const std::string&, const std::string& text, const std::string&) override { Error({}, text); }
    bool Ask(const std::string&, const std::string& text) override { return boxes.push_back(text), true; }
    bool ChooseOpenFile(const std::string&, const std::string&, const std::vector<FileFilter>&, std::string&) override {
        return false;
    }
    bool ChooseSaveFile(const std::string&, const std::string&, const std::vector<FileFilter>&, std::string& chosen,
                        std::size_t& filter) override {
        chosen = save;
        filter = kNoFilter;
        return true;
    }
    bool OpenUrl(const std::string&) override { return false; }
};

TEST_F(BackupScanTest, TheWindowsListShowsTheCopyAndExportsCheckedRecordsOfSeveralCopiesInOneFile) {
    Write(memos / "memopad.dat", {{1, 0x00, "Live"}, {2, 0x04, "Two"}});
    Write(memos / "Archive" / "memopad.dat", {{3, 0x00, "Three"}});
    Write(memos / "memopad.bak", {{2, 0x00, "Two"}});
    const std::string ini = dir.File("tamrisk.ini");
    AppTestFiles::WriteText(ini, "[Lazrine]\nMemoFile=" + (memos / "memopad.dat").string() + "\n");
    WorkspaceHooks hooks = WorkspaceHooks::Defaults();
    hooks.enumerateUsers = [] { return std::vector<palm::PmUserInfo>{}; };
    Workspace workspace(ini, hooks);
    workspace.Open();
    AnsweringUi ui;
    ui.save = dir.File("found.json");

    BackupList list(workspace, PmKind::kMemos);
    ASSERT_TRUE(list.ScanOrExplain(ui)) << ::testing::PrintToString(ui.boxes);
    EXPECT_EQ(list.Summary(), "Found 2 records in 2 of 2 copies read.");
    EXPECT_EQ(list.Captions(), (std::vector<std::string>{"Copy", "Memo"}));
    ASSERT_EQ(list.RowCount(), 2u);
    EXPECT_EQ(list.CellText(0, 0), (memos / "Archive" / "memopad.dat").string());
    EXPECT_EQ(list.CellText(0, 1), "Three");
    // Nothing checked: after the question, every row, from both copies.
    list.Export(ui, "found.json", {});
    auto json = nlohmann::json::parse(AppTestFiles::ReadText(ui.save));
    ASSERT_EQ(json["records"].size(), 2u);
    EXPECT_EQ(json["records"][1]["id"], 2);
    EXPECT_EQ(json["records"][1]["source"], (memos / "memopad.bak").string());
    list.SetChecked(1, true);
    list.Export(ui, "found.json", {});
    json = nlohmann::json::parse(AppTestFiles::ReadText(ui.save));
    EXPECT_EQ(json["records"].size(), 1u);
    EXPECT_EQ(ui.boxes.size(), 3u);  // the question and two reports

    workspace.Options().FileOf(PmKind::kMemos).clear();
    EXPECT_FALSE(BackupList(workspace, PmKind::kMemos).ScanOrExplain(ui));
    EXPECT_NE(ui.boxes.back().find("error: Cannot scan"), std::string::npos);
}

}  // namespace
}  // namespace lazrine::session

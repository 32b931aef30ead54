// What a page shows and checks, how an undelete and an export choose and
// run, and the sentences they end in, on a memo file of live, deleted and
// archived records and on a database that refuses one record.
#include "session/KindSession.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "common/palm/PmRecordSetFactory.h"
#include "session/ExportJob.h"
#include "session/Messages.h"
#include "session/Undeleter.h"
#include "support/AppTestFiles.h"
#include "support/FakeMemoRecordSet.h"
#include "support/FaultInjectingFileIo.h"
#include "support/PalmFileBuilder.h"
#include "support/ScopedFileIo.h"
#include "support/TempDir.h"

namespace lazrine::session {
namespace {

using palm::PmKind;
using testing::AppTestFiles;

// 1 live, 2 and 3 deleted, 4 archived.
const std::vector<testing::TestMemo> kMemos{{1, 0x00, "Live"}, {2, 0x04, "Two"}, {3, 0x84, "Three"}, {4, 0x80, "Old"}};
const palm::PmKindInfo& kMemoKind = palm::PmKindInfo::Of(PmKind::kMemos);

struct KindSessionTest : ::testing::Test {
    testing::TempDir dir;
    std::string memo = dir.File("memopad.dat");
    KindSession session{PmKind::kMemos, palm::PmRecordSetFactory::Create(PmKind::kMemos)};

    KindSessionTest() {
        AppTestFiles::WriteMemoFile(memo, kMemos);
        EXPECT_EQ(session.LoadFile(memo).nOutcome, Outcome::kOk);
    }
    std::vector<std::uint32_t> ShownIds() const {
        std::vector<std::uint32_t> ids;
        for (const std::size_t i : session.Shown()) {
            ids.push_back(session.RecordSet()->CommonAt(i).nId);
        }
        return ids;
    }
};

TEST_F(KindSessionTest, ShowsDeletedOrAllAndEveryRefillUnchecks) {
    EXPECT_EQ(ShownIds(), (std::vector<std::uint32_t>{2, 3, 4}));
    session.SetChecked(1, true);
    session.SetChecked(7, true);  // no such row: ignored
    EXPECT_EQ(session.Checked(), (std::vector<std::size_t>{2}));
    session.SetShowAll(true);
    EXPECT_EQ(ShownIds(), (std::vector<std::uint32_t>{1, 2, 3, 4}));
    EXPECT_TRUE(session.Checked().empty());
    session.SetAllChecked(true);
    EXPECT_EQ(session.Checked().size(), 4u);
    EXPECT_EQ(session.Records(false), (std::vector<std::size_t>{1, 2, 3}));

    KindSession missing(PmKind::kMemos, palm::PmRecordSetFactory::Create(PmKind::kMemos));
    EXPECT_EQ(missing.LoadFile(dir.File("gone.dat")).nOutcome, Outcome::kMissing);
    EXPECT_TRUE(missing.Shown().empty());
    KindSession unavailable(PmKind::kCalendar, nullptr);
    EXPECT_EQ(unavailable.LoadFile(memo).nOutcome, Outcome::kOk);
    EXPECT_TRUE(unavailable.Shown().empty());
}

TEST_F(KindSessionTest, IdsAreRefusedInTheOrderTheyAreTold) {
    const struct {
        std::vector<std::uint32_t> ids;
        bool deletedOnly;
        std::vector<std::size_t> records;
        std::string lines;
    } cases[] = {
        {{3, 2, 3}, true, {1, 2}, ""},
        {{9, 1, 9}, true, {},
         "No memos record has the ID 9.\nRecord 1 is not deleted.\nNothing was undeleted; the data was left unchanged.\n"},
        {{1, 4}, false, {0, 3}, ""},
        {{7, 1, 5}, false, {}, "No memos record has the ID 5.\nNo memos record has the ID 7.\nNothing was exported.\n"},
    };
    for (const auto& c : cases) {
        const KindSession::IdSelection selection = session.SelectIds(c.ids, c.deletedOnly);
        EXPECT_EQ(selection.records, c.records);
        EXPECT_EQ(selection.Complete(), c.lines.empty());
        if (!selection.Complete()) {
            EXPECT_EQ(Messages::RefusedIdsLines(kMemoKind, selection, c.deletedOnly), c.lines);
        }
    }
}

TEST_F(KindSessionTest, AnUndeleteWritesTheCheckedRecordsOrSaysWhyNot) {
    Undeleter::Report report = Undeleter::Run(*session.RecordSet(), {});
    EXPECT_EQ(report.nOutcome, Outcome::kNothingSelected);
    EXPECT_EQ(Messages::UndeleteBox(kMemoKind, report), kMemoKind.NothingSelectedMessage());

    report = Undeleter::Run(*session.RecordSet(), {1, 2});
    EXPECT_EQ(report.nOutcome, Outcome::kOk);
    EXPECT_EQ(report.nFile, Undeleter::FileState::kWritten);
    EXPECT_EQ(Messages::UndeleteBox(kMemoKind, report), "Palm memopad undelete successfully, 2 records were undeleted.");
    EXPECT_EQ(AppTestFiles::StatusesOnDisk(memo), (std::map<std::uint32_t, std::uint32_t>{
                                                      {1, 0x00}, {2, 0x01}, {3, 0x01}, {4, 0x80}}));
    session.Refill();
    EXPECT_EQ(ShownIds(), (std::vector<std::uint32_t>{4}));

    // Every way the save fails, each with its outcome, what became of the
    // file and what the user is told. The folder flush is found by a clean save.
    testing::FaultInjectingFileIo io;
    std::size_t flushAt = 0;
    {
        testing::ScopedFileIo scope(io);
        io.Arm(0);
        ASSERT_EQ(Undeleter::Run(*session.RecordSet(), {3}).nOutcome, Outcome::kOk);
        flushAt = static_cast<std::size_t>(std::find(io.Log().begin(), io.Log().end(), "FlushFolderOf " + memo) -
                                           io.Log().begin()) + 1;
    }
    using File = Undeleter::FileState;
    const std::string failed = "Palm memopad undelete failed: the data could not be written (";
    const struct {
        const char* name;
        std::function<void()> fault;
        Outcome outcome;
        File file;
        std::string box;
    } cases[] = {
        {"the file went away", [&] { std::filesystem::rename(memo, memo + ".away"); }, Outcome::kWriteFailed,
         File::kUnchanged, failed},
        {"another program wrote it", [&] { AppTestFiles::WriteMemoFile(memo, {{9, 0x04, "Theirs"}}); },
         Outcome::kChangedSinceLoaded, File::kUnchanged, failed},
        {"the disk is full", [&] { io.LimitSpace(0); }, Outcome::kWriteFailed, File::kUnchanged, failed},
        {"the folder flush failed", [&] { io.Arm(flushAt); }, Outcome::kReplacedNotDurable,
         File::kReplacedMaybeNotDurable, "Palm memopad undelete: the file was replaced, but the change may not survive"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AppTestFiles::WriteMemoFile(memo, kMemos);
        ASSERT_EQ(session.LoadFile(memo).nOutcome, Outcome::kOk);
        testing::ScopedFileIo scope(io);
        io.Arm(0);
        c.fault();
        report = Undeleter::Run(*session.RecordSet(), {1});
        io.LimitSpace(std::nullopt);
        EXPECT_EQ(report.nOutcome, c.outcome);
        EXPECT_EQ(report.nFile, c.file);
        EXPECT_TRUE(Messages::UndeleteIsError(report));
        EXPECT_EQ(Messages::UndeleteBox(kMemoKind, report).rfind(c.box, 0), 0u) << Messages::UndeleteBox(kMemoKind, report);
        EXPECT_EQ(Messages::UndeleteFailedLines(report, "x.dat"),
                  "Cannot save x.dat: " + report.szReason +
                      (c.file == File::kUnchanged ? "\nThe file was left unchanged.\n" : "\n"));
        EXPECT_EQ(session.RecordSet()->IsDeletedAt(1), c.file == File::kUnchanged);
    }
}

// A database that refuses one of three records writes none of them, and
// every front end says how many failed and why.
TEST(UndeleterTest, OneRefusedRecordWritesNone) {
    testing::FakeMemoRecordSet set({{10, 0x04}, {11, 0x00}, {12, 0x84}, {13, 0x80}}, 12);
    set.SetIncludeDeleted(true);
    ASSERT_TRUE(set.LoadFile("fake.mdb"));
    const Undeleter::Report notDeleted = Undeleter::Run(set, {0, 1, 3});
    EXPECT_EQ(notDeleted.nOutcome, Outcome::kNotDeleted);
    EXPECT_EQ(notDeleted.nRefused, 1u);
    EXPECT_EQ(Messages::UndeleteBox(kMemoKind, notDeleted),
              "Palm memopad undelete failed: 1 of 3 selected records could not be undeleted (record 11 is not "
              "deleted). Nothing was written; the file was left unchanged.");
    EXPECT_EQ(Messages::UndeleteFailedLines(notDeleted, "fake.mdb"),
              "Undelete failed: record 11 is not deleted\nNothing was written; the file was left unchanged.\n");
    const Undeleter::Report refused = Undeleter::Run(set, {0, 2, 3});
    EXPECT_EQ(refused.nOutcome, Outcome::kWriteFailed);
    EXPECT_NE(Messages::UndeleteBox(kMemoKind, refused).find("no records were undeleted"), std::string::npos);
    for (const auto& written : set.Store().Written()) {
        EXPECT_EQ(written.status, std::vector<std::uint32_t>({0x04, 0x00, 0x84, 0x80})[written.id - 10]);
    }
    EXPECT_EQ(set.PendingCount(), 0u);
}

TEST_F(KindSessionTest, AnExportChoosesRowsAndFormatLikeTheWindow) {
    ExportJob::WindowRows rows = ExportJob::RowsForWindow(session);
    EXPECT_TRUE(rows.bAsk);
    EXPECT_EQ(rows.records, session.Shown());
    EXPECT_EQ(Messages::ExportAllShownQuestion(rows.records.size()), "No records are checked. Export all 3 shown records?");
    session.SetChecked(0, true);
    rows = ExportJob::RowsForWindow(session);
    EXPECT_FALSE(rows.bAsk);
    EXPECT_EQ(rows.records, (std::vector<std::size_t>{1}));
    const KindSession empty(PmKind::kContacts, nullptr);
    EXPECT_EQ(ExportJob::RowsForWindow(empty).nOutcome, Outcome::kNothingSelected);
    EXPECT_EQ(Messages::NothingShownToExport(palm::PmKindInfo::Of(PmKind::kContacts)),
              "No Palm address book records are shown, export canceled.");

    using F = exporting::ExportFormat;
    const struct {
        std::size_t filter;
        const char* path;
        F::Id format;
    } formats[] = {{1, "a.txt", F::kCsv}, {UiServices::kNoFilter, "b.JSON", F::kJson},
                   {UiServices::kNoFilter, "c.foo", F::kText}, {9, "d.csv", F::kCsv}};
    for (const auto& f : formats) {
        EXPECT_EQ(ExportJob::FormatFor(kMemoKind, f.filter, f.path), f.format) << f.path;
    }
    EXPECT_EQ(ExportJob::SuggestedName(kMemoKind), "memos.txt");
    EXPECT_EQ(ExportJob::Filters(palm::PmKindInfo::Of(PmKind::kContacts)).front().Text(), "vCard (*.vcf)");

    // Never over a Palm data file; written whole otherwise.
    const std::string palmFile = dir.File("todo.dat");
    testing::WriteFileBytes(palmFile, testing::BuildClassicTodoFile({}));
    ExportJob job(*session.RecordSet(), F::kText, rows.records);
    const ExportJob::Report refused = job.ToFile(palmFile);
    EXPECT_EQ(refused.nOutcome, Outcome::kWriteFailed);
    const std::string box = Messages::ExportFailedBox(kMemoKind, refused);
    EXPECT_NE(box.find("is a Palm Desktop data file"), std::string::npos) << box;
    EXPECT_EQ(box.substr(box.rfind(" Nothing")), " Nothing was written.");
    const ExportJob::Report done = job.ToFile(dir.File("out.txt"));
    EXPECT_EQ(done.nOutcome, Outcome::kOk);
    EXPECT_EQ(Messages::ExportDoneBox(kMemoKind, 1, "out.txt", {"one note"}),
              "Palm memopad export successfully, 1 record was written to out.txt.\none note.");
    EXPECT_TRUE(ExportJob::WritesOverDataFile(memo, memo));
    EXPECT_FALSE(ExportJob::WritesOverDataFile("", memo));
}

}  // namespace
}  // namespace lazrine::session

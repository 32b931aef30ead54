// The options dialog's rules on copies of the Palm Desktop 6 databases of
// every kind: which names a kind accepts and why others are refused, OK as
// all or nothing, and where browsing starts.
#include "session/OptionsFlow.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/palm/PmRecordSetFactory.h"
#include "platform/HostPath.h"
#include "support/TempDir.h"
#ifndef _WIN32
#include "support/BlockingFifo.h"
#include "support/ForeignLock.h"
#endif

namespace lazrine::session {
namespace {

namespace fs = std::filesystem;
using palm::PmKind;
using testing::TempDir;

const char* const kDatabases[] = {"Address.mdb", "DateBook.mdb", "Todolist.mdb", "MemoPad.mdb"};

struct OptionsFlowTest : ::testing::Test {
    TempDir dir;
    std::array<std::unique_ptr<palm::PmRecordSet>, 4> sets;
    std::array<std::string, 4> files;

    OptionsFlowTest() {
        for (const auto& kind : palm::PmKindInfo::All()) {
            sets[kind.Index()] = palm::PmRecordSetFactory::Create(kind.nKind);
            files[kind.Index()] = Copy(kDatabases[kind.Index()]);
        }
    }
    std::string Copy(const char* database, const std::string& as = "") const {
        const std::string path = dir.File(as.empty() ? database : as);
        fs::copy_file(std::string(LAZRINE_TEST_DATA_DIR) + "/mdb/" + database, path);
        return path;
    }
    OptionsFlow Flow() const { return OptionsFlow({sets[0].get(), sets[1].get(), sets[2].get(), sets[3].get()}); }
};

TEST_F(OptionsFlowTest, EachKindAcceptsOnlyItsOwnDatabase) {
    const OptionsFlow flow = Flow();
    for (const auto& kind : palm::PmKindInfo::All()) {
        for (std::size_t file = 0; file < files.size(); ++file) {
            const OptionsFlow::Verdict verdict = flow.Accept(kind.nKind, files[file]);
            EXPECT_EQ(verdict.nOutcome == Outcome::kOk, file == kind.Index()) << kind.szName << " " << files[file];
            EXPECT_EQ(verdict.szPath.empty(), file != kind.Index());
        }
    }
}

TEST_F(OptionsFlowTest, RefusalsSayWhyInASentence) {
    fs::create_directory(dir.File("folder.mdb"));
    struct Case {
        std::string file;
        Outcome outcome;
        std::string reasonStart;
    };
    std::vector<Case> cases{
        {files[2], Outcome::kNotThisKind, "Not a Palm Desktop memos file"},
        {Copy("NotPalm.mdb"), Outcome::kNotThisKind, "Not a Palm Desktop memos file"},
        {dir.File("folder.mdb"), Outcome::kNotRegularFile, "Not a regular file."},
        {dir.File("gone.mdb"), Outcome::kMissing, "The file does not exist."},
        {dir.File("a\nb.mdb"), Outcome::kBadName, "The name holds a line break"},
        {dir.File("a\tb.mdb"), Outcome::kBadName, "The name holds a line break or another control character."},
        {"", Outcome::kNoName, "No file name given."},
    };
#ifndef _WIN32
    const std::string locked = Copy("MemoPad.mdb", "Locked.mdb");
    testing::ForeignLock lock(locked, testing::ForeignLock::Kind::kRecordWrite, 0, 1);
    ASSERT_TRUE(lock.Held());
    testing::BlockingFifo fifo(dir.File("fifo.mdb"));
    ASSERT_TRUE(fifo.Made());
    cases.push_back({locked, Outcome::kInUse, "Locked by another program"});
    cases.push_back({fifo.Path(), Outcome::kNotRegularFile, "Not a regular file."});
    cases.push_back({"/dev/null", Outcome::kNotRegularFile, "Not a regular file."});
#endif
    const OptionsFlow flow = Flow();
    for (const Case& c : cases) {
        const OptionsFlow::Verdict verdict = flow.Accept(PmKind::kMemos, c.file);
        EXPECT_EQ(verdict.nOutcome, c.outcome) << c.file;
        EXPECT_EQ(verdict.szReason.rfind(c.reasonStart, 0), 0u) << verdict.szReason;
        EXPECT_EQ(verdict.szReason.back(), '.');
    }
#ifndef _WIN32
    EXPECT_FALSE(fifo.ReaderOpened());
#endif
}

TEST_F(OptionsFlowTest, ApplyStoresAllOrNothingAndReportsWhatChanged) {
    const OptionsFlow flow = Flow();
    OptionRec option;
    option.szFile[2] = files[2];
    std::array<OptionsFlow::Choice, 4> choices{};
    choices[2] = {true, files[2]};
    // A valid contacts file beside an invalid memos file stores neither.
    choices[0] = {true, files[0]};
    choices[3] = {true, files[2]};
    OptionsFlow::ApplyReport report = flow.Apply(choices, option);
    EXPECT_EQ(report.nOutcome, Outcome::kNotThisKind);
    EXPECT_EQ(report.nRefused, PmKind::kMemos);
    EXPECT_TRUE(option.szFile[0].empty());
    // Corrected: both stored, the unchanged tasks file not reported.
    choices[3].szName = files[3];
    report = flow.Apply(choices, option);
    EXPECT_EQ(report.nOutcome, Outcome::kOk);
    EXPECT_EQ(report.changed, (std::array<bool, 4>{true, false, false, true}));
    EXPECT_EQ(option.szFile[0], files[0]);
    // Unchecking empties the name and reports that kind only.
    choices[2].bUse = false;
    EXPECT_EQ(flow.Apply(choices, option).changed, (std::array<bool, 4>{false, false, true, false}));
    EXPECT_TRUE(option.szFile[2].empty());
    // A kind without a record set is never probed nor changed.
    option.szFile[1] = "/some/where/datebook.dat";
    choices[1] = {false, ""};
    const OptionsFlow partial({sets[0].get(), nullptr, sets[2].get(), sets[3].get()});
    EXPECT_FALSE(partial.Available(PmKind::kCalendar));
    EXPECT_EQ(partial.Apply(choices, option).changed, (std::array<bool, 4>{}));
    EXPECT_EQ(option.szFile[1], "/some/where/datebook.dat");
}

TEST_F(OptionsFlowTest, NamesAreKeptWholeAndAbsolute) {
    fs::path deep = dir.Path();
    for (int i = 0; i < 6; ++i) {
        deep /= std::string(50, static_cast<char>('a' + i));
    }
    fs::create_directories(deep);
    const std::string longName = (deep / "MemoPad.mdb").string();
    fs::copy_file(files[3], longName);
    const OptionsFlow flow = Flow();
    EXPECT_EQ(flow.Accept(PmKind::kMemos, longName).szPath, longName);
    const fs::path before = fs::current_path();
    fs::current_path(dir.Path());
    const OptionsFlow::Verdict relative = flow.Accept(PmKind::kTasks, "./Todolist.mdb");
    const std::string expected = platform::HostPath::Absolute("./Todolist.mdb");
    fs::current_path(before);
    EXPECT_EQ(relative.nOutcome, Outcome::kOk);
    EXPECT_EQ(relative.szPath, expected);
    EXPECT_EQ(relative.szPath.rfind(dir.Path().string(), 0), 0u);
}

TEST_F(OptionsFlowTest, BrowsingStartsWhereTheUserHasFiles) {
    const std::string user = dir.File("user");
    fs::create_directory(user);
    const struct {
        std::string current;
        std::string userFolder;
        std::string folder;
    } cases[] = {
        {files[1], user, dir.Path().string()},
        {dir.File("user"), "", user},
        {"", user, user},
        {"/nowhere/at/all.mdb", user, user},
        {"", "", "HOME"},
        {"", "/nowhere/", "HOME"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OptionsFlow::StartFolder(c.current, c.userFolder, "HOME"), c.folder) << c.current;
    }
    ASSERT_EQ(OptionsFlow::DataFileFilters().size(), 2u);
    EXPECT_EQ(OptionsFlow::DataFileFilters()[0].Text(), "Palm Desktop Database File (*.dat *.mdb)");
    EXPECT_EQ(OptionsFlow::DataFileFilters()[1].Text(), "All Files (*)");
}

}  // namespace
}  // namespace lazrine::session

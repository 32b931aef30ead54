#include "common/palm/database/PmJetJournal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "common/palm/PmTypes.h"
#include "common/palm/database/PmJetEngine.h"
#include "common/palm/database/PmMemoEx2Util.h"
#include "platform/AtomicFile.h"
#include "support/FaultInjectingFileIo.h"
#include "support/JetPageEditor.h"
#include "support/PalmFileBuilder.h"
#include "support/ScopedFileIo.h"
#include "support/TempDir.h"
#include "support/TestData.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

constexpr std::uint32_t kMainDefinition = 24;  // the page of Main's definition in MemoPad.mdb
// Deleted memos of MemoPad.mdb, undeleted together.
constexpr std::uint32_t kChosen[] = {1010, 1012, 1020, 1022, 1024};

// The Status cell of a memo's row, found from the format (JetPageEditor), not
// by the engine: after the row's column count and its Record ID.
std::size_t StatusOffset(const Bytes& file, std::uint32_t id) {
    JetPageEditor::RowPlace row;
    EXPECT_TRUE(JetPageEditor::FindRowById(file, kMainDefinition, static_cast<std::int32_t>(id), row)) << id;
    return row.nOffset + 2 + 4;
}

// The cell changes that undelete the chosen memos of `original`.
std::vector<PmJetPatch> ChosenCells(const Bytes& original) {
    std::vector<PmJetPatch> cells;
    for (const std::uint32_t id : kChosen) {
        PmJetPatch cell;
        cell.nOffset = StatusOffset(original, id);
        cell.before.assign(original.begin() + static_cast<std::ptrdiff_t>(cell.nOffset),
                           original.begin() + static_cast<std::ptrdiff_t>(cell.nOffset) + 4);
        const std::uint32_t status = PmUndeletedStatus(cell.before[0] | (cell.before[1] << 8u));
        cell.after = {static_cast<std::uint8_t>(status), static_cast<std::uint8_t>(status >> 8), 0, 0};
        cells.push_back(std::move(cell));
    }
    return cells;
}

Bytes Applied(Bytes file, const std::vector<PmJetPatch>& cells, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        std::copy(cells[i].after.begin(), cells[i].after.end(), file.begin() + static_cast<std::ptrdiff_t>(cells[i].nOffset));
    }
    return file;
}

// What another program does to a file, ignoring our lock.
[[maybe_unused]] void RawWrite(const std::string& path, std::size_t offset, const Bytes& bytes) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(static_cast<std::streamoff>(offset));
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class PmJetJournalTest : public ::testing::Test {
protected:
    void SetUp() override {
        original = ReadFileBytes(TestDataCopy("mdb/MemoPad.mdb"));
        cells = ChosenCells(original);
        expected = Applied(original, cells, cells.size());
        Reset();
    }
    // The database as it was, with no backup or journal beside it.
    void Reset() {
        WriteFileBytes(path, original);
        for (const std::string& leftover : {platform::AtomicFile::BackupPathOf(path), journal, journal + ".lazrine-new"}) {
            fs::remove(leftover);
        }
    }
    // Undeletes the chosen memos as the record set does: status words
    // changed in the store, then one Save.
    bool UndeleteChosen(std::string& error) {
        PmMemoEx2Util store(path);
        for (std::size_t i = 0; i < store.Count(); ++i) {
            if (std::find(std::begin(kChosen), std::end(kChosen), store.RecordIdAt(i)) != std::end(kChosen)) {
                store.SetStatusAt(i, PmUndeletedStatus(store.StatusAt(i)));
            }
        }
        if (!store.IsLoaded() || !store.Save()) {
            error = store.LastError();
            return false;
        }
        return true;
    }
    bool Opens(std::string& error) {
        PmJetEngine e;
        platform::IoError failure;
        const bool ok = e.Open(path, failure);
        error = failure.szText;
        return ok;
    }
    void PutJournal(const PmJetJournal::Contents& contents) {
        WriteFileBytes(journal, PmJetJournal::Encode(contents));
    }
    PmJetJournal::Contents Journal() const { return {"MemoPad.mdb", original.size(), cells}; }

    TempDir dir;
    const std::string path = dir.File("MemoPad.mdb");
    const std::string journal = path + ".lazrine-journal";
    Bytes original;
    std::vector<PmJetPatch> cells;
    Bytes expected;
};

// A failure at any step of a five-record undelete, a full disk included,
// leaves the database as it was (or, when the step's failure did not stop
// it, fully undeleted) and no journal; the next undelete then succeeds.
TEST_F(PmJetJournalTest, AFailureAtAnyStepWritesAllOrNothing) {
    std::string error;
    FaultInjectingFileIo io;
    std::size_t steps = 0;
    {
        ScopedFileIo scope(io);
        io.Arm(0);
        ASSERT_TRUE(UndeleteChosen(error)) << error;
        steps = io.Steps();
    }
    ASSERT_EQ(ReadFileBytes(path), expected);
    std::size_t failures = 0;
    for (const auto fault : {FaultInjectingFileIo::Fault::kError, FaultInjectingFileIo::Fault::kDiskFull}) {
        for (std::size_t n = 1; n <= steps; ++n) {
            SCOPED_TRACE("failing step " + std::to_string(n));
            Reset();
            bool ok = false;
            {
                ScopedFileIo scope(io);
                io.Arm(n, fault);
                ok = UndeleteChosen(error);
                ASSERT_TRUE(io.Injected());
            }
            failures += ok ? 0 : 1;
            EXPECT_EQ(ReadFileBytes(path), ok ? expected : original) << io.Log()[n - 1] << ": " << error;
            EXPECT_FALSE(fs::exists(journal));
            EXPECT_FALSE(fs::exists(journal + ".lazrine-new"));
            if (!ok) {
                ASSERT_TRUE(UndeleteChosen(error)) << error;
                EXPECT_EQ(ReadFileBytes(path), expected);
            }
        }
    }
    EXPECT_GT(failures, steps);
}

// A crash after the journal and k cell writes: the next open puts the
// original back, removes the journal, and an undelete then succeeds.
TEST_F(PmJetJournalTest, AnInterruptedUndeleteIsPutBackWhenTheDatabaseIsOpened) {
    for (std::size_t k = 0; k <= cells.size(); ++k) {
        SCOPED_TRACE(std::to_string(k) + " cells written");
        Reset();
        PutJournal(Journal());
        WriteFileBytes(journal + ".lazrine-new", {1, 2, 3});
        WriteFileBytes(path, Applied(original, cells, k));
        std::string error;
        ASSERT_TRUE(Opens(error)) << error;
        EXPECT_EQ(ReadFileBytes(path), original);
        EXPECT_FALSE(fs::exists(journal));
        EXPECT_FALSE(fs::exists(journal + ".lazrine-new"));
        ASSERT_TRUE(UndeleteChosen(error)) << error;
        EXPECT_EQ(ReadFileBytes(path), expected);
    }
}

#ifndef _WIN32
// Another program at work during the write: a Status cell changed under us
// or another file renamed over the database (Windows itself keeps others
// from either while the file is held open and locked). The undelete fails, that
// program's bytes stay, and nothing of ours is left in any file.
TEST_F(PmJetJournalTest, AnotherWriterDuringTheUndeleteStopsIt) {
    const std::string other = dir.File("other.mdb");
    Bytes replacement = original;
    replacement[100] ^= 0xFF;
    const Bytes changedCell{0x02, 0, 0, 0};
    struct Case {
        const char* name;
        const char* op;
        int nth;
        bool rename;
        std::size_t cell;  // the cell another program changes
    };
    const Case cases[] = {
        {"first cell changed before its check", "ReadAt", 2, false, 0},
        {"second cell changed after the first was written", "WriteAt", 1, false, 1},
        {"renamed over before the first cell", "Rename", 1, true, 0},
        {"renamed over after the first cell", "WriteAt", 2, true, 0},
        {"renamed over before the last cell's write", "WriteAt", 5, true, 0},
    };
    // The steps of an undelete without interference, to find the one each
    // case interferes before.
    FaultInjectingFileIo io;
    std::vector<std::string> log;
    {
        std::string error;
        ScopedFileIo scope(io);
        io.Arm(0);
        ASSERT_TRUE(UndeleteChosen(error)) << error;
        log = io.Log();
    }
    const auto stepOf = [&log](const std::string& op, int nth) {
        for (std::size_t k = 0; k < log.size(); ++k) {
            if (log[k].rfind(op + " ", 0) == 0 && --nth == 0) {
                return k + 1;
            }
        }
        return std::size_t{0};
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        io.OnCall([&](const std::string&) {
            if (c.rename) {
                WriteFileBytes(other, replacement);
                fs::rename(other, path);
            } else {
                RawWrite(path, cells[c.cell].nOffset, changedCell);
            }
        });
        const std::size_t step = stepOf(c.op, c.nth);
        ASSERT_NE(step, 0u);
        std::string error;
        {
            ScopedFileIo scope(io);
            io.Arm(step, FaultInjectingFileIo::Fault::kCall);
            EXPECT_FALSE(UndeleteChosen(error));
        }
        EXPECT_NE(error.find(c.rename ? "no longer names the file" : "changed by another program"), std::string::npos)
            << error;
        Bytes kept = original;
        std::copy(changedCell.begin(), changedCell.end(), kept.begin() + static_cast<std::ptrdiff_t>(cells[c.cell].nOffset));
        EXPECT_EQ(ReadFileBytes(path), c.rename ? replacement : kept);
        EXPECT_FALSE(fs::exists(journal));
    }
}

#endif

// Journals that were torn while written (before any cell) are removed and
// the database opens unchanged; a journal that does not fit the database
// refuses the open and leaves both files as they are.
TEST_F(PmJetJournalTest, AJournalIsAppliedOnlyWhenItIsWholeAndFitsTheDatabase) {
    const Bytes whole = PmJetJournal::Encode(Journal());
    Bytes flipped = whole;
    flipped[whole.size() / 2] ^= 0x01;
    const std::vector<Bytes> torn{{}, {'L', 'Z'}, Bytes(whole.begin(), whole.begin() + 20),
                                  Bytes(whole.begin(), whole.end() - 1), flipped, Bytes(500, 0xAB)};
    for (const Bytes& bytes : torn) {
        SCOPED_TRACE("torn journal of " + std::to_string(bytes.size()) + " bytes");
        Reset();
        WriteFileBytes(journal, bytes);
        std::string error;
        EXPECT_TRUE(Opens(error)) << error;
        EXPECT_EQ(ReadFileBytes(path), original);
        EXPECT_FALSE(fs::exists(journal));
    }
    Bytes neither = Applied(original, cells, 2);
    neither[cells[3].nOffset] = 0x77;
    PmJetJournal::Contents renamed = Journal();
    renamed.szName = "Other.mdb";
    PmJetJournal::Contents resized = Journal();
    resized.nSize += 4096;
    struct Case {
        const char* name;
        PmJetJournal::Contents contents;
        Bytes database;
    };
    const Case misfits[] = {
        {"a cell holds neither", Journal(), neither},
        {"another database's name", renamed, Applied(original, cells, 2)},
        {"another size", resized, Applied(original, cells, 2)},
    };
    for (const Case& c : misfits) {
        SCOPED_TRACE(c.name);
        Reset();
        PutJournal(c.contents);
        const Bytes journalBytes = ReadFileBytes(journal);
        WriteFileBytes(path, c.database);
        std::string error;
        EXPECT_FALSE(Opens(error));
        EXPECT_NE(error.find(journal), std::string::npos) << error;
        EXPECT_EQ(ReadFileBytes(path), c.database);
        EXPECT_EQ(ReadFileBytes(journal), journalBytes);
    }
}

}  // namespace
}  // namespace lazrine::palm

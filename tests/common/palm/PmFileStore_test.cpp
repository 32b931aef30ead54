// A save never drops bytes of a record file: bytes after the last counted
// record and fields the record type does not describe come back unchanged,
// in both generations, also after an undelete.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/palm/PmMemoExUtil.h"
#include "common/palm/PmMemoInfo.h"
#include "common/palm/PmMemoUtil.h"
#include "support/FaultInjectingFileIo.h"
#include "support/PalmFileBuilder.h"
#include "support/ScopedFileIo.h"
#include "support/TempDir.h"

namespace lazrine::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

enum class Generation { kExtended, kClassic };

Bytes Build(const MemoFileLayout& spec, Generation generation) {
    return generation == Generation::kExtended ? BuildExtendedMemoFile(spec) : BuildClassicMemoFile(spec);
}

std::uint32_t PerRecord(Generation generation) { return generation == Generation::kExtended ? 14 : 6; }

// Three memos, the first deleted, written the way a save writes them (so that
// a load and a save change nothing but what the test changes).
MemoFileLayout ThreeMemos(Generation generation, std::size_t recordsCounted) {
    MemoFileLayout spec;
    spec.memos = {MakeMemo(1, 0x84, "first, deleted"), MakeMemo(2, 0x00, "second"),
                  MakeMemo(3, 0x04, std::string(300, 'l'))};
    spec.headerBlock[12] = static_cast<std::uint8_t>(recordsCounted);
    spec.headerBlock[13] = 0x10;
    spec.fieldsPerRecord = PerRecord(generation);
    return spec;
}

Bytes IntFieldBytes(std::uint32_t value, std::uint32_t tag) {
    PalmFileBuilder b;
    b.IntField(value, tag);
    return b.Bytes();
}

struct Case {
    const char* name;
    Generation generation;
    // Shapes the file; returns how many records the store must list.
    std::function<std::size_t(MemoFileLayout&)> shape;
};

const Case kCases[] = {
    {"entry count smaller than the records present (extended)", Generation::kExtended,
     [](MemoFileLayout& spec) {
         spec.memos.push_back(MakeMemo(4, 0x04, "beyond the count"));
         spec.memos.push_back(MakeMemo(5, 0x00, "also beyond"));
         spec.overrideEntryCount = true;
         spec.entryCount = 3 * 14;
         return std::size_t{3};
     }},
    {"entry count smaller than the records present (classic)", Generation::kClassic,
     [](MemoFileLayout& spec) {
         spec.memos.push_back(MakeMemo(4, 0x04, "beyond the count"));
         spec.memos.push_back(MakeMemo(5, 0x00, "also beyond"));
         spec.overrideEntryCount = true;
         spec.entryCount = 3 * 6;
         return std::size_t{3};
     }},
    {"data appended (extended)", Generation::kExtended,
     [](MemoFileLayout& spec) {
         spec.trailing = {'a', 'p', 'p', 'e', 'n', 'd', 'e', 'd', 0, 0xFF, 0x80, 7};
         return std::size_t{3};
     }},
    {"data appended (classic)", Generation::kClassic,
     [](MemoFileLayout& spec) {
         spec.trailing = {0x01, 0x00, 0x00, 0x00, 0x2A};
         return std::size_t{3};
     }},
    {"a seventh field per record (classic)", Generation::kClassic,
     [](MemoFileLayout& spec) {
         spec.fieldsPerRecord = 7;
         spec.fieldTypes = {1, 1, 1, 5, 6, 1, 1};
         for (std::size_t i = 0; i < spec.memos.size(); ++i) {
             spec.memos[i].extraFields = IntFieldBytes(static_cast<std::uint32_t>(1000 + i), 1);
         }
         return std::size_t{3};
     }},
    {"extra fields of every type per record (classic)", Generation::kClassic,
     [](MemoFileLayout& spec) {
         spec.fieldsPerRecord = 10;
         spec.fieldTypes = {1, 1, 1, 5, 6, 1, 5, 68, 64, 3};
         for (auto& memo : spec.memos) {
             PalmFileBuilder b;
             b.StringField("kept " + std::to_string(memo.id), 7);
             b.U32(68).Raw(std::string("quadquad"));
             b.U32(64).U32(2).U32(9).U32(8).U32(3).Raw(std::string("abc"));
             b.IntField(0xDEADBEEF, 3);
             memo.extraFields = b.Bytes();
         }
         spec.trailing = {9, 9, 9};
         return std::size_t{3};
     }},
    {"schema counting positions the records do not hold, then data (classic)", Generation::kClassic,
     [](MemoFileLayout& spec) {
         spec.fieldsPerRecord = 8;
         spec.fieldTypes = {1, 1, 1, 5, 6, 1, 1, 1};
         spec.trailing = {'t', 'a', 'i', 'l'};
         return std::size_t{3};
     }},
};

class PmFileStoreTest : public ::testing::TestWithParam<Case> {};

// Undeleting the first memo and saving changes its status word and nothing
// else: every other byte of the file, understood or not, stays.
TEST_P(PmFileStoreTest, SaveKeepsEveryByteItDidNotChange) {
    const Case& c = GetParam();
    MemoFileLayout spec = ThreeMemos(c.generation, 3);
    const std::size_t listed = c.shape(spec);
    const Bytes original = Build(spec, c.generation);
    TempDir dir;
    const std::string path = dir.File("memopad.dat");
    WriteFileBytes(path, original);

    palm::PmMemoInfo info;
    info.SetIncludeDeleted(true);
    ASSERT_TRUE(info.LoadFile(path)) << info.LastError();
    ASSERT_EQ(info.CommonCount(), listed);
    EXPECT_EQ(info.WholeFieldText(2, misc::CommNoteMgr::kNote), std::string(300, 'l'));
    ASSERT_TRUE(info.UndeleteAt(0)) << info.LastError();
    ASSERT_TRUE(info.Save()) << info.LastError();

    spec.memos[0].status = palm::PmUndeletedStatus(spec.memos[0].status);
    const Bytes expected = Build(spec, c.generation);
    const Bytes saved = ReadFileBytes(path);
    EXPECT_EQ(saved.size(), original.size());
    EXPECT_TRUE(saved == expected);
    EXPECT_TRUE(ReadFileBytes(path + ".lazrine.bak") == original);
}

INSTANTIATE_TEST_SUITE_P(UnaccountedBytes, PmFileStoreTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             std::string name;
                             for (const char ch : std::string(info.param.name)) {
                                 name += std::isalnum(static_cast<unsigned char>(ch)) != 0 ? ch : '_';
                             }
                             return name;
                         });


// What an undelete shows in memory is what the file holds: a record that is
// not deleted is refused, an undelete shows only once its save succeeded, and
// a failed save takes it back, in both generations.
class PmRecordSetSaveTest : public ::testing::TestWithParam<Generation> {};

TEST_P(PmRecordSetSaveTest, MemoryShowsOnlyWhatWasWritten) {
    const Generation generation = GetParam();
    const Bytes original = Build(ThreeMemos(generation, 3), generation);
    TempDir dir;
    const std::string path = dir.File("memopad.dat");
    WriteFileBytes(path, original);
    palm::PmMemoInfo info;
    info.SetIncludeDeleted(true);
    {
        // Each store of the chain it is tried with first reads the file's
        // head; only the one the head names reads the file whole.
        FaultInjectingFileIo io;
        const ScopedFileIo use(io);
        io.Arm(0);
        ASSERT_TRUE(info.LoadFile(path)) << info.LastError();
        EXPECT_EQ(std::count(io.Log().begin(), io.Log().end(), "ReadAll"), 1);
    }
    palm::PmStore& store = generation == Generation::kExtended ? static_cast<palm::PmStore&>(info.Extended())
                                                               : static_cast<palm::PmStore&>(info.Classic());

    // Record 2 is not deleted: refused, with its id named, nothing changed.
    EXPECT_FALSE(info.UndeleteAt(1));
    EXPECT_NE(info.LastError().find("record 2 is not deleted"), std::string::npos) << info.LastError();
    EXPECT_EQ(store.StatusAt(1), 0x00u);
    EXPECT_EQ(info.PendingCount(), 0u);

    // An undelete waits for the save: the lists still show the record deleted.
    ASSERT_TRUE(info.UndeleteAt(0)) << info.LastError();
    EXPECT_FALSE(info.UndeleteAt(0)) << "an undeleted record is not deleted any more";
    EXPECT_EQ(info.StatusAt(0), 0x84u);

    // A save that fails (the file is gone) takes it back everywhere.
    std::filesystem::rename(path, path + ".away");
    EXPECT_FALSE(info.Save());
    EXPECT_FALSE(info.LastError().empty());
    EXPECT_EQ(store.StatusAt(0), 0x84u);
    EXPECT_EQ(info.StatusAt(0), 0x84u);
    EXPECT_EQ(info.PendingCount(), 0u);

    // Undone and saved: now memory and file agree on the new status.
    std::filesystem::rename(path + ".away", path);
    ASSERT_TRUE(info.UndeleteAt(0)) << info.LastError();
    ASSERT_TRUE(info.UndeleteAt(2)) << info.LastError();
    ASSERT_TRUE(info.Save()) << info.LastError();
    EXPECT_EQ(info.StatusAt(0), 0x01u);
    EXPECT_EQ(info.StatusAt(2), 0x01u);
    palm::PmMemoInfo again;
    again.SetIncludeDeleted(true);
    ASSERT_TRUE(again.LoadFile(path));
    EXPECT_EQ(again.StatusAt(0), 0x01u);
    EXPECT_EQ(again.StatusAt(2), 0x01u);
}

INSTANTIATE_TEST_SUITE_P(BothGenerations, PmRecordSetSaveTest,
                         ::testing::Values(Generation::kExtended, Generation::kClassic),
                         [](const ::testing::TestParamInfo<Generation>& info) {
                             return std::string(info.param == Generation::kExtended ? "Extended" : "Classic");
                         });

}  // namespace
}  // namespace lazrine::testing

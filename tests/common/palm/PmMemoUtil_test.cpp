#include "common/palm/PmMemoUtil.h"

#include <gtest/gtest.h>

#include "common/palm/PmMemoExUtil.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDirTest.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;

MemoRecordLayout Memo(std::uint32_t id, std::uint32_t status, std::string text) {
    MemoRecordLayout m = MakeMemo(id, status, std::move(text));
    m.placement = id + 1000;
    m.category = 1;
    return m;
}

MemoFileLayout Sample() {
    MemoFileLayout spec;
    spec.recordedName = "C:\\Palm\\Old\\memopad\\memopad.dat";
    spec.categories = {{1, 1, 0, "Business", "Business"}};
    spec.memos = {Memo(1, 0x00, "live"), Memo(2, 0x04, "deleted"), Memo(3, 0x80, "archived")};
    spec.memos[0].priv = 1;
    return spec;
}

class PmMemoUtilTest : public TempDirTest {};

TEST_F(PmMemoUtilTest, LoadsAllRecordsDeletedAndArchivedIncluded) {
    PmMemoUtil codec(Put(BuildClassicMemoFile(Sample())));
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    const auto& recs = codec.GetDataMgr().Records();
    ASSERT_EQ(recs.size(), 3u);
    EXPECT_EQ(recs[0].nPrivate, 1u);
    EXPECT_EQ(recs[0].nPlacement, 1001u);
    EXPECT_EQ(recs[0].nCategoryId, 1u);
    EXPECT_EQ(recs[1].nStatus, 0x04u);
    EXPECT_EQ(recs[2].nStatus, 0x80u);
    EXPECT_EQ(recs[2].szMemo, "archived");
    EXPECT_EQ(codec.GetHeaderText(), "Palm Memo Pad");
}

TEST_F(PmMemoUtilTest, SaveChangesOnlyTheStatusWordWhateverTheTagsAndAttributes) {
    MemoFileLayout spec = Sample();
    spec.memos[1].intTag = 3;
    spec.memos[1].textAttr = 0;
    const auto path = Put(BuildClassicMemoFile(spec));
    PmMemoUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded());
    codec.SetStatusAt(1, PmUndeletedStatus(codec.StatusAt(1)));
    ASSERT_TRUE(codec.Save()) << codec.LastError();
    MemoFileLayout expected = spec;
    expected.memos[1].status = 0x01;
    EXPECT_EQ(ReadFileBytes(path), BuildClassicMemoFile(expected));
}

TEST_F(PmMemoUtilTest, EntryCountIsDividedAndWrittenBackAsItWas) {
    MemoFileLayout spec = Sample();
    spec.memos.resize(2);
    spec.overrideEntryCount = true;
    spec.entryCount = 13;
    const auto path = Put(BuildClassicMemoFile(spec));
    PmMemoUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    EXPECT_EQ(codec.Count(), 2u);
    ASSERT_TRUE(codec.Save());
    EXPECT_EQ(ReadFileBytes(path), BuildClassicMemoFile(spec));
}

TEST_F(PmMemoUtilTest, GenerationsTurnEachOtherAway) {
    const auto extendedPath = Put(BuildExtendedMemoFile(Sample()), "extended.dat");
    const auto classicPath = Put(BuildClassicMemoFile(Sample()), "classic.dat");
    PmMemoUtil classicOnExtended(extendedPath);
    EXPECT_FALSE(classicOnExtended.IsLoaded());
    PmMemoExUtil extendedOnClassic(classicPath);
    EXPECT_FALSE(extendedOnClassic.IsLoaded());
}

TEST_F(PmMemoUtilTest, TruncatedOrLyingFilesFail) {
    auto bytes = BuildClassicMemoFile(Sample());
    bytes.resize(bytes.size() - 3);
    PmMemoUtil cut(Put(bytes, "cut.dat"));
    EXPECT_FALSE(cut.IsLoaded());
    EXPECT_EQ(cut.Count(), 0u);

    MemoFileLayout lying = Sample();
    lying.overrideEntryCount = true;
    lying.entryCount = 0xFFFFFFFFu;
    PmMemoUtil huge(Put(BuildClassicMemoFile(lying), "huge.dat"));
    EXPECT_FALSE(huge.IsLoaded());

    MemoFileLayout longHeader = Sample();
    longHeader.headerText = std::string(257, 'h');
    PmMemoUtil header(Put(BuildClassicMemoFile(longHeader), "header.dat"));
    EXPECT_FALSE(header.IsLoaded());
}

TEST_F(PmMemoUtilTest, ExtraSchemaPositionsReadAndWriteNothing) {
    MemoFileLayout spec = Sample();
    spec.fieldsPerRecord = 8;
    spec.fieldTypes = {1, 1, 1, 5, 6, 1, 1, 1};
    const auto path = Put(BuildClassicMemoFile(spec));
    PmMemoUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    EXPECT_EQ(codec.Count(), 3u);
    ASSERT_TRUE(codec.Save());
    PmMemoUtil again(path);
    ASSERT_TRUE(again.IsLoaded());
    EXPECT_EQ(again.GetDataMgr().At(2).szMemo, "archived");
}

}  // namespace
}  // namespace lazrine::palm

#include "common/palm/PmMemoExUtil.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "platform/AtomicFile.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDirTest.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;

MemoRecordLayout Memo(std::uint32_t id, std::uint32_t status, std::string text, std::uint32_t category = 0) {
    MemoRecordLayout m = MakeMemo(id, status, std::move(text));
    m.placement = id * 10;
    m.category = category;
    return m;
}

MemoFileLayout SampleMemoFile() {
    MemoFileLayout spec;
    spec.headerBlock = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 3, 0x10, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
    for (std::size_t i = 0; i < spec.nameBlock.size(); ++i) {
        spec.nameBlock[i] = static_cast<std::uint8_t>(i * 7);
    }
    spec.categories = {{1, 1, 0, "Business", "Business"}, {5, 9, 0, "Personal", "Personal"}};
    spec.memos = {Memo(101, 0x00, "Live memo", 1), Memo(102, 0x84, "Deleted\r\nsecond line", 9),
                  Memo(103, 0x06, "Unknown category", 42)};
    MemoRecordLayout& rich = spec.memos[0];
    rich.extraA = 0xA1;
    rich.extraB = 0xB2;
    rich.priv = 1;
    rich.blobs[0] = {64, 0, 0, 0, {}};
    rich.blobs[1] = {65, 2, 11, 12, {1, 2, 3}};
    rich.blobs[2] = {66, 10, 0, 0, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0}};
    rich.blobs[3] = {67, 3, 0, 0, {}};
    rich.extraTextA = "extra text A";
    rich.extraTextB = "B";
    return spec;
}

class PmMemoExUtilTest : public TempDirTest {};

TEST_F(PmMemoExUtilTest, LoadsEveryFieldOfEveryRecord) {
    const auto path = Put(BuildExtendedMemoFile(SampleMemoFile()));
    PmMemoExUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    const auto& recs = codec.GetDataMgr().Records();
    ASSERT_EQ(recs.size(), 3u);
    EXPECT_EQ(recs[0].nRecordId, 101u);
    EXPECT_EQ(recs[0].nExtraA, 0xA1u);
    EXPECT_EQ(recs[0].nExtraB, 0xB2u);
    EXPECT_EQ(recs[0].nPlacement, 1010u);
    EXPECT_EQ(recs[0].nPrivate, 1u);
    EXPECT_EQ(recs[0].szCategory, "Business");
    EXPECT_EQ(recs[0].blobs.Field(1).data, (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(recs[0].blobs.Field(2).nDataLength, 10u);
    EXPECT_EQ(recs[0].szExtraA, "extra text A");
    EXPECT_EQ(recs[1].nStatus, 0x84u);
    EXPECT_EQ(recs[1].szMemo, "Deleted\r\nsecond line");
    EXPECT_EQ(recs[1].szCategory, "Personal");
    EXPECT_EQ(recs[2].szCategory, "");  // id names no category: the load goes on
    EXPECT_EQ(codec.GetRecordedName(), "C:\\Program Files\\Palm\\User\\memopad\\memopad.dat");
}

// Whatever legal bytes the file holds - signature lead, header count bytes,
// numeric tags, string attributes, dirty flags, stale second names, long
// category names - a save changes the status word of the undeleted record
// and nothing else.
TEST_F(PmMemoExUtilTest, SaveChangesNothingButTheStatusWords) {
    MemoFileLayout spec = SampleMemoFile();
    spec.signatureLead = {0, 1, 2, 3, 4};
    spec.headerBlock[12] = 0x55;
    spec.headerBlock[13] = 0x66;
    spec.memos[2].intTag = 3;
    spec.memos[1].textAttr = 0;
    spec.categories[0].dirty = 1;
    spec.categories[0].second = "stale second name";
    spec.categories[0].name = "A category name longer than fifteen";
    const auto path = Put(BuildExtendedMemoFile(spec));
    PmMemoExUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    ASSERT_TRUE(codec.Save()) << codec.LastError();
    EXPECT_EQ(ReadFileBytes(path), BuildExtendedMemoFile(spec));
    const std::uint32_t before = spec.memos[2].status;
    codec.SetStatusAt(2, PmUndeletedStatus(before));
    ASSERT_TRUE(codec.Save()) << codec.LastError();
    // The original is kept as the backup.
    EXPECT_EQ(ReadFileBytes(platform::AtomicFile::BackupPathOf(path)), BuildExtendedMemoFile(spec));
    spec.memos[2].status = PmUndeletedStatus(before);
    EXPECT_EQ(ReadFileBytes(path), BuildExtendedMemoFile(spec));
}

TEST_F(PmMemoExUtilTest, LongMemosSurviveLoadUndeleteAndSaveWhole) {
    MemoFileLayout spec;
    spec.headerBlock[12] = 3;
    spec.headerBlock[13] = 0x10;
    std::string nineThousand;
    for (int i = 0; i < 9000; ++i) {
        nineThousand.push_back(static_cast<char>('a' + i % 26));
    }
    std::string sixtyThousand(60000, 'x');
    sixtyThousand[59999] = '\xE9';
    spec.memos = {Memo(1, 0x04, nineThousand), Memo(2, 0x80, sixtyThousand), Memo(3, 0, std::string(65535, 'm'))};
    const auto path = Put(BuildExtendedMemoFile(spec));
    PmMemoExUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    EXPECT_EQ(codec.GetDataMgr().At(0).szMemo, nineThousand);
    codec.SetStatusAt(0, PmUndeletedStatus(codec.StatusAt(0)));
    codec.SetStatusAt(1, PmUndeletedStatus(codec.StatusAt(1)));
    ASSERT_TRUE(codec.Save()) << codec.LastError();
    spec.memos[0].status = 0x01;
    spec.memos[1].status = 0x01;
    EXPECT_EQ(ReadFileBytes(path), BuildExtendedMemoFile(spec));
}

TEST_F(PmMemoExUtilTest, SignatureVersionAndStructureAreChecked) {
    MemoFileLayout spec = SampleMemoFile();
    auto bytes = BuildExtendedMemoFile(spec);
    {
        auto moved = bytes;
        moved.insert(moved.begin(), 0x00);  // the text one byte later
        PmMemoExUtil codec(Put(moved, "moved.dat"));
        EXPECT_FALSE(codec.IsLoaded());
    }
    {
        MemoFileLayout todo = spec;
        todo.versionTag = 0x54440200;
        PmMemoExUtil codec(Put(BuildExtendedMemoFile(todo), "todo.dat"));
        EXPECT_FALSE(codec.IsLoaded());
        EXPECT_NE(codec.LastError().find("version tag"), std::string::npos);
    }
    {
        // Cut inside the third record: nothing is offered.
        auto cut = bytes;
        cut.resize(cut.size() - 5);
        PmMemoExUtil codec(Put(cut, "cut.dat"));
        EXPECT_FALSE(codec.IsLoaded());
        EXPECT_EQ(codec.Count(), 0u);
    }
    {
        MemoFileLayout lying = spec;
        lying.overrideEntryCount = true;
        lying.entryCount = 0xFFFFFFF0u;
        PmMemoExUtil codec(Put(BuildExtendedMemoFile(lying), "lying.dat"));
        EXPECT_FALSE(codec.IsLoaded());
        EXPECT_NE(codec.LastError().find("larger than the file"), std::string::npos) << codec.LastError();
    }
    {
        MemoFileLayout longName = spec;
        longName.recordedName = std::string(261, 'p');
        PmMemoExUtil codec(Put(BuildExtendedMemoFile(longName), "longname.dat"));
        EXPECT_FALSE(codec.IsLoaded());
        longName.recordedName = std::string(260, 'p');
        PmMemoExUtil ok(Put(BuildExtendedMemoFile(longName), "name260.dat"));
        EXPECT_TRUE(ok.IsLoaded()) << ok.LastError();
    }
}

TEST_F(PmMemoExUtilTest, InconsistentSchemaIsShownButNeverRewritten) {
    MemoFileLayout spec = SampleMemoFile();
    spec.fieldsPerRecord = 15;
    spec.overrideEntryCount = true;
    spec.entryCount = 3 * 15;
    const auto original = BuildExtendedMemoFile(spec);
    const auto path = Put(original);
    PmMemoExUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    EXPECT_EQ(codec.Count(), 3u);
    EXPECT_FALSE(codec.Save());
    EXPECT_EQ(ReadFileBytes(path), original);

    MemoFileLayout tooMany = SampleMemoFile();
    tooMany.fieldTypes.assign(15, 1);
    tooMany.fieldsPerRecord = 15;
    PmMemoExUtil refused(Put(BuildExtendedMemoFile(tooMany), "fifteen.dat"));
    EXPECT_FALSE(refused.IsLoaded());

    MemoFileLayout zero = SampleMemoFile();
    zero.fieldsPerRecord = 0;
    zero.overrideEntryCount = true;
    zero.entryCount = 10;
    PmMemoExUtil none(Put(BuildExtendedMemoFile(zero), "zero.dat"));
    EXPECT_FALSE(none.IsLoaded());
}

TEST_F(PmMemoExUtilTest, SaveGoesToTheLoadedFileAndKeepsTheRecordedPath) {
    MemoFileLayout spec = SampleMemoFile();
    const std::string other = dir.File("other.dat");
    spec.recordedName = other;  // a recorded path naming another, existing file
    WriteFileBytes(other, {'k', 'e', 'e', 'p'});
    const auto path = Put(BuildExtendedMemoFile(spec), "copy.dat");
    PmMemoExUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded());
    codec.SetStatusAt(1, 0x01);
    ASSERT_TRUE(codec.Save()) << codec.LastError();
    EXPECT_EQ(ReadFileBytes(other), (std::vector<std::uint8_t>{'k', 'e', 'e', 'p'}));
    PmMemoExUtil again(path);
    ASSERT_TRUE(again.IsLoaded());
    EXPECT_EQ(again.StatusAt(1), 0x01u);
    EXPECT_EQ(again.GetRecordedName(), other);
}

TEST_F(PmMemoExUtilTest, MissingOrLockedFilesFailClearly) {
    PmMemoExUtil missing(dir.File("nothing.dat"));
    EXPECT_FALSE(missing.IsLoaded());
    EXPECT_FALSE(missing.LastError().empty());
    PmMemoExUtil empty;
    EXPECT_FALSE(empty.Load(""));
    EXPECT_FALSE(empty.Save());
}

}  // namespace
}  // namespace lazrine::palm

#include "common/palm/PmDateUtil.h"

#include <gtest/gtest.h>

#include "common/palm/PmDateExUtil.h"
#include "platform/AtomicFile.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDirTest.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;
using Bytes = std::vector<std::uint8_t>;

class PmDateUtilTest : public TempDirTest {};

// Every record is kept - also those whose start or end is 0xFFFFFFFF - and
// the whole file, long header text and long texts included, is written back
// byte for byte.
TEST_F(PmDateUtilTest, LoadsEveryRecordAndWritesTheFileBackByteForByte) {
    const Bytes original = BuildClassicDateFile(RichDateFileLayout());
    const std::string path = Put(original, "datebook.dat");
    PmDateUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    const auto& recs = codec.GetDataMgr().Records();
    ASSERT_EQ(recs.size(), RichDateFileLayout().dates.size());
    EXPECT_EQ(codec.GetHeaderText(), RichDateFileLayout().headerText);
    EXPECT_EQ(recs[4].Repeat.nRuleKind, 4u);
    EXPECT_EQ(recs[4].Repeat.nDayOfMonth, 15u);
    EXPECT_EQ(recs[7].Repeat.nRuleKind, 2u);
    const PmDateRec& untimed = recs[8];
    EXPECT_EQ(untimed.nAllDay, 3u);
    EXPECT_EQ(untimed.nExtraD, 1u);
    EXPECT_EQ(untimed.nExtraF, 1u);
    EXPECT_EQ(untimed.nExtraH, 7u);
    EXPECT_EQ(untimed.szDescription.size(), 624u);
    EXPECT_EQ(untimed.szNote.size(), 9005u);
    EXPECT_EQ(recs[10].nRecordId, 150u);
    EXPECT_EQ(recs[10].nStartTime, 0xFFFFFFFFu);
    EXPECT_EQ(recs[11].nEndTime, 0xFFFFFFFFu);

    Bytes written;
    ASSERT_TRUE(codec.WriteToMemory(written)) << codec.LastError();
    EXPECT_EQ(written, original);

    codec.SetStatusAt(10, PmUndeletedStatus(codec.StatusAt(10)));
    ASSERT_TRUE(codec.Save()) << codec.LastError();
    EXPECT_EQ(ReadFileBytes(platform::AtomicFile::BackupPathOf(path)), original);
    PmDateUtil again(path);
    ASSERT_TRUE(again.IsLoaded());
    EXPECT_EQ(again.Count(), recs.size());
    EXPECT_EQ(again.StatusAt(10), 0x01u);
    EXPECT_EQ(again.GetRecordedName(), RichDateFileLayout().recordedName);
}

TEST_F(PmDateUtilTest, AnEndStoredWithTheNumberTagIsKeptAsStored) {
    DateFileLayout spec;
    spec.dates = {MakeDate(1, 0x04, "Lunch")};
    spec.dates[0].endTag = 1;
    PmDateUtil codec(Put(BuildClassicDateFile(spec), "datebook.dat"));
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    Bytes written;
    ASSERT_TRUE(codec.WriteToMemory(written));
    EXPECT_EQ(written, BuildClassicDateFile(spec));
}

// A damaged file is not loaded at all, so nothing can save it half-read.
TEST_F(PmDateUtilTest, ADamagedFileFailsAsAWholeAndIsNeverSaved) {
    Bytes cut = BuildClassicDateFile(RichDateFileLayout());
    cut.resize(cut.size() - 3);
    DateFileLayout badTag = RichDateFileLayout();
    badTag.dates[2].repeat.className.clear();  // a declaration with no name
    DateFileLayout extendedTag = RichDateFileLayout();
    extendedTag.versionTag = PmDateExUtil::kVersionTag;
    DateFileLayout noFields = RichDateFileLayout();
    noFields.fieldsPerRecord = 0;
    for (const Bytes& bytes : {cut, BuildClassicDateFile(badTag), BuildClassicDateFile(extendedTag),
                               BuildClassicDateFile(noFields), BuildExtendedDateFile(RichDateFileLayout())}) {
        const std::string path = Put(bytes, "datebook.dat");
        PmDateUtil codec(path);
        EXPECT_FALSE(codec.IsLoaded());
        EXPECT_EQ(codec.Count(), 0u);
        EXPECT_FALSE(codec.LastError().empty());
        EXPECT_FALSE(codec.Save());
        EXPECT_EQ(ReadFileBytes(path), bytes);
    }
}

}  // namespace
}  // namespace lazrine::palm

#include "common/palm/PmDateExUtil.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/palm/PmDateUtil.h"
#include "common/palm/PmMemoExUtil.h"
#include "common/palm/desktop/PmUserDataPath.h"
#include "platform/AtomicFile.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDirTest.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;
using Bytes = std::vector<std::uint8_t>;

class PmDateExUtilTest : public TempDirTest {};

TEST_F(PmDateExUtilTest, LoadsEveryFieldAndWritesTheFileBackByteForByte) {
    const Bytes original = BuildExtendedDateFile(RichDateFileLayout());
    const std::string path = Put(original, "datebook.dat");
    PmDateExUtil codec(path);
    ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
    const auto& recs = codec.GetDataMgr().Records();
    ASSERT_EQ(recs.size(), RichDateFileLayout().dates.size());

    EXPECT_EQ(recs[0].Repeat.nRuleKind, 0u);
    EXPECT_EQ(recs[2].Repeat.nRuleKind, 2u);
    EXPECT_EQ(recs[2].Repeat.nDayMask, 0x2A);
    EXPECT_EQ(recs[2].Repeat.aExceptions, (std::vector<std::uint32_t>{1241600000, 1242200000}));
    EXPECT_EQ(recs[5].Repeat.nRuleKind, 5u);
    EXPECT_EQ(recs[5].Repeat.nDayOfMonth, 25u);
    EXPECT_EQ(recs[5].Repeat.nMonth, 12u);
    EXPECT_EQ(recs[7].nRecordId, 120u);
    EXPECT_EQ(recs[7].Repeat.nRuleKind, 2u);  // by class reference
    EXPECT_EQ(recs[7].Repeat.aExceptions.size(), 1u);

    const PmDateExRec& untimed = recs[8];
    EXPECT_EQ(untimed.nStatus, 0x04u);
    EXPECT_EQ(untimed.nStartTime, 1241515800u);
    EXPECT_EQ(untimed.nEndTime, 1241518500u);
    EXPECT_EQ(untimed.nAllDay, 3u);
    EXPECT_EQ(untimed.nPrivate, 1u);
    EXPECT_EQ(untimed.szDescription.size(), 624u);
    EXPECT_EQ(untimed.szNote.size(), 9005u);
    EXPECT_EQ(untimed.szLocation, std::string(300, 'l'));
    EXPECT_EQ(untimed.szExtraA.size(), 40u);
    EXPECT_EQ(untimed.szExtraD.size(), 33u);
    EXPECT_EQ(untimed.nExtraG, 0xFFFFFFFFu);
    EXPECT_EQ(untimed.szCategory, "Caf\xE9");
    EXPECT_EQ(recs[10].nStartTime, 0xFFFFFFFFu);
    EXPECT_EQ(recs[9].nStartTime, 0u);

    Bytes written;
    ASSERT_TRUE(codec.WriteToMemory(written)) << codec.LastError();
    EXPECT_EQ(written, original);

    // An undelete changes the status word, and the save goes to the file that
    // was loaded, after a backup of the original.
    codec.SetStatusAt(8, PmUndeletedStatus(codec.StatusAt(8)));
    ASSERT_TRUE(codec.Save()) << codec.LastError();
    EXPECT_EQ(ReadFileBytes(platform::AtomicFile::BackupPathOf(path)), original);
    PmDateExUtil again(path);
    ASSERT_TRUE(again.IsLoaded()) << again.LastError();
    EXPECT_EQ(again.StatusAt(8), 0x01u);
    EXPECT_EQ(again.GetDataMgr().At(7).Repeat, recs[7].Repeat);
    EXPECT_EQ(again.GetRecordedName(), RichDateFileLayout().recordedName);
}

// Dates stored with another number tag load and are written back with tag 3.
TEST_F(PmDateExUtilTest, DatesStoredWithAnotherTagAreReadAndKeptAsStored) {
    for (const std::uint32_t tag : {1u, 6u}) {
        DateFileLayout spec;
        spec.dates = {MakeDate(1, 0x04, "Lunch")};
        spec.dates[0].startTag = tag;
        spec.dates[0].endTag = tag;
        PmDateExUtil codec(Put(BuildExtendedDateFile(spec), "datebook.dat"));
        ASSERT_TRUE(codec.IsLoaded()) << codec.LastError();
        EXPECT_EQ(codec.GetDataMgr().At(0).nStartTime, 1241515800u);
        Bytes written;
        ASSERT_TRUE(codec.WriteToMemory(written));
        EXPECT_EQ(written, BuildExtendedDateFile(spec));
    }
}

// Anything that is not a whole extended date book file fails as a whole,
// with a reason, and offers no records.
TEST_F(PmDateExUtilTest, FilesThatCannotBeReadAsAWholeFail) {
    struct Case {
        const char* name;
        Bytes bytes;
    };
    DateFileLayout memoTag = RichDateFileLayout();
    memoTag.versionTag = PmMemoExUtil::kVersionTag;
    DateFileLayout tooManyFields = RichDateFileLayout();
    tooManyFields.fieldTypes.assign(28, 1);
    DateFileLayout noFields = RichDateFileLayout();
    noFields.fieldsPerRecord = 0;
    DateFileLayout lying = RichDateFileLayout();
    lying.overrideEntryCount = true;
    lying.entryCount = 0xFFFFFFFF;
    DateFileLayout badRepeat = RichDateFileLayout();
    badRepeat.dates[3].repeat.schema = 2;
    Bytes cut = BuildExtendedDateFile(RichDateFileLayout());
    cut.resize(cut.size() - 5);
    const Case cases[] = {
        {"memo version tag", BuildExtendedDateFile(memoTag)},
        {"classic date book", BuildClassicDateFile(RichDateFileLayout())},
        {"28 field types", BuildExtendedDateFile(tooManyFields)},
        {"no fields per record", BuildExtendedDateFile(noFields)},
        {"entry count beyond the file", BuildExtendedDateFile(lying)},
        {"declaration value other than 1", BuildExtendedDateFile(badRepeat)},
        {"last record ends early", cut},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PmDateExUtil codec(Put(c.bytes, "datebook.dat"));
        EXPECT_FALSE(codec.IsLoaded());
        EXPECT_EQ(codec.Count(), 0u);
        EXPECT_FALSE(codec.LastError().empty());
        EXPECT_FALSE(codec.Save());
        EXPECT_EQ(ReadFileBytes(dir.File("datebook.dat")), c.bytes);
    }
}

TEST_F(PmDateExUtilTest, LoadsForAUserFromTheDateBookFolder) {
    std::filesystem::create_directories(dir.Path() / "User" / "datebook");
    WriteFileBytes((dir.Path() / "User" / "datebook" / "datebook.dat").string(),
                   BuildExtendedDateFile(RichDateFileLayout()));
    PmUserDataPath::SetResolver([&](std::uint32_t, std::string& folder, std::string&) {
        folder = (dir.Path() / "User").string() + "/";
        return true;
    });
    PmDateExUtil codec;
    EXPECT_TRUE(codec.LoadForUser(3)) << codec.LastError();
    EXPECT_EQ(codec.Count(), RichDateFileLayout().dates.size());
    PmUserDataPath::SetResolver({});
}

}  // namespace
}  // namespace lazrine::palm

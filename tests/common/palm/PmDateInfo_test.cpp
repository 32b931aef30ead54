#include "common/palm/PmDateInfo.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/palm/PmRecordSetFactory.h"
#include "common/palm/desktop/PmUserDataPath.h"
#include "platform/LocalClock.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDirTest.h"
#include "support/TestData.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;
using Key = misc::CommDateMgr::Key;
using Bytes = std::vector<std::uint8_t>;

class PmDateInfoTest : public TempDirTest {
protected:
    void SetUp() override { platform::LocalClock::UseTimeZone("UTC"); }
    void TearDown() override {
        platform::LocalClock::UseTimeZone("");
        PmUserDataPath::SetResolver({});
    }
    // The record set on `path`, with deleted records.
    std::unique_ptr<PmDateInfo> Loaded(const std::string& path) {
        auto info = std::make_unique<PmDateInfo>();
        info->SetIncludeDeleted(true);
        EXPECT_TRUE(info->LoadFile(path)) << info->LastError();
        return info;
    }
    std::size_t IndexOf(const PmDateInfo& info, std::uint32_t id) {
        for (std::size_t i = 0; i < info.CommonCount(); ++i) {
            if (info.CommonAt(i).nId == id) {
                return i;
            }
        }
        ADD_FAILURE() << "no record " << id;
        return 0;
    }
};

// The same appointments read from every generation give the same texts.
TEST_F(PmDateInfoTest, EveryGenerationGivesTheWindowsTexts) {
    struct Generation {
        const char* name;
        std::string path;
        PmStoreKind kind;
        std::uint32_t source;
    };
    const Generation generations[] = {
        {"extended", Put(BuildExtendedDateFile(RichDateFileLayout()), "ext.dat"), PM_STORE_EXTENDED, 2},
        {"classic", Put(BuildClassicDateFile(RichDateFileLayout()), "classic.dat"), PM_STORE_CLASSIC, 1},
    };
    for (const Generation& g : generations) {
        SCOPED_TRACE(g.name);
        EXPECT_EQ(PmDateInfo::ProbeFile(g.path), g.kind);
        auto info = Loaded(g.path);
        ASSERT_EQ(info->LoadedKind(), g.kind);
        ASSERT_EQ(info->CommonCount(), RichDateFileLayout().dates.size());
        const std::size_t lunch = IndexOf(*info, 100);
        EXPECT_EQ(info->CommonAt(lunch).nSource, g.source);
        EXPECT_EQ(info->FieldText(lunch, Key::kDate), "05/05/2009");
        EXPECT_EQ(info->FieldText(lunch, Key::kStartTime), "09:30:00");
        EXPECT_EQ(info->FieldText(lunch, Key::kEndTime), "10:15:00");
        EXPECT_EQ(info->FieldText(lunch, Key::kStartDateTime), "05/05/2009 09:30:00");
        EXPECT_EQ(info->FieldText(lunch, Key::kEndDateTime), "05/05/2009 10:15:00");
        EXPECT_EQ(info->FieldText(lunch, Key::kDescription), "Repeat kind 0");
        EXPECT_EQ(info->FieldText(lunch, Key::kAllDayEvent), "No");
        EXPECT_EQ(info->FieldText(lunch, Key::kPrivate), "No");
        EXPECT_EQ(info->FieldText(lunch, Key::kAlarm), "No");
        EXPECT_EQ(info->FieldText(lunch, Key::kImportance), "");
        // Only the extended file names categories.
        EXPECT_EQ(info->FieldText(lunch, Key::kCategory), g.kind == PM_STORE_EXTENDED ? "Business" : "");

        // Long texts are held whole; the window cuts its cells.
        const std::size_t untimed = IndexOf(*info, 130);
        EXPECT_EQ(info->FieldText(untimed, Key::kAllDayEvent), "Yes");
        EXPECT_EQ(info->FieldText(untimed, Key::kPrivate), "Yes");
        EXPECT_EQ(info->FieldText(untimed, Key::kAlarm), g.kind == PM_STORE_CLASSIC ? "Yes" : "No");
        EXPECT_EQ(info->FieldText(untimed, Key::kDescription).size(), 255u);
        EXPECT_EQ(info->WholeFieldText(untimed, Key::kDescription).size(), 624u);
        EXPECT_EQ(info->FieldText(untimed, Key::kNote).size(), 4095u);
        EXPECT_EQ(info->WholeFieldText(untimed, Key::kNote).size(), 9005u);
        EXPECT_EQ(info->FieldText(untimed, Key::kLocation).size(), g.kind == PM_STORE_CLASSIC ? 0u : 255u);
        EXPECT_EQ(info->WholeFieldText(untimed, Key::kLocation).size(), g.kind == PM_STORE_CLASSIC ? 0u : 300u);

        // A value with no local time shows zeros; a start of 0 is 1970.
        const std::size_t none = IndexOf(*info, 150);
        EXPECT_EQ(info->FieldText(none, Key::kDate), "00/00/0000");
        EXPECT_EQ(info->FieldText(none, Key::kStartTime), "00:00:00");
        EXPECT_EQ(info->FieldText(none, Key::kEndDateTime), "00/00/0000 00:00:00");
        EXPECT_EQ(info->FieldText(IndexOf(*info, 140), Key::kStartDateTime), "01/01/1970 00:00:00");
        EXPECT_EQ(info->FieldText(IndexOf(*info, 160), Key::kEndTime), "00:00:00");
        EXPECT_EQ(info->FieldText(IndexOf(*info, 160), Key::kStartTime), "09:30:00");

        const auto rows = info->FieldRows();
        ASSERT_EQ(rows.size(), 13u);
        EXPECT_EQ(rows.front().name, "Description");
        EXPECT_EQ(rows.back().name, "All Day Event");
    }
}

// Every deleted appointment - also one without a time - can be undeleted,
// and the save writes the file that was loaded with nothing else changed.
TEST_F(PmDateInfoTest, UndeletesEveryDeletedRecordOfEachFileGeneration) {
    for (const bool extended : {true, false}) {
        SCOPED_TRACE(extended ? "extended" : "classic");
        const DateFileLayout spec = RichDateFileLayout();
        const std::string path =
            Put(extended ? BuildExtendedDateFile(spec) : BuildClassicDateFile(spec), "datebook.dat");
        auto info = Loaded(path);
        std::size_t undone = 0;
        for (std::size_t i = 0; i < info->CommonCount(); ++i) {
            if (info->IsDeletedAt(i)) {
                ASSERT_TRUE(info->UndeleteAt(i)) << info->LastError();
                ++undone;
            }
        }
        EXPECT_EQ(undone, 7u);
        ASSERT_TRUE(info->Save()) << info->LastError();

        DateFileLayout want = spec;
        for (DateRecordLayout& d : want.dates) {
            if (PmIsDeletedStatus(d.status)) {
                d.status = PmUndeletedStatus(d.status);
            }
        }
        EXPECT_EQ(ReadFileBytes(path), extended ? BuildExtendedDateFile(want) : BuildClassicDateFile(want));
    }
}

TEST_F(PmDateInfoTest, TheDatabaseGivesItsRowsFlagsAndTexts) {
    const std::string path = TestDataCopy("mdb/DateBook.mdb");
    EXPECT_EQ(PmDateInfo::ProbeFile(path), PM_STORE_DATABASE);
    auto info = Loaded(path);
    ASSERT_EQ(info->LoadedKind(), PM_STORE_DATABASE);
    ASSERT_EQ(info->CommonCount(), 12u);
    const std::size_t team = IndexOf(*info, 3001);
    EXPECT_EQ(info->CommonAt(team).nSource, 16u);
    EXPECT_EQ(info->FieldText(team, Key::kDate), "05/05/2009");
    EXPECT_EQ(info->FieldText(team, Key::kStartTime), "09:30:00");
    EXPECT_EQ(info->FieldText(team, Key::kEndTime), "10:15:00");
    EXPECT_EQ(info->FieldText(team, Key::kLocation), "Room 4.12");
    EXPECT_EQ(info->FieldText(team, Key::kAlarm), "Yes");
    EXPECT_EQ(info->FieldText(team, Key::kPrivate), "No");
    EXPECT_EQ(info->FieldText(IndexOf(*info, 3002), Key::kPrivate), "Yes");
    EXPECT_EQ(info->FieldText(IndexOf(*info, 3002), Key::kAllDayEvent), "Yes");
    EXPECT_EQ(info->FieldText(IndexOf(*info, 3024), Key::kDescription), "Café Müller, 20 € deposit, 漢");
    EXPECT_EQ(info->WholeFieldText(IndexOf(*info, 3022), Key::kNote).size(), 9000u);
    EXPECT_EQ(info->FieldText(IndexOf(*info, 3023), Key::kDescription), "");

    for (std::size_t i = 0; i < info->CommonCount(); ++i) {
        if (info->IsDeletedAt(i)) {
            EXPECT_TRUE(info->UndeleteAt(i)) << info->LastError();
        }
    }
    EXPECT_TRUE(info->Save());
    PmDateInfo again;
    ASSERT_TRUE(again.LoadFile(path));
    EXPECT_EQ(again.EntryCount(), 12u);  // nothing is deleted any more
}

TEST_F(PmDateInfoTest, AUserFolderWithADatabaseAndAFileLoadsTheDatabase) {
    const auto folder = dir.Path() / "User" / "datebook";
    std::filesystem::create_directories(folder);
    WriteFileBytes((folder / "datebook.dat").string(), BuildExtendedDateFile(RichDateFileLayout()));
    PmUserDataPath::SetResolver([&](std::uint32_t, std::string& out, std::string&) {
        out = (dir.Path() / "User").string() + "/";
        return true;
    });
    PmDateInfo info;
    ASSERT_TRUE(info.LoadForUser(1)) << info.LastError();
    EXPECT_EQ(info.LoadedKind(), PM_STORE_EXTENDED);
    WriteFileBytes((folder / "DateBook.mdb").string(), ReadFileBytes(TestDataCopy("mdb/DateBook.mdb")));
    ASSERT_TRUE(info.LoadForUser(1)) << info.LastError();
    EXPECT_EQ(info.LoadedKind(), PM_STORE_DATABASE);
}

TEST_F(PmDateInfoTest, OtherDataIsNoCalendar) {
    for (const std::string& path :
         {TestDataCopy("mdb/MemoPad.mdb"), TestDataCopy("mdb/NotPalm.mdb"), Put(BuildExtendedMemoFile({}), "memo.dat"),
          Put(BuildClassicMemoFile({}), "classic-memo.dat"), dir.File("missing.dat")}) {
        SCOPED_TRACE(path);
        EXPECT_EQ(PmDateInfo::ProbeFile(path), PM_STORE_FAILED);
    }
    const auto set = PmRecordSetFactory::Create("calendar");
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(std::string(set->Kind().szPageCaption), "Calendar ( Date Book )");
    EXPECT_EQ(set->Kind().SuccessMessage(2), "Palm date book undelete successfully, 2 records were undeleted.");
    EXPECT_EQ(set->Kind().NothingSelectedMessage(),
              "No Palm date book records are selected, undelete action canceled.");
}

}  // namespace
}  // namespace lazrine::palm

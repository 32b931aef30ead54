#include "common/palm/PmAddrInfo.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/palm/desktop/PmUserDataPath.h"
#include "platform/ProfileFile.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDirTest.h"
#include "support/TestData.h"

namespace lazrine::palm {
namespace {

using namespace lazrine::testing;
using K = misc::CommAddrMgr::Key;

ContactRecordLayout Contact(std::uint32_t id, std::uint32_t status, std::string first, std::string last) {
    ContactRecordLayout c;
    c.id = id;
    c.status = status;
    c.firstName = std::move(first);
    c.lastName = std::move(last);
    return c;
}

std::string Text(const PmAddrInfo& info, std::size_t i, std::uint32_t key) { return info.WholeFieldText(i, key); }

class PmAddrInfoTest : public TempDirTest {
protected:
    void TearDown() override { PmUserDataPath::SetResolver(nullptr); }
};

// The phone filing rule, through each generation's own record.
struct PhoneCase {
    const char* name;
    std::vector<std::pair<std::uint32_t, std::string>> phones;  // label, text, in record order
    std::vector<std::pair<std::uint32_t, std::string>> expected;  // key, text
};

const std::vector<PhoneCase>& PhoneCases() {
    static const std::vector<PhoneCase> cases{
        {"EachLabelItsMember",
         {{0, "w"}, {1, "h"}, {2, "f"}, {3, "o"}, {4, "e@x"}, {5, "m"}, {7, "mob"}},
         {{K::kWorkPhone, "w"}, {K::kHomePhone, "h"}, {K::kFax, "f"}, {K::kOtherPhone, "o"},
          {K::kEmail, "e@x"}, {K::kMainPhone, "m"}, {K::kMobilePhone, "mob"}, {K::kPager, ""}}},
        {"LastOfALabelWins", {{0, "first"}, {1, "h"}, {0, "third"}}, {{K::kWorkPhone, "third"}}},
        {"EmptyPhoneKeepsTheEarlierOne", {{7, "555-7"}, {7, ""}}, {{K::kMobilePhone, "555-7"}}},
        {"PagerIsFiledUnknownLabelsOnlyKeepTheirSlot",
         {{6, "pager"}, {8, "eight"}, {9, "nine"}},
         {{K::kWorkPhone, ""}, {K::kPager, "pager"}, {K::kHomePhone, ""}, {K::kMobilePhone, ""}, {K::kEmail, ""},
          {K::kPhone1 + 1, "eight"}, {K::kPhone1Label + 1, "8"}}},
        {"EmailOfThirtyThreeCharactersShowsWhole",
         {{4, "abcdefghijklmnopqrstuvwxyz@ex.com"}},
         {{K::kEmail, "abcdefghijklmnopqrstuvwxyz@ex.com"}}},
    };
    return cases;
}

TEST_F(PmAddrInfoTest, PhonesAreFiledByTheirLabelsInEveryFileGeneration) {
    for (const PhoneCase& tc : PhoneCases()) {
        ContactFileLayout spec;
        ContactRecordLayout c = Contact(1, 0, "A", "B");
        for (std::size_t i = 0; i < c.phones.size(); ++i) {
            c.phones[i] = i < tc.phones.size() ? tc.phones[i].second : "";
            c.phoneLabels[i] = i < tc.phones.size() ? tc.phones[i].first : 0;
        }
        spec.contacts = {c};
        struct Gen {
            const char* name;
            std::vector<std::uint8_t> bytes;
        };
        std::vector<Gen> gens{{"extended", BuildExtendedAddressFile(spec)}};
        if (tc.phones.size() <= 5) {
            gens.push_back({"classic", BuildClassicAddressFile(spec)});
        }
        for (const Gen& g : gens) {
            PmAddrInfo info;
            ASSERT_TRUE(info.LoadFile(Put(g.bytes, std::string(tc.name) + g.name))) << info.LastError();
            ASSERT_EQ(info.CommonCount(), 1u);
            for (const auto& [key, text] : tc.expected) {
                EXPECT_EQ(Text(info, 0, key), text) << tc.name << " " << g.name << " key " << key;
                EXPECT_EQ(info.FieldText(0, key), text) << "the window shows the whole phone";
            }
        }
    }
}

TEST_F(PmAddrInfoTest, FileContactsConvertWholeIntoTheCommonRecord) {
    ContactFileLayout spec;
    spec.categories = {{1, 5, 0, "Clients", "Clients"}};
    ContactRecordLayout c = Contact(9, 0x04, "Ren\xe9" "e", "M\xfcller");
    c.company = std::string(300, 'c');
    c.title = std::string(50, 't');
    c.note = "a\r\nb";
    c.category = 5;
    c.addresses = {{{"Work St", "Work City", "WS", "1000", "WC"},
                    {"Home St", "Home City", "HS", "2000", "HC"},
                    {"Other St", "Other City", "OS", "3000", "OC"}}};
    for (std::size_t i = 0; i < 9; ++i) {
        c.custom[i] = "c" + std::to_string(i + 1);
    }
    spec.contacts = {c};

    PmAddrInfo extended;
    extended.SetIncludeDeleted(true);
    ASSERT_TRUE(extended.LoadFile(Put(BuildExtendedAddressFile(spec), "e.dat")));
    EXPECT_EQ(extended.LoadedKind(), PM_STORE_EXTENDED);
    EXPECT_EQ(Text(extended, 0, K::kCompany), c.company);
    EXPECT_EQ(Text(extended, 0, K::kTitle), c.title);
    EXPECT_EQ(Text(extended, 0, K::kNote), "a\r\nb");
    EXPECT_EQ(Text(extended, 0, 12), "HC");
    EXPECT_EQ(Text(extended, 0, 13), "Other St");
    EXPECT_EQ(Text(extended, 0, 36), "c9");
    EXPECT_EQ(Text(extended, 0, K::kCategory), "Clients");
    EXPECT_EQ(Text(extended, 0, K::kSource), "Palm(4.1.2 and aboves)");

    PmAddrInfo classic;
    classic.SetIncludeDeleted(true);
    ASSERT_TRUE(classic.LoadFile(Put(BuildClassicAddressFile(spec), "c.dat")));
    EXPECT_EQ(classic.LoadedKind(), PM_STORE_CLASSIC);
    EXPECT_EQ(Text(classic, 0, 3), "Work St") << "the one address is the work address";
    EXPECT_EQ(Text(classic, 0, 8), "") << "no home address";
    EXPECT_EQ(Text(classic, 0, 13), "") << "no other address";
    EXPECT_EQ(Text(classic, 0, 31), "c4");
    EXPECT_EQ(Text(classic, 0, 32), "") << "a classic contact has four custom fields";
    EXPECT_EQ(Text(classic, 0, K::kSource), "Palm");
    EXPECT_EQ(Text(classic, 0, K::kCategory), "Clients");
    for (const std::uint32_t key : {43u, 44u, 0u, 45u}) {
        EXPECT_EQ(Text(classic, 0, key), "");
    }
    for (const std::uint32_t key : {K::kCreationTime, K::kModificationTime}) {
        EXPECT_EQ(classic.FieldText(0, key), "12/30/1899 00:00:00") << "no file holds these times";
        EXPECT_EQ(extended.FieldText(0, key), "12/30/1899 00:00:00");
        EXPECT_EQ(Text(extended, 0, key), "") << "an export leaves an unknown time empty";
    }
}

TEST_F(PmAddrInfoTest, SwapNameComesFromTheSettingsFileInUse) {
    ContactFileLayout spec;
    spec.swapped = true;
    spec.contacts = {Contact(1, 0x04, "Ann", "Lee")};
    const auto extended = Put(BuildExtendedAddressFile(spec), "e.dat");
    const auto classic = Put(BuildClassicAddressFile(spec), "c.dat");
    const std::string settings = dir.File("mine.ini");
    for (const char* value : {"1", "0", "2"}) {
        ASSERT_TRUE(platform::ProfileFile::WriteString(settings, "ContactMirror", "SwapName", value));
        for (const auto& path : {extended, classic}) {
            PmAddrInfo info;
            info.SetIncludeDeleted(true);
            info.UseSettingsFile(settings);
            EXPECT_EQ(info.GetSwapName(), std::string(value) == "1");
            ASSERT_TRUE(info.LoadFile(path));
            const bool swapped = std::string(value) == "1";
            EXPECT_EQ(Text(info, 0, K::kFirstName), swapped ? "Ann" : "Lee") << value << " " << path;
            EXPECT_EQ(Text(info, 0, K::kLastName), swapped ? "Lee" : "Ann");
            // Whatever the setting, an undelete and save keeps the names
            // where they were.
            ASSERT_TRUE(info.UndeleteAt(0));
            ASSERT_TRUE(info.Save()) << info.LastError();
            PmAddrInfo again;
            again.SetIncludeDeleted(true);
            again.UseSettingsFile(settings);
            ASSERT_TRUE(again.LoadFile(path));
            EXPECT_EQ(Text(again, 0, K::kFirstName), Text(info, 0, K::kFirstName));
            EXPECT_EQ(again.StatusAt(0), 0x01u);
        }
        spec.contacts[0].status = 0x04;
        WriteFileBytes(extended, BuildExtendedAddressFile(spec));
        WriteFileBytes(classic, BuildClassicAddressFile(spec));
    }
    // A missing settings file reads as 0.
    PmAddrInfo missing;
    missing.UseSettingsFile(dir.File("absent.ini"));
    EXPECT_FALSE(missing.GetSwapName());
}

TEST_F(PmAddrInfoTest, UndeleteAndSaveChangeExactlyTheStatusWords) {
    ContactFileLayout spec;
    spec.contacts = {Contact(1, 0x00, "Live", "One"), Contact(2, 0x84, "Gone", "Two"),
                     Contact(3, 0x06, "Gone", "Three"), Contact(4, 0x80, "Archived", "Four")};
    spec.headerBlock[12] = 4;  // the record count, as a save writes it
    spec.headerBlock[13] = 0x10;
    const auto path = Put(BuildExtendedAddressFile(spec), "address.dat");
    PmAddrInfo info;
    info.SetIncludeDeleted(true);
    ASSERT_TRUE(info.LoadFile(path));
    ASSERT_EQ(info.CommonCount(), 4u);
    ASSERT_TRUE(info.Undelete(info.CommonAt(1)));
    ASSERT_TRUE(info.UndeleteAt(2));
    ASSERT_TRUE(info.Save()) << info.LastError();
    EXPECT_EQ(info.StatusAt(1), 0x01u);
    EXPECT_EQ(info.StatusAt(2), 0x03u);
    spec.contacts[1].status = 0x01;
    spec.contacts[2].status = 0x03;
    EXPECT_EQ(ReadFileBytes(path), BuildExtendedAddressFile(spec));

    PmAddrInfo onlyDeleted;
    ASSERT_TRUE(onlyDeleted.LoadFile(path));
    ASSERT_EQ(onlyDeleted.CommonCount(), 3u);
    EXPECT_EQ(onlyDeleted.CommonAt(2).nId, 3u);
}

TEST_F(PmAddrInfoTest, UserFolderPrefersTheDatabase) {
    const auto userDir = dir.Path() / "User";
    std::filesystem::create_directories(userDir / "address");
    ContactFileLayout spec;
    spec.contacts = {Contact(1, 0x04, "File", "Contact")};
    WriteFileBytes((userDir / "address" / "address.dat").string(), BuildClassicAddressFile(spec));
    PmUserDataPath::SetResolver([&](std::uint32_t, std::string& folder, std::string&) {
        folder = userDir.string() + "/";
        return true;
    });
    PmAddrInfo info;
    ASSERT_TRUE(info.LoadForUser(3)) << info.LastError();
    EXPECT_EQ(info.LoadedKind(), PM_STORE_CLASSIC);
    WriteFileBytes((userDir / "address" / "address.dat").string(), BuildExtendedAddressFile(spec));
    ASSERT_TRUE(info.LoadForUser(3));
    EXPECT_EQ(info.LoadedKind(), PM_STORE_EXTENDED);
    WriteFileBytes((userDir / "address" / "Address.mdb").string(), ReadFileBytes(TestDataCopy("mdb/Address.mdb")));
    ASSERT_TRUE(info.LoadForUser(3)) << info.LastError();
    EXPECT_EQ(info.LoadedKind(), PM_STORE_DATABASE);
    EXPECT_EQ(PmAddrInfo::ProbeFile((userDir / "address" / "Address.mdb").string()), PM_STORE_DATABASE);
}

}  // namespace
}  // namespace lazrine::palm

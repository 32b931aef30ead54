#include "common/palm/desktop/PmDesktop.h"

#include <gtest/gtest.h>

#include "common/palm/PmMemoInfo.h"
#include "support/FakeWinePrefix.h"
#include "common/palm/desktop/PmDesktopPath.h"
#include "common/palm/desktop/PmUserDataPath.h"
#include "common/palm/desktop/PmUserFolderScan.h"
#include "platform/ProfileFile.h"

namespace lazrine::palm {
namespace {

using testing::FakeWinePrefix;

class PmDesktopTest : public ::testing::Test {
protected:
    void TearDown() override { PmDesktop::PmUnloadDesktopLibraries(); }

    int DesktopPath(std::string& out, std::size_t size = PmDesktopPath::kMaxPath) {
        return PmDesktopPath::PmGetDesktopPath(prefix.Settings(), out, size);
    }
    std::vector<PmUserInfo> LoadAndList() {
        PmDesktop::PmLoadDesktopLibraries(prefix.Settings());
        return PmDesktop::PmEnumerateUsers();
    }

    FakeWinePrefix prefix;
};

// Desktop folder lookup: settings, then the current user's key, then the
// local machine's, with the documented result codes.
TEST_F(PmDesktopTest, DesktopFolderLookupFollowsItsOrderAndCodes) {
    std::string out = "stale";
    EXPECT_EQ(DesktopPath(out, 0), PmDesktopPath::kErrNoBuffer);
    EXPECT_EQ(DesktopPath(out), PmDesktopPath::kErrNotFound) << "no hives at all";
    EXPECT_TRUE(out.empty());

    prefix.SystemReg("[Software\\\\PalmSource\\\\Desktop\\\\Core] 1\n\"HotSyncPath\"=\"C:\\\\Palm\\\\HotSync.exe\"\n");
    EXPECT_EQ(DesktopPath(out), PmDesktopPath::kOk);
    EXPECT_EQ(out, "C:\\Palm\\");

    // A current-user key without either value hides the local machine's.
    prefix.UserReg("[Software\\\\U.S. Robotics\\\\Pilot Desktop\\\\Core] 1\n\"Other\"=\"x\"\n");
    EXPECT_EQ(DesktopPath(out), PmDesktopPath::kErrNotFound);

    prefix.InstallRegistry();
    EXPECT_EQ(DesktopPath(out), PmDesktopPath::kOk);
    EXPECT_EQ(out, "C:\\Program Files\\Palm");
    EXPECT_EQ(DesktopPath(out, 22), PmDesktopPath::kOk);  // 21 characters and the terminator
    EXPECT_EQ(DesktopPath(out, 21), PmDesktopPath::kErrTooLong);

    // A "PDPath" wins, even naming a folder that does not exist.
    ASSERT_TRUE(platform::ProfileFile::WriteString(prefix.Settings(), "Path", "PDPath", "D:\\Nowhere"));
    EXPECT_EQ(DesktopPath(out), PmDesktopPath::kOk);
    EXPECT_EQ(out, "D:\\Nowhere");
    EXPECT_EQ(DesktopPath(out, 10), PmDesktopPath::kErrTooLong) << "never cut";
}

TEST_F(PmDesktopTest, NoPrefixGivesNotFound) {
    platform::WinePrefix::SetOverride((prefix.Temp() / "missing").string());
    std::string out;
    EXPECT_EQ(DesktopPath(out), PmDesktopPath::kErrNotFound);
    EXPECT_TRUE(LoadAndList().empty());
}

TEST_F(PmDesktopTest, UsersComeFromUsersDatWithoutProfiles) {
    prefix.InstallAll();
    EXPECT_EQ(PmDesktop::PmLoadDesktopLibraries(prefix.Settings()), PmDesktop::kAllLibraries);
    const auto users = PmDesktop::PmEnumerateUsers();
    ASSERT_EQ(users.size(), 2u);
    EXPECT_EQ(users[0].nUserId, 0x1234567u);
    EXPECT_EQ(users[0].szName, "John Doe");
    EXPECT_EQ(users[0].szDirectory, "JohnD");
    EXPECT_EQ(users[1].szName, "Mary S");

    std::string folder;
    ASSERT_TRUE(PmDesktop::PmGetUserDataFolder(0x1234567, folder));
    EXPECT_EQ(folder, "C:\\Program Files\\Palm\\JohnD\\");
    ASSERT_TRUE(PmDesktop::PmGetUserDataPath(0x2345678, folder));
    EXPECT_EQ(folder, std::filesystem::canonical(prefix.Palm() / "MaryS").string() + "/");
    EXPECT_FALSE(PmDesktop::PmGetUserDataFolder(99999, folder)) << "unknown users get no folder";
    EXPECT_TRUE(folder.empty());
}

// Each user's memos load through the Windows-style names, whatever the
// letter case of the folders and files.
TEST_F(PmDesktopTest, LoadForUserFindsEachUsersMemos) {
    prefix.InstallAll();
    PmDesktop::PmLoadDesktopLibraries(prefix.Settings());
    for (const auto& [id, text] : std::vector<std::pair<std::uint32_t, std::string>>{
             {0x1234567, "john deleted"}, {0x2345678, "mary deleted"}}) {
        PmMemoInfo memos;
        memos.SetIncludeDeleted(true);
        ASSERT_TRUE(memos.LoadForUser(id)) << memos.LastError();
        ASSERT_EQ(memos.CommonCount(), 2u);
        EXPECT_EQ(memos.LoadedKind(), PM_STORE_EXTENDED);
    }
    std::string path;
    std::string error;
    ASSERT_TRUE(PmUserDataPath::DataFilePath(0x2345678, "memopad\\", "memopad.dat", path, error));
    EXPECT_EQ(path, std::filesystem::canonical(prefix.Palm() / "MaryS" / "MemoPad" / "MEMOPAD.DAT").string());
}

// The load chain: a missing condmgr.dll stops it before UserData.dll; the
// libraries after UserData.dll do not matter for the users.
TEST_F(PmDesktopTest, LoadChainStopsAtTheFirstMissingLibrary) {
    prefix.InstallRegistry();
    prefix.InstallUsers();
    prefix.InstallLibraries(false, true, true, true);
    EXPECT_EQ(PmDesktop::PmLoadDesktopLibraries(prefix.Settings()), 0u);
    EXPECT_EQ(PmDesktop::PmGetUserCount(), 0xFF9Cu);
    EXPECT_EQ(static_cast<std::int16_t>(PmDesktop::PmGetUserCount()), -100);
    std::uint32_t id = 0;
    EXPECT_EQ(PmDesktop::PmGetUserId(0, id), PmDesktop::kErrNotAvailable);
    EXPECT_TRUE(PmDesktop::PmEnumerateUsers().empty());
    PmMemoInfo memos;
    EXPECT_FALSE(memos.LoadForUser(0x1234567));
    EXPECT_NE(memos.LastError().find("Palm Desktop was not found"), std::string::npos) << memos.LastError();

    std::filesystem::remove(prefix.Palm() / "HSAPI.dll");
    prefix.InstallLibraries(true, true, false, true);
    std::filesystem::remove(prefix.Palm() / "HSAPI.dll");
    EXPECT_EQ(PmDesktop::PmLoadDesktopLibraries(prefix.Settings()), PmDesktop::kCondMgr | PmDesktop::kUserData);
    EXPECT_EQ(PmDesktop::PmEnumerateUsers().size(), 2u);

    // Reloading reloads; unloading twice is harmless.
    EXPECT_EQ(PmDesktop::PmLoadDesktopLibraries(prefix.Settings(), PmDesktop::kUserData), PmDesktop::kUserData);
    PmDesktop::PmUnloadDesktopLibraries();
    PmDesktop::PmUnloadDesktopLibraries();
    EXPECT_EQ(PmDesktop::PmLoadedLibraries(), 0u);
    EXPECT_TRUE(PmDesktop::PmEnumerateUsers().empty());
}

TEST_F(PmDesktopTest, FolderScanStandsInForAMissingOrDamagedUsersDat) {
    prefix.InstallAll();
    std::filesystem::remove(prefix.Palm() / "users.dat");
    auto users = LoadAndList();
    // Every folder holding a data folder is a user, the profile folder too.
    ASSERT_EQ(users.size(), 3u);
    EXPECT_EQ(users[0].szName, "JohnD");
    EXPECT_EQ(users[0].nUserId, PmUserFolderScan::IdForFolder("johnd"));
    EXPECT_EQ(users[1].szName, "MaryS");
    EXPECT_EQ(users[2].szName, "Profile");
    PmMemoInfo memos;
    memos.SetIncludeDeleted(true);
    ASSERT_TRUE(memos.LoadForUser(users[1].nUserId)) << memos.LastError();

    // A users.dat cut in its second entry keeps the first user and the scan
    // adds the folders it does not list.
    auto bytes = testing::BuildUsersDat({{0x1234567, "John Doe", "JohnD"}, {0x2345678, "Mary S", "MaryS"}});
    bytes.resize(bytes.size() - 55);  // the second entry ends after its ID
    FakeWinePrefix::WriteFile(prefix.Palm() / "USERS.DAT", bytes);
    users = LoadAndList();
    ASSERT_EQ(users.size(), 3u);
    EXPECT_EQ(users[0].szName, "John Doe");
    EXPECT_EQ(users[1].szName, "MaryS");
    EXPECT_EQ(users[2].szName, "Profile");
}

TEST_F(PmDesktopTest, CoreKeyPathNamesTheUsersRoot) {
    prefix.InstallLibraries();
    prefix.UserReg(
        "[Software\\\\U.S. Robotics\\\\Pilot Desktop\\\\Core] 1\n"
        "\"DesktopPath\"=\"c:\\\\program files\\\\palm\"\n"
        "\"Path\"=\"C:\\\\Users\\\\Data\"\n");
    FakeWinePrefix::WriteMemos(prefix.DriveC() / "users" / "data" / "Ann" / "memopad" / "memopad.dat", "ann");
    const auto users = LoadAndList();
    ASSERT_EQ(users.size(), 1u);
    std::string folder;
    ASSERT_TRUE(PmDesktop::PmGetUserDataFolder(users[0].nUserId, folder));
    EXPECT_EQ(folder, "C:\\Users\\Data\\Ann\\");
    PmMemoInfo memos;
    EXPECT_TRUE(memos.LoadForUser(users[0].nUserId)) << memos.LastError();
}

TEST_F(PmDesktopTest, PlainHostPathInSettingsIsUsedAsItStands) {
    const auto palm = prefix.Temp() / "Palm Host";
    testing::WriteText(palm / "condmgr.dll", "MZ");
    testing::WriteText(palm / "UserData.dll", "MZ");
    FakeWinePrefix::WriteMemos(palm / "Zed" / "MemoPad" / "memopad.dat", "zed");
    ASSERT_TRUE(platform::ProfileFile::WriteString(prefix.Settings(), "Path", "PDPath", palm.string()));
    const auto users = LoadAndList();
    ASSERT_EQ(users.size(), 1u);
    std::string folder;
    ASSERT_TRUE(PmDesktop::PmGetUserDataPath(users[0].nUserId, folder));
    EXPECT_EQ(folder, (palm / "Zed").string() + "/");
    PmMemoInfo memos;
    EXPECT_TRUE(memos.LoadForUser(users[0].nUserId)) << memos.LastError();
}

// Folders that do not exist give no users and a clear failure, never a
// crash; a folder text that does not fit fails whole instead of being cut.
TEST_F(PmDesktopTest, MissingAndOverlongFoldersFailCleanly) {
    ASSERT_TRUE(platform::ProfileFile::WriteString(prefix.Settings(), "Path", "PDPath", "C:\\No\\Such\\Palm"));
    EXPECT_TRUE(LoadAndList().empty());
    PmMemoInfo memos;
    EXPECT_FALSE(memos.LoadForUser(1));
    EXPECT_FALSE(memos.LastError().empty());

    // Root and directory: 230 + 30 characters do not fit 260 with "\" and
    // the terminator, while the root alone would.
    const std::string longRoot = "C:\\" + std::string(226, 'r');
    const std::string longDir(30, 'd');
    auto hostRoot = prefix.DriveC() / std::string(226, 'r');
    testing::WriteText(hostRoot / "condmgr.dll", "MZ");
    testing::WriteText(hostRoot / "UserData.dll", "MZ");
    FakeWinePrefix::WriteFile(hostRoot / "users.dat", testing::BuildUsersDat({{1000, "Long", longDir}}));
    FakeWinePrefix::WriteMemos(hostRoot / "memopad" / "memopad.dat", "root memos must not be taken");
    ASSERT_TRUE(platform::ProfileFile::WriteString(prefix.Settings(), "Path", "PDPath", longRoot));
    const auto users = LoadAndList();
    ASSERT_EQ(users.size(), 1u);
    std::string folder;
    EXPECT_FALSE(PmDesktop::PmGetUserDataFolder(1000, folder));
    EXPECT_TRUE(folder.empty());
    EXPECT_NE(PmDesktop::PmLastError().find("longer than 259"), std::string::npos);
    EXPECT_FALSE(memos.LoadForUser(1000));
    EXPECT_EQ(memos.CommonCount(), 0u);
}

}  // namespace
}  // namespace lazrine::palm

namespace lazrine::palm {
namespace {

TEST_F(PmDesktopTest, AFailedReloadLeavesNoStaleUsers) {
    prefix.InstallAll();
    ASSERT_EQ(LoadAndList().size(), 2u);
    ASSERT_TRUE(platform::ProfileFile::WriteString(prefix.Settings(), "Path", "PDPath", "C:\\Gone"));
    EXPECT_EQ(PmDesktop::PmLoadDesktopLibraries(prefix.Settings()), 0u);
    EXPECT_TRUE(PmDesktop::PmEnumerateUsers().empty());
}

}  // namespace
}  // namespace lazrine::palm

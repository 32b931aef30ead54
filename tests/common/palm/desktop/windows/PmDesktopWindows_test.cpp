// Palm Desktop found the Windows way: its registry key names the folder,
// users.dat there lists the users, and each user's files open under the
// Windows paths Palm Desktop forms.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/palm/PmMemoInfo.h"
#include "common/palm/desktop/PmDesktop.h"
#include "common/palm/desktop/PmUserDataPath.h"
#include "support/FakeWinePrefix.h"
#include "support/TempDir.h"
#include "support/windows/ScopedUserKey.h"

namespace lazrine::palm {
namespace {

using lazrine::testing::FakeUser;
using lazrine::testing::FakeWinePrefix;
using lazrine::testing::ScopedUserKey;

std::wstring Wide(const std::filesystem::path& path) { return path.wstring(); }

TEST(PmDesktopWindows, UsersAndTheirFilesComeFromTheRegistryAndUsersDat) {
    lazrine::testing::TempDir dir;
    const std::filesystem::path palm = dir.Path() / "Palm";
    FakeWinePrefix::WriteFile(palm / "users.dat", lazrine::testing::BuildUsersDat({{7, "Profile", "Profile"},
                                                                                  {0x1234567, "John Doe", "JohnD"},
                                                                                  {0x2345678, "Mary S", "MaryS"}}));
    FakeWinePrefix::WriteMemos(palm / "JohnD" / "memopad" / "memopad.dat", "john deleted");
    FakeWinePrefix::WriteMemos(palm / "MaryS" / "MemoPad" / "MEMOPAD.DAT", "mary deleted");
    for (const char* library : {"CondMgr.dll", "userdata.dll", "HSAPI.dll", "InstAide.dll"}) {
        lazrine::testing::WriteText(palm / library, "MZ");
    }
    const ScopedUserKey key(L"Software\\U.S. Robotics\\Pilot Desktop\\Core");
    ASSERT_TRUE(key.Set(L"DesktopPath", Wide(palm)));
    ASSERT_TRUE(key.Set(L"Path", Wide(palm) + L"\\"));
    const std::string settings = dir.File("tamrisk.ini");

    EXPECT_EQ(PmDesktop::PmLoadDesktopLibraries(settings), PmDesktop::kAllLibraries);
    const auto users = PmDesktop::PmEnumerateUsers();
    ASSERT_EQ(users.size(), 2u);
    EXPECT_EQ(users[0].szName, "John Doe");
    EXPECT_EQ(users[1].szDirectory, "MaryS");
    std::string folder;
    ASSERT_TRUE(PmDesktop::PmGetUserDataFolder(0x2345678, folder));
    EXPECT_EQ(folder, palm.string() + "\\MaryS\\");
    for (const std::uint32_t id : {0x1234567u, 0x2345678u}) {
        PmMemoInfo memos;
        memos.SetIncludeDeleted(true);
        ASSERT_TRUE(memos.LoadForUser(id)) << memos.LastError();
        EXPECT_EQ(memos.CommonCount(), 2u);
    }
    std::string path;
    std::string error;
    ASSERT_TRUE(PmUserDataPath::DataFilePath(0x1234567, "memopad\\", "memopad.dat", path, error)) << error;
    EXPECT_EQ(path, palm.string() + "\\JohnD\\memopad\\memopad.dat");
    PmDesktop::PmUnloadDesktopLibraries();
}

}  // namespace
}  // namespace lazrine::palm

// The registry as Palm Desktop leaves it, read through the Windows registry
// functions: keys written here under the current user are read back, and
// the desktop folder is found through them.
#include "platform/Registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/palm/desktop/PmDesktopPath.h"
#include "support/TempDir.h"
#include "support/windows/ScopedUserKey.h"

namespace lazrine::platform {
namespace {

using lazrine::testing::ScopedUserKey;

TEST(WindowsRegistry, TextValuesAreReadAsWindows1252) {
    const ScopedUserKey key(L"Software\\Lazrine Tests\\Core");
    ASSERT_TRUE(key.Set(L"DesktopPath", L"C:\\Programme\\Palm Caf\u00e9"));
    ASSERT_TRUE(key.Set(L"Other", L"\u0416"));  // not in the code page
    const Registry registry;
    EXPECT_TRUE(registry.OpenKey(Registry::Root::kCurrentUser, "software\\lazrine tests\\core"));
    EXPECT_FALSE(registry.OpenKey(Registry::Root::kCurrentUser, "Software\\Lazrine Tests\\Missing"));
    std::string value;
    ASSERT_TRUE(registry.QueryValue(Registry::Root::kCurrentUser, "Software\\Lazrine Tests\\Core", "DesktopPath", value));
    EXPECT_EQ(value, "C:\\Programme\\Palm Caf\xE9");
    ASSERT_TRUE(registry.QueryValue(Registry::Root::kCurrentUser, "Software\\Lazrine Tests\\Core", "Other", value));
    EXPECT_EQ(value, "?");
    EXPECT_FALSE(registry.QueryValue(Registry::Root::kCurrentUser, "Software\\Lazrine Tests\\Core", "Missing", value));
}

// With no folder in the settings file, Palm Desktop's own key names it;
// a key without either value ends the search.
TEST(WindowsRegistry, TheDesktopFolderComesFromPalmDesktopsKey) {
    lazrine::testing::TempDir dir;
    const std::string settings = dir.File("tamrisk.ini");
    const ScopedUserKey key(L"Software\\U.S. Robotics\\Pilot Desktop\\Core");
    std::string folder;
    ASSERT_TRUE(key.Set(L"Unrelated", L"x"));
    EXPECT_EQ(palm::PmDesktopPath::PmGetDesktopPath(settings, folder, palm::PmDesktopPath::kMaxPath),
              palm::PmDesktopPath::kErrNotFound);
    ASSERT_TRUE(key.Set(L"HotSyncPath", L"C:\\Palm\\HotSync.exe"));
    EXPECT_EQ(palm::PmDesktopPath::PmGetDesktopPath(settings, folder, palm::PmDesktopPath::kMaxPath),
              palm::PmDesktopPath::kOk);
    EXPECT_EQ(folder, "C:\\Palm\\");
    ASSERT_TRUE(key.Set(L"DesktopPath", L"D:\\Palm Desktop"));
    EXPECT_EQ(palm::PmDesktopPath::PmGetDesktopPath(settings, folder, palm::PmDesktopPath::kMaxPath),
              palm::PmDesktopPath::kOk);
    EXPECT_EQ(folder, "D:\\Palm Desktop");
}

}  // namespace
}  // namespace lazrine::platform

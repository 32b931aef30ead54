// The registry as Palm Desktop leaves it, read through the Windows registry
// functions: keys written here under the current user are read back, and
// the desktop folder is found through them.
#include "platform/Registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/palm/desktop/PmDesktopPath.h"
#include "support/TempDir.h"

namespace lazrine::platform {
namespace {

// Writes one text value below HKEY_CURRENT_USER; the key is deleted with
// the object.
class ScopedUserKey {
public:
    explicit ScopedUserKey(std::wstring key) : m_key(std::move(key)) {}
    ~ScopedUserKey() { ::RegDeleteTreeW(HKEY_CURRENT_USER, m_key.c_str()); }
    ScopedUserKey(const ScopedUserKey&) = delete;
    ScopedUserKey& operator=(const ScopedUserKey&) = delete;

    bool Set(const std::wstring& name, const std::wstring& value) const {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, m_key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS) {
            return false;
        }
        const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
        const bool ok = ::RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                         bytes) == ERROR_SUCCESS;
        ::RegCloseKey(key);
        return ok;
    }

private:
    std::wstring m_key;
};

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

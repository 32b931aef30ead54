#pragma once

#include <windows.h>

#include <string>

namespace lazrine::testing {

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

}  // namespace lazrine::testing

#include "platform/Registry.h"

#include <windows.h>

#include <vector>

#include "platform/windows/WideText.h"

namespace lazrine::platform {
namespace {

// Owns one open registry key.
class KeyHandle {
public:
    KeyHandle(Registry::Root root, std::string_view key) {
        std::wstring wide;
        if (!WideText::FromUtf8(key, wide)) {
            return;
        }
        // Palm Desktop is a 32-bit program: the local machine's software keys
        // are read through the 32-bit view (Wow6432Node on 64-bit Windows).
        const HKEY base = root == Registry::Root::kCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        const REGSAM view = root == Registry::Root::kLocalMachine ? KEY_WOW64_32KEY : 0;
        if (::RegOpenKeyExW(base, wide.c_str(), 0, KEY_READ | view, &m_key) != ERROR_SUCCESS) {
            m_key = nullptr;
        }
    }
    ~KeyHandle() {
        if (m_key != nullptr) {
            ::RegCloseKey(m_key);
        }
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;

    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

}  // namespace

struct Registry::Impl {};

const char* Registry::Name() { return "the registry"; }

Registry::Registry() : m_pImpl(std::make_unique<Impl>()) {}

Registry::~Registry() = default;

bool Registry::OpenKey(Root root, std::string_view key) const { return KeyHandle(root, key).Get() != nullptr; }

bool Registry::QueryValue(Root root, std::string_view key, std::string_view name, std::string& out) const {
    out.clear();
    const KeyHandle handle(root, key);
    std::wstring wideName;
    if (handle.Get() == nullptr || !WideText::FromUtf8(name, wideName)) {
        return false;
    }
    // The value may grow between the size query and the read: ask again.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (::RegQueryValueExW(handle.Get(), wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
            return false;
        }
        std::vector<wchar_t> data(size / sizeof(wchar_t) + 2, L'\0');
        DWORD got = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
        const LONG rc = ::RegQueryValueExW(handle.Get(), wideName.c_str(), nullptr, &type,
                                           reinterpret_cast<BYTE*>(data.data()), &got);
        if (rc == ERROR_MORE_DATA) {
            continue;
        }
        if (rc != ERROR_SUCCESS) {
            return false;
        }
        std::wstring_view text(data.data(), got / sizeof(wchar_t));
        text = text.substr(0, text.find(L'\0'));
        out = WideText::ToCp1252(text);
        return true;
    }
    return false;
}

}  // namespace lazrine::platform

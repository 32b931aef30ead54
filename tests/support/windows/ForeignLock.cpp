#include "support/ForeignLock.h"

#include <windows.h>

#include <filesystem>

namespace lazrine::testing {

struct ForeignLock::Holder {
    HANDLE hFile = INVALID_HANDLE_VALUE;
};

ForeignLock::ForeignLock(const std::string& path, Kind kind, std::int64_t start, std::int64_t length)
    : m_pHolder(std::make_unique<Holder>()) {
    const std::wstring wide = std::filesystem::path(std::u8string(path.begin(), path.end())).wstring();
    const DWORD share = kind == Kind::kWholeFile ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const DWORD access = kind == Kind::kRecordRead ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    m_pHolder->hFile = ::CreateFileW(wide.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_pHolder->hFile == INVALID_HANDLE_VALUE) {
        return;
    }
    if (kind == Kind::kWholeFile) {
        m_bHeld = true;
        return;
    }
    const auto from = static_cast<std::uint64_t>(start);
    const std::uint64_t count = length == 0 ? ~std::uint64_t{0} - from : static_cast<std::uint64_t>(length);
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(from & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(from >> 32);
    m_bHeld = ::LockFileEx(m_pHolder->hFile,
                           (kind != Kind::kRecordRead ? LOCKFILE_EXCLUSIVE_LOCK : 0) | LOCKFILE_FAIL_IMMEDIATELY, 0,
                           static_cast<DWORD>(count & 0xFFFFFFFFu), static_cast<DWORD>(count >> 32), &at) != 0;
}

ForeignLock::~ForeignLock() {
    if (m_pHolder->hFile != INVALID_HANDLE_VALUE) {
        ::CloseHandle(m_pHolder->hFile);
    }
}

}  // namespace lazrine::testing

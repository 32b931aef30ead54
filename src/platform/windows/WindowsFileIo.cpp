#include <windows.h>

#include <climits>
#include <map>
#include <mutex>

#include "platform/FileIo.h"
#include "platform/windows/WideText.h"

namespace lazrine::platform {
namespace {

// Texts for the common failures are those of the C library, so that
// messages read the same on every system.
std::string ReasonOf(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return "No such file or directory";
    case ERROR_ACCESS_DENIED:
        return "Permission denied";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return "File exists";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "No space left on device";
    default:
        return WideText::ErrorMessage(code);
    }
}

// The kind of the failure `code` reports: a missing name and a full disk are
// told apart; anything else is `otherwise`.
IoFailure KindOf(DWORD code, IoFailure otherwise) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return IoFailure::kMissing;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return IoFailure::kWriteFailed;
    default:
        return otherwise;
    }
}

void SetError(IoError* error, const std::string& what, const std::string& path, DWORD code,
              IoFailure otherwise = IoFailure::kOther) {
    IoError::Fail(error, KindOf(code, otherwise), what + " '" + path + "': " + ReasonOf(code));
}

void SetError(IoError* error, const std::string& what, DWORD code, IoFailure otherwise = IoFailure::kOther) {
    IoError::Fail(error, KindOf(code, otherwise), what + ": " + ReasonOf(code));
}

bool IsInUseCode(DWORD code) { return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION; }

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void NotRegular(const std::string& path, IoError* error) {
    IoError::Fail(error, IoFailure::kNotRegular, "not a regular file '" + path + "'");
}

std::int64_t NsSince1970(const FILETIME& time) {
    // FILETIME counts 100 ns steps since 1601-01-01.
    constexpr std::int64_t kEpochDifference = 116444736000000000LL;
    const std::int64_t ticks =
        static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
    return (ticks - kEpochDifference) * 100;
}

void FillFacts(const BY_HANDLE_FILE_INFORMATION& info, FileIo::Facts& out) {
    using Kind = FileIo::Facts::Kind;
    out.nKind = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ? Kind::kLink
                : (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Kind::kDirectory
                                                                           : Kind::kRegular;
    out.nSize = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    out.nModifiedNs = NsSince1970(info.ftLastWriteTime);
    out.nLinks = info.nNumberOfLinks;
    out.bWritable = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
    out.nVolume = info.dwVolumeSerialNumber;
    out.nFileId = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Owns a HANDLE inside one function.
class LocalHandle {
public:
    explicit LocalHandle(HANDLE h) : m_h(h) {}
    ~LocalHandle() {
        if (Valid()) {
            ::CloseHandle(m_h);
        }
    }
    LocalHandle(const LocalHandle&) = delete;
    LocalHandle& operator=(const LocalHandle&) = delete;
    bool Valid() const { return m_h != INVALID_HANDLE_VALUE && m_h != nullptr; }
    HANDLE Get() const { return m_h; }
    HANDLE Release() {
        HANDLE h = m_h;
        m_h = INVALID_HANDLE_VALUE;
        return h;
    }

private:
    HANDLE m_h;
};

HANDLE OpenForQuery(const std::wstring& path, bool followLinks) {
    return ::CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
}

// Locks every byte a file can have, without waiting: the same range Windows
// programs lock to claim a whole file.
bool LockWhole(HANDLE h, bool exclusive) {
    OVERLAPPED at{};
    return ::LockFileEx(h, (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                        MAXDWORD, &at) != 0;
}

void UnlockWhole(HANDLE h) {
    OVERLAPPED at{};
    ::UnlockFileEx(h, 0, MAXDWORD, MAXDWORD, &at);
}

// For "X.mdb": true when a lock file "X.ldb" beside it (Windows names match
// in any letter case) is held by another program: open without sharing, or
// with a lock on any of its bytes. A lock file left behind after a crash
// holds no locks and does not count.
bool DatabaseLockFileHeld(const std::wstring& path) {
    if (path.size() <= 4) {
        return false;
    }
    std::wstring extension = path.substr(path.size() - 4);
    for (wchar_t& c : extension) {
        c = static_cast<wchar_t>(::towlower(c));
    }
    if (extension != L".mdb") {
        return false;
    }
    const std::wstring lockPath = path.substr(0, path.size() - 4) + L".ldb";
    const DWORD attributes = ::GetFileAttributesW(lockPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    const LocalHandle lock(::CreateFileW(lockPath.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!lock.Valid()) {
        return IsInUseCode(::GetLastError());
    }
    if (!LockWhole(lock.Get(), true)) {
        return true;
    }
    UnlockWhole(lock.Get());
    return false;
}

std::string FolderOf(const std::string& path) {
    const auto sep = path.find_last_of("\\/");
    if (sep == std::string::npos) {
        return ".";
    }
    return path.substr(0, sep + 1);
}

class WindowsFileIo final : public FileIo {
public:
    bool OpenLocked(const std::string& path, Handle& out, IoError* error) override {
        return OpenWithLock(path, GENERIC_READ, out, error);
    }

    bool OpenLockedReadWrite(const std::string& path, Handle& out, IoError* error) override {
        return OpenWithLock(path, GENERIC_READ | GENERIC_WRITE, out, error);
    }

    bool Size(Handle h, std::uint64_t& size, IoError* error) override {
        LARGE_INTEGER value{};
        if (::GetFileSizeEx(Native(h), &value) == 0) {
            SetError(error, "cannot query the file size", ::GetLastError());
            return false;
        }
        size = static_cast<std::uint64_t>(value.QuadPart);
        return true;
    }

    bool ReadAt(Handle h, std::uint64_t offset, std::span<std::uint8_t> out, IoError* error) override {
        std::size_t done = 0;
        while (done < out.size()) {
            OVERLAPPED at = At(offset + done);
            DWORD got = 0;
            if (::ReadFile(Native(h), out.data() + done, Chunk(out.size() - done), &got, &at) == 0) {
                const DWORD code = ::GetLastError();
                if (code != ERROR_HANDLE_EOF) {
                    SetError(error, "read failed", code);
                    return false;
                }
                got = 0;
            }
            if (got == 0) {
                IoError::Fail(error, IoFailure::kOther, "unexpected end of the file");
                return false;
            }
            done += got;
        }
        return true;
    }

    bool WriteAt(Handle h, std::uint64_t offset, std::span<const std::uint8_t> data, IoError* error) override {
        std::size_t done = 0;
        while (done < data.size()) {
            OVERLAPPED at = At(offset + done);
            DWORD put = 0;
            if (::WriteFile(Native(h), data.data() + done, Chunk(data.size() - done), &put, &at) == 0 || put == 0) {
                SetError(error, "write failed", ::GetLastError(), IoFailure::kWriteFailed);
                return false;
            }
            done += put;
        }
        return true;
    }

    bool CreateNew(const std::string& path, const std::string& modeFrom, Handle& out, IoError* error) override {
        out = kInvalid;
        std::wstring wide;
        if (!Wide(path, wide, "cannot create", error)) {
            return false;
        }
        // The new file takes the attributes of the one it replaces (hidden,
        // archive, ...) but is never created read-only: it is to be written.
        DWORD attributes = FILE_ATTRIBUTE_NORMAL;
        std::wstring wideFrom;
        if (!modeFrom.empty() && WideText::FromUtf8(modeFrom, wideFrom)) {
            const DWORD from = ::GetFileAttributesW(wideFrom.c_str());
            if (from != INVALID_FILE_ATTRIBUTES) {
                attributes = from & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
                if (attributes == 0) {
                    attributes = FILE_ATTRIBUTE_NORMAL;
                }
            }
        }
        LocalHandle h(::CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes,
                                    nullptr));
        if (!h.Valid()) {
            SetError(error, "cannot create", path, ::GetLastError());
            return false;
        }
        out = Register(h.Release());
        return true;
    }

    bool ReadAll(Handle h, std::vector<std::uint8_t>& out, IoError* error) override {
        out.clear();
        LARGE_INTEGER size{};
        if (::GetFileSizeEx(Native(h), &size) != 0 && size.QuadPart > 0) {
            out.reserve(static_cast<std::size_t>(size.QuadPart));
        }
        std::uint8_t chunk[65536];
        for (;;) {
            DWORD got = 0;
            if (::ReadFile(Native(h), chunk, sizeof chunk, &got, nullptr) == 0) {
                SetError(error, "read failed", ::GetLastError());
                return false;
            }
            if (got == 0) {
                return true;
            }
            out.insert(out.end(), chunk, chunk + got);
        }
    }

    bool Write(Handle h, std::span<const std::uint8_t> data, IoError* error) override {
        std::size_t done = 0;
        while (done < data.size()) {
            DWORD put = 0;
            if (::WriteFile(Native(h), data.data() + done, Chunk(data.size() - done), &put, nullptr) == 0 ||
                put == 0) {
                SetError(error, "write failed", ::GetLastError(), IoFailure::kWriteFailed);
                return false;
            }
            done += put;
        }
        return true;
    }

    bool Flush(Handle h, IoError* error) override {
        if (::FlushFileBuffers(Native(h)) == 0) {
            SetError(error, "flush to disk failed", ::GetLastError(), IoFailure::kWriteFailed);
            return false;
        }
        return true;
    }

    bool Close(Handle h, IoError* error) override {
        if (h == kInvalid) {
            return true;
        }
        const HANDLE native = Unregister(h);
        if (native == INVALID_HANDLE_VALUE) {
            IoError::Fail(error, IoFailure::kOther, "close failed: not an open file");
            return false;
        }
        // Closing releases the locks taken through the handle.
        if (::CloseHandle(native) == 0) {
            SetError(error, "close failed", ::GetLastError(), IoFailure::kWriteFailed);
            return false;
        }
        return true;
    }

    bool Rename(const std::string& from, const std::string& to, IoError* error) override {
        std::wstring wideFrom;
        std::wstring wideTo;
        if (!Wide(from, wideFrom, "cannot replace", error) || !Wide(to, wideTo, "cannot replace", error)) {
            return false;
        }
        // Write-through: the call returns once the new name is on the disk,
        // which is what flushing the folder gives elsewhere.
        if (::MoveFileExW(wideFrom.c_str(), wideTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ==
            0) {
            const DWORD code = ::GetLastError();
            if (IsInUseCode(code)) {
                InUse(to, error);
            } else {
                SetError(error, "cannot replace", to, code);
            }
            return false;
        }
        return true;
    }

    bool FlushFolderOf(const std::string& path, IoError* error) override {
        // A rename was written through (see Rename); Windows has no flush of
        // a folder. The folder must still be there.
        std::wstring folder;
        if (!Wide(FolderOf(path), folder, "cannot open folder", error)) {
            return false;
        }
        const DWORD attributes = ::GetFileAttributesW(folder.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            SetError(error, "cannot open folder", FolderOf(path), ::GetLastError());
            return false;
        }
        return true;
    }

    bool Remove(const std::string& path) override {
        std::wstring wide;
        if (!WideText::FromUtf8(path, wide) || wide.empty()) {
            return false;
        }
        const DWORD attributes = ::GetFileAttributesW(wide.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            return ::RemoveDirectoryW(wide.c_str()) != 0;  // a link to a folder, not the folder
        }
        return ::DeleteFileW(wide.c_str()) != 0;
    }

    bool Inspect(const std::string& path, Facts& out, IoError* error) override {
        out = Facts{};
        std::wstring wide;
        if (!Wide(path, wide, "cannot look at", error)) {
            return false;
        }
        const LocalHandle h(OpenForQuery(wide, false));
        if (!h.Valid()) {
            const DWORD code = ::GetLastError();
            if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
                return true;
            }
            SetError(error, "cannot look at", path, code);
            return false;
        }
        // A device ("NUL", "COM1", a pipe) is no file, and may have no file
        // information to give; folders and links are disk objects.
        if (::GetFileType(h.Get()) != FILE_TYPE_DISK) {
            out.nKind = Facts::Kind::kOther;
            return true;
        }
        BY_HANDLE_FILE_INFORMATION info{};
        if (::GetFileInformationByHandle(h.Get(), &info) == 0) {
            SetError(error, "cannot look at", path, ::GetLastError());
            return false;
        }
        FillFacts(info, out);
        return true;
    }

    bool InspectOpen(Handle h, Facts& out, IoError* error) override {
        out = Facts{};
        BY_HANDLE_FILE_INFORMATION info{};
        if (::GetFileInformationByHandle(Native(h), &info) == 0) {
            SetError(error, "cannot look at an open file", ::GetLastError());
            return false;
        }
        FillFacts(info, out);
        return true;
    }

    bool ResolveLinks(const std::string& path, std::string& target, IoError* error) override {
        std::wstring wide;
        if (!Wide(path, wide, "cannot follow the link", error)) {
            return false;
        }
        const LocalHandle h(OpenForQuery(wide, true));
        if (!h.Valid()) {
            SetError(error, "cannot follow the link", path, ::GetLastError());
            return false;
        }
        std::wstring final(MAX_PATH, L'\0');
        for (int attempt = 0; attempt < 4; ++attempt) {
            const DWORD n = ::GetFinalPathNameByHandleW(h.Get(), final.data(), static_cast<DWORD>(final.size()),
                                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
            if (n == 0) {
                SetError(error, "cannot follow the link", path, ::GetLastError());
                return false;
            }
            if (n < final.size()) {
                final.resize(n);
                // "\\?\C:\x" names the same file as "C:\x"; "\\?\UNC\s\x" as "\\s\x".
                if (final.rfind(L"\\\\?\\UNC\\", 0) == 0) {
                    final = L"\\\\" + final.substr(8);
                } else if (final.rfind(L"\\\\?\\", 0) == 0) {
                    final = final.substr(4);
                }
                target = WideText::ToUtf8(final);
                return true;
            }
            final.assign(n + 1, L'\0');
        }
        SetError(error, "cannot follow the link", path, ERROR_INSUFFICIENT_BUFFER);
        return false;
    }

    bool ReleasesBeforeReplace() const override { return true; }

    bool Exists(const std::string& path) override {
        std::wstring wide;
        return WideText::FromUtf8(path, wide) && !wide.empty() &&
               ::GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

private:
    static DWORD Chunk(std::size_t left) { return left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left); }

    static OVERLAPPED At(std::uint64_t offset) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        return at;
    }

    static bool Wide(const std::string& path, std::wstring& out, const char* what, IoError* error) {
        if (path.empty() || !WideText::FromUtf8(path, out)) {
            IoError::Fail(error, IoFailure::kMissing, std::string(what) + " '" + path + "': No such file or directory");
            return false;
        }
        return true;
    }

    static void InUse(const std::string& path, IoError* error) {
        IoError::Fail(error, IoFailure::kInUse, InUseText(path));
    }

    bool OpenWithLock(const std::string& path, DWORD access, Handle& out, IoError* error) {
        out = kInvalid;
        std::wstring wide;
        if (!Wide(path, wide, "cannot open", error)) {
            return false;
        }
        // Others may keep reading and writing handles open (Palm Desktop
        // keeps its files open between changes); the lock below is what
        // keeps them from changing the bytes while we hold the file. Nobody
        // may rename or delete it meanwhile.
        LocalHandle h(::CreateFileW(wide.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!h.Valid()) {
            const DWORD code = ::GetLastError();
            if (IsInUseCode(code)) {
                InUse(path, error);
            } else if (IsFolder(wide)) {
                // A folder cannot be opened as a file: say so, not "access denied".
                NotRegular(path, error);
            } else {
                SetError(error, "cannot open", path, code);
            }
            return false;
        }
        BY_HANDLE_FILE_INFORMATION info{};
        if (::GetFileType(h.Get()) != FILE_TYPE_DISK || ::GetFileInformationByHandle(h.Get(), &info) == 0 ||
            (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            NotRegular(path, error);
            return false;
        }
        if (!LockWhole(h.Get(), true)) {
            const DWORD code = ::GetLastError();
            if (IsInUseCode(code)) {
                InUse(path, error);
            } else {
                SetError(error, "cannot lock", path, code);
            }
            return false;
        }
        if (DatabaseLockFileHeld(wide)) {
            InUse(path, error);
            return false;
        }
        out = Register(h.Release());
        return true;
    }

    Handle Register(HANDLE h) {
        const std::lock_guard<std::mutex> guard(m_mutex);
        while (m_handles.count(m_nNext) != 0 || m_nNext == kInvalid) {
            m_nNext = m_nNext == INT_MAX ? 0 : m_nNext + 1;
        }
        const Handle id = m_nNext;
        m_nNext = m_nNext == INT_MAX ? 0 : m_nNext + 1;
        m_handles[id] = h;
        return id;
    }

    HANDLE Native(Handle h) {
        const std::lock_guard<std::mutex> guard(m_mutex);
        const auto it = m_handles.find(h);
        return it == m_handles.end() ? INVALID_HANDLE_VALUE : it->second;
    }

    HANDLE Unregister(Handle h) {
        const std::lock_guard<std::mutex> guard(m_mutex);
        const auto it = m_handles.find(h);
        if (it == m_handles.end()) {
            return INVALID_HANDLE_VALUE;
        }
        const HANDLE native = it->second;
        m_handles.erase(it);
        return native;
    }

    std::mutex m_mutex;
    std::map<Handle, HANDLE> m_handles;
    Handle m_nNext = 3;
};

}  // namespace

FileIo& SystemFileIo() {
    static WindowsFileIo io;
    return io;
}

}  // namespace lazrine::platform

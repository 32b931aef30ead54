#include "platform/AtomicFile.h"

#include "platform/FileIo.h"

namespace lazrine::platform {
namespace {

// Closes a handle on every path out of a scope.
class HandleGuard {
public:
    explicit HandleGuard(FileIo& io) : m_io(io) {}
    ~HandleGuard() { Close(nullptr); }
    HandleGuard(const HandleGuard&) = delete;
    HandleGuard& operator=(const HandleGuard&) = delete;

    FileIo::Handle& Get() { return m_handle; }
    bool Close(std::string* error) {
        const FileIo::Handle h = m_handle;
        m_handle = FileIo::kInvalid;
        return m_io.Close(h, error);
    }

private:
    FileIo& m_io;
    FileIo::Handle m_handle = FileIo::kInvalid;
};

// Writes `content` to the new file `target` (which must not exist), durably,
// via a temporary name, and removes the temporary file on failure.
bool WriteDurably(FileIo& io, const std::string& temp, const std::string& target,
                  const std::string& modeFrom, std::span<const std::uint8_t> content, std::string& error) {
    if (io.Exists(temp)) {
        // Left over from an earlier crash; it was never the data file.
        io.Remove(temp);
    }
    HandleGuard out(io);
    if (!io.CreateNew(temp, modeFrom, out.Get(), &error)) {
        return false;
    }
    const bool written = (content.empty() || io.Write(out.Get(), content, &error)) &&
                         io.Flush(out.Get(), &error);
    const bool closed = out.Close(written ? &error : nullptr);
    if (!written || !closed || !io.Rename(temp, target, &error)) {
        io.Remove(temp);
        return false;
    }
    if (!io.FlushFolderOf(target, &error)) {
        return false;
    }
    return true;
}

}  // namespace

bool AtomicFile::ReadWhole(const std::string& path, std::vector<std::uint8_t>& out, std::string& error) {
    FileIo& io = FileIo::Instance();
    HandleGuard in(io);
    out.clear();
    if (path.empty()) {
        error = "no file name given";
        return false;
    }
    if (!io.OpenLocked(path, in.Get(), &error)) {
        return false;
    }
    if (!io.ReadAll(in.Get(), out, &error)) {
        out.clear();
        return false;
    }
    return true;
}

bool AtomicFile::EnsureBackup(const std::string& path, std::span<const std::uint8_t> original,
                              std::string& error) {
    FileIo& io = FileIo::Instance();
    const std::string backup = BackupPathOf(path);
    if (io.Exists(backup)) {
        return true;
    }
    if (!WriteDurably(io, backup + kTempSuffix, backup, path, original, error)) {
        error = "cannot make the backup copy: " + error;
        return false;
    }
    return true;
}

bool AtomicFile::Replace(const std::string& path, std::span<const std::uint8_t> content, std::string& error) {
    FileIo& io = FileIo::Instance();
    if (path.empty()) {
        error = "no file name given";
        return false;
    }
    // Hold the lock on the original for the whole replacement, so that no
    // other program writes it between our backup and our rename.
    HandleGuard original(io);
    if (!io.OpenLocked(path, original.Get(), &error)) {
        return false;
    }
    if (!io.Exists(BackupPathOf(path))) {
        std::vector<std::uint8_t> current;
        if (!io.ReadAll(original.Get(), current, &error) || !EnsureBackup(path, current, error)) {
            return false;
        }
    }
    if (!WriteDurably(io, path + kTempSuffix, path, path, content, error)) {
        return false;
    }
    return true;
}

}  // namespace lazrine::platform

#include "platform/FileIo.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lazrine::platform {
namespace {

// The kind of the failure errno reports: a missing name and a full disk are
// told apart; anything else is `otherwise`.
IoFailure KindOfErrno(IoFailure otherwise) {
    if (errno == ENOENT || errno == ENOTDIR) {
        return IoFailure::kMissing;
    }
    if (errno == ENOSPC || errno == EDQUOT) {
        return IoFailure::kWriteFailed;
    }
    return otherwise;
}

void SetError(IoError* error, const std::string& what, const std::string& path,
              IoFailure otherwise = IoFailure::kOther) {
    IoError::Fail(error, KindOfErrno(otherwise), what + " '" + path + "': " + std::strerror(errno));
}

void SetError(IoError* error, const std::string& what, IoFailure otherwise = IoFailure::kOther) {
    IoError::Fail(error, KindOfErrno(otherwise), what + ": " + std::strerror(errno));
}

// Lower-cases ASCII letters only: file names in other scripts are compared
// as they are.
std::string AsciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::int64_t ModifiedNs(const struct stat& st) {
    return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

void FillFacts(const struct stat& st, FileIo::Facts& out) {
    using Kind = FileIo::Facts::Kind;
    out.nKind = S_ISREG(st.st_mode)   ? Kind::kRegular
                : S_ISDIR(st.st_mode) ? Kind::kDirectory
                : S_ISLNK(st.st_mode) ? Kind::kLink
                                      : Kind::kOther;
    out.nSize = static_cast<std::uint64_t>(st.st_size);
    out.nModifiedNs = ModifiedNs(st);
    out.nLinks = static_cast<std::uint64_t>(st.st_nlink);
    out.bWritable = false;
    out.nVolume = static_cast<std::uint64_t>(st.st_dev);
    out.nFileId = static_cast<std::uint64_t>(st.st_ino);
}

// True when a process other than the caller's open file description holds
// a record lock on any byte of the file, beyond its end included. Open file
// description locks see the classic per-process locks of every process, our
// own included; where they are not supported the classic query is used,
// which sees those of other processes.
bool HasRecordLock(int fd) {
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0;  // to the end of every possible offset
    if (::fcntl(fd, F_OFD_GETLK, &probe) != 0) {
        probe = {};
        probe.l_type = F_WRLCK;
        probe.l_whence = SEEK_SET;
        if (::fcntl(fd, F_GETLK, &probe) != 0) {
            return false;
        }
    }
    return probe.l_type != F_UNLCK;
}

// True when another program holds a whole-file lock on `fd`. The probe takes
// the lock and gives it back at once.
bool HasWholeFileLock(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK;
    }
    ::flock(fd, LOCK_UN);
    return false;
}

// For "X.mdb": true when a lock file "X.ldb" beside it, in any letter case,
// is held by another program. A lock file left behind without locks (after
// a crash) does not count.
bool DatabaseLockFileHeld(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() <= 4 || AsciiLower(name.substr(name.size() - 4)) != ".mdb") {
        return false;
    }
    const std::string wanted = AsciiLower(name.substr(0, name.size() - 4) + ".ldb");
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) {
        return false;
    }
    bool held = false;
    while (const dirent* entry = ::readdir(dir.get())) {
        if (held || AsciiLower(entry->d_name) != wanted) {
            continue;
        }
        const std::string lockPath = folder + "/" + entry->d_name;
        const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) {
            continue;
        }
        struct stat st {};
        held = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && (HasRecordLock(fd) || HasWholeFileLock(fd));
        ::close(fd);
    }
    return held;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    if (slash == 0) {
        return "/";
    }
    return path.substr(0, slash);
}

class PosixFileIo final : public FileIo {
public:
    bool OpenLocked(const std::string& path, Handle& out, IoError* error) override {
        return OpenWithLock(path, O_RDONLY, out, error);
    }

    bool OpenLockedReadWrite(const std::string& path, Handle& out, IoError* error) override {
        return OpenWithLock(path, O_RDWR, out, error);
    }

    bool Size(Handle h, std::uint64_t& size, IoError* error) override {
        struct stat st {};
        if (::fstat(h, &st) != 0) {
            SetError(error, "cannot query the file size");
            return false;
        }
        size = static_cast<std::uint64_t>(st.st_size);
        return true;
    }

    bool ReadAt(Handle h, std::uint64_t offset, std::span<std::uint8_t> out, IoError* error) override {
        std::size_t done = 0;
        while (done < out.size()) {
            const ssize_t n = ::pread(h, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                SetError(error, "read failed");
                return false;
            }
            if (n == 0) {
                return IoError::Fail(error, IoFailure::kOther, "unexpected end of the file");
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    bool WriteAt(Handle h, std::uint64_t offset, std::span<const std::uint8_t> data, IoError* error) override {
        std::size_t done = 0;
        while (done < data.size()) {
            const ssize_t n =
                ::pwrite(h, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                SetError(error, "write failed", IoFailure::kWriteFailed);
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    bool CreateNew(const std::string& path, const std::string& modeFrom, Handle& out,
                   IoError* error) override {
        out = kInvalid;
        struct stat from {};
        const bool copyFrom = !modeFrom.empty() && ::stat(modeFrom.c_str(), &from) == 0;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              copyFrom ? 0600 : 0644);
        if (fd < 0) {
            SetError(error, "cannot create", path);
            return false;
        }
        if (copyFrom && !TakeOwnerAndMode(fd, from, path, modeFrom, error)) {
            ::close(fd);
            ::unlink(path.c_str());
            return false;
        }
        out = fd;
        return true;
    }

    bool ReadAll(Handle h, std::vector<std::uint8_t>& out, IoError* error) override {
        out.clear();
        struct stat st {};
        if (::fstat(h, &st) == 0 && st.st_size > 0) {
            out.reserve(static_cast<std::size_t>(st.st_size));
        }
        std::uint8_t chunk[65536];
        for (;;) {
            const ssize_t n = ::read(h, chunk, sizeof chunk);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                SetError(error, "read failed");
                return false;
            }
            if (n == 0) {
                return true;
            }
            out.insert(out.end(), chunk, chunk + n);
        }
    }

    bool Write(Handle h, std::span<const std::uint8_t> data, IoError* error) override {
        std::size_t done = 0;
        while (done < data.size()) {
            const ssize_t n = ::write(h, data.data() + done, data.size() - done);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                SetError(error, "write failed", IoFailure::kWriteFailed);
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    bool Flush(Handle h, IoError* error) override {
        if (::fsync(h) != 0) {
            SetError(error, "flush to disk failed", IoFailure::kWriteFailed);
            return false;
        }
        return true;
    }

    bool Close(Handle h, IoError* error) override {
        if (h == kInvalid) {
            return true;
        }
        if (::close(h) != 0) {
            SetError(error, "close failed", IoFailure::kWriteFailed);
            return false;
        }
        return true;
    }

    bool Rename(const std::string& from, const std::string& to, IoError* error) override {
        if (::rename(from.c_str(), to.c_str()) != 0) {
            SetError(error, "cannot replace", to);
            return false;
        }
        return true;
    }

    bool FlushFolderOf(const std::string& path, IoError* error) override {
        const std::string folder = FolderOf(path);
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            SetError(error, "cannot open folder", folder);
            return false;
        }
        const bool ok = ::fsync(fd) == 0;
        if (!ok) {
            SetError(error, "flush of folder failed", folder, IoFailure::kWriteFailed);
        }
        ::close(fd);
        return ok;
    }

    bool Remove(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

    bool Inspect(const std::string& path, Facts& out, IoError* error) override {
        out = Facts{};
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) {
                return true;
            }
            SetError(error, "cannot look at", path);
            return false;
        }
        FillFacts(st, out);
        out.bWritable = (st.st_mode & 0222) != 0 && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
        return true;
    }

    bool InspectOpen(Handle h, Facts& out, IoError* error) override {
        out = Facts{};
        struct stat st {};
        if (::fstat(h, &st) != 0) {
            SetError(error, "cannot look at an open file");
            return false;
        }
        FillFacts(st, out);
        return true;
    }

    bool ResolveLinks(const std::string& path, std::string& target, IoError* error) override {
        const std::unique_ptr<char, void (*)(void*)> resolved(::realpath(path.c_str(), nullptr), &::free);
        if (!resolved) {
            SetError(error, "cannot follow the link", path);
            return false;
        }
        target = resolved.get();
        return true;
    }

    bool Exists(const std::string& path) override {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0;
    }

private:
    static void InUse(const std::string& path, IoError* error) {
        IoError::Fail(error, IoFailure::kInUse, InUseText(path));
    }

    // Gives the new file `fd` the owner, group and mode of `from`; the owner
    // first, because a change of owner clears the set-id bits.
    static bool TakeOwnerAndMode(int fd, const struct stat& from, const std::string& path,
                                 const std::string& modeFrom, IoError* error) {
        struct stat now {};
        if (::fstat(fd, &now) != 0) {
            SetError(error, "cannot look at", path);
            return false;
        }
        if ((now.st_uid != from.st_uid || now.st_gid != from.st_gid) && ::fchown(fd, from.st_uid, from.st_gid) != 0) {
            SetError(error, "cannot give the new file the owner and group of", modeFrom);
            return false;
        }
        if (::fchmod(fd, from.st_mode & 07777) != 0) {
            SetError(error, "cannot give the new file the permissions of", modeFrom);
            return false;
        }
        return true;
    }

    static void NotRegular(const std::string& path, IoError* error) {
        IoError::Fail(error, IoFailure::kNotRegular, "not a regular file '" + path + "'");
    }

    // Opens `path` only when it is a regular file, and never in a way that
    // can block: a FIFO would wait for a writer, a device may wait or act on
    // being opened. The open itself does not block (nor make a terminal ours);
    // once the file is known to be regular it is switched back to ordinary
    // blocking reads.
    static bool OpenRegular(const std::string& path, int flags, int& fd, IoError* error) {
        fd = -1;
        struct stat named {};
        if (::stat(path.c_str(), &named) == 0 && !S_ISREG(named.st_mode)) {
            NotRegular(path, error);
            return false;
        }
        fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) {
            if (errno == EISDIR || errno == ENXIO) {
                NotRegular(path, error);
            } else {
                SetError(error, "cannot open", path);
            }
            return false;
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            NotRegular(path, error);
            ::close(fd);
            fd = -1;
            return false;
        }
        const int fileFlags = ::fcntl(fd, F_GETFL);
        if (fileFlags < 0 || ::fcntl(fd, F_SETFL, fileFlags & ~O_NONBLOCK) != 0) {
            SetError(error, "cannot open", path);
            ::close(fd);
            fd = -1;
            return false;
        }
        return true;
    }

    static bool OpenWithLock(const std::string& path, int flags, Handle& out, IoError* error) {
        out = kInvalid;
        int fd = -1;
        if (!OpenRegular(path, flags, fd, error)) {
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) {
                InUse(path, error);
            } else {
                SetError(error, "cannot lock", path);
            }
            ::close(fd);
            return false;
        }
        // Programs that lock byte ranges (Windows programs under Wine among
        // them) must see us too: take a record lock on every byte as well.
        struct flock lock {};
        lock.l_type = (flags & O_ACCMODE) == O_RDONLY ? F_RDLCK : F_WRLCK;
        lock.l_whence = SEEK_SET;
        const bool recordLocked = ::fcntl(fd, F_OFD_SETLK, &lock) != 0 && (errno == EAGAIN || errno == EACCES);
        if (recordLocked || HasRecordLock(fd) || DatabaseLockFileHeld(path)) {
            InUse(path, error);
            ::close(fd);
            return false;
        }
        out = fd;
        return true;
    }
};

}  // namespace

FileIo& SystemFileIo() {
    static PosixFileIo io;
    return io;
}

}  // namespace lazrine::platform

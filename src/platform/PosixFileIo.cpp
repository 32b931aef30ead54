#include "platform/FileIo.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lazrine::platform {
namespace {

void SetError(std::string* error, const std::string& what, const std::string& path) {
    if (error != nullptr) {
        *error = what + " '" + path + "': " + std::strerror(errno);
    }
}

void SetError(std::string* error, const std::string& what) {
    if (error != nullptr) {
        *error = what + ": " + std::strerror(errno);
    }
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
    bool OpenLocked(const std::string& path, Handle& out, std::string* error) override {
        return OpenWithLock(path, O_RDONLY, out, error);
    }

    bool OpenLockedReadWrite(const std::string& path, Handle& out, std::string* error) override {
        return OpenWithLock(path, O_RDWR, out, error);
    }

    bool Size(Handle h, std::uint64_t& size, std::string* error) override {
        struct stat st {};
        if (::fstat(h, &st) != 0) {
            SetError(error, "cannot query the file size");
            return false;
        }
        size = static_cast<std::uint64_t>(st.st_size);
        return true;
    }

    bool ReadAt(Handle h, std::uint64_t offset, std::span<std::uint8_t> out, std::string* error) override {
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
                if (error != nullptr) {
                    *error = "unexpected end of the file";
                }
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    bool WriteAt(Handle h, std::uint64_t offset, std::span<const std::uint8_t> data, std::string* error) override {
        std::size_t done = 0;
        while (done < data.size()) {
            const ssize_t n =
                ::pwrite(h, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                SetError(error, "write failed");
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    bool CreateNew(const std::string& path, const std::string& modeFrom, Handle& out,
                   std::string* error) override {
        out = kInvalid;
        mode_t mode = 0644;
        struct stat st {};
        if (!modeFrom.empty() && ::stat(modeFrom.c_str(), &st) == 0) {
            mode = st.st_mode & 07777;
        }
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd < 0) {
            SetError(error, "cannot create", path);
            return false;
        }
        out = fd;
        return true;
    }

    bool ReadAll(Handle h, std::vector<std::uint8_t>& out, std::string* error) override {
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

    bool Write(Handle h, std::span<const std::uint8_t> data, std::string* error) override {
        std::size_t done = 0;
        while (done < data.size()) {
            const ssize_t n = ::write(h, data.data() + done, data.size() - done);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                SetError(error, "write failed");
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    bool Flush(Handle h, std::string* error) override {
        if (::fsync(h) != 0) {
            SetError(error, "flush to disk failed");
            return false;
        }
        return true;
    }

    bool Close(Handle h, std::string* error) override {
        if (h == kInvalid) {
            return true;
        }
        if (::close(h) != 0) {
            SetError(error, "close failed");
            return false;
        }
        return true;
    }

    bool Rename(const std::string& from, const std::string& to, std::string* error) override {
        if (::rename(from.c_str(), to.c_str()) != 0) {
            SetError(error, "cannot replace", to);
            return false;
        }
        return true;
    }

    bool FlushFolderOf(const std::string& path, std::string* error) override {
        const std::string folder = FolderOf(path);
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            SetError(error, "cannot open folder", folder);
            return false;
        }
        const bool ok = ::fsync(fd) == 0;
        if (!ok) {
            SetError(error, "flush of folder failed", folder);
        }
        ::close(fd);
        return ok;
    }

    bool Remove(const std::string& path) override { return ::unlink(path.c_str()) == 0; }

    bool Exists(const std::string& path) override {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0;
    }

private:
    static bool OpenWithLock(const std::string& path, int flags, Handle& out, std::string* error) {
        out = kInvalid;
        const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
        if (fd < 0) {
            SetError(error, "cannot open", path);
            return false;
        }
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            if (error != nullptr) {
                *error = "not a regular file '" + path + "'";
            }
            ::close(fd);
            return false;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK) {
                if (error != nullptr) {
                    *error = "the file '" + path + "' is locked by another program";
                }
            } else {
                SetError(error, "cannot lock", path);
            }
            ::close(fd);
            return false;
        }
        out = fd;
        return true;
    }
};

FileIo* g_instance = nullptr;

}  // namespace

FileIo& SystemFileIo() {
    static PosixFileIo io;
    return io;
}

FileIo& FileIo::Instance() { return g_instance != nullptr ? *g_instance : SystemFileIo(); }

void FileIo::SetInstance(FileIo* io) { g_instance = io; }

}  // namespace lazrine::platform

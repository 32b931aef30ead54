#include "platform/InPlaceFileWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lazrine::platform {
namespace {

std::string Reason(const std::string& what, const std::string& path) {
    return what + " '" + path + "': " + std::strerror(errno);
}

}  // namespace

InPlaceFileWriter::~InPlaceFileWriter() {
    std::string ignored;
    Close(ignored);
}

bool InPlaceFileWriter::Open(const std::string& path, std::string& error) {
    std::string ignored;
    Close(ignored);
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        error = Reason("cannot open for writing", path);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "not a regular file '" + path + "'";
        ::close(fd);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? "the file '" + path + "' is locked by another program"
                                     : Reason("cannot lock", path);
        ::close(fd);
        return false;
    }
    m_nFd = fd;
    m_szPath = path;
    return true;
}

bool InPlaceFileWriter::Size(std::uint64_t& size, std::string& error) const {
    struct stat st {};
    if (m_nFd < 0 || ::fstat(m_nFd, &st) != 0) {
        error = m_nFd < 0 ? "no file is open" : Reason("cannot query the size of", m_szPath);
        return false;
    }
    size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool InPlaceFileWriter::ReadAll(std::vector<std::uint8_t>& out, std::string& error) const {
    std::uint64_t size = 0;
    if (!Size(size, error)) {
        return false;
    }
    out.assign(static_cast<std::size_t>(size), 0);
    return ReadAt(0, out, error);
}

bool InPlaceFileWriter::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out, std::string& error) const {
    if (m_nFd < 0) {
        error = "no file is open";
        return false;
    }
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::pread(m_nFd, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error = Reason("cannot read", m_szPath);
            return false;
        }
        if (n == 0) {
            error = "unexpected end of '" + m_szPath + "'";
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool InPlaceFileWriter::WriteAt(std::uint64_t offset, std::span<const std::uint8_t> data, std::string& error) {
    std::uint64_t size = 0;
    if (!Size(size, error)) {
        return false;
    }
    if (offset > size || data.size() > size - offset) {
        error = "a write would extend '" + m_szPath + "'";
        return false;
    }
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::pwrite(m_nFd, data.data() + done, data.size() - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = Reason("cannot write", m_szPath);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool InPlaceFileWriter::Flush(std::string& error) {
    if (m_nFd < 0) {
        error = "no file is open";
        return false;
    }
    if (::fsync(m_nFd) != 0) {
        error = Reason("cannot flush", m_szPath);
        return false;
    }
    return true;
}

bool InPlaceFileWriter::Close(std::string& error) {
    if (m_nFd < 0) {
        return true;
    }
    const int fd = m_nFd;
    m_nFd = -1;
    if (::close(fd) != 0) {
        error = Reason("cannot close", m_szPath);
        return false;
    }
    return true;
}

}  // namespace lazrine::platform

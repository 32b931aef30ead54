#include "support/ForeignLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lazrine::testing {

struct ForeignLock::Holder {
    pid_t nChild = -1;
    int nRelease = -1;  // closing it lets the child exit
};

ForeignLock::ForeignLock(const std::string& path, Kind kind, std::int64_t start, std::int64_t length)
    : m_pHolder(std::make_unique<Holder>()) {
    int ready[2] = {-1, -1};
    int release[2] = {-1, -1};
    if (::pipe(ready) != 0 || ::pipe(release) != 0) {
        return;
    }
    pid_t& child = m_pHolder->nChild;
    child = ::fork();
    if (child == 0) {
        // Only async-signal-safe calls until _exit.
        ::close(ready[0]);
        ::close(release[1]);
        const int fd = ::open(path.c_str(), kind == Kind::kRecordRead ? O_RDONLY : O_RDWR);
        bool ok = fd >= 0;
        if (ok && kind == Kind::kWholeFile) {
            ok = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
        } else if (ok) {
            struct flock lock {};
            lock.l_type = kind == Kind::kRecordRead ? F_RDLCK : F_WRLCK;
            lock.l_whence = SEEK_SET;
            lock.l_start = static_cast<off_t>(start);
            lock.l_len = static_cast<off_t>(length);
            ok = ::fcntl(fd, kind == Kind::kOpenFileWrite ? F_OFD_SETLK : F_SETLK, &lock) == 0;
        }
        const char answer = ok ? 'y' : 'n';
        (void)!::write(ready[1], &answer, 1);
        char ignored = 0;
        (void)!::read(release[0], &ignored, 1);
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    m_pHolder->nRelease = release[1];
    char answer = 'n';
    m_bHeld = child > 0 && ::read(ready[0], &answer, 1) == 1 && answer == 'y';
    ::close(ready[0]);
}

ForeignLock::~ForeignLock() {
    if (m_pHolder->nRelease >= 0) {
        ::close(m_pHolder->nRelease);
    }
    if (m_pHolder->nChild > 0) {
        int status = 0;
        ::waitpid(m_pHolder->nChild, &status, 0);
    }
}

}  // namespace lazrine::testing

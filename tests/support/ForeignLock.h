#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

namespace lazrine::testing {

// A lock on a file held by another process, as another program (Palm
// Desktop under Wine, a second copy of ours) would hold it, for the life of
// the object. Record locks of the same process never conflict with each
// other, so a forked child takes the lock and keeps it until released.
class ForeignLock {
public:
    enum class Kind {
        kRecordWrite,  // fcntl write lock on [start, start + length), 0 = to the end
        kRecordRead,   // fcntl read lock on that range
        kWholeFile,    // flock exclusive lock
    };

    ForeignLock(const std::string& path, Kind kind, std::int64_t start = 0, std::int64_t length = 0);
    ~ForeignLock();
    ForeignLock(const ForeignLock&) = delete;
    ForeignLock& operator=(const ForeignLock&) = delete;

    // True once the child holds the lock.
    bool Held() const { return m_bHeld; }

private:
    pid_t m_nChild = -1;
    int m_nRelease = -1;  // closing it lets the child exit
    bool m_bHeld = false;
};

}  // namespace lazrine::testing

#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace lazrine::testing {

// A lock on a file held by another program (Palm Desktop, a second copy of
// ours), for the life of the object. POSIX record locks of one process never
// conflict with each other, so there a forked child takes the lock and keeps
// it until released; Windows locks belong to a file handle, so there a
// handle of our own stands for the other program.
class ForeignLock {
public:
    enum class Kind {
        kRecordWrite,  // write (exclusive) lock on [start, start + length), 0 = to the end
        kRecordRead,   // read (shared) lock on that range
        kWholeFile,    // flock exclusive lock; on Windows the file open without sharing
        // Write lock on that range owned by the open file description (Linux
        // F_OFD_SETLK, as Samba and Wine take them); on Windows as kRecordWrite.
        kOpenFileWrite,
    };

    ForeignLock(const std::string& path, Kind kind, std::int64_t start = 0, std::int64_t length = 0);
    ~ForeignLock();
    ForeignLock(const ForeignLock&) = delete;
    ForeignLock& operator=(const ForeignLock&) = delete;

    // True once the lock is held.
    bool Held() const { return m_bHeld; }

private:
    struct Holder;  // what keeps the lock, per system
    std::unique_ptr<Holder> m_pHolder;
    bool m_bHeld = false;
};

}  // namespace lazrine::testing

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/IoError.h"

namespace lazrine::platform {

// The file operations the core needs, behind one seam so that tests can
// inject failures into any single step (a write, a flush, a rename) and so
// that another operating system can bind its own services.
//
// Every operation returns true on success; on failure it returns false and
// leaves the kind of failure and a human-readable reason in `error` (when
// given). Nothing throws.
class FileIo {
public:
    using Handle = int;
    static constexpr Handle kInvalid = -1;

    // What the file system says about one name or one open file.
    struct Facts {
        enum class Kind { kMissing, kRegular, kDirectory, kLink, kOther };
        Kind nKind = Kind::kMissing;
        std::uint64_t nSize = 0;
        std::int64_t nModifiedNs = 0;  // last modification, ns since 1970
        std::uint64_t nLinks = 0;      // names (hard links) of the file
        // Write permission for us, and not marked read-only for everyone.
        bool bWritable = false;
        // Which file this is: the volume and the file's number on it (device
        // and inode; volume serial and file index on Windows). A name that
        // still gives the identity of an open file still names that file,
        // not one renamed over it. 0 and 0 when unknown.
        std::uint64_t nVolume = 0;
        std::uint64_t nFileId = 0;

        bool IsSameFile(const Facts& other) const {
            return nFileId != 0 && nVolume == other.nVolume && nFileId == other.nFileId;
        }
    };

    // The reason every implementation gives, as IoFailure::kInUse, when
    // another program holds a lock on a file.
    static std::string InUseText(const std::string& path);

    virtual ~FileIo() = default;

    // Opens an existing file for reading and takes an exclusive, non-blocking
    // lock on it. Fails when the file is missing, unreadable, or in use by
    // another process: any whole-file lock, any record lock on any byte range
    // (which is how Windows file locks reach the file system under Wine), and
    // for a database "X.mdb" a lock file "X.ldb" beside it (any letter case)
    // on which another program holds a lock. The in-use failure is kInUse
    // with InUseText(path); a missing file is kMissing, a name that is not a
    // regular file kNotRegular. Failed writes and flushes are kWriteFailed.
    virtual bool OpenLocked(const std::string& path, Handle& out, IoError* error) = 0;
    // Creates a new file that must not exist yet (a link at its name is not
    // followed), for writing: mode 0644 less the process's mask, or, when
    // `modeFrom` exists, exactly its mode, owner and group; when these cannot
    // be given to the new file, nothing is created and the call fails.
    virtual bool CreateNew(const std::string& path, const std::string& modeFrom, Handle& out,
                           IoError* error) = 0;
    // Reads the whole rest of an open file.
    virtual bool ReadAll(Handle h, std::vector<std::uint8_t>& out, IoError* error) = 0;
    // Writes all bytes (retrying short writes).
    virtual bool Write(Handle h, std::span<const std::uint8_t> data, IoError* error) = 0;
    // Makes the written bytes durable.
    virtual bool Flush(Handle h, IoError* error) = 0;
    // Closes (and unlocks) a handle; closing kInvalid is a no-op.
    virtual bool Close(Handle h, IoError* error) = 0;
    // Atomically replaces `to` by `from`.
    virtual bool Rename(const std::string& from, const std::string& to, IoError* error) = 0;
    // Makes a completed rename in the folder of `path` durable.
    virtual bool FlushFolderOf(const std::string& path, IoError* error) = 0;
    // In-place access, for formats updated cell by cell: opens an existing
    // regular file for reading and writing under the same exclusive lock as
    // OpenLocked.
    virtual bool OpenLockedReadWrite(const std::string& path, Handle& out, IoError* error) = 0;
    virtual bool Size(Handle h, std::uint64_t& size, IoError* error) = 0;
    // Reads exactly out.size() bytes at `offset`; false past the end.
    virtual bool ReadAt(Handle h, std::uint64_t offset, std::span<std::uint8_t> out, IoError* error) = 0;
    // Writes all of `data` at `offset` (retrying short writes).
    virtual bool WriteAt(Handle h, std::uint64_t offset, std::span<const std::uint8_t> data,
                         IoError* error) = 0;
    // Removes the name `path` (a link itself, never what it points to).
    virtual bool Remove(const std::string& path) = 0;
    virtual bool Exists(const std::string& path) = 0;
    // Describes the name `path` itself, never following a link at it; a
    // missing name succeeds as Kind::kMissing.
    virtual bool Inspect(const std::string& path, Facts& out, IoError* error) = 0;
    // Describes an open file.
    virtual bool InspectOpen(Handle h, Facts& out, IoError* error) = 0;
    // The name of the file that `path` finally refers to, every link followed.
    virtual bool ResolveLinks(const std::string& path, std::string& target, IoError* error) = 0;
    // True where the system refuses to rename over a file that is open or
    // locked (Windows): a replacement then gives up its lock on the original
    // just before the rename and checks once more, under a fresh lock, that
    // nobody changed the file in the meantime (see AtomicFile).
    virtual bool ReleasesBeforeReplace() const { return false; }

    // Whether the name `path` (a link followed to its target) still names
    // the open file `h`, not one another program renamed over it or none;
    // `same` tells. False, with `error`, when that cannot be looked at.
    bool NamesOpenFile(const std::string& path, Handle h, bool& same, IoError* error);

    // The implementation in use; tests may install another one.
    static FileIo& Instance();
    // Installs `io` (not owned) as the instance; nullptr restores the default.
    static void SetInstance(FileIo* io);
};

// The operating system's own implementation.
FileIo& SystemFileIo();

}  // namespace lazrine::platform

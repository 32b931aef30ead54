#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lazrine::platform {

// The file operations the core needs, behind one seam so that tests can
// inject failures into any single step (a write, a flush, a rename) and so
// that another operating system can bind its own services.
//
// Every operation returns true on success; on failure it returns false and
// leaves a human-readable reason in `error` (when given). Nothing throws.
class FileIo {
public:
    using Handle = int;
    static constexpr Handle kInvalid = -1;

    virtual ~FileIo() = default;

    // Opens an existing file for reading and takes an exclusive, non-blocking
    // lock on it. Fails when the file is missing, unreadable, or locked by
    // another process.
    virtual bool OpenLocked(const std::string& path, Handle& out, std::string* error) = 0;
    // Creates a new file that must not exist yet, for writing (mode 0644 or the
    // mode of `modeFrom` when that file exists).
    virtual bool CreateNew(const std::string& path, const std::string& modeFrom, Handle& out,
                           std::string* error) = 0;
    // Reads the whole rest of an open file.
    virtual bool ReadAll(Handle h, std::vector<std::uint8_t>& out, std::string* error) = 0;
    // Writes all bytes (retrying short writes).
    virtual bool Write(Handle h, std::span<const std::uint8_t> data, std::string* error) = 0;
    // Makes the written bytes durable.
    virtual bool Flush(Handle h, std::string* error) = 0;
    // Closes (and unlocks) a handle; closing kInvalid is a no-op.
    virtual bool Close(Handle h, std::string* error) = 0;
    // Atomically replaces `to` by `from`.
    virtual bool Rename(const std::string& from, const std::string& to, std::string* error) = 0;
    // Makes a completed rename in the folder of `path` durable.
    virtual bool FlushFolderOf(const std::string& path, std::string* error) = 0;
    // In-place access, for formats updated cell by cell: opens an existing
    // regular file for reading and writing under the same exclusive lock as
    // OpenLocked.
    virtual bool OpenLockedReadWrite(const std::string& path, Handle& out, std::string* error) = 0;
    virtual bool Size(Handle h, std::uint64_t& size, std::string* error) = 0;
    // Reads exactly out.size() bytes at `offset`; false past the end.
    virtual bool ReadAt(Handle h, std::uint64_t offset, std::span<std::uint8_t> out, std::string* error) = 0;
    // Writes all of `data` at `offset` (retrying short writes).
    virtual bool WriteAt(Handle h, std::uint64_t offset, std::span<const std::uint8_t> data,
                         std::string* error) = 0;
    virtual bool Remove(const std::string& path) = 0;
    virtual bool Exists(const std::string& path) = 0;

    // The implementation in use; tests may install another one.
    static FileIo& Instance();
    // Installs `io` (not owned) as the instance; nullptr restores the default.
    static void SetInstance(FileIo* io);
};

// The operating system's own implementation.
FileIo& SystemFileIo();

}  // namespace lazrine::platform

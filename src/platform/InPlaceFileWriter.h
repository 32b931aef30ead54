#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/FileFingerprint.h"
#include "platform/FileIo.h"

namespace lazrine::platform {

// Changes a few bytes of an existing file where they stand, for formats that
// are updated cell by cell rather than rewritten whole. All access goes
// through the FileIo seam in use when the file is opened.
//
// Open() takes the file for reading and writing under an exclusive,
// non-blocking lock that is held until Close() or destruction, so that no
// other program changes the file between our check of its bytes and our write.
// It refuses a file in use by another program (see FileIo::OpenLocked) and a
// file marked read-only.
// Nothing is written except through WriteAt(); Flush() makes the written bytes
// durable. Every operation returns false with its kind and a reason in
// `error`; nothing throws.
class InPlaceFileWriter {
public:
    InPlaceFileWriter() = default;
    ~InPlaceFileWriter();
    InPlaceFileWriter(const InPlaceFileWriter&) = delete;
    InPlaceFileWriter& operator=(const InPlaceFileWriter&) = delete;

    bool Open(const std::string& path, IoError& error);
    bool IsOpen() const { return m_pIo != nullptr; }
    // The file's current size in bytes.
    bool Size(std::uint64_t& size, IoError& error) const;
    // Reads the whole file.
    bool ReadAll(std::vector<std::uint8_t>& out, IoError& error) const;
    // The fingerprint of the file as it is now, read in chunks.
    bool Fingerprint(FileFingerprint& out, IoError& error) const;
    // Makes sure the file has its backup (see AtomicFile::EnsureBackup),
    // copied from the file held open, which must match `expected`.
    bool EnsureBackup(const FileFingerprint& expected, IoError& error) const;
    // Reads exactly out.size() bytes at `offset`; false past the end.
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out, IoError& error) const;
    // Writes all of `data` at `offset`, which must lie inside the file: the
    // file is never extended.
    bool WriteAt(std::uint64_t offset, std::span<const std::uint8_t> data, IoError& error);
    bool Flush(IoError& error);
    bool Close(IoError& error);
    // True while the name the file was opened by (a link followed to its
    // target) still names the open file. False, with a reason, once the name
    // is gone or another file was renamed over it: a write would then land
    // in a file that nobody reaches by that name any more (kChangedSinceLoaded).
    bool StillNamed(IoError& error) const;

private:
    FileIo* m_pIo = nullptr;
    FileIo::Handle m_nHandle = FileIo::kInvalid;
    std::string m_szPath;
};

}  // namespace lazrine::platform

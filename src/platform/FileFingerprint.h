#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/FileIo.h"

struct XXH3_state_s;

namespace lazrine::platform {

// What a file held when it was read: its size, its modification time and a
// 64-bit hash of its bytes (XXH3). A save compares the fingerprint taken at
// load with one taken of the file as it is now, under the lock, and refuses
// when they differ, so that a change made by another program in between is
// never overwritten. Size and time catch an ordinary change cheaply; the
// hash catches one that kept both.
class FileFingerprint {
public:
    // Bytes hashed per read when a file is hashed where it lies, so that the
    // check never holds a second copy of a large file in memory.
    static constexpr std::size_t kChunk = 1u << 20;

    FileFingerprint() = default;

    // The fingerprint of `bytes`, read from a file that `facts` describe.
    static FileFingerprint Of(std::span<const std::uint8_t> bytes, const FileIo::Facts& facts);
    // The fingerprint of the open file `h` as it is now, read in chunks of
    // kChunk bytes from its start.
    static bool OfOpenFile(FileIo& io, FileIo::Handle h, FileFingerprint& out, IoError* error);

    // Takes the bytes of a file in pieces, in order, and gives the same
    // fingerprint Of() gives of them whole: a file written in pieces is
    // fingerprinted without a copy of all of it in memory.
    class Builder {
    public:
        Builder();
        ~Builder();
        Builder(const Builder&) = delete;
        Builder& operator=(const Builder&) = delete;

        void Add(std::span<const std::uint8_t> piece);
        // The fingerprint of every piece added, for the file `facts` describe.
        FileFingerprint Finish(const FileIo::Facts& facts) const;

    private:
        XXH3_state_s* m_pState;
        std::uint64_t m_nSize = 0;
    };

    // False for a default-constructed fingerprint: nothing was read.
    bool IsKnown() const { return m_bKnown; }
    std::uint64_t Size() const { return m_nSize; }
    std::uint64_t Hash() const { return m_nHash; }
    bool operator==(const FileFingerprint& other) const = default;

private:
    bool m_bKnown = false;
    std::uint64_t m_nSize = 0;
    std::int64_t m_nModifiedNs = 0;
    std::uint64_t m_nHash = 0;
};

}  // namespace lazrine::platform

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "platform/FileFingerprint.h"
#include "platform/FileIo.h"
#include "platform/IoError.h"

namespace lazrine::palm {

// The pages of one Jet database, served by number, without ever holding the
// whole file: either from bytes in memory or from the file itself.
//
// Load reads the file once, front to back in chunks, under the same lock a
// whole read takes, and keeps only what identifies that version of it: its
// fingerprint, its size and identity, and an XXH3-64 hash of every page.
// Every later read of a page opens the file under the lock again (or uses
// the handle Hold keeps open) and is checked against them: a file of another
// size or identity, or a page whose hash changed, fails as
// IoFailure::kChangedSinceLoaded with kChangedText, and from then on every
// read does, so bytes of two versions of the file are never combined. A file
// in use by another program fails as the lock reports it (kInUse). Between
// operations the file is not held open, so that Palm Desktop (which refuses
// a file another program has open on Windows) can open it meanwhile.
//
// A small cache keeps the last kCachePages pages read; they were verified
// when read, so they are of the loaded version too. A Page keeps its bytes
// alive while it lives, even once the cache has dropped them, so that a
// reader may hold several pages at once.
//
// While a mirror is set, every page served is also copied into it at
// its own offset: the file-sized buffer libmdb reads from then holds exactly
// the pages read through here.
class PmJetPages {
public:
    static constexpr std::size_t kCachePages = 32;
    static constexpr const char* kChangedText =
        "the database was changed by another program since it was loaded; load it again";

    struct Page {
        std::shared_ptr<const std::vector<std::uint8_t>> hold;
        std::span<const std::uint8_t> bytes;
    };

    PmJetPages() = default;
    ~PmJetPages();
    PmJetPages(const PmJetPages&) = delete;
    PmJetPages& operator=(const PmJetPages&) = delete;

    // Reads the file at `path` as described above.
    bool Load(const std::string& path, platform::IoError& error);
    // Serves `bytes`, which are kept, from memory.
    void Assign(std::vector<std::uint8_t> bytes);
    void Clear();

    bool InFile() const { return !m_szPath.empty(); }
    // The bytes of Assign, or nullptr for a file.
    std::uint8_t* Memory() { return InFile() ? nullptr : m_Memory.data(); }
    std::uint64_t Size() const { return m_nSize; }
    // 2048 for an Access 97 (Jet 3) file, by the version at offset 0x14 of
    // its first page as libmdb reads it, 4096 otherwise.
    std::size_t PageSize() const { return m_nPageSize; }
    std::size_t PageCount() const { return static_cast<std::size_t>(m_nSize / m_nPageSize); }
    // The fingerprint of the file as loaded (or as our own last write left it).
    platform::FileFingerprint& Loaded() { return m_Loaded; }

    // Page `n`: false when it lies outside the file, or when it cannot be
    // read as loaded (then Failed() tells why).
    bool Read(std::uint32_t n, Page& out) const;
    // Exactly out.size() bytes at `offset`, from verified pages.
    bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

    bool Failed() const { return m_Failure.nCode != platform::IoFailure::kNone; }
    const platform::IoError& Failure() const { return m_Failure; }
    // Forgets a failure, except that the file changed: that one stays.
    void ClearFailure() const;

    // Between Hold and the matching Release the file stays open and locked,
    // so that the pages of one operation are read under one lock. False when
    // closing it failed (then Failed() tells why).
    void Hold() const;
    bool Release() const;

    void MirrorInto(std::uint8_t* buffer) const;

    // Page `n` now holds `bytes`, written by us: its hash follows.
    void Replace(std::uint32_t n, std::span<const std::uint8_t> bytes);

private:
    // Reads page `n` into `page`, reusing its buffer when nothing else holds it.
    bool Fetch(std::uint32_t n, std::shared_ptr<std::vector<std::uint8_t>>& page) const;
    bool OpenFile() const;
    bool CloseFile() const;
    bool Fail(platform::IoError error) const;
    bool Changed() const;

    std::string m_szPath;
    std::vector<std::uint8_t> m_Memory;
    std::uint64_t m_nSize = 0;
    std::size_t m_nPageSize = 4096;
    platform::FileFingerprint m_Loaded;
    platform::FileIo::Facts m_Facts;
    std::vector<std::uint64_t> m_Hashes;

    struct Cached {
        std::uint32_t nPage = 0;
        std::uint64_t nUsed = 0;
        std::shared_ptr<std::vector<std::uint8_t>> bytes;
    };
    mutable std::vector<Cached> m_Cache;
    mutable std::uint64_t m_nTick = 0;
    mutable std::size_t m_nLast = 0;
    mutable platform::IoError m_Failure;
    mutable bool m_bChanged = false;
    mutable platform::FileIo* m_pIo = nullptr;
    mutable platform::FileIo::Handle m_nHandle = platform::FileIo::kInvalid;
    mutable int m_nHolds = 0;
    mutable std::uint8_t* m_pMirror = nullptr;
};

}  // namespace lazrine::palm

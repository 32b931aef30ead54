#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/FileFingerprint.h"
#include "platform/IoError.h"

namespace lazrine::palm {

// One cell change of a database: the bytes at a file offset, before and after.
struct PmJetPatch {
    std::uint64_t nOffset = 0;
    std::vector<std::uint8_t> before;
    std::vector<std::uint8_t> after;
};

// Writes the cell changes of one undelete into a database all or none, and
// puts back the cells of one that was interrupted.
//
// While cells are written, a rollback journal "<database>.lazrine-journal"
// lies beside the database. It is complete and durable before the first cell
// is written and removed only once every cell is flushed, so after a crash at
// any point either there is no journal and the database holds all of the
// change or none, or there is one that says how to take the change back.
//
// The journal, every number little-endian:
//   8 bytes  "LZJRNL\r\n"
//   4        version, 1
//   8        the database's size in bytes
//   4 + n    the database's file name (n bytes of UTF-8; the journal lies
//            beside it, so the two together name its path)
//   4        the number of cells, then for each cell:
//     8        its file offset
//     4        its length n (1 to kMaxCell bytes)
//     n        the bytes it held before
//     n        the bytes written
//   8        XXH3-64 of every byte before it
// A journal whose checksum does not match was torn while it was written,
// which was before any cell was touched.
class PmJetJournal {
public:
    static constexpr const char* kSuffix = ".lazrine-journal";
    static constexpr std::uint32_t kVersion = 1;
    static constexpr std::uint32_t kMaxCell = 16;

    static std::string PathOf(const std::string& database) { return database + kSuffix; }

    struct Contents {
        std::string szName;
        std::uint64_t nSize = 0;
        std::vector<PmJetPatch> cells;
    };
    static std::vector<std::uint8_t> Encode(const Contents& contents);
    enum class Decoded { kValid, kTorn, kNewer };
    // kTorn: not a complete journal (short, checksum wrong, malformed);
    // kNewer: a complete journal of a later version.
    static Decoded Decode(std::span<const std::uint8_t> bytes, Contents& out);

    // Writes `patches` (disjoint cells) into the database at `path`, which
    // must still be the file `loaded` describes (its fingerprint, taken again
    // in chunks: the file is never held whole): under an exclusive lock,
    // after the backup (copied in chunks from the locked file, and checked
    // against `loaded` too) and the journal; right before each cell is written, `path`
    // must still name the file held open and the cell must still hold its
    // bytes from before, and after the flush `path` must still name it,
    // else nothing is written. A failure after a cell was
    // written puts every touched cell back and removes the journal; when
    // even that fails, the journal stays for the next Recover and `error`
    // says so. A file or cell changed by another program is
    // kChangedSinceLoaded. On success `loaded` becomes the fingerprint of the
    // file as written, taken before the lock is given up (unknown when even
    // that read fails, so that a later write is refused).
    static bool Write(const std::string& path, platform::FileFingerprint& loaded,
                      std::span<const PmJetPatch> patches, platform::IoError& error);

    // Run before a database is read: when a journal lies beside `path`, puts
    // back the cells of the interrupted write it describes and removes it. A
    // torn journal and a leftover "<journal>.lazrine-new" are removed. False
    // with a reason naming the journal, and nothing changed, when the journal
    // does not fit the database (another name or size, or a cell that holds
    // neither its bytes from before nor the new ones: another program changed
    // the file since) or when the cells cannot be put back.
    static bool Recover(const std::string& path, platform::IoError& error);
};

}  // namespace lazrine::palm

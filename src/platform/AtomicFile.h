#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "platform/FileFingerprint.h"
#include "platform/IoError.h"

namespace lazrine::platform {

// Whole-file reading and crash-safe replacement of a data file.
//
// Replace() guarantees: the original file is never modified in place. The
// complete new content is written to a fresh file beside it, flushed to disk,
// and then renamed over the original in one step, so that after a crash or a
// failure at any step the original is either byte-identical or completely
// replaced. Before the first change to a file, a copy of the original is kept
// as "<file name>.lazrine.bak" beside it; an existing backup is never
// overwritten, and anything at that name that is not a regular file is
// refused rather than counted as a backup. No temporary file is left behind
// on failure; one left by an interrupted earlier save is removed (a link at
// its name is removed itself, never followed).
//
// What is replaced: a name that is a symbolic link is followed to its target,
// which is replaced in its own folder (temporary file and backup beside it),
// so the link stays and keeps pointing at the new content. Refused, with the
// file unchanged: a file with more than one name (hard links), which a rename
// would split; a file without write permission for us or marked read-only;
// a file in use by another program (see FileIo::OpenLocked); a file whose
// owner, group and mode cannot be given to its replacement.
class AtomicFile {
public:
    static constexpr const char* kBackupSuffix = ".lazrine.bak";
    static constexpr const char* kTempSuffix = ".lazrine-new";

    enum class Outcome {
        kUnchanged,           // refused or failed before the rename
        kReplaced,            // replaced and durable
        kReplacedNotDurable,  // renamed into place, but the folder flush failed
    };

    // Hands one piece of a file's new content on; false (with `error`) when
    // it could not be written.
    using PieceWriter = std::function<bool(std::span<const std::uint8_t> piece, std::string& error)>;
    // Produces a file's content piece by piece, in order, through `write`;
    // false (with `error`) to give up, which leaves the file unchanged.
    // Content produced in pieces is never held whole in memory.
    using Producer = std::function<bool(const PieceWriter& write, std::string& error)>;

    // Reads a whole existing file while holding an exclusive lock on it; the
    // lock is released before returning. False (with `error`) when the file is
    // missing, in use by another program or unreadable.
    static bool ReadWhole(const std::string& path, std::vector<std::uint8_t>& out, IoError& error);
    // The same, and `loaded` becomes the fingerprint of what was read.
    static bool ReadWhole(const std::string& path, std::vector<std::uint8_t>& out, FileFingerprint& loaded,
                          IoError& error);

    // Replaces the content of the existing file `path` by `content` as
    // described above. When `loaded` is known, the file must still match it,
    // checked under the lock right before anything is written (streamed, in
    // chunks), else nothing is written and `error` (kChangedSinceLoaded) says
    // the file "was changed by another program since it was loaded; reload
    // it". Once the new file
    // is in place `loaded` becomes its fingerprint, so a second save of the
    // same session is checked against what the first one wrote. `error` is set
    // for every outcome but kReplaced; kReplacedNotDurable gives the code
    // IoFailure::kReplacedNotDurable.
    static Outcome ReplaceLoaded(const std::string& path, std::span<const std::uint8_t> content,
                                 FileFingerprint& loaded, IoError& error);
    // The same with content made by `produce` while the original is locked,
    // after its check and its backup.
    static Outcome ReplaceLoaded(const std::string& path, const Producer& produce, FileFingerprint& loaded,
                                 IoError& error);
    // Replace without a fingerprint to check; true only for kReplaced.
    static bool Replace(const std::string& path, std::span<const std::uint8_t> content, IoError& error);

    // Writes a small file (settings) crash-safely the same way, creating it
    // when it does not exist yet; no backup is kept.
    static bool Store(const std::string& path, std::span<const std::uint8_t> content, IoError& error);

    // Writes a file that is output, not data (an export), crash-safely as
    // Store does, its content streamed from `produce` so that it is never
    // held whole in memory: creates `path` or replaces what is there, keeps
    // no backup. On a failure before the rename nothing is left behind and
    // an existing file is unchanged (kUnchanged); kReplacedNotDurable says
    // the new file is in place but its folder could not be flushed.
    static Outcome Produce(const std::string& path, const Producer& produce, IoError& error);
    // Makes sure "<target>.lazrine.bak" exists beside the file `path` refers
    // to, copying the open file `original` (the file at `path`, held locked)
    // into it in chunks when it does not: never a whole copy in memory. The
    // bytes copied must be those `expected` describes, else no backup takes
    // the name (kChangedSinceLoaded). Never overwrites an existing backup;
    // fails when something that is not a regular file holds the name.
    static bool EnsureBackup(const std::string& path, FileIo::Handle original, const FileFingerprint& expected,
                             IoError& error);

    static std::string BackupPathOf(const std::string& path) { return path + kBackupSuffix; }
};

}  // namespace lazrine::platform

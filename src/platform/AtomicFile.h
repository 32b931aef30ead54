#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lazrine::platform {

// Whole-file reading and crash-safe replacement of a data file.
//
// Replace() guarantees: the original file is never modified in place. The
// complete new content is written to a fresh file beside it, flushed to disk,
// and then renamed over the original in one step, so that after a crash or a
// failure at any step the original is either byte-identical or completely
// replaced. Before the first change to a file, a copy of the original is kept
// as "<file name>.lazrine.bak" beside it; an existing backup is never
// overwritten. No temporary file is left behind on failure.
class AtomicFile {
public:
    static constexpr const char* kBackupSuffix = ".lazrine.bak";
    static constexpr const char* kTempSuffix = ".lazrine-new";

    // Reads a whole existing file while holding an exclusive lock on it; the
    // lock is released before returning. False (with `error`) when the file is
    // missing, locked by another program or unreadable.
    static bool ReadWhole(const std::string& path, std::vector<std::uint8_t>& out, std::string& error);

    // Replaces the content of the existing file `path` by `content` as
    // described above. False (with `error`) when the file does not exist, is
    // locked, or any step fails; the original is then unchanged.
    static bool Replace(const std::string& path, std::span<const std::uint8_t> content, std::string& error);

    // Makes sure "<path>.lazrine.bak" exists, copying `original` into it when
    // it does not. Never overwrites an existing backup.
    static bool EnsureBackup(const std::string& path, std::span<const std::uint8_t> original,
                             std::string& error);

    static std::string BackupPathOf(const std::string& path) { return path + kBackupSuffix; }
};

}  // namespace lazrine::platform

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/palm/PmKindInfo.h"

namespace lazrine::session {

// The window's choices that outlive a run: which user is shown, per page
// whether all records or only the deleted ones are listed, per kind an
// explicitly named data file, and whether quitting asks first. Kept in
// section "Lazrine" of the private settings file.
struct OptionRec {
    static constexpr const char* kSection = "Lazrine";

    std::uint32_t nUserId = 0;
    // Per kind, in page order: list all records (1) or the deleted ones (0),
    // and the data file named instead of the user's (empty: none).
    std::array<std::uint8_t, palm::kPmKindCount> bAll{};
    std::array<std::string, palm::kPmKindCount> szFile;
    std::uint8_t bQuitRemind = 0;

    // Access by kind, or by page (0 contacts, 1 calendar, 2 tasks, 3 notes).
    std::uint8_t& AllFlag(int page) { return bAll.at(static_cast<std::size_t>(page)); }
    std::uint8_t AllFlag(int page) const { return bAll.at(static_cast<std::size_t>(page)); }
    std::string& FileOf(int page) { return szFile.at(static_cast<std::size_t>(page)); }
    const std::string& FileOf(int page) const { return szFile.at(static_cast<std::size_t>(page)); }
    std::uint8_t& AllFlag(palm::PmKind kind) { return AllFlag(static_cast<int>(kind)); }
    std::string& FileOf(palm::PmKind kind) { return FileOf(static_cast<int>(kind)); }
    const std::string& FileOf(palm::PmKind kind) const { return FileOf(static_cast<int>(kind)); }

    // True when `name` may be kept as a named file: it holds no line break
    // nor any other control character, which would read back from the
    // settings file as other keys or another name. Its length is not limited.
    static bool IsStorableFileName(const std::string& name);

    // Reads every key, in the order UserID, AddrAll, DateAll, TodoAll,
    // MemoAll, QuitRemind, AddrFile, DateFile, TodoFile, MemoFile; a missing
    // file or key gives its default (QuitRemind 1, everything else 0 or
    // empty); a nonzero flag reads as 1; a file name is read whole.
    static OptionRec Read(const std::string& file);
    // Writes every key, in the order UserID, AddrAll, DateAll, TodoAll,
    // MemoAll, AddrFile, DateFile, TodoFile, MemoFile, QuitRemind, keeping
    // every other section and key of the file. False when a write fails.
    bool Write(const std::string& file) const;
};

}  // namespace lazrine::session

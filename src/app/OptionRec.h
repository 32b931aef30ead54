#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lazrine::app {

// The window's choices that outlive a run: which user is shown, per page
// whether all records or only the deleted ones are listed, per kind an
// explicitly named data file, and whether quitting asks first. Kept in
// section "Lazrine" of the private settings file.
struct OptionRec {
    static constexpr const char* kSection = "Lazrine";

    std::uint32_t nUserId = 0;
    std::uint8_t bAddrAll = 0;
    std::uint8_t bDateAll = 0;
    std::uint8_t bTodoAll = 0;
    std::uint8_t bMemoAll = 0;
    std::string szAddrFile;
    std::string szDateFile;
    std::string szTodoFile;
    std::string szMemoFile;
    std::uint8_t bQuitRemind = 0;

    // Page-indexed access (0 contacts, 1 calendar, 2 tasks, 3 notes).
    std::uint8_t& AllFlag(int page);
    std::uint8_t AllFlag(int page) const;
    std::string& FileOf(int page);
    const std::string& FileOf(int page) const;

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

}  // namespace lazrine::app

#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>

namespace lazrine::exporting {

// Names the file of each memo exported into a folder, from the memo's first
// line: safe on every common file system (no path separators, no characters
// Windows forbids, no control characters, no leading dot, no trailing dot or
// blank, no device name such as "CON", at most kMaxStem bytes cut on a
// UTF-8 character boundary), "Memo" when nothing is left, and numbered
// "Name (2).txt", "Name (3).txt", ... when a name is taken already, by an
// earlier memo or by a file in the folder, compared without regard to
// letter case so that case-insensitive file systems never merge two memos.
class MemoFileNamer {
public:
    static constexpr std::size_t kMaxStem = 100;

    // `exists` tells whether a file name is taken in the folder already.
    explicit MemoFileNamer(std::function<bool(const std::string&)> exists) : m_exists(std::move(exists)) {}

    // The file name (with ".txt") for a memo with text `text`; each call
    // returns a name not returned before.
    std::string Next(std::string_view text);
    // The safe stem of a first line, before numbering.
    static std::string SafeStem(std::string_view text);

private:
    std::function<bool(const std::string&)> m_exists;
    std::set<std::string> m_Taken;  // folded to lower case
};

}  // namespace lazrine::exporting

#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>

namespace lazrine::platform {

// One registry hive as Wine saves it (user.reg for the current user,
// system.reg for the local machine): a "WINE REGISTRY Version 2" text of
// "[Key\\Path] stamp" sections with "name"=value lines.
//
// Read only. Any byte sequence is accepted: a text without the header is
// refused, lines that are not understood are skipped the way Wine skips them,
// and nothing is read past the given bytes. Strings are decoded from Wine's
// escapes (\\, \", \n, \xHHHH, octal) and kept as Windows-1252 text, the way
// the ANSI registry functions return them; characters the code page lacks
// become '?'.
class WineRegFile {
public:
    // Largest hive accepted; real ones are a few megabytes.
    static constexpr std::size_t kMaxBytes = 64u * 1024u * 1024u;

    // Parses `data`, replacing any earlier content. False when the bytes are
    // not a Wine registry text (no header, or too large).
    bool Parse(std::span<const std::uint8_t> data);
    // Reads and parses a hive file; false when it is missing, unreadable or
    // not a Wine registry text.
    bool LoadFile(const std::string& path);

    // True when the key (a path relative to the hive root, separated by
    // backslashes, any letter case) exists: written itself, or as the parent
    // of a written key.
    bool HasKey(std::string_view key) const;
    // The value `name` of `key` ("" or "@" for the default value) as text:
    // string kinds decoded to Windows-1252, other kinds as their raw bytes,
    // in both cases up to the first zero byte. False when absent.
    bool QueryValue(std::string_view key, std::string_view name, std::string& out) const;

    std::size_t KeyCount() const { return m_Keys.size(); }

private:
    using Values = std::map<std::string, std::string>;
    std::map<std::string, Values> m_Keys;  // lower-case key path -> lower-case value name -> data
};

}  // namespace lazrine::platform

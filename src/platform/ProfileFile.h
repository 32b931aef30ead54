#pragma once

#include <cstdint>
#include <string>

namespace lazrine::platform {

// Windows profile (INI) files, with the semantics of the Windows profile
// service: section and key names match without regard to letter case; a
// missing file, section or key yields the default; writing a key keeps every
// other section, key and line of the file as it was.
class ProfileFile {
public:
    // The value of `key` as text, or `fallback` when there is none.
    static std::string ReadString(const std::string& file, const std::string& section, const std::string& key,
                                  const std::string& fallback);
    // The value as an integer the way the profile service reads it: leading
    // blanks, an optional sign and the decimal digits that follow, taken
    // modulo 2^32 (so "-5" and "4294967291" give the same 32 bits); a value
    // without digits gives 0; a missing key gives `fallback`.
    static std::int32_t ReadInt(const std::string& file, const std::string& section, const std::string& key,
                                std::int32_t fallback);
    // Writes `value` into `key` of `section`, creating the file, section or
    // key when missing. The file is replaced crash-safely (see AtomicFile):
    // written whole beside the old one and renamed over it, never through a
    // link planted at the temporary name. False when the file cannot be
    // written, and for a name or value that would not read back as written
    // (a line end in it, a section name with ']', a key with '=' or ':').
    static bool WriteString(const std::string& file, const std::string& section, const std::string& key,
                            const std::string& value);
};

}  // namespace lazrine::platform

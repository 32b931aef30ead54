#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lazrine::platform {

// Text rules shared by the Wine-backed services: Palm Desktop's texts are
// single-byte Windows-1252 ("ANSI"), while Wine keeps registry strings as
// UTF-16 code units and host file names as UTF-8. Windows compares file names
// without regard to letter case.
class WineText {
public:
    // One UTF-16 code unit (or code point) as a Windows-1252 byte; false when
    // the code page has no such character.
    static bool CodePointToCp1252(std::uint32_t cp, char& out);
    // UTF-8 to Windows-1252. False (and `out` cleared) when the text is not
    // valid UTF-8 or holds a character the code page lacks.
    static bool Utf8ToCp1252(std::string_view text, std::string& out);
    // Equal when the texts differ at most in the letter case of ASCII letters.
    static bool EqualsNoCase(std::string_view a, std::string_view b);
    // ASCII letters lowered, every other byte kept.
    static std::string ToLowerAscii(std::string_view text);
};

}  // namespace lazrine::platform

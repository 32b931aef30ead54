#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lazrine::platform {

// Conversions between the record files' single-byte code page and UTF-8.
class TextCodec {
public:
    // Windows-1252 to UTF-8. The five bytes the code page leaves undefined
    // (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of the same
    // value, as Windows maps them, so the result is always valid UTF-8 and
    // converts back to the same bytes.
    static std::string Cp1252ToUtf8(std::string_view text);
    // UTF-8 to Windows-1252. False (and `out` cleared) when the text is not
    // valid UTF-8 (overlong forms and surrogates included) or holds a
    // character the code page lacks (U+0081, U+008D, U+008F, U+0090 and
    // U+009D become their bytes).
    static bool Utf8ToCp1252(std::string_view text, std::string& out);
    // One Unicode code point as a Windows-1252 byte; false when the code
    // page has no such character.
    static bool CodePointToCp1252(std::uint32_t cp, char& out);
    // Shift-JIS (code page 932, as Japanese handhelds write it) to UTF-8.
    // False (and `out` cleared) when the text is not valid Shift-JIS.
    static bool ShiftJisToUtf8(std::string_view text, std::string& out);
    // True when every byte is below 0x80: the text reads the same in either
    // encoding.
    static bool IsAscii(std::string_view text) {
        for (const char c : text) {
            if (static_cast<unsigned char>(c) >= 0x80) {
                return false;
            }
        }
        return true;
    }
};

}  // namespace lazrine::platform

#pragma once

#include <string>
#include <string_view>

namespace lazrine::platform {

// Text at the Windows API: Lazrine holds paths and texts in UTF-8 and hands
// them to the wide-character functions as UTF-16.
class WideText {
public:
    // False for text that is not valid UTF-8 or holds a zero character.
    static bool FromUtf8(std::string_view text, std::wstring& out);
    // UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
    static std::string ToUtf8(std::wstring_view text);
    // UTF-16 to Windows-1252, characters the code page lacks as '?', the way
    // the ANSI functions of Windows return text.
    static std::string ToCp1252(std::wstring_view text);
    // The system's message for an error code, as UTF-8 without a line end.
    static std::string ErrorMessage(unsigned long code);
};

}  // namespace lazrine::platform

#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace lazrine::win {

// Texts at the window's boundary: the session layer speaks UTF-8, the
// controls UTF-16.
class WinText {
public:
    // UTF-8 as UTF-16; a byte that is not UTF-8 shows as U+FFFD rather than
    // losing the rest of the text.
    static std::wstring Wide(std::string_view utf8);
    static std::string Utf8(std::wstring_view wide);
    // A list cell: line breaks (CR LF as one) become spaces, so that a note
    // of several lines stays on its row.
    static std::wstring SingleLine(std::wstring text);
    // The text a control holds.
    static std::wstring Of(HWND window);
};

}  // namespace lazrine::win

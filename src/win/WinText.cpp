#include "win/WinText.h"

#include <climits>

#include "platform/windows/WideText.h"

namespace lazrine::win {

std::wstring WinText::Wide(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int size = static_cast<int>(utf8.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    if (n <= 0) {
        return {};
    }
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, out.data(), n);
    return out;
}

std::string WinText::Utf8(std::wstring_view wide) { return platform::WideText::ToUtf8(wide); }

std::wstring WinText::SingleLine(std::wstring text) {
    std::wstring line;
    line.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
            continue;
        }
        const bool lineBreak = c == L'\r' || c == L'\n' || c == 0x2028 || c == 0x2029;
        line.push_back(lineBreak ? L' ' : c);
    }
    return line;
}

std::wstring WinText::Of(HWND hwnd) {
    const int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return text;
}

}  // namespace lazrine::win

#include "platform/windows/WideText.h"

#include <windows.h>

#include <climits>

namespace lazrine::platform {

bool WideText::FromUtf8(std::string_view text, std::wstring& out) {
    out.clear();
    if (text.empty()) {
        return true;
    }
    if (text.find('\0') != std::string_view::npos || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return false;
    }
    const int size = static_cast<int>(text.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (n <= 0) {
        return false;
    }
    out.resize(static_cast<std::size_t>(n));
    if (::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), size, out.data(), n) != n) {
        out.clear();
        return false;
    }
    return true;
}

namespace {

std::string FromWide(UINT codePage, std::wstring_view text, const char* fallback) {
    if (text.empty() || text.size() > static_cast<std::size_t>(INT_MAX)) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int n = ::WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, fallback, nullptr);
    if (n <= 0) {
        return {};
    }
    std::string out(static_cast<std::size_t>(n), '\0');
    if (::WideCharToMultiByte(codePage, 0, text.data(), size, out.data(), n, fallback, nullptr) != n) {
        return {};
    }
    return out;
}

}  // namespace

std::string WideText::ToUtf8(std::wstring_view text) { return FromWide(CP_UTF8, text, nullptr); }

std::string WideText::ToCp1252(std::wstring_view text) { return FromWide(1252, text, "?"); }

std::string WideText::ErrorMessage(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string message;
    if (n > 0 && buffer != nullptr) {
        message = ToUtf8(std::wstring_view(buffer, n));
    }
    if (buffer != nullptr) {
        ::LocalFree(buffer);
    }
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                                message.back() == '.')) {
        message.pop_back();
    }
    if (message.empty()) {
        message = "Windows error " + std::to_string(code);
    }
    return message;
}

}  // namespace lazrine::platform

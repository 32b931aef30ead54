#include "platform/TextCodec.h"

#include <windows.h>

#include <climits>

#include "platform/windows/WideText.h"

namespace lazrine::platform {
namespace {

constexpr UINT kCp1252 = 1252;

// The five bytes Windows-1252 leaves undefined. Windows maps each to the C1
// control of the same value (0x81 to U+0081) and back; the codec does so
// itself, on every system alike, so that no stored byte is lost.
bool IsUndefined(unsigned char byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

}  // namespace

std::string TextCodec::Cp1252ToUtf8(std::string_view text) {
    if (IsAscii(text)) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out.push_back(c);
            continue;
        }
        wchar_t wide = static_cast<wchar_t>(byte);
        if (!IsUndefined(byte) && ::MultiByteToWideChar(kCp1252, 0, &c, 1, &wide, 1) != 1) {
            out += "\xEF\xBF\xBD";
            continue;
        }
        out += WideText::ToUtf8(std::wstring_view(&wide, 1));
    }
    return out;
}

bool TextCodec::Utf8ToCp1252(std::string_view text, std::string& out) {
    out.clear();
    if (IsAscii(text)) {
        out.assign(text);
        return true;
    }
    std::wstring wide;
    if (!WideText::FromUtf8(text, wide) || wide.size() > static_cast<std::size_t>(INT_MAX)) {
        return false;
    }
    const int size = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    const int n =
        ::WideCharToMultiByte(kCp1252, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) {
        return false;
    }
    std::string bytes(static_cast<std::size_t>(n), '\0');
    if (::WideCharToMultiByte(kCp1252, WC_NO_BEST_FIT_CHARS, wide.data(), size, bytes.data(), n, nullptr,
                              &usedDefault) != n ||
        usedDefault) {
        return false;
    }
    // Windows maps U+0081, U+008D, U+008F, U+0090 and U+009D to the bytes
    // of the same value, the reverse of Cp1252ToUtf8.
    out = std::move(bytes);
    return true;
}

bool TextCodec::ShiftJisToUtf8(std::string_view text, std::string& out) {
    out.clear();
    if (IsAscii(text)) {
        out.assign(text);
        return true;
    }
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        return false;
    }
    constexpr UINT kShiftJis = 932;
    const int size = static_cast<int>(text.size());
    const int needed = ::MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (needed <= 0) {
        return false;
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (::MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(), needed) != needed) {
        return false;
    }
    out = WideText::ToUtf8(wide);
    return true;
}

bool TextCodec::CodePointToCp1252(std::uint32_t cp, char& out) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        out = static_cast<char>(static_cast<unsigned char>(cp));
        return true;
    }
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return false;
    }
    std::wstring wide;
    if (cp < 0x10000) {
        wide.push_back(static_cast<wchar_t>(cp));
    } else {
        wide.push_back(static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10)));
        wide.push_back(static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
    std::string single;
    if (!Utf8ToCp1252(WideText::ToUtf8(wide), single) || single.size() != 1) {
        return false;
    }
    out = single[0];
    return true;
}

}  // namespace lazrine::platform

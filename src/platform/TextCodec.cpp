#include "platform/TextCodec.h"

#include <cerrno>
#include <iconv.h>

#include <string>

namespace lazrine::platform {
namespace {

// The five bytes Windows-1252 leaves undefined. Windows maps each to the C1
// control of the same value (0x81 to U+0081) and back, and so does this
// codec, so that no stored byte is lost on its way to UTF-8.
bool IsUndefined(unsigned char byte) {
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// Owns one iconv descriptor.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(::iconv_open(to, from)) {}
    ~Converter() {
        if (Valid()) {
            ::iconv_close(m_cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts `text`, appending to `out`. At a sequence the converter does
    // not take, `onStop(in, inLeft, out)` decides: it consumes what it takes
    // and returns true to go on, or false to give up (then so does Run).
    template <class OnStop>
    bool Run(std::string_view text, std::string& out, OnStop onStop) {
        char* in = const_cast<char*>(text.data());
        std::size_t inLeft = text.size();
        char buffer[4096];
        while (inLeft > 0) {
            char* outPtr = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t rc = ::iconv(m_cd, &in, &inLeft, &outPtr, &outLeft);
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
            if (rc == static_cast<std::size_t>(-1) && errno != E2BIG && !onStop(in, inLeft, out)) {
                return false;
            }
        }
        return true;
    }

private:
    iconv_t m_cd;
};

}  // namespace

std::string TextCodec::Cp1252ToUtf8(std::string_view text) {
    if (IsAscii(text)) {
        return std::string(text);
    }
    std::string out;
    Converter conv("UTF-8", "WINDOWS-1252");
    out.reserve(text.size() + text.size() / 4);
    if (!conv.Valid()) {
        // Without a converter, keep ASCII and mark the rest.
        for (const char c : text) {
            if (static_cast<unsigned char>(c) < 0x80) {
                out.push_back(c);
            } else if (IsUndefined(static_cast<unsigned char>(c))) {
                out += std::string{'\xC2', c};
            } else {
                out += "\xEF\xBF\xBD";
            }
        }
        return out;
    }
    conv.Run(text, out, [](char*& in, std::size_t& inLeft, std::string& to) {
        // A byte the code page leaves undefined: its C1 control.
        const auto byte = static_cast<unsigned char>(*in);
        to += IsUndefined(byte) ? std::string{'\xC2', *in} : std::string("\xEF\xBF\xBD");
        ++in;
        --inLeft;
        return true;
    });
    return out;
}

bool TextCodec::Utf8ToCp1252(std::string_view text, std::string& out) {
    out.clear();
    if (IsAscii(text)) {
        out.assign(text);
        return true;
    }
    Converter conv("WINDOWS-1252", "UTF-8");
    if (!conv.Valid()) {
        return false;
    }
    out.reserve(text.size());
    const bool ok = conv.Run(text, out, [](char*& in, std::size_t& inLeft, std::string& to) {
        // The C1 control of an undefined byte is that byte; anything else is
        // invalid UTF-8 or a character the code page lacks.
        if (inLeft < 2 || in[0] != '\xC2' || !IsUndefined(static_cast<unsigned char>(in[1]))) {
            return false;
        }
        to.push_back(in[1]);
        in += 2;
        inLeft -= 2;
        return true;
    });
    if (!ok) {
        out.clear();
    }
    return ok;
}

bool TextCodec::ShiftJisToUtf8(std::string_view text, std::string& out) {
    out.clear();
    if (IsAscii(text)) {
        out.assign(text);
        return true;
    }
    Converter conv("UTF-8", "CP932");
    if (!conv.Valid()) {
        return false;
    }
    out.reserve(text.size() * 3 / 2);
    // An invalid or cut-off sequence fails the whole text.
    if (!conv.Run(text, out, [](char*&, std::size_t&, std::string&) { return false; })) {
        out.clear();
        return false;
    }
    return true;
}

bool TextCodec::CodePointToCp1252(std::uint32_t cp, char& out) {
    // ASCII and U+00A0..U+00FF keep their values in the code page.
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        out = static_cast<char>(static_cast<unsigned char>(cp));
        return true;
    }
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return false;
    }
    std::string utf8;
    if (cp < 0x800) {
        utf8 = {static_cast<char>(0xC0 | (cp >> 6)), static_cast<char>(0x80 | (cp & 0x3F))};
    } else if (cp < 0x10000) {
        utf8 = {static_cast<char>(0xE0 | (cp >> 12)), static_cast<char>(0x80 | ((cp >> 6) & 0x3F)),
                static_cast<char>(0x80 | (cp & 0x3F))};
    } else {
        utf8 = {static_cast<char>(0xF0 | (cp >> 18)), static_cast<char>(0x80 | ((cp >> 12) & 0x3F)),
                static_cast<char>(0x80 | ((cp >> 6) & 0x3F)), static_cast<char>(0x80 | (cp & 0x3F))};
    }
    std::string single;
    if (!Utf8ToCp1252(utf8, single) || single.size() != 1) {
        return false;
    }
    out = single[0];
    return true;
}

}  // namespace lazrine::platform

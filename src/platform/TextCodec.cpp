#include "platform/TextCodec.h"

#include <cerrno>
#include <iconv.h>

namespace lazrine::platform {
namespace {

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
    iconv_t Get() const { return m_cd; }

private:
    iconv_t m_cd;
};

}  // namespace

std::string TextCodec::Cp1252ToUtf8(std::string_view text) {
    std::string out;
    if (text.empty()) {
        return out;
    }
    Converter conv("UTF-8", "WINDOWS-1252");
    out.reserve(text.size() + text.size() / 4);
    if (!conv.Valid()) {
        // Without a converter, keep ASCII and mark the rest.
        for (const char c : text) {
            if (static_cast<unsigned char>(c) < 0x80) {
                out.push_back(c);
            } else {
                out += "\xEF\xBF\xBD";
            }
        }
        return out;
    }
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = ::iconv(conv.Get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // A byte the code page leaves undefined.
            out += "\xEF\xBF\xBD";
            ++in;
            --inLeft;
        }
    }
    return out;
}

}  // namespace lazrine::platform

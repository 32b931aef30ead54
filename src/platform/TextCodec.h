#pragma once

#include <string>
#include <string_view>

namespace lazrine::platform {

// Conversions between the record files' single-byte code page and UTF-8.
class TextCodec {
public:
    // Windows-1252 to UTF-8. The five bytes the code page leaves undefined
    // become U+FFFD, so the result is always valid UTF-8.
    static std::string Cp1252ToUtf8(std::string_view text);
};

}  // namespace lazrine::platform

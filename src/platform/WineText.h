#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lazrine::platform {

// Text rules shared by the Wine-backed services: Windows compares file names
// without regard to letter case. (Code page conversions are TextCodec's.)
class WineText {
public:
    // Equal when the texts differ at most in the letter case of ASCII letters.
    static bool EqualsNoCase(std::string_view a, std::string_view b);
    // ASCII letters lowered, every other byte kept.
    static std::string ToLowerAscii(std::string_view text);
};

}  // namespace lazrine::platform

#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace lazrine::palm {

// Texts of Jet 4 databases: UTF-16LE, optionally in the "compressed" form
// that starts with the bytes FF FE and then switches at every zero byte
// between one byte per character (the low byte, high byte zero) and two.
class PmJetText {
public:
    // The text as UTF-8. Surrogate pairs are joined; an unpaired surrogate
    // and a final odd byte become U+FFFD. Reads nothing outside `bytes`.
    static std::string ToUtf8(std::span<const std::uint8_t> bytes);
    // Appends the UTF-8 form of one code point.
    static void AppendUtf8(std::uint32_t codePoint, std::string& out);
};

}  // namespace lazrine::palm

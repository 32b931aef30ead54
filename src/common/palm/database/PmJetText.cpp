#include "common/palm/database/PmJetText.h"

#include <algorithm>
#include <vector>

namespace lazrine::palm {
namespace {

// AppendUtf8 into room already made: at most 4 bytes at `out`; returns the
// end of what it wrote.
char* PutUtf8(std::uint32_t cp, char* out) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        cp = 0xFFFD;
    }
    if (cp < 0x80) {
        *out++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *out++ = static_cast<char>(0xC0 | (cp >> 6));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = static_cast<char>(0xE0 | (cp >> 12));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *out++ = static_cast<char>(0xF0 | (cp >> 18));
        *out++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *out++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *out++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

}  // namespace

void PmJetText::AppendUtf8(std::uint32_t cp, std::string& out) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        cp = 0xFFFD;
    }
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string PmJetText::ToUtf8(std::span<const std::uint8_t> bytes) {
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        // The usual cell: compressed text of ASCII characters alone, which
        // is its own UTF-8 (a zero byte would switch the compression).
        const auto body = bytes.subspan(2);
        if (std::all_of(body.begin(), body.end(), [](std::uint8_t b) { return b != 0 && b < 0x80; })) {
            return std::string(body.begin(), body.end());
        }
    }
    if (bytes.size() % 2 == 0 && !(bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)) {
        // Plain UTF-16 of ASCII characters alone: every low byte is its
        // character.
        bool ascii = true;
        for (std::size_t i = 0; ascii && i < bytes.size(); i += 2) {
            ascii = bytes[i] < 0x80 && bytes[i + 1] == 0;
        }
        if (ascii) {
            std::string out(bytes.size() / 2, '\0');
            for (std::size_t i = 0; i < out.size(); ++i) {
                out[i] = static_cast<char>(bytes[2 * i]);
            }
            return out;
        }
    }
    std::vector<std::uint16_t> units;
    units.reserve(bytes.size());
    bool oddByte = false;
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        bool compressed = true;
        std::size_t i = 2;
        while (i < bytes.size()) {
            if (bytes[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                units.push_back(bytes[i]);
                ++i;
            } else if (i + 1 < bytes.size()) {
                units.push_back(static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
                i += 2;
            } else {
                oddByte = true;
                break;
            }
        }
    } else {
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            units.push_back(static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8)));
        }
        oddByte = bytes.size() % 2 != 0;
    }
    // Written twice: once into a scratch buffer to learn the length, so that
    // the text is allocated once at its size (the stores keep it), then for
    // real.
    const auto put = [&units, oddByte](char* at, bool count) {
        char scratch[4];
        char* const start = at;
        std::size_t length = 0;
        for (std::size_t i = 0; i < units.size(); ++i) {
            const std::uint32_t u = units[i];
            std::uint32_t cp = u;
            if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                units[i + 1] <= 0xDFFF) {
                cp = 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00);
                ++i;
            }
            if (count) {
                length += static_cast<std::size_t>(PutUtf8(cp, scratch) - scratch);
            } else {
                at = PutUtf8(cp, at);
            }
        }
        if (oddByte) {
            length += 3;
            if (!count) {
                at = PutUtf8(0xFFFD, at);
            }
        }
        return count ? length : static_cast<std::size_t>(at - start);
    };
    std::string out(put(nullptr, true), '\0');
    put(out.data(), false);
    return out;
}

}  // namespace lazrine::palm

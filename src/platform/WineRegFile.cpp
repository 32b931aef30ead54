#include "platform/WineRegFile.h"

#include <fstream>
#include <vector>

#include "platform/HostFolder.h"
#include "platform/TextCodec.h"
#include "platform/WineText.h"

namespace lazrine::platform {
namespace {

constexpr std::string_view kHeader = "WINE REGISTRY Version 2";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

void AppendCodePoint(std::uint32_t cp, std::string& out) {
    char c = 0;
    out.push_back(TextCodec::CodePointToCp1252(cp, c) ? c : '?');
}

// Decodes an escaped string starting at `pos` (just after the opening quote,
// or at the first character of a key name) up to the unescaped `end`
// character. On success `pos` is just past `end`.
bool Unescape(std::string_view line, std::size_t& pos, char end, std::string& out) {
    out.clear();
    std::string raw;  // a run of unescaped bytes, decoded as UTF-8 when valid
    const auto flushRaw = [&] {
        if (raw.empty()) {
            return;
        }
        std::string converted;
        if (TextCodec::Utf8ToCp1252(raw, converted)) {
            out += converted;
        } else {
            // Not UTF-8: Wine takes such bytes one by one as code points.
            for (const char c : raw) {
                AppendCodePoint(static_cast<unsigned char>(c), out);
            }
        }
        raw.clear();
    };
    while (pos < line.size()) {
        const char c = line[pos];
        if (c == end) {
            flushRaw();
            ++pos;
            return true;
        }
        if (c != '\\') {
            raw.push_back(c);
            ++pos;
            continue;
        }
        flushRaw();
        ++pos;
        if (pos >= line.size()) {
            return false;
        }
        const char e = line[pos++];
        switch (e) {
            case 'a': out.push_back('\a'); break;
            case 'b': out.push_back('\b'); break;
            case 'e': out.push_back('\x1B'); break;
            case 'f': out.push_back('\f'); break;
            case 'n': out.push_back('\n'); break;
            case 'r': out.push_back('\r'); break;
            case 't': out.push_back('\t'); break;
            case 'v': out.push_back('\v'); break;
            case 'x': {
                std::uint32_t cp = 0;
                int digits = 0;
                while (digits < 4 && pos < line.size() && HexDigit(line[pos]) >= 0) {
                    cp = cp * 16u + static_cast<std::uint32_t>(HexDigit(line[pos]));
                    ++pos;
                    ++digits;
                }
                if (digits == 0) {
                    out.push_back('x');
                } else {
                    AppendCodePoint(cp, out);
                }
                break;
            }
            default:
                if (e >= '0' && e <= '7') {
                    std::uint32_t cp = static_cast<std::uint32_t>(e - '0');
                    int digits = 1;
                    while (digits < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7') {
                        cp = cp * 8u + static_cast<std::uint32_t>(line[pos] - '0');
                        ++pos;
                        ++digits;
                    }
                    AppendCodePoint(cp, out);
                } else {
                    out.push_back(e);  // \\ and \" and anything else: the character itself
                }
                break;
        }
    }
    return false;
}

// "hex:" or "hex(N):" data: comma-separated byte pairs.
bool ParseHexBytes(std::string_view text, std::string& out) {
    out.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ',' || c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (i + 1 >= text.size() || HexDigit(c) < 0 || HexDigit(text[i + 1]) < 0) {
            return false;
        }
        out.push_back(static_cast<char>(HexDigit(c) * 16 + HexDigit(text[i + 1])));
        i += 2;
    }
    return true;
}

std::string Utf16LeToText(const std::string& bytes) {
    std::string out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const std::uint32_t unit = static_cast<unsigned char>(bytes[i]) |
                                   (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
        if (unit == 0) {
            break;
        }
        AppendCodePoint(unit, out);
    }
    return out;
}

// The data part of a value line, after '='; false when not understood.
bool ParseData(std::string_view data, std::string& out) {
    if (!data.empty() && data.front() == '"') {
        std::size_t pos = 1;
        return Unescape(data, pos, '"', out);
    }
    if (data.starts_with("str(")) {
        const std::size_t quote = data.find(":\"");
        if (quote == std::string_view::npos) {
            return false;
        }
        std::size_t pos = quote + 2;
        return Unescape(data, pos, '"', out);
    }
    if (data.starts_with("dword:")) {
        const std::string_view digits = data.substr(6);
        std::uint32_t v = 0;
        if (digits.size() < 8) {
            return false;
        }
        for (std::size_t i = 0; i < 8; ++i) {
            const int d = HexDigit(digits[i]);
            if (d < 0) {
                return false;
            }
            v = v * 16u + static_cast<std::uint32_t>(d);
        }
        out.clear();
        for (int i = 0; i < 4; ++i) {
            out.push_back(static_cast<char>((v >> (8 * i)) & 0xFFu));
        }
        return true;
    }
    if (data.starts_with("hex")) {
        const std::size_t colon = data.find(':');
        if (colon == std::string_view::npos) {
            return false;
        }
        std::uint32_t type = 3;  // REG_BINARY
        if (data.size() > 4 && data[3] == '(') {
            type = 0;
            for (std::size_t i = 4; i < colon && data[i] != ')'; ++i) {
                const int d = HexDigit(data[i]);
                if (d < 0 || type > 0xFFFFu) {
                    return false;
                }
                type = type * 16u + static_cast<std::uint32_t>(d);
            }
        }
        std::string bytes;
        if (!ParseHexBytes(data.substr(colon + 1), bytes)) {
            return false;
        }
        // REG_SZ, REG_EXPAND_SZ and REG_MULTI_SZ hold UTF-16 text.
        out = (type == 1 || type == 2 || type == 7) ? Utf16LeToText(bytes) : bytes;
        return true;
    }
    return false;
}

std::string CutAtZero(const std::string& text) { return text.substr(0, text.find('\0')); }

}  // namespace

bool WineRegFile::Parse(std::span<const std::uint8_t> data) {
    m_Keys.clear();
    if (data.size() > kMaxBytes) {
        return false;
    }
    const std::string_view all(reinterpret_cast<const char*>(data.data()), data.size());
    if (!all.starts_with(kHeader)) {
        return false;
    }
    Values* current = nullptr;
    std::size_t pos = 0;
    std::string pending;  // a value line continued with a trailing backslash
    while (pos < all.size()) {
        std::size_t eol = all.find('\n', pos);
        if (eol == std::string_view::npos) {
            eol = all.size();
        }
        std::string_view line = all.substr(pos, eol - pos);
        pos = eol + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        std::string joined;
        if (!pending.empty()) {
            // Continuation lines are appended in place, so a long value costs
            // linear time.
            const std::size_t first = line.find_first_not_of(" \t");
            if (first != std::string_view::npos) {
                pending.append(line.substr(first));
            }
            if (!pending.empty() && pending.back() == '\\') {
                pending.pop_back();
                continue;
            }
            joined = std::move(pending);
            pending.clear();
            line = joined;
        }
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            std::size_t p = 1;
            std::string key;
            if (!Unescape(line, p, ']', key)) {
                current = nullptr;
                continue;
            }
            current = &m_Keys[WineText::ToLowerAscii(key)];
            continue;
        }
        if (current == nullptr || (line.front() != '"' && line.front() != '@')) {
            continue;
        }
        // Hex data may continue on the next line.
        if (line.back() == '\\' && line.find("=hex") != std::string_view::npos) {
            pending.assign(line.substr(0, line.size() - 1));
            continue;
        }
        std::string name;
        std::size_t p = 0;
        if (line.front() == '@') {
            p = 1;
        } else {
            p = 1;
            if (!Unescape(line, p, '"', name)) {
                continue;
            }
        }
        if (p >= line.size() || line[p] != '=') {
            continue;
        }
        std::string value;
        if (ParseData(line.substr(p + 1), value)) {
            (*current)[WineText::ToLowerAscii(name)] = std::move(value);
        }
    }
    return true;
}

bool WineRegFile::LoadFile(const std::string& path) {
    m_Keys.clear();
    // A FIFO or device at the name would block the read or never end.
    if (!HostFolder::IsFile(path)) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::vector<std::uint8_t> bytes;
    char buffer[65536];
    while (in) {
        in.read(buffer, sizeof buffer);
        const auto got = static_cast<std::size_t>(in.gcount());
        if (bytes.size() + got > kMaxBytes) {
            return false;
        }
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    if (in.bad()) {
        return false;
    }
    return Parse(bytes);
}

bool WineRegFile::HasKey(std::string_view key) const {
    const std::string lower = WineText::ToLowerAscii(key);
    if (lower.empty() || m_Keys.count(lower) != 0) {
        return true;
    }
    // A key that only has subkeys is not always written itself.
    const std::string parent = lower + "\\";
    const auto child = m_Keys.lower_bound(parent);
    return child != m_Keys.end() && child->first.starts_with(parent);
}

bool WineRegFile::QueryValue(std::string_view key, std::string_view name, std::string& out) const {
    const auto k = m_Keys.find(WineText::ToLowerAscii(key));
    if (k == m_Keys.end()) {
        return false;
    }
    const std::string valueName = name == "@" ? std::string() : WineText::ToLowerAscii(name);
    const auto v = k->second.find(valueName);
    if (v == k->second.end()) {
        return false;
    }
    out = CutAtZero(v->second);
    return true;
}

}  // namespace lazrine::platform

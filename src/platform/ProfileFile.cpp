#include "platform/ProfileFile.h"

#include <cctype>
#include <minIni.h>
#include <vector>

#include "platform/AtomicFile.h"
#include "platform/FileIo.h"
#include "platform/HostFolder.h"

namespace lazrine::platform {
namespace {

// Longest value read; paths and numbers are far shorter.
constexpr int kValueBuffer = 32768;

bool ReadRaw(const std::string& file, const std::string& section, const std::string& key, std::string& out) {
    // Only a regular file is read: opening a FIFO planted at the name would
    // wait for a writer forever, and a device has no settings.
    if (!HostFolder::IsFile(file)) {
        return false;
    }
    // A marker no real value holds tells a missing key from an empty one.
    static const char* const kMissing = "\x01lazrine-missing\x01";
    std::vector<char> buffer(kValueBuffer, '\0');
    ini_gets(section.c_str(), key.c_str(), kMissing, buffer.data(), kValueBuffer, file.c_str());
    out.assign(buffer.data());
    return out != kMissing;
}

std::string Trim(const std::string& text) {
    std::size_t from = 0;
    std::size_t to = text.size();
    while (from < to && std::isspace(static_cast<unsigned char>(text[from])) != 0) {
        ++from;
    }
    while (to > from && std::isspace(static_cast<unsigned char>(text[to - 1])) != 0) {
        --to;
    }
    return text.substr(from, to - from);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The section a line opens, if it is a section line.
bool SectionOf(const std::string& line, std::string& name) {
    const std::string t = Trim(line);
    const auto close = t.find(']');
    if (t.empty() || t[0] != '[' || close == std::string::npos) {
        return false;
    }
    name = Trim(t.substr(1, close - 1));
    return true;
}

// The key a line sets, the way the reader splits it ('=', else ':').
bool KeyOf(const std::string& line, std::string& key) {
    const std::string t = Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '#') {
        return false;
    }
    auto split = t.find('=');
    if (split == std::string::npos) {
        split = t.find(':');
    }
    if (split == std::string::npos) {
        return false;
    }
    key = Trim(t.substr(0, split));
    return true;
}

// `text` with `key` of `section` set to `value`: the key's line replaced
// where it stands, else added after the section's last line, else a new
// section at the end. Every other byte stays as it was.
std::string WithKey(const std::string& text, const std::string& section, const std::string& key,
                    const std::string& value) {
    const std::string eol = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    std::vector<std::string> lines;  // each with its own line end
    for (std::size_t from = 0; from < text.size();) {
        const auto end = text.find('\n', from);
        const std::size_t next = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(from, next - from));
        from = next;
    }
    const std::string entry = key + "=" + value;
    bool inSection = false;
    std::size_t insertAt = lines.size();
    bool sectionSeen = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string name;
        if (SectionOf(lines[i], name)) {
            inSection = SameName(name, section);
            sectionSeen = sectionSeen || inSection;
            if (inSection) {
                insertAt = i + 1;
            }
            continue;
        }
        std::string found;
        if (inSection && KeyOf(lines[i], found) && SameName(found, key)) {
            const bool hasEnd = !lines[i].empty() && lines[i].back() == '\n';
            const bool hasCr = lines[i].size() >= 2 && lines[i][lines[i].size() - 2] == '\r';
            lines[i] = entry + (hasEnd ? (hasCr ? "\r\n" : "\n") : "");
            std::string out;
            for (const auto& line : lines) {
                out += line;
            }
            return out;
        }
        if (inSection && !Trim(lines[i]).empty()) {
            insertAt = i + 1;
        }
    }
    if (!sectionSeen) {
        std::string out = text;
        if (!out.empty() && out.back() != '\n') {
            out += eol;
        }
        return out + "[" + section + "]" + eol + entry + eol;
    }
    if (insertAt > 0 && !lines[insertAt - 1].empty() && lines[insertAt - 1].back() != '\n') {
        lines[insertAt - 1] += eol;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry + eol);
    std::string out;
    for (const auto& line : lines) {
        out += line;
    }
    return out;
}

}  // namespace

std::string ProfileFile::ReadString(const std::string& file, const std::string& section, const std::string& key,
                                    const std::string& fallback) {
    std::string value;
    return ReadRaw(file, section, key, value) ? value : fallback;
}

std::int32_t ProfileFile::ReadInt(const std::string& file, const std::string& section, const std::string& key,
                                  std::int32_t fallback) {
    std::string value;
    if (!ReadRaw(file, section, key, value)) {
        return fallback;
    }
    std::size_t i = 0;
    while (i < value.size() && std::isspace(static_cast<unsigned char>(value[i])) != 0) {
        ++i;
    }
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+')) {
        negative = value[i] == '-';
        ++i;
    }
    std::uint32_t result = 0;
    while (i < value.size() && std::isdigit(static_cast<unsigned char>(value[i])) != 0) {
        result = result * 10u + static_cast<std::uint32_t>(value[i] - '0');
        ++i;
    }
    if (negative) {
        result = 0u - result;
    }
    return static_cast<std::int32_t>(result);
}

bool ProfileFile::WriteString(const std::string& file, const std::string& section, const std::string& key,
                              const std::string& value) {
    // A line end inside a name or value would make other keys of it.
    for (const std::string* part : {&section, &key, &value}) {
        if (part->find_first_of("\r\n") != std::string::npos) {
            return false;
        }
    }
    if (file.empty() || Trim(section).empty() || Trim(key).empty() || section.find(']') != std::string::npos ||
        key.find_first_of("=:") != std::string::npos) {
        return false;
    }
    IoError error;
    std::vector<std::uint8_t> bytes;
    FileIo::Facts facts;
    if (!FileIo::Instance().Inspect(file, facts, &error)) {
        return false;
    }
    if (facts.nKind != FileIo::Facts::Kind::kMissing && !AtomicFile::ReadWhole(file, bytes, error)) {
        return false;
    }
    const std::string updated = WithKey(std::string(bytes.begin(), bytes.end()), section, key, value);
    return AtomicFile::Store(file, std::span(reinterpret_cast<const std::uint8_t*>(updated.data()), updated.size()),
                             error);
}

}  // namespace lazrine::platform

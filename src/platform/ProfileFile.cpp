#include "platform/ProfileFile.h"

#include <cctype>
#include <minIni.h>
#include <vector>

namespace lazrine::platform {
namespace {

// Longest value read; paths and numbers are far shorter.
constexpr int kValueBuffer = 32768;

bool ReadRaw(const std::string& file, const std::string& section, const std::string& key, std::string& out) {
    // A marker no real value holds tells a missing key from an empty one.
    static const char* const kMissing = "\x01lazrine-missing\x01";
    std::vector<char> buffer(kValueBuffer, '\0');
    ini_gets(section.c_str(), key.c_str(), kMissing, buffer.data(), kValueBuffer, file.c_str());
    out.assign(buffer.data());
    return out != kMissing;
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
    return ini_puts(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

}  // namespace lazrine::platform

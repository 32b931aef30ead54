#include "platform/WinePathMapper.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/HostFolder.h"
#include "platform/TextCodec.h"
#include "platform/WineText.h"

namespace lazrine::platform {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool Fail(std::string* error, std::string text) {
    if (error != nullptr) {
        *error = std::move(text);
    }
    return false;
}

std::string Join(const std::string& base, const std::string& name) {
    if (base.empty()) {
        return name;
    }
    return base.back() == '/' ? base + name : base + "/" + name;
}

// The existing name in `folder` that `element` stands for, or empty.
std::string MatchElement(const std::string& folder, const std::string& element) {
    std::error_code ec;
    const std::string direct = Join(folder, element);
    if (std::filesystem::exists(std::filesystem::symlink_status(direct, ec))) {
        return element;
    }
    std::string utf8;
    if (!TextCodec::IsAscii(element)) {
        utf8 = TextCodec::Cp1252ToUtf8(element);
        if (std::filesystem::exists(std::filesystem::symlink_status(Join(folder, utf8), ec))) {
            return utf8;
        }
    }
    std::vector<HostFolder::Entry> entries;
    if (!HostFolder::List(folder.empty() ? "." : folder, entries)) {
        return {};
    }
    for (const auto& entry : entries) {
        if (WineText::EqualsNoCase(entry.szName, element) || (!utf8.empty() && WineText::EqualsNoCase(entry.szName, utf8))) {
            return entry.szName;
        }
    }
    return {};
}

}  // namespace

WinePathMapper::WinePathMapper(std::string prefix) : m_szPrefix(std::move(prefix)) {}

bool WinePathMapper::DriveRoot(char letter, std::string& out) const {
    if (m_szPrefix.empty()) {
        return false;
    }
    const char lower = static_cast<char>(letter >= 'A' && letter <= 'Z' ? letter - 'A' + 'a' : letter);
    std::error_code ec;
    const std::string link = m_szPrefix + "/dosdevices/" + lower + ":";
    if (HostFolder::IsFolder(link)) {
        const auto resolved = std::filesystem::canonical(link, ec);
        out = ec ? link : resolved.string();
        return true;
    }
    if (lower == 'c' && HostFolder::IsFolder(m_szPrefix + "/drive_c")) {
        out = m_szPrefix + "/drive_c";
        return true;
    }
    return false;
}

bool WinePathMapper::ToHostPath(std::string_view text, std::string& out, std::string* error) const {
    out.clear();
    if (text.empty()) {
        return Fail(error, "empty path");
    }
    if (text.find('\0') != std::string_view::npos) {
        return Fail(error, "path holds a zero byte");
    }
    std::string root;
    std::size_t pos = 0;
    if (text.size() >= 2 && text[1] == ':' &&
        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
        if (!DriveRoot(text[0], root)) {
            return Fail(error, std::string("drive ") + text[0] + ": is not mapped in the Wine prefix");
        }
        pos = 2;
    } else if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
        return Fail(error, "network paths are not supported: " + std::string(text));
    } else if (text[0] == '/') {
        root = "/";
    }
    // Elements after the root.
    std::vector<std::string> elements;
    while (pos < text.size()) {
        while (pos < text.size() && IsSeparator(text[pos])) {
            ++pos;
        }
        const std::size_t start = pos;
        while (pos < text.size() && !IsSeparator(text[pos])) {
            ++pos;
        }
        if (pos > start) {
            std::string element(text.substr(start, pos - start));
            if (element == ".") {
                continue;
            }
            if (element == "..") {
                if (!elements.empty()) {
                    elements.pop_back();
                }
                continue;
            }
            elements.push_back(std::move(element));
        }
    }
    std::string path = root;
    bool exists = true;  // whether `path` is an existing folder so far
    for (const auto& element : elements) {
        std::string name;
        if (exists) {
            name = MatchElement(path, element);
        }
        if (name.empty()) {
            exists = false;
            name = element;
        }
        path = Join(path, name);
        if (exists && !HostFolder::IsFolder(path)) {
            exists = false;
        }
    }
    if (path.empty()) {
        path = ".";
    }
    if (IsSeparator(text.back()) && path.back() != '/') {
        path.push_back('/');
    }
    out = std::move(path);
    return true;
}

}  // namespace lazrine::platform

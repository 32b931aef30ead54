#include "platform/HostFolder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace lazrine::platform {

namespace fs = std::filesystem;

namespace {

// Paths are UTF-8 inside Lazrine; std::filesystem reads a plain string in
// the system's narrow code page (on Windows the ANSI one), so every path
// goes through its UTF-8 form.
fs::path PathOf(const std::string& path) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(path.data()), path.size()));
}

std::string TextOf(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

}  // namespace

bool HostFolder::List(const std::string& folder, std::vector<Entry>& out) {
    out.clear();
    std::error_code ec;
    fs::directory_iterator it(PathOf(folder.empty() ? "." : folder), ec);
    if (ec) {
        return false;
    }
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec) {
            out.clear();
            return false;
        }
        Entry entry;
        entry.szName = TextOf(it->path().filename());
        std::error_code typeEc;
        entry.bFolder = it->is_directory(typeEc);  // follows links, as Windows programs see them
        out.push_back(std::move(entry));
    }
    if (ec) {
        out.clear();
        return false;
    }
    std::sort(out.begin(), out.end(), [](const Entry& a, const Entry& b) { return a.szName < b.szName; });
    return true;
}

bool HostFolder::IsFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(PathOf(path), ec);
}

bool HostFolder::IsFile(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(PathOf(path), ec);
}

bool HostFolder::ReadFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& out) {
    out.clear();
    std::error_code ec;
    if (!fs::is_regular_file(PathOf(path), ec)) {
        return false;
    }
    const auto size = fs::file_size(PathOf(path), ec);
    if (ec || size > maxBytes) {
        return false;
    }
    std::ifstream in(PathOf(path), std::ios::binary);
    if (!in) {
        return false;
    }
    out.resize(static_cast<std::size_t>(size));
    if (size > 0 && !in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(size))) {
        out.clear();
        return false;
    }
    // A file that grew while being read is read no further than its size.
    return true;
}

}  // namespace lazrine::platform

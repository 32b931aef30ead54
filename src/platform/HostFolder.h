#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lazrine::platform {

// Host file-system queries the desktop environment needs: listing a folder,
// telling folders from files, and reading a small file whole. Nothing here
// follows a path the caller did not give; nothing throws.
class HostFolder {
public:
    struct Entry {
        std::string szName;
        bool bFolder = false;
    };

    // The entries of `folder` (not "." or ".."), sorted by name. False when
    // the folder cannot be listed.
    static bool List(const std::string& folder, std::vector<Entry>& out);
    static bool IsFolder(const std::string& path);
    static bool IsFile(const std::string& path);
    // Reads the whole file; false when it is missing, unreadable, not a
    // regular file or larger than `maxBytes`.
    static bool ReadFile(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& out);
};

}  // namespace lazrine::platform

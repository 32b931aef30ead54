#pragma once

#include <string>
#include <string_view>

namespace lazrine::platform {

// Maps the path texts Palm Desktop and its settings hold ("C:\Program
// Files\Palm\JohnD\memopad\memopad.dat") to host paths, the way Wine does:
//
// - a drive letter goes through the prefix's dosdevices link ("c:" ->
//   drive_c); without the link, C: falls back to the prefix's drive_c;
// - backslashes and slashes both separate elements;
// - each element is matched against the existing names of its folder
//   without regard to ASCII letter case ("MemoPad" finds "memopad"); an
//   element whose bytes are Windows-1252 also matches its UTF-8 spelling,
//   which is how Wine names such files on the host;
// - a text that starts with '/' is a host path and its existing elements are
//   used as they stand;
// - elements that do not exist are kept as written, so that opening the
//   result fails cleanly; ".." never climbs above the drive or host root.
class WinePathMapper {
public:
    // `prefix`: the Wine prefix folder (empty: drive letters cannot be mapped).
    explicit WinePathMapper(std::string prefix);

    // The host path of `text`; it ends with '/' when `text` ends with a
    // separator. False (with `error`) for an empty text, a zero byte, a drive
    // without a mapping, or a network path.
    bool ToHostPath(std::string_view text, std::string& out, std::string* error = nullptr) const;

private:
    bool DriveRoot(char letter, std::string& out) const;

    std::string m_szPrefix;
};

}  // namespace lazrine::platform

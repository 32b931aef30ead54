#pragma once

#include <string>
#include <string_view>

namespace lazrine::platform {

// Turns the path texts that Palm Desktop and its settings hold (Windows
// paths in Windows-1252, such as "C:\Palm\JohnD\memopad\memopad.dat") into
// the paths Lazrine opens (UTF-8). On Windows that is the text itself; on
// other systems it goes through the Wine prefix's drives (see WinePrefix and
// WinePathMapper).
class HostPath {
public:
    // False (with `error`) for an empty text, a zero byte, or a text the
    // system cannot map to a file.
    static bool FromPalmText(std::string_view text, std::string& out, std::string* error = nullptr);
    // `name` made absolute against the current folder, otherwise as it is
    // (nothing resolved or cleaned); empty stays empty.
    static std::string Absolute(const std::string& name);
};

}  // namespace lazrine::platform

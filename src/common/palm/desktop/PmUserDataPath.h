#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lazrine::palm {

// Forms the host path of a user's data file: the user's data folder
// (PmDesktop::PmGetUserDataFolder), then a Windows-style relative folder
// ("memopad\") and a file name ("memopad.dat"). The stores keep forming
// their names the way Palm Desktop does; the whole text is mapped to a host
// path here, in one place (platform::HostPath: on Windows the text itself,
// elsewhere through the Wine prefix's drives, each element matched without
// regard to letter case).
class PmUserDataPath {
public:
    // Gives the data folder of a user (a host path or a Windows path text);
    // false (with `error`) when it cannot be determined.
    using Resolver = std::function<bool(std::uint32_t userId, std::string& folder, std::string& error)>;

    // The host path of `file` in `folder` under the user's data folder; false
    // (with `error`) when the user's folder cannot be determined or mapped.
    static bool DataFilePath(std::uint32_t userId, std::string_view folder, std::string_view file,
                             std::string& out, std::string& error);

    // Replaces the Palm Desktop lookup of user data folders by `resolver`
    // (tests); an empty resolver restores the lookup.
    static void SetResolver(Resolver resolver);
};

}  // namespace lazrine::palm

#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace lazrine::palm {

// Forms the host path of a user's data file: the user's data folder, then a
// Windows-style relative folder ("memopad\") and a file name ("memopad.dat").
// The stores keep forming their names the way Palm Desktop does; the mapping
// to a host path happens here, in one place.
class PmUserDataPath {
public:
    // Finds the data folder of a user (ending with a separator); false when it
    // cannot be determined.
    using Resolver = std::function<bool(std::uint32_t userId, std::string& folder, std::string& error)>;

    // The host path of `file` in `folder` under the user's data folder; false
    // (with `error`) when the user's folder cannot be determined.
    static bool DataFilePath(std::uint32_t userId, std::string_view folder, std::string_view file,
                             std::string& out, std::string& error);

    // Installs the resolver for user data folders (none: no users are known).
    static void SetResolver(Resolver resolver);
};

}  // namespace lazrine::palm

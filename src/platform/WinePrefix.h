#pragma once

#include <optional>
#include <string>

namespace lazrine::platform {

// The Wine prefix that holds the Windows programs of this user: the folder
// named by $WINEPREFIX, else ~/.wine, the way Wine itself chooses it.
class WinePrefix {
public:
    // The prefix folder, without a trailing separator; empty when there is
    // none (no such folder).
    static std::string Locate();
    // Makes Locate() answer `folder` (tests and callers that know better);
    // std::nullopt restores the environment lookup.
    static void SetOverride(std::optional<std::string> folder);
};

}  // namespace lazrine::platform

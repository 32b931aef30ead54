#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lazrine::palm {

// One Palm Desktop user.
struct PmUserInfo {
    std::uint32_t nUserId = 0;
    std::string szName;
    std::string szDirectory;
};

// Palm Desktop as installed on this machine: its desktop libraries, its users
// and their data folders. Until an installation is found there are no users,
// and record sets work on explicitly named files only.
class PmDesktop {
public:
    // Finds Palm Desktop and "loads" its libraries; `settingsFile` is the
    // private settings file whose "Path"/"PDPath" may name the folder. Returns
    // the bits of the libraries loaded (0 when none).
    static std::uint32_t PmLoadDesktopLibraries(const std::string& settingsFile);
    static void PmUnloadDesktopLibraries();
    // The users, in Palm Desktop's order; empty when none are known.
    static std::vector<PmUserInfo> PmEnumerateUsers();
    // The data folder of a user (ending with a separator), as a host path.
    static bool PmGetUserDataPath(std::uint32_t userId, std::string& folder);
};

}  // namespace lazrine::palm

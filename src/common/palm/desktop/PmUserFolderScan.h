#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/palm/desktop/PmUsersFile.h"

namespace lazrine::palm {

// Finds users without Palm Desktop's user list: every subfolder of the users'
// root that holds at least one data folder ("address", "datebook",
// "memopad", "todo", any letter case) is a user named after its folder.
//
// The ID is derived from the folder name alone (a 32-bit FNV-1a hash of the
// lower-case name, moved out of the profile range below 256), so it stays the
// same from run to run and can be remembered as a setting. Should two folders
// hash alike, or collide with an ID already taken, the later one in name
// order takes the next free number.
class PmUserFolderScan {
public:
    // Users below the host folder `root`, in folder-name order, leaving out
    // folders already in `known` (same name, any case) and avoiding their IDs.
    static std::vector<PmUsersFile::User> Scan(const std::string& root, const std::vector<PmUsersFile::User>& known);
    // The stable ID of a user folder.
    static std::uint32_t IdForFolder(const std::string& folder);
    // True when the host folder holds one of the data folders.
    static bool HoldsUserData(const std::string& folder);
};

}  // namespace lazrine::palm

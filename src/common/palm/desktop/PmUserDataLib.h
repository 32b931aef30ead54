#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/palm/desktop/PmUsersFile.h"

namespace lazrine::palm {

// Lazrine's own replacement for the five user-manager functions of Palm's
// user data library. It knows the users' root folder and the users in it:
// from users.dat in the root when that file is understood; otherwise the
// users read before the reader stopped, followed by every user folder the
// folder scan finds that is not among them.
//
// Results: kUmOk (0) or a negative kUmErr code, except UmGetRootDirectory,
// which returns non-zero when it wrote the root.
class PmUserDataLib {
public:
    static constexpr int kUmOk = 0;
    static constexpr int kUmErrUnknownUser = -1;
    static constexpr int kUmErrBufferTooSmall = -2;
    static constexpr int kUmErrBadIndex = -3;

    enum class Source { kNone, kUsersFile, kUsersFileAndScan, kFolderScan };

    // Takes the root folder as Palm Desktop names it (`rootText`, ending in
    // a separator) and its host path `hostRoot`, and reads its users.
    void Load(const std::string& rootText, const std::string& hostRoot);

    std::uint16_t UmGetUserCount() const;
    int UmGetUserID(std::uint16_t index, std::uint32_t& id) const;
    // The name, cut to fit `size` bytes with a terminator (it is only shown).
    int UmGetUserName(std::uint32_t id, std::string& name, std::int16_t& size) const;
    // The user's folder name; kUmErrBufferTooSmall (and nothing written) when
    // it does not fit `size` bytes with a terminator: a cut folder name could
    // name another user's folder.
    int UmGetUserDirectory(std::uint32_t id, std::string& directory, std::int16_t& size) const;
    // Non-zero when the root (which ends in a separator) fits and was written.
    int UmGetRootDirectory(std::string& root, std::int16_t& size) const;

    Source UsersSource() const { return m_nSource; }

private:
    const PmUsersFile::User* Find(std::uint32_t id) const;

    std::string m_szRoot;
    std::vector<PmUsersFile::User> m_Users;
    Source m_nSource = Source::kNone;
};

}  // namespace lazrine::palm

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lazrine::palm {

// Palm Desktop's user list, users.dat in the users' root folder, as far as
// its layout is understood (it is known from observation only):
//
//   u16 entry count
//   per entry: a class tag -- before the first entry 0xFFFF, u16 schema,
//              u16 name length and the class name "CUser"; before later
//              entries the class reference 0x8001 --
//              u32 HotSync ID (below 256: a profile, not a user),
//              u8 length + user name, u8 length + folder name,
//              then an active flag and conduit entries (0x8003 ...), which
//              are not interpreted.
//
// The reader trusts nothing: the next entry is looked for after the folder
// name of the previous one and accepted only when its tag, ID, name and
// folder name all look right; anything else stops the reader, which keeps
// the users read so far and reports the file as not understood. A folder
// name that could leave the root (separators, "." or "..") is not accepted.
// Texts are Windows-1252, as Palm Desktop writes them.
class PmUsersFile {
public:
    struct User {
        std::uint32_t nUserId = 0;
        std::string szName;
        std::string szFolder;
    };

    // Largest file read; a real one is a few kilobytes.
    static constexpr std::size_t kMaxBytes = 1024u * 1024u;
    static constexpr std::uint32_t kFirstUserId = 256;

    // Reads `data`. True when every entry the count announces was read.
    bool Parse(std::span<const std::uint8_t> data);

    // The users read (profiles left out), in file order.
    const std::vector<User>& Users() const { return m_Users; }
    // Entries read, profiles included.
    std::size_t EntriesRead() const { return m_nEntriesRead; }
    bool Complete() const { return m_bComplete; }

    // True when `folder` is usable as one folder name below the root.
    static bool IsSafeFolderName(const std::string& folder);

private:
    std::vector<User> m_Users;
    std::size_t m_nEntriesRead = 0;
    bool m_bComplete = false;
};

}  // namespace lazrine::palm

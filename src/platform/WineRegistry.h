#pragma once

#include <string>
#include <string_view>

#include "platform/WineRegFile.h"

namespace lazrine::platform {

// The read-only registry of a Wine prefix: HKEY_CURRENT_USER from user.reg,
// HKEY_LOCAL_MACHINE from system.reg. The hives are read when the object is
// made; a missing prefix or hive has no keys at all.
//
// A 32-bit program such as Palm Desktop sees the local machine's "Software"
// key through the 32-bit view: in a 64-bit prefix that is
// "Software\Wow6432Node", and keys are looked up there first.
class WineRegistry {
public:
    enum class Root { kCurrentUser, kLocalMachine };

    // Reads the hives of `prefix` (a folder; empty: no registry).
    explicit WineRegistry(const std::string& prefix);

    // True when the key can be opened for reading.
    bool OpenKey(Root root, std::string_view key) const;
    // A value of the key as text (see WineRegFile::QueryValue).
    bool QueryValue(Root root, std::string_view key, std::string_view name, std::string& out) const;

private:
    const WineRegFile& Hive(Root root) const;
    std::string ViewOf(Root root, std::string_view key) const;

    WineRegFile m_User;
    WineRegFile m_Machine;
};

}  // namespace lazrine::platform

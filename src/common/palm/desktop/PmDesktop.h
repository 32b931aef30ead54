#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lazrine::palm {

// One Palm Desktop user.
struct PmUserInfo {
    std::uint32_t nUserId = 0;
    std::string szName;       // at most kMaxUserName - 1 bytes, Windows-1252
    std::string szDirectory;  // the user's folder name as Palm Desktop keeps it
};

// Palm Desktop as installed on this machine: its desktop libraries, its users
// and their data folders. Until an installation is found there are no users,
// and record sets work on explicitly named files only.
//
// The four desktop libraries are "loaded" in the order condmgr.dll (bit 1),
// UserData.dll (2), HSAPI.DLL (4), instaide.dll (8): a library loads when the
// Palm Desktop folder is found (PmDesktopPath) and holds the library's file,
// in any letter case. The first library that fails stops the chain, so
// without condmgr.dll no users are known even when UserData.dll is there.
// The user functions of UserData.dll are Lazrine's own (PmUserDataLib); its
// root folder is the "Path" value of the registry's Core key when present,
// else the Palm Desktop folder.
//
// Process-wide state, written only by the load and unload calls; everything
// runs on the user-interface thread.
class PmDesktop {
public:
    static constexpr std::uint32_t kCondMgr = 1;
    static constexpr std::uint32_t kUserData = 2;
    static constexpr std::uint32_t kHsApi = 4;
    static constexpr std::uint32_t kInstAide = 8;
    static constexpr std::uint32_t kAllLibraries = 15;
    // Result of a user-data wrapper whose library or function is not there.
    static constexpr int kErrNotAvailable = -100;
    static constexpr std::int16_t kMaxUserName = 64;
    static constexpr std::int16_t kMaxUserDirectory = 256;
    static constexpr std::size_t kMaxDataPath = 260;

    // Finds Palm Desktop and "loads" the libraries of `mask`, each unloaded
    // first; `settingsFile` is the private settings file whose
    // "Path"/"PDPath" may name the folder (empty: tamrisk.ini beside the
    // executable). Returns the bits of the libraries loaded (0 when none);
    // the load succeeded when that equals `mask`.
    static std::uint32_t PmLoadDesktopLibraries(const std::string& settingsFile, std::uint32_t mask = kAllLibraries);
    // Unloads the libraries of `mask`; unloading one not loaded does nothing.
    static void PmUnloadDesktopLibraries(std::uint32_t mask = kAllLibraries);
    // The bits of the libraries loaded now.
    static std::uint32_t PmLoadedLibraries();

    // The wrappers of the user data library; kErrNotAvailable when it is not
    // loaded (the count: its 16-bit pattern 0xFF9C), otherwise the result of
    // the user function unchanged (see PmUserDataLib).
    static std::uint16_t PmGetUserCount();
    static int PmGetUserId(std::uint16_t index, std::uint32_t& id);
    static int PmGetUserName(std::uint32_t id, std::string& name, std::int16_t& size);
    static int PmGetUserDirectory(std::uint32_t id, std::string& directory, std::int16_t& size);
    static int PmGetRootDirectory(std::string& root, std::int16_t& size);

    // The users, in Palm Desktop's order; empty when none are known. A user
    // whose name or directory could not be read is listed with empty texts.
    static std::vector<PmUserInfo> PmEnumerateUsers();

    // The data folder of a user as Palm Desktop names it: root folder, user
    // directory and "\" ("C:\Palm\JohnD\"), at most `size` bytes with a
    // terminator. False (see PmLastError) when the library is not loaded, the
    // root is not known, the user is not known, or the folder does not fit;
    // never a cut or partial folder.
    static bool PmGetUserDataFolder(std::uint32_t userId, std::string& folder, std::size_t size = kMaxDataPath);
    // The same folder as a host path (ending with '/').
    static bool PmGetUserDataPath(std::uint32_t userId, std::string& folder);

    // Why the last PmGetUserDataFolder/PmGetUserDataPath failed.
    static std::string PmLastError();
    // Why no users are known after PmLoadDesktopLibraries(`settingsFile`),
    // in UTF-8, for a user to act on.
    static std::string PmNoUsersReason(const std::string& settingsFile);
};

}  // namespace lazrine::palm

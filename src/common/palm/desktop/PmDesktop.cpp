#include "common/palm/desktop/PmDesktop.h"

#include <array>
#include <memory>

#include "common/palm/desktop/PmDesktopPath.h"
#include "common/palm/desktop/PmUserDataLib.h"
#include "platform/HostFolder.h"
#include "platform/HostPath.h"
#include "platform/Registry.h"
#include "platform/TextCodec.h"

namespace lazrine::palm {
namespace {

struct Library {
    std::uint32_t nBit;
    const char* szFile;
};

constexpr std::array<Library, 4> kLibraries = {{{PmDesktop::kCondMgr, "condmgr.dll"},
                                                {PmDesktop::kUserData, "UserData.dll"},
                                                {PmDesktop::kHsApi, "HSAPI.DLL"},
                                                {PmDesktop::kInstAide, "instaide.dll"}}};

struct State {
    std::uint32_t nLoaded = 0;
    std::unique_ptr<PmUserDataLib> pUserData;  // set while UserData.dll is loaded
    std::string szLastError;
};

State& Desktop() {
    static State state;
    return state;
}

void UnloadOne(const Library& lib) {
    State& s = Desktop();
    s.nLoaded &= ~lib.nBit;
    if (lib.nBit == PmDesktop::kUserData) {
        s.pUserData.reset();
    }
}

bool LoadOne(const Library& lib, const std::string& settingsFile) {
    UnloadOne(lib);
    std::string desktop;
    if (PmDesktopPath::PmGetDesktopPath(settingsFile, desktop, PmDesktopPath::kMaxPath) != PmDesktopPath::kOk) {
        return false;
    }
    std::string hostFile;
    if (!platform::HostPath::FromPalmText(desktop + "\\" + lib.szFile, hostFile) || !platform::HostFolder::IsFile(hostFile)) {
        return false;
    }
    if (lib.nBit == PmDesktop::kUserData) {
        std::string root;
        if (!PmDesktopPath::PmGetCoreValue(settingsFile, "Path", root) || root.empty()) {
            root = desktop;
        }
        std::string hostRoot;
        if (!platform::HostPath::FromPalmText(root, hostRoot)) {
            hostRoot.clear();
        }
        auto userData = std::make_unique<PmUserDataLib>();
        userData->Load(root, hostRoot);
        Desktop().pUserData = std::move(userData);
    }
    Desktop().nLoaded |= lib.nBit;
    return true;
}

const PmUserDataLib* UserData() { return Desktop().pUserData.get(); }

bool Fail(std::string text) {
    Desktop().szLastError = std::move(text);
    return false;
}

}  // namespace

std::uint32_t PmDesktop::PmLoadDesktopLibraries(const std::string& settingsFile, std::uint32_t mask) {
    // Every requested library is unloaded first, so that the libraries after
    // a failed one are not left loaded from an earlier call.
    PmUnloadDesktopLibraries(mask);
    for (const auto& lib : kLibraries) {
        if ((mask & lib.nBit) != 0 && !LoadOne(lib, settingsFile)) {
            break;
        }
    }
    return Desktop().nLoaded & mask;
}

void PmDesktop::PmUnloadDesktopLibraries(std::uint32_t mask) {
    for (const auto& lib : kLibraries) {
        if ((mask & lib.nBit) != 0) {
            UnloadOne(lib);
        }
    }
}

std::uint32_t PmDesktop::PmLoadedLibraries() { return Desktop().nLoaded; }

std::uint16_t PmDesktop::PmGetUserCount() {
    const PmUserDataLib* lib = UserData();
    return lib == nullptr ? static_cast<std::uint16_t>(kErrNotAvailable) : lib->UmGetUserCount();
}

int PmDesktop::PmGetUserId(std::uint16_t index, std::uint32_t& id) {
    const PmUserDataLib* lib = UserData();
    return lib == nullptr ? kErrNotAvailable : lib->UmGetUserID(index, id);
}

int PmDesktop::PmGetUserName(std::uint32_t id, std::string& name, std::int16_t& size) {
    const PmUserDataLib* lib = UserData();
    return lib == nullptr ? kErrNotAvailable : lib->UmGetUserName(id, name, size);
}

int PmDesktop::PmGetUserDirectory(std::uint32_t id, std::string& directory, std::int16_t& size) {
    const PmUserDataLib* lib = UserData();
    return lib == nullptr ? kErrNotAvailable : lib->UmGetUserDirectory(id, directory, size);
}

int PmDesktop::PmGetRootDirectory(std::string& root, std::int16_t& size) {
    const PmUserDataLib* lib = UserData();
    return lib == nullptr ? kErrNotAvailable : lib->UmGetRootDirectory(root, size);
}

std::vector<PmUserInfo> PmDesktop::PmEnumerateUsers() {
    std::vector<PmUserInfo> users;
    const auto count = static_cast<std::int16_t>(PmGetUserCount());
    for (std::int16_t i = 0; i < count; ++i) {
        PmUserInfo info;
        PmGetUserId(static_cast<std::uint16_t>(i), info.nUserId);
        std::int16_t nameSize = kMaxUserName;
        PmGetUserName(info.nUserId, info.szName, nameSize);
        std::int16_t directorySize = kMaxUserDirectory;
        PmGetUserDirectory(info.nUserId, info.szDirectory, directorySize);
        users.push_back(std::move(info));
    }
    return users;
}

bool PmDesktop::PmGetUserDataFolder(std::uint32_t userId, std::string& folder, std::size_t size) {
    folder.clear();
    if (UserData() == nullptr) {
        return Fail("Palm Desktop was not found, so no user data folder is known");
    }
    const auto bufferSize = static_cast<std::int16_t>(size > 0x7FFF ? 0x7FFF : size);
    std::string root;
    std::int16_t rootSize = bufferSize;
    if (PmGetRootDirectory(root, rootSize) == 0) {
        return Fail("the Palm Desktop users' root folder is not known or too long");
    }
    std::string directory;
    std::int16_t directorySize = bufferSize;
    const int result = PmGetUserDirectory(userId, directory, directorySize);
    if (result == PmUserDataLib::kUmErrUnknownUser) {
        return Fail("Palm Desktop has no user with ID " + std::to_string(userId));
    }
    // Root, directory and "\" with a terminator must fit whole: a cut text
    // could name another, existing folder.
    if (result != PmUserDataLib::kUmOk || root.size() + directory.size() + 2 > size) {
        return Fail("the data folder of Palm Desktop user " + std::to_string(userId) + " is longer than " +
                    std::to_string(size - 1) + " characters");
    }
    folder = root + directory + "\\";
    return true;
}

bool PmDesktop::PmGetUserDataPath(std::uint32_t userId, std::string& folder) {
    std::string text;
    if (!PmGetUserDataFolder(userId, text)) {
        folder.clear();
        return false;
    }
    std::string error;
    if (!platform::HostPath::FromPalmText(text, folder, &error)) {
        folder.clear();
        return Fail(error);
    }
    return true;
}

std::string PmDesktop::PmLastError() { return Desktop().szLastError; }

std::string PmDesktop::PmNoUsersReason(const std::string& settingsFile) {
    std::string desktop;
    const int code = PmDesktopPath::PmGetDesktopPath(settingsFile, desktop, PmDesktopPath::kMaxPath);
    if (code == PmDesktopPath::kErrNotFound) {
        return std::string("Palm Desktop was not found: no \"PDPath\" in the settings file and no Palm Desktop key "
                           "in ") +
               platform::Registry::Name();
    }
    if (code == PmDesktopPath::kErrTooLong) {
        return "the Palm Desktop folder named in the settings or the registry is too long";
    }
    if ((PmLoadedLibraries() & kUserData) == 0) {
        return "the Palm Desktop folder " + platform::TextCodec::Cp1252ToUtf8(desktop) +
               " does not exist or lacks condmgr.dll or UserData.dll";
    }
    return "the Palm Desktop folder " + platform::TextCodec::Cp1252ToUtf8(desktop) + " lists no users";
}

}  // namespace lazrine::palm

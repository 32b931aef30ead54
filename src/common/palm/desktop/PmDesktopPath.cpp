#include "common/palm/desktop/PmDesktopPath.h"

#include "platform/ModuleDir.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"

namespace lazrine::palm {
namespace {

using platform::Registry;

// Opens the Core key in its lookup order; false when neither opens.
bool OpenCoreKey(const Registry& registry, Registry::Root& root, const char*& key) {
    if (registry.OpenKey(Registry::Root::kCurrentUser, PmDesktopPath::kUserKey)) {
        root = Registry::Root::kCurrentUser;
        key = PmDesktopPath::kUserKey;
        return true;
    }
    if (registry.OpenKey(Registry::Root::kLocalMachine, PmDesktopPath::kMachineKey)) {
        root = Registry::Root::kLocalMachine;
        key = PmDesktopPath::kMachineKey;
        return true;
    }
    return false;
}

std::string SettingsPath(const std::string& settingsFile) {
    std::string file = PmDesktopPath::SettingsFile(settingsFile);
    return platform::ProfileFile::ReadString(file, "Path", "PDPath", "");
}

// Drive and directory of a file path: everything up to the last separator.
std::string FolderOf(const std::string& path) {
    const std::size_t sep = path.find_last_of("\\/");
    if (sep != std::string::npos) {
        return path.substr(0, sep + 1);
    }
    // "C:HotSync.exe" keeps its drive.
    if (path.size() >= 2 && path[1] == ':') {
        return path.substr(0, 2);
    }
    return {};
}

}  // namespace

std::string PmDesktopPath::SettingsFile(const std::string& settingsFile) {
    return settingsFile.empty() ? platform::ModuleDir::PrivateFile(kSettingsFileName) : settingsFile;
}

int PmDesktopPath::PmGetDesktopPath(const std::string& settingsFile, std::string& out, std::size_t size) {
    if (size == 0) {
        return kErrNoBuffer;
    }
    out.clear();
    const std::string configured = SettingsPath(settingsFile);
    if (!configured.empty()) {
        if (configured.size() + 1 > size) {
            return kErrTooLong;
        }
        out = configured;
        return kOk;
    }
    const Registry registry;
    Registry::Root root = Registry::Root::kCurrentUser;
    const char* key = nullptr;
    if (!OpenCoreKey(registry, root, key)) {
        return kErrNotFound;
    }
    std::string value;
    std::size_t reported = 0;
    if (registry.QueryValue(root, key, "DesktopPath", value)) {
        reported = value.size() + 1;
    } else {
        std::string hotSync;
        // The HotSync program's path is read into a buffer of kMaxPath bytes;
        // a longer one cannot be read at all.
        if (!registry.QueryValue(root, key, "HotSyncPath", hotSync) || hotSync.size() + 1 > kMaxPath) {
            return kErrNotFound;
        }
        reported = hotSync.size() + 1;
        value = FolderOf(hotSync);
    }
    if (reported > size || value.size() + 1 > size) {
        return kErrTooLong;
    }
    out = value;
    return kOk;
}

bool PmDesktopPath::PmGetCoreValue(const std::string& settingsFile, const std::string& name, std::string& out) {
    out.clear();
    if (!SettingsPath(settingsFile).empty()) {
        return false;
    }
    const Registry registry;
    Registry::Root root = Registry::Root::kCurrentUser;
    const char* key = nullptr;
    return OpenCoreKey(registry, root, key) && registry.QueryValue(root, key, name, out);
}

}  // namespace lazrine::palm

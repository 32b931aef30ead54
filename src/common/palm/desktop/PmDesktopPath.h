#pragma once

#include <cstddef>
#include <string>

namespace lazrine::palm {

// Where Palm Desktop is installed. Nothing is cached: every call reads the
// settings file and the registry again.
//
// The folder comes from the settings file (section "Path", key "PDPath"),
// which wins when not empty and is then used as it stands; otherwise from the
// registry: the current user's "Software\U.S. Robotics\Pilot Desktop\Core",
// or, only when that key cannot be opened, the local machine's
// "Software\PalmSource\Desktop\Core"; of the opened key the value
// "DesktopPath", else the folder of "HotSyncPath" (ending in a separator).
// The registry is the system's, or the Wine prefix's (see platform::Registry).
class PmDesktopPath {
public:
    static constexpr int kOk = 0;
    static constexpr int kErrNoBuffer = -100;   // no buffer, or its size is 0
    static constexpr int kErrNotFound = -101;   // no key, or neither value
    static constexpr int kErrTooLong = -102;    // the value does not fit the buffer
    // The buffer every caller passes, terminator included.
    static constexpr std::size_t kMaxPath = 260;
    static constexpr const char* kSettingsFileName = "tamrisk.ini";
    static constexpr const char* kUserKey = "Software\\U.S. Robotics\\Pilot Desktop\\Core";
    static constexpr const char* kMachineKey = "Software\\PalmSource\\Desktop\\Core";

    // The Palm Desktop folder into `out`, which must fit `size` bytes with a
    // terminator. `settingsFile` empty means tamrisk.ini beside the
    // executable. A "PDPath" that does not fit gives kErrTooLong rather than
    // a cut text, which could name another folder.
    static int PmGetDesktopPath(const std::string& settingsFile, std::string& out, std::size_t size);

    // The value `name` of the Core key that PmGetDesktopPath opens, when the
    // folder comes from the registry; false when "PDPath" is set, no key
    // opens or the value is absent.
    static bool PmGetCoreValue(const std::string& settingsFile, const std::string& name, std::string& out);

    // `settingsFile`, or when empty tamrisk.ini beside the executable (in
    // the user's settings folder for a program installed where the user
    // cannot write; see platform::ModuleDir::PrivateFile).
    static std::string SettingsFile(const std::string& settingsFile);
};

}  // namespace lazrine::palm

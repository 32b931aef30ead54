#pragma once

#include <string>

namespace lazrine::platform {

// The folder of the running executable, where Lazrine keeps its private
// settings file.
class ModuleDir {
public:
    // The executable's folder with a trailing separator ('/', on Windows
    // a backslash); false when the system cannot tell (then `out` is empty).
    static bool GetModuleDir(std::string& out);
    // GetModuleDir followed by `file`; just `file` when the folder is unknown.
    static std::string FileBeside(const std::string& file) {
        std::string dir;
        GetModuleDir(dir);
        return dir + file;
    }
};

}  // namespace lazrine::platform

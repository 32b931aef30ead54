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
    // Where the program keeps its private file `file`: beside the
    // executable when it is there or that folder may be written (a build
    // tree, a copy in the user's own folder); otherwise, for a program
    // installed into a system folder, in the user's settings folder
    // ($XDG_CONFIG_HOME/lazrine, else ~/.config/lazrine, made when missing).
    // On Windows always beside the executable.
    static std::string PrivateFile(const std::string& file);
};

}  // namespace lazrine::platform

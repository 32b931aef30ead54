#include "platform/ModuleDir.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace lazrine::platform {

bool ModuleDir::GetModuleDir(std::string& out) {
    out.clear();
    std::vector<char> buffer(4096);
    for (int attempt = 0; attempt < 4; ++attempt) {
        const ssize_t got = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (got < 0) {
            return false;
        }
        if (static_cast<std::size_t>(got) < buffer.size()) {
            const std::string path(buffer.data(), static_cast<std::size_t>(got));
            const std::size_t slash = path.rfind('/');
            if (slash == std::string::npos) {
                return false;
            }
            out = path.substr(0, slash + 1);
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
    return false;
}

std::string ModuleDir::PrivateFile(const std::string& file) {
    std::string dir;
    if (GetModuleDir(dir) &&
        (::access((dir + file).c_str(), F_OK) == 0 || ::access(dir.c_str(), W_OK) == 0)) {
        return dir + file;
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string folder;
    if (config != nullptr && config[0] == '/') {
        folder = std::string(config) + "/lazrine/";
    } else if (home != nullptr && home[0] == '/') {
        folder = std::string(home) + "/.config/lazrine/";
    } else {
        return dir + file;
    }
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder + file;
}

}  // namespace lazrine::platform

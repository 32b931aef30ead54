#include "platform/ModuleDir.h"

#include <unistd.h>

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

}  // namespace lazrine::platform

#include "platform/WinePrefix.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace lazrine::platform {
namespace {

std::optional<std::string>& Override() {
    static std::optional<std::string> folder;
    return folder;
}

std::string ExistingFolder(std::string folder) {
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    std::error_code ec;
    if (folder.empty() || !std::filesystem::is_directory(folder, ec)) {
        return {};
    }
    return folder;
}

}  // namespace

std::string WinePrefix::Locate() {
    if (Override()) {
        return ExistingFolder(*Override());
    }
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix != nullptr && prefix[0] != '\0') {
        return ExistingFolder(prefix);
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        return {};
    }
    return ExistingFolder(std::string(home) + "/.wine");
}

void WinePrefix::SetOverride(std::optional<std::string> folder) { Override() = std::move(folder); }

}  // namespace lazrine::platform

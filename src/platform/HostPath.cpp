#include "platform/HostPath.h"

#include <filesystem>
#include <system_error>

#include "platform/WinePathMapper.h"
#include "platform/WinePrefix.h"

namespace lazrine::platform {

bool HostPath::FromPalmText(std::string_view text, std::string& out, std::string* error) {
    const WinePathMapper mapper(WinePrefix::Locate());
    return mapper.ToHostPath(text, out, error);
}

std::string HostPath::Absolute(const std::string& name) {
    if (name.empty()) {
        return name;
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::path(name), error);
    return error ? name : absolute.string();
}

}  // namespace lazrine::platform

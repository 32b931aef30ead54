#include "platform/HostPath.h"

#include <filesystem>
#include <system_error>

#include "platform/TextCodec.h"
#include "platform/windows/WideText.h"

namespace lazrine::platform {

bool HostPath::FromPalmText(std::string_view text, std::string& out, std::string* error) {
    out.clear();
    if (text.empty() || text.find('\0') != std::string_view::npos) {
        if (error != nullptr) {
            *error = text.empty() ? "no path given" : "the path holds a zero byte";
        }
        return false;
    }
    // Palm Desktop's texts are Windows-1252; a text that is valid UTF-8
    // (a path a user wrote into the settings file) is taken as it is.
    std::wstring wide;
    out = WideText::FromUtf8(text, wide) ? std::string(text) : TextCodec::Cp1252ToUtf8(text);
    return true;
}

std::string HostPath::Absolute(const std::string& name) {
    std::wstring wide;
    if (name.empty() || !WideText::FromUtf8(name, wide)) {
        return name;
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::path(wide), error);
    return error ? name : WideText::ToUtf8(absolute.wstring());
}

}  // namespace lazrine::platform

#include "platform/ModuleDir.h"

#include <windows.h>

#include <vector>

#include "platform/windows/WideText.h"

namespace lazrine::platform {

bool ModuleDir::GetModuleDir(std::string& out) {
    out.clear();
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 6; ++attempt) {
        const DWORD got = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) {
            return false;
        }
        if (got < buffer.size()) {
            const std::string path = WideText::ToUtf8(std::wstring_view(buffer.data(), got));
            const std::size_t sep = path.find_last_of("\\/");
            if (sep == std::string::npos) {
                return false;
            }
            out = path.substr(0, sep + 1);
            return true;
        }
        buffer.resize(buffer.size() * 2);
    }
    return false;
}

std::string ModuleDir::PrivateFile(const std::string& file) { return FileBeside(file); }

}  // namespace lazrine::platform

#include "platform/ShellOpen.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/windows/WideText.h"

namespace lazrine::platform {
bool ShellOpen::ShellOpenDocument(const std::string& target) {
    if (target.empty()) {
        return false;
    }
    std::wstring wideTarget;
    if (!WideText::FromUtf8(target, wideTarget)) {
        return true;
    }
    if (Opener().empty()) {
        ::ShellExecuteW(nullptr, L"open", wideTarget.c_str(), L"", L"", SW_SHOWNORMAL);
        return true;
    }
    // A program named by the caller opens the target instead of the shell;
    // it is started and not waited for.
    std::wstring program;
    if (WideText::FromUtf8(Opener(), program)) {
        const std::wstring parameters = L"\"" + wideTarget + L"\"";
        ::ShellExecuteW(nullptr, L"open", program.c_str(), parameters.c_str(), L"", SW_SHOWNORMAL);
    }
    return true;
}

}  // namespace lazrine::platform

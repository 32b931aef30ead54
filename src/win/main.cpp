// Lazrine's window program on Windows. Starts the main window on the
// settings file beside the executable, or on the one named with
// --settings <file>.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/HostFolder.h"
#include "platform/HostPath.h"
#include "platform/ModuleDir.h"
#include "win/Win32UiServices.h"
#include "win/WinMainWindow.h"
#include "win/WinText.h"

namespace {

std::vector<std::string> Arguments() {
    std::vector<std::string> args;
    int count = 0;
    if (LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) {
            args.push_back(lazrine::win::WinText::Utf8(argv[i]));
        }
        ::LocalFree(argv);
    }
    return args;
}

// The user guide installed with the program: beside it, in its doc folder,
// or where the installation's layout puts the documentation.
std::string GuidePath() {
    std::string fromBin = LAZRINE_GUIDE_FROM_BIN;
    for (char& c : fromBin) {
        c = c == '/' ? '\\' : c;
    }
    const std::string candidates[] = {"user-guide.html", "doc\\user-guide.html", fromBin};
    for (const std::string& candidate : candidates) {
        const std::string path = lazrine::platform::ModuleDir::FileBeside(candidate);
        if (lazrine::platform::HostFolder::IsFile(path)) {
            return path;
        }
    }
    return lazrine::platform::ModuleDir::FileBeside(candidates[0]);
}

// Where exports and browsing start: the user's documents.
std::string HomeFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        return lazrine::win::WinText::Utf8(folder);
    }
    return {};
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show) {
    const std::vector<std::string> args = Arguments();
    std::string settings = lazrine::platform::ModuleDir::FileBeside("tamrisk.ini");
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--settings" && i + 1 < args.size()) {
            settings = lazrine::platform::HostPath::Absolute(args[++i]);
        } else if (args[i].rfind("--settings=", 0) == 0) {
            settings = lazrine::platform::HostPath::Absolute(args[i].substr(11));
        } else {
            const std::wstring text = L"Usage: lazrine [--settings <file>]\n\nUses <file> as the settings file "
                                      L"instead of tamrisk.ini beside the program.";
            ::MessageBoxW(nullptr, text.c_str(), L"Lazrine", MB_OK | MB_ICONINFORMATION);
            return args[i] == "--help" || args[i] == "-h" ? 0 : 2;
        }
    }

    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES |
                                                                     ICC_BAR_CLASSES | ICC_LINK_CLASS |
                                                                     ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    lazrine::win::Win32UiServices ui;
    // The window writes the settings file when it goes, after the loop.
    lazrine::win::WinMainWindow window(settings, ui, lazrine::session::WorkspaceHooks::Defaults(), GuidePath(),
                                       HomeFolder());
    if (window.Handle() == nullptr) {
        return 1;
    }
    window.QuitWhenClosed();
    ::ShowWindow(window.Handle(), show);
    // The keyboard starts in the list of the page shown first.
    ::SetFocus(window.Control("lvMemo"));
    MSG msg{};
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Tab, the arrow keys and the mnemonics move between the controls.
        if (window.Handle() == nullptr ||
            (!window.TranslatePageKey(msg) && !::IsDialogMessageW(window.Handle(), &msg))) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

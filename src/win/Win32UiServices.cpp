#include "win/Win32UiServices.h"

#include <commdlg.h>

#include "platform/ShellOpen.h"
#include "win/WinText.h"

namespace lazrine::win {
namespace {

int Box(const std::string& caption, const std::string& text, UINT type) {
    return ::MessageBoxW(::GetActiveWindow(), WinText::Wide(text).c_str(), WinText::Wide(caption).c_str(), type);
}

// "vCard (*.vcf)\0*.vcf\0...\0\0", the types as the common dialogs take them.
std::wstring FilterList(const std::vector<session::FileFilter>& filters) {
    std::wstring list;
    for (const session::FileFilter& filter : filters) {
        list += WinText::Wide(filter.Text());
        list.push_back(L'\0');
        for (std::size_t i = 0; i < filter.patterns.size(); ++i) {
            list += (i == 0 ? L"" : L";") + WinText::Wide(filter.patterns[i]);
        }
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    return list;
}

// Room for a long path (the dialogs accept names up to 32,767 characters).
constexpr std::size_t kNameRoom = 32768;

// What the open and save dialogs share: the active window as owner, the
// types with the first one picked, the name buffer, where to start and the
// title. The strings must outlive the dialog.
OPENFILENAMEW FileDialog(const std::wstring& title, const std::wstring& types, std::wstring& name,
                         const std::wstring& folder) {
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = ::GetActiveWindow();
    ofn.lpstrFilter = types.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.c_str();
    return ofn;
}

}  // namespace

void Win32UiServices::Information(const std::string& caption, const std::string& text) {
    Box(caption, text, MB_OK | MB_ICONINFORMATION);
}

void Win32UiServices::Error(const std::string& caption, const std::string& text) {
    Box(caption, text, MB_OK | MB_ICONERROR);
}

void Win32UiServices::ErrorWithDetail(const std::string& caption, const std::string& text, const std::string& detail) {
    Box(caption, detail.empty() ? text : text + "\n\n" + detail, MB_OK | MB_ICONERROR);
}

bool Win32UiServices::Ask(const std::string& caption, const std::string& text) {
    return Box(caption, text, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

bool Win32UiServices::ChooseOpenFile(const std::string& title, const std::string& folder,
                                     const std::vector<session::FileFilter>& filters, std::string& chosen) {
    const std::wstring wideTitle = WinText::Wide(title);
    const std::wstring wideFolder = WinText::Wide(folder);
    const std::wstring types = FilterList(filters);
    std::wstring name(kNameRoom, L'\0');
    OPENFILENAMEW ofn = FileDialog(wideTitle, types, name, wideFolder);
    ofn.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetOpenFileNameW(&ofn)) {
        return false;
    }
    chosen = WinText::Utf8(name.c_str());
    return true;
}

bool Win32UiServices::ChooseSaveFile(const std::string& title, const std::string& suggested,
                                     const std::vector<session::FileFilter>& filters, std::string& chosen,
                                     std::size_t& filter) {
    const std::wstring wideTitle = WinText::Wide(title);
    const std::wstring types = FilterList(filters);
    // The proposal splits into the folder to start in and the name.
    const std::wstring proposal = WinText::Wide(suggested);
    const std::size_t sep = proposal.find_last_of(L"\\/");
    const std::wstring folder = sep == std::wstring::npos ? std::wstring() : proposal.substr(0, sep);
    std::wstring name = sep == std::wstring::npos ? proposal : proposal.substr(sep + 1);
    name.resize(kNameRoom, L'\0');
    // The default type's extension is added to a name typed without one.
    std::wstring extension;
    if (!filters.empty() && !filters.front().patterns.empty()) {
        const std::wstring pattern = WinText::Wide(filters.front().patterns.front());
        const std::size_t dot = pattern.find_last_of(L'.');
        extension = dot == std::wstring::npos ? std::wstring() : pattern.substr(dot + 1);
    }
    OPENFILENAMEW ofn = FileDialog(wideTitle, types, name, folder);
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetSaveFileNameW(&ofn)) {
        return false;
    }
    chosen = WinText::Utf8(name.c_str());
    filter = ofn.nFilterIndex >= 1 && ofn.nFilterIndex <= filters.size() ? ofn.nFilterIndex - 1 : kNoFilter;
    return true;
}

bool Win32UiServices::OpenUrl(const std::string& url) { return platform::ShellOpen::ShellOpenDocument(url); }

INT_PTR Win32UiServices::RunDialog(WinDialog& dialog, HWND owner) { return dialog.RunModal(owner); }

}  // namespace lazrine::win

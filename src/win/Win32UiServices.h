#pragma once

#include "win/WinUiServices.h"

namespace lazrine::win {

// The desktop's own boxes and dialogs: MessageBoxW, GetOpenFileNameW,
// GetSaveFileNameW, the shell's "open" verb, and dialogs run modally. Each
// is owned by the window active in this thread, so that it stays in front
// of the window that asked.
class Win32UiServices final : public WinUiServices {
public:
    void Information(const std::string& caption, const std::string& text) override;
    void Error(const std::string& caption, const std::string& text) override;
    void ErrorWithDetail(const std::string& caption, const std::string& text, const std::string& detail) override;
    bool Ask(const std::string& caption, const std::string& text) override;
    bool ChooseOpenFile(const std::string& title, const std::string& folder,
                        const std::vector<session::FileFilter>& filters, std::string& chosen) override;
    bool ChooseSaveFile(const std::string& title, const std::string& suggested,
                        const std::vector<session::FileFilter>& filters, std::string& chosen,
                        std::size_t& filter) override;
    bool OpenUrl(const std::string& url) override;
    INT_PTR RunDialog(WinDialog& dialog, HWND owner) override;
};

}  // namespace lazrine::win

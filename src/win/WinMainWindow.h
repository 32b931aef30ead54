#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "session/WindowActions.h"
#include "session/Workspace.h"
#include "win/WinHandle.h"
#include "win/WinMetrics.h"
#include "win/WinPage.h"
#include "win/WinUiServices.h"

namespace lazrine::win {

// Lazrine's main window on Windows: pick a Palm Desktop user, see the
// deleted (or all) records of each kind on its own page, check records and
// undelete or export them.
//
// The window holds controls only: what a page shows and checks, how an
// undelete or an export runs and every sentence it says come from its
// workspace (the session layer); a kind whose record set is not available
// keeps its page, with its columns, empty. Choices persist in the settings
// file, which is read when the window is made and written once when it goes.
//
// Guarantees: an undelete is reported as a success only for records that
// were really written; when a record cannot be undeleted or the data cannot
// be written, an error box says so and the page shows what the data on disk
// holds. Files named in the settings load even without a Palm Desktop user.
class WinMainWindow {
public:
    static constexpr int kPageCount = static_cast<int>(palm::kPmKindCount);
    static constexpr int kUserLabel = 100;
    static constexpr int kUser = 101;
    static constexpr int kOption = 102;
    static constexpr int kHelp = 103;
    static constexpr int kExit = 104;
    static constexpr int kTabs = 105;
    static constexpr int kStatus = 106;

    // Makes the window, hidden, on the settings file; `ui` must outlive it.
    // `guide` is the user guide Help opens, `home` the folder exports and
    // browsing start in.
    WinMainWindow(std::string settingsFile, WinUiServices& ui,
                  session::WorkspaceHooks hooks = session::WorkspaceHooks::Defaults(), std::string guide = {},
                  std::string home = {});
    ~WinMainWindow();
    WinMainWindow(const WinMainWindow&) = delete;
    WinMainWindow& operator=(const WinMainWindow&) = delete;

    // Null once the window was closed.
    HWND Handle() const { return m_window.Get(); }
    // The control of that name ("cmbUser", "btnMemoUnDel", "lvAddr"); null for none.
    HWND Control(std::string_view name) const;
    const session::OptionRec& Options() const { return m_Workspace.Options(); }
    // Ends the program's message loop when the window goes.
    void QuitWhenClosed() { m_bQuitWhenClosed = true; }
    // Ctrl+Tab and Ctrl+Page Down show the next page, with Shift or Page Up
    // the one before, as in any window with tabs; true when `msg` was one.
    bool TranslatePageKey(const MSG& msg);

private:
    // Called by the system: no exception leaves it (noexcept ends the
    // program instead of unwinding through the system's frames).
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void BuildControls();
    HWND Add(const wchar_t* cls, const wchar_t* text, DWORD style, int id, std::string name, int x, int y, int width,
             int height, DWORD exStyle = 0);
    void OnCommand(int id, int code);

    bool FormCloseQuery();
    void FillUserList();
    void cmbUserChange();
    void btnOptionClick();
    void ShowOptionsResult(const std::array<bool, palm::kPmKindCount>& changed);
    void rbtnClick(int page, bool all);
    void btnUnDelClick(int page);
    void btnExportClick(int page);
    void btnBackupsClick(int page);
    // The file an export proposes: the kind's name in the home folder.
    std::string SuggestedExport(int page) const;
    // A wait cursor while an export writes.
    static session::WindowActions::Busy WaitCursor();
    void SelectPage(int page);
    void ShowPage(int page);
    void ShowStatus();
    WinPage& PageAt(int page) { return *m_pages.at(static_cast<std::size_t>(page)); }
    static palm::PmKind KindAt(int page) { return static_cast<palm::PmKind>(page); }

    WinUiServices& m_ui;
    session::Workspace m_Workspace;
    std::string m_szGuide;
    std::string m_szHome;
    std::string m_szWebSite;
    std::unique_ptr<WinMetrics> m_pMetrics;
    UniqueWindow m_window;
    std::vector<std::pair<std::string, HWND>> m_named;
    std::array<std::unique_ptr<WinPage>, palm::kPmKindCount> m_pages;
    HWND m_tooltip = nullptr;
    // Clear while the user list is rebuilt: user changes are ignored then.
    bool m_bReady = false;
    bool m_bQuitWhenClosed = false;
};

}  // namespace lazrine::win

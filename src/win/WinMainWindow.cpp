#include "win/WinMainWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "platform/TextCodec.h"
#include "session/BackupList.h"
#include "session/ExportJob.h"
#include "session/WindowActions.h"
#include "win/WinBackupsDialog.h"
#include "win/WinClass.h"
#include "win/WinOptionsDialog.h"
#include "win/WinQuitConfirm.h"
#include "win/WinText.h"

namespace lazrine::win {
namespace {

constexpr wchar_t kClassName[] = L"LazrineMain";
constexpr int kClientWidth = 794;
constexpr int kClientHeight = 594;

}  // namespace

WinMainWindow::WinMainWindow(std::string settingsFile, WinUiServices& ui, session::WorkspaceHooks hooks,
                             std::string guide, std::string home)
    : m_ui(ui),
      m_Workspace(std::move(settingsFile), std::move(hooks)),
      m_szGuide(std::move(guide)),
      m_szHome(std::move(home)),
      m_szWebSite(LAZRINE_WEB_SITE_URL) {
    if (m_szWebSite.empty()) {
        m_szWebSite = m_szGuide;
    }
    m_Workspace.Open();
    WinClass::Register(kClassName, &WindowProc, ::GetSysColorBrush(COLOR_BTNFACE));
    m_pMetrics = std::make_unique<WinMetrics>();
    const WinMetrics& m = *m_pMetrics;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame{0, 0, m.Px(kClientWidth), m.Px(kClientHeight)};
    ::AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    ::CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"Lazrine Utility", style,
                      area.left + (area.right - area.left - width) / 2, area.top + (area.bottom - area.top - height) / 2,
                      width, height, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
    if (!m_window) {
        return;
    }
    // The system may know the window's own resolution better than the screen's.
    m_pMetrics = std::make_unique<WinMetrics>(m_window.Get());
    BuildControls();
    FillUserList();
}

WinMainWindow::~WinMainWindow() {
    m_window.Reset();
    // At shut-down nobody is left to tell but the log.
    if (!m_Workspace.Close()) {
        std::fprintf(stderr, "lazrine: could not write the settings file %s\n", m_Workspace.SettingsFile().c_str());
    }
}

HWND WinMainWindow::Control(std::string_view name) const {
    for (const auto& [controlName, control] : m_named) {
        if (controlName == name) {
            return control;
        }
    }
    for (const auto& page : m_pages) {
        if (page) {
            if (HWND control = page->Named(name)) {
                return control;
            }
        }
    }
    return nullptr;
}

HWND WinMainWindow::Add(const wchar_t* cls, const wchar_t* text, DWORD style, int id, std::string name, int x, int y,
                        int width, int height, DWORD exStyle) {
    const WinMetrics& m = *m_pMetrics;
    HWND control = ::CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, m.Px(x), m.Px(y), m.Px(width),
                                     m.Px(height), m_window.Get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     ::GetModuleHandleW(nullptr), nullptr);
    m.Apply(control);
    m_named.emplace_back(std::move(name), control);
    return control;
}

void WinMainWindow::BuildControls() {
    const WinMetrics& m = *m_pMetrics;
    const wchar_t* const userText = L"Select Palm Desktop User:";
    HWND label = Add(L"STATIC", userText, SS_LEFT | SS_NOPREFIX, kUserLabel, "lblUser", 8, 12, 150, 20);
    HWND combo = Add(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | WS_GROUP, kUser, "cmbUser", 160,
                     8, 260, 200);
    HWND option = Add(L"BUTTON", L"...", BS_PUSHBUTTON | WS_TABSTOP, kOption, "btnOption", 424, 8, 28, 24);
    // The user list and "..." follow the label, however wide the font makes it.
    const int labelWidth = std::max(m.Px(150), m.TextWidth(userText) + m.Px(4));
    ::MoveWindow(label, m.Px(8), m.Px(12), labelWidth, m.Px(20), FALSE);
    ::MoveWindow(combo, m.Px(10) + labelWidth, m.Px(8), m.Px(260), m.Px(200), FALSE);
    ::MoveWindow(option, m.Px(274) + labelWidth, m.Px(8), m.Px(28), m.Px(24), FALSE);
    Add(L"BUTTON", L"&Help", BS_PUSHBUTTON | WS_TABSTOP, kHelp, "btnHelp", 630, 8, 75, 24);
    Add(L"BUTTON", L"E&xit", BS_PUSHBUTTON | WS_TABSTOP, kExit, "btnExit", 711, 8, 75, 24);
    HWND status = Add(STATUSCLASSNAMEW, L"", 0, kStatus, "sbMain", 0, 0, 0, 0);
    RECT statusRect{};
    ::GetWindowRect(status, &statusRect);
    const int statusHeight = statusRect.bottom - statusRect.top;
    HWND tabs = Add(WC_TABCONTROLW, L"", WS_TABSTOP | WS_CLIPSIBLINGS | WS_GROUP, kTabs, "spMain", 4, 40, 786, 0);
    RECT client{};
    ::GetClientRect(m_window.Get(), &client);
    ::MoveWindow(tabs, m.Px(4), m.Px(40), client.right - m.Px(8), client.bottom - m.Px(44) - statusHeight, FALSE);

    // The tool tip names the "..." button.
    m_tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window.Get(), nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_window.Get();
    tool.uId = reinterpret_cast<UINT_PTR>(option);
    std::wstring tip = L"Options";
    tool.lpszText = tip.data();
    ::SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));

    RECT body{};
    ::GetWindowRect(tabs, &body);
    ::MapWindowPoints(nullptr, m_window.Get(), reinterpret_cast<POINT*>(&body), 2);
    for (int page = 0; page < kPageCount; ++page) {
        const palm::PmKindInfo& kind = palm::PmKindInfo::Of(KindAt(page));
        std::wstring caption = WinText::Wide(kind.szPageCaption);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        ::SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&item));
    }
    // The body is what the tab control leaves below its captions.
    ::SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&body));
    for (int page = 0; page < kPageCount; ++page) {
        auto& slot = m_pages.at(static_cast<std::size_t>(page));
        slot = std::make_unique<WinPage>(m_window.Get(), page, m, m_Workspace.Session(KindAt(page)));
        slot->Place(body);
    }
    ::SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SelectPage(static_cast<int>(palm::PmKind::kMemos));
}

void WinMainWindow::SelectPage(int page) {
    // The keyboard, when it was on a page, moves to the list of the new one
    // rather than stay on a hidden control.
    HWND focus = ::GetFocus();
    bool focusOnPage = false;
    for (const auto& p : m_pages) {
        focusOnPage = focusOnPage || (focus != nullptr && ::IsChild(p->Handle(), focus));
    }
    ::SendMessageW(Control("spMain"), TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    for (int p = 0; p < kPageCount; ++p) {
        ::ShowWindow(PageAt(p).Handle(), p == page ? SW_SHOW : SW_HIDE);
    }
    if (focusOnPage) {
        ::SetFocus(PageAt(page).Item(WinPage::kList));
    }
}

bool WinMainWindow::TranslatePageKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || !m_window || (::GetKeyState(VK_CONTROL) & 0x8000) == 0 ||
        (msg.hwnd != m_window.Get() && !::IsChild(m_window.Get(), msg.hwnd))) {
        return false;
    }
    int step = 0;
    if (msg.wParam == VK_TAB) {
        step = (::GetKeyState(VK_SHIFT) & 0x8000) != 0 ? -1 : 1;
    } else if (msg.wParam == VK_NEXT || msg.wParam == VK_PRIOR) {
        step = msg.wParam == VK_NEXT ? 1 : -1;
    } else {
        return false;
    }
    const auto current = static_cast<int>(::SendMessageW(Control("spMain"), TCM_GETCURSEL, 0, 0));
    SelectPage((current + step + kPageCount) % kPageCount);
    return true;
}

void WinMainWindow::FillUserList() {
    m_bReady = false;
    HWND combo = Control("cmbUser");
    ::SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    m_Workspace.RefreshUsers();
    const auto& users = m_Workspace.Users();
    for (std::size_t i = 0; i < users.size(); ++i) {
        // Palm Desktop keeps user names in Windows-1252. Each item carries
        // the position of its user in the user list.
        const std::wstring name = WinText::Wide(platform::TextCodec::Cp1252ToUtf8(users[i].szName));
        const auto item = ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        ::SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(item), static_cast<LPARAM>(i));
    }
    if (!users.empty()) {
        ::SendMessageW(combo, CB_SETCURSEL, m_Workspace.SelectedUser(), 0);
    }
    m_bReady = true;
    cmbUserChange();
}

void WinMainWindow::cmbUserChange() {
    if (!m_bReady) {
        return;
    }
    HWND combo = Control("cmbUser");
    const auto item = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (m_Workspace.Users().empty() || item == CB_ERR) {
        // Without users, the files the settings name are still data.
        m_Workspace.LoadAll();
    } else {
        m_Workspace.SelectUser(static_cast<std::size_t>(::SendMessageW(combo, CB_GETITEMDATA, item, 0)));
    }
    for (int page = 0; page < kPageCount; ++page) {
        ShowPage(page);
    }
}

void WinMainWindow::ShowPage(int page) {
    PageAt(page).ShowRecords();
    ShowStatus();
}

void WinMainWindow::ShowStatus() {
    ::SendMessageW(Control("sbMain"), SB_SETTEXTW, 0,
                   reinterpret_cast<LPARAM>(WinText::Wide(m_Workspace.StatusText()).c_str()));
}

bool WinMainWindow::FormCloseQuery() {
    if (m_Workspace.Options().bQuitRemind == 0) {
        return true;
    }
    WinQuitConfirm confirm(m_Workspace.Options());
    return m_ui.RunDialog(confirm, m_window.Get()) == IDOK;
}

void WinMainWindow::btnOptionClick() {
    WinOptionsDialog dialog(m_Workspace.Options(), m_Workspace.RecordSets(), m_ui, m_Workspace.UserDataFolder(),
                            m_szHome);
    if (m_ui.RunDialog(dialog, m_window.Get()) != IDOK) {
        return;
    }
    ShowOptionsResult(dialog.ChangedFlags());
}

void WinMainWindow::ShowOptionsResult(const std::array<bool, palm::kPmKindCount>& changed) {
    m_Workspace.ReloadChanged(changed);
    for (const palm::PmKindInfo& kind : palm::PmKindInfo::All()) {
        if (changed[kind.Index()]) {
            ShowPage(static_cast<int>(kind.Index()));
        }
    }
    session::WindowActions::ReportFailedReloads(m_Workspace, changed, m_ui);
}

void WinMainWindow::rbtnClick(int page, bool all) {
    m_Workspace.SetShowAll(KindAt(page), all);
    PageAt(page).ShowAllChosen(all);
    ShowPage(page);
}

void WinMainWindow::btnUnDelClick(int page) {
    session::WindowActions::Undelete(m_Workspace, KindAt(page), m_ui);
    ShowPage(page);
}

void WinMainWindow::btnExportClick(int page) {
    session::WindowActions::Export(m_Workspace, KindAt(page), m_ui, SuggestedExport(page), WaitCursor());
}

std::string WinMainWindow::SuggestedExport(int page) const {
    std::string suggested = session::ExportJob::SuggestedName(palm::PmKindInfo::Of(KindAt(page)));
    if (!m_szHome.empty()) {
        suggested = m_szHome + (m_szHome.back() == '\\' ? "" : "\\") + suggested;
    }
    return suggested;
}

session::WindowActions::Busy WinMainWindow::WaitCursor() {
    return [previous = HCURSOR{}](bool busy) mutable {
        if (busy) {
            previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        } else {
            ::SetCursor(previous);
        }
    };
}

void WinMainWindow::btnBackupsClick(int page) {
    session::BackupList list(m_Workspace, KindAt(page));
    const HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    // The status bar counts the files looked at while the scan runs.
    HWND bar = Control("sbMain");
    const bool scanned = list.ScanOrExplain(m_ui, [bar](std::size_t seen, const std::string&) {
        if (seen % 20 == 0) {
            const std::wstring text = L"Searching the user's folder\u2026 " + std::to_wstring(seen) + L" files";
            ::SendMessageW(bar, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
            ::UpdateWindow(bar);
        }
        return true;
    });
    ShowStatus();
    ::SetCursor(previous);
    if (scanned) {
        WinBackupsDialog dialog(list, m_ui, SuggestedExport(page), WaitCursor());
        m_ui.RunDialog(dialog, m_window.Get());
    }
}

void WinMainWindow::OnCommand(int id, int code) {
    switch (id) {
        case kUser:
            if (code == CBN_SELCHANGE) {
                cmbUserChange();
            }
            return;
        case kOption:
            btnOptionClick();
            return;
        case kHelp:
            m_ui.OpenUrl(m_szGuide);
            return;
        case kExit:
            ::SendMessageW(m_window.Get(), WM_CLOSE, 0, 0);
            return;
        default:
            break;
    }
    if (id < WinPage::kIdBase || id >= WinPage::kIdBase + kPageCount * WinPage::kIdStride || code != BN_CLICKED) {
        return;
    }
    const int page = (id - WinPage::kIdBase) / WinPage::kIdStride;
    const auto control = static_cast<WinPage::Control>((id - WinPage::kIdBase) % WinPage::kIdStride);
    session::KindSession& session = m_Workspace.Session(KindAt(page));
    switch (control) {
        case WinPage::kDel:
        case WinPage::kAll: {
            // A radio button acts when it becomes checked.
            const bool all = control == WinPage::kAll;
            if (::SendMessageW(PageAt(page).Item(control), BM_GETCHECK, 0, 0) == BST_CHECKED &&
                session.ShowAll() != all) {
                rbtnClick(page, all);
            }
            return;
        }
        case WinPage::kSel:
        case WinPage::kClear:
            session.SetAllChecked(control == WinPage::kSel);
            PageAt(page).ShowChecks();
            return;
        case WinPage::kUnDel:
            btnUnDelClick(page);
            return;
        case WinPage::kExport:
            btnExportClick(page);
            return;
        case WinPage::kBackups:
            btnBackupsClick(page);
            return;
        case WinPage::kWeb:
            m_ui.OpenUrl(m_szWebSite);
            return;
        default:
            return;
    }
}

LRESULT WinMainWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = m_window.Get();
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (header.idFrom == static_cast<UINT_PTR>(kTabs) && header.code == TCN_SELCHANGE) {
                SelectPage(static_cast<int>(::SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
            }
            return 0;
        }
        case WM_CLOSE:
            if (FormCloseQuery()) {
                ::DestroyWindow(hwnd);
            }
            return 0;
        case WM_DESTROY:
            if (m_bQuitWhenClosed) {
                ::PostQuitMessage(0);
            }
            return 0;
        default:
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK WinMainWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<WinMainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window.Reset(hwnd);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WinMainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        // The system freed the window: nothing is left to destroy.
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_window.Release();
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}

}  // namespace lazrine::win

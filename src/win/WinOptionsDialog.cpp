#include "win/WinOptionsDialog.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

#include "session/Messages.h"
#include "win/WinText.h"

namespace lazrine::win {
namespace {

constexpr int kKindCount = static_cast<int>(palm::kPmKindCount);

palm::PmKind KindAt(int kind) { return static_cast<palm::PmKind>(kind); }

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

WinOptionsDialog::WinOptionsDialog(session::OptionRec& option, const session::OptionsFlow::RecordSets& recordSets,
                                   WinUiServices& ui, std::string userDataFolder, std::string home)
    : WinDialog(L"Lazrine Options", 477, 218),
      m_Option(option),
      m_Flow(recordSets),
      m_ui(ui),
      m_szUserDataFolder(std::move(userDataFolder)),
      m_szHome(std::move(home)) {}

void WinOptionsDialog::OnInit() {
    AddControl(L"STATIC", L"You may also open Palm Desktop database by file name:", SS_LEFT | SS_NOPREFIX, kLabel, 10,
               10, 457, 20);
    HWND tabs = AddControl(WC_TABCONTROLW, L"", WS_TABSTOP | WS_CLIPSIBLINGS, kTabs, 10, 34, 457, 134);
    for (int kind = 0; kind < kKindCount; ++kind) {
        std::wstring caption = WinText::Wide(palm::PmKindInfo::Of(KindAt(kind)).szCaption);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = caption.data();
        ::SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(&item));

        const std::string& stored = m_Option.FileOf(kind);
        HWND check = AddControl(L"BUTTON", L"File Name", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP,
                                IdOf(kFileCheck, KindAt(kind)), 24, 86, 84, 22);
        ::SendMessageW(check, BM_SETCHECK, stored.empty() ? BST_UNCHECKED : BST_CHECKED, 0);
        HWND edit = AddControl(L"EDIT", WinText::Wide(stored).c_str(), ES_AUTOHSCROLL | WS_TABSTOP,
                               IdOf(kFileEdit, KindAt(kind)), 112, 86, 310, 23, WS_EX_CLIENTEDGE);
        // The edit takes what the check box's text leaves before "...".
        const WinMetrics& m = Metrics();
        const int checkWidth = std::max(m.Px(84), m.TextWidth(L"File Name") + m.Px(26));
        ::MoveWindow(check, m.Px(24), m.Px(86), checkWidth, m.Px(22), FALSE);
        ::MoveWindow(edit, m.Px(28) + checkWidth, m.Px(86), m.Px(394) - checkWidth, m.Px(23), FALSE);
        AddControl(L"BUTTON", L"...", BS_PUSHBUTTON | WS_TABSTOP, IdOf(kFileBrowse, KindAt(kind)), 428, 86, 28, 23);
        UpdateKind(kind);
    }
    // The kinds' controls lie over the tab control's body.
    ::SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    AddControl(L"BUTTON", L"&OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, 307, 182, 75, 25);
    AddControl(L"BUTTON", L"&Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 392, 182, 75, 25);
    ShowKind(0);
}

void WinOptionsDialog::ShowKind(int kind) {
    ::SendMessageW(Item(kTabs), TCM_SETCURSEL, static_cast<WPARAM>(kind), 0);
    for (int k = 0; k < kKindCount; ++k) {
        for (const int control : {kFileCheck, kFileEdit, kFileBrowse}) {
            ::ShowWindow(Item(IdOf(control, KindAt(k))), k == kind ? SW_SHOW : SW_HIDE);
        }
    }
}

void WinOptionsDialog::UpdateKind(int kind) {
    const palm::PmKind k = KindAt(kind);
    const bool available = m_Flow.Available(k);
    const bool checked = ::SendMessageW(Item(IdOf(kFileCheck, k)), BM_GETCHECK, 0, 0) == BST_CHECKED;
    ::EnableWindow(Item(IdOf(kFileCheck, k)), available);
    ::EnableWindow(Item(IdOf(kFileEdit, k)), checked);
    ::SendMessageW(Item(IdOf(kFileEdit, k)), EM_SETREADONLY, available ? FALSE : TRUE, 0);
    ::EnableWindow(Item(IdOf(kFileBrowse, k)), available && checked);
}

std::string WinOptionsDialog::NameIn(int kind) const {
    return WinText::Utf8(WinText::Of(Item(IdOf(kFileEdit, KindAt(kind)))));
}

void WinOptionsDialog::BrowseKind(int kind) {
    const session::OptionsFlow::Verdict verdict =
        m_Flow.Browse(KindAt(kind), Trimmed(NameIn(kind)), m_szUserDataFolder, m_szHome, m_ui);
    if (verdict.nOutcome == session::Outcome::kOk) {
        ::SetWindowTextW(Item(IdOf(kFileEdit, KindAt(kind))), WinText::Wide(verdict.szPath).c_str());
    } else if (verdict.nOutcome != session::Outcome::kCancelled) {
        Refuse(kind, session::Messages::InvalidBrowsedFile(palm::PmKindInfo::Of(KindAt(kind))), verdict.szReason);
    }
}

void WinOptionsDialog::Refuse(int kind, const std::string& message, const std::string& reason) {
    m_ui.ErrorWithDetail(session::Messages::kError, message, reason);
    ShowKind(kind);
    HWND edit = Item(IdOf(kFileEdit, KindAt(kind)));
    ::SetFocus(edit);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
}

bool WinOptionsDialog::ApplyOptions() {
    std::array<session::OptionsFlow::Choice, palm::kPmKindCount> choices;
    for (int kind = 0; kind < kKindCount; ++kind) {
        const bool use = ::SendMessageW(Item(IdOf(kFileCheck, KindAt(kind))), BM_GETCHECK, 0, 0) == BST_CHECKED;
        choices.at(static_cast<std::size_t>(kind)) = {use, NameIn(kind)};
    }
    const session::OptionsFlow::ApplyReport report = m_Flow.Apply(choices, m_Option);
    if (report.nOutcome != session::Outcome::kOk) {
        Refuse(static_cast<int>(report.nRefused),
               session::Messages::InvalidDataFile(palm::PmKindInfo::Of(report.nRefused)), report.szReason);
        return false;
    }
    m_bChanged = report.changed;
    return true;
}

bool WinOptionsDialog::OnCommand(int id, int code) {
    if (id == IDOK) {
        if (ApplyOptions()) {
            End(IDOK);
        }
        return true;
    }
    for (int kind = 0; kind < kKindCount; ++kind) {
        if (id == IdOf(kFileCheck, KindAt(kind)) && code == BN_CLICKED) {
            UpdateKind(kind);
            return true;
        }
        if (id == IdOf(kFileBrowse, KindAt(kind)) && code == BN_CLICKED) {
            BrowseKind(kind);
            return true;
        }
    }
    return false;
}

HBRUSH WinOptionsDialog::ControlBrush(HWND control) {
    // The check boxes lie on the tab control's body, whose colour a theme
    // makes that of a window.
    const int id = ::GetDlgCtrlID(control);
    for (int kind = 0; kind < kKindCount; ++kind) {
        if (id == IdOf(kFileCheck, KindAt(kind))) {
            return ::GetSysColorBrush(::IsAppThemed() ? COLOR_WINDOW : COLOR_BTNFACE);
        }
    }
    return nullptr;
}

void WinOptionsDialog::OnNotify(const NMHDR& header) {
    if (header.idFrom == static_cast<UINT_PTR>(kTabs) && header.code == TCN_SELCHANGE) {
        ShowKind(static_cast<int>(::SendMessageW(header.hwndFrom, TCM_GETCURSEL, 0, 0)));
    }
}

}  // namespace lazrine::win

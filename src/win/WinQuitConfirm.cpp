#include "win/WinQuitConfirm.h"

namespace lazrine::win {

WinQuitConfirm::WinQuitConfirm(session::OptionRec& option) : WinDialog(L"Quit Lazrine", 300, 104), m_Option(option) {}

void WinQuitConfirm::OnInit() {
    AddControl(L"STATIC", L"Are you sure to quit the Lazrine program?", SS_LEFT | SS_NOPREFIX, kText, 12, 12, 276, 20);
    HWND ask = AddControl(L"BUTTON", L"Do not ask me again", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, kAsk, 12, 38,
                          276, 20);
    ::SendMessageW(ask, BM_SETCHECK, m_Option.bQuitRemind == 0 ? BST_CHECKED : BST_UNCHECKED, 0);
    HWND ok = AddControl(L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDOK, 132, 70, 75, 23);
    AddControl(L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL, 213, 70, 75, 23);
    ::SetFocus(ok);
}

bool WinQuitConfirm::OnCommand(int id, int /*code*/) {
    if (id == IDOK) {
        m_Option.bQuitRemind = ::SendMessageW(Item(kAsk), BM_GETCHECK, 0, 0) == BST_CHECKED ? 0 : 1;
        End(IDOK);
        return true;
    }
    return false;
}

}  // namespace lazrine::win

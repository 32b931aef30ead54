#include "win/WinBackupsDialog.h"

#include <commctrl.h>

#include "win/WinText.h"

namespace lazrine::win {

WinBackupsDialog::WinBackupsDialog(session::BackupList& list, session::UiServices& ui, std::string suggested,
                                   std::function<void(bool)> busy)
    : WinDialog(L"Find in Backups", 640, 400),
      m_list(list),
      m_ui(ui),
      m_szSuggested(std::move(suggested)),
      m_busy(std::move(busy)) {}

void WinBackupsDialog::OnInit() {
    AddControl(L"STATIC", WinText::Wide(m_list.Summary()).c_str(), SS_LEFT | SS_NOPREFIX, kSummary, 12, 10, 616, 34);
    HWND list = AddControl(WC_LISTVIEWW, L"", LVS_REPORT | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP, kList, 12, 48,
                           616, 300, WS_EX_CLIENTEDGE);
    const DWORD extended = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    const std::vector<std::string> captions = m_list.Captions();
    for (std::size_t c = 0; c < captions.size(); ++c) {
        std::wstring caption = WinText::Wide(captions[c]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = caption.data();
        column.cx = Metrics().Px(c == 0 ? 240 : 160);
        column.iSubItem = static_cast<int>(c);
        ::SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
    }
    ::SendMessageW(list, LVM_SETITEMCOUNT, m_list.RowCount(), 0);
    for (std::size_t row = 0; row < m_list.RowCount(); ++row) {
        for (std::size_t c = 0; c < captions.size(); ++c) {
            std::wstring text = WinText::SingleLine(WinText::Wide(m_list.CellText(row, c)));
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(row);
            item.iSubItem = static_cast<int>(c);
            item.pszText = text.data();
            ::SendMessageW(list, c == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        }
    }
    AddControl(L"BUTTON", L"&Select All", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, kSel, 12, 362, 90, 26);
    AddControl(L"BUTTON", L"&Clear", BS_PUSHBUTTON | WS_TABSTOP, kClear, 108, 362, 90, 26);
    AddControl(L"BUTTON", L"&Export\u2026", BS_PUSHBUTTON | WS_TABSTOP, kExport, 204, 362, 90, 26);
    AddControl(L"BUTTON", L"Close", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, IDCANCEL, 538, 362, 90, 26);
    ::SetFocus(list);
}

void WinBackupsDialog::CheckAll(bool checked) {
    LVITEMW state{};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    ::SendMessageW(Item(kList), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
}

bool WinBackupsDialog::OnCommand(int id, int code) {
    if (code != BN_CLICKED) {
        return false;
    }
    switch (id) {
        case kSel:
        case kClear:
            CheckAll(id == kSel);
            return true;
        case kExport: {
            HWND list = Item(kList);
            for (std::size_t row = 0; row < m_list.RowCount(); ++row) {
                const auto state = ::SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK);
                m_list.SetChecked(row, (static_cast<UINT>(state) & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2));
            }
            m_list.Export(m_ui, m_szSuggested, m_busy);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace lazrine::win

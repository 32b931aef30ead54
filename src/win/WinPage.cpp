#include "win/WinPage.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "common/misc/CommRecord.h"
#include "platform/TextCodec.h"
#include "win/WinClass.h"
#include "win/WinText.h"

namespace lazrine::win {
namespace {

constexpr wchar_t kClassName[] = L"LazrinePage";
// A cell holds at most this many bytes of its field, the end included.
constexpr std::size_t kCellBuffer = 4096;

}  // namespace

WinPage::WinPage(HWND parent, int page, const WinMetrics& metrics, session::KindSession& session)
    : m_nPage(page), m_Metrics(metrics), m_Session(session) {
    WinClass::Register(kClassName, &WindowProc, nullptr);
    // Inside a themed tab control the page takes the tab body's colour.
    m_background = ::GetSysColorBrush(::IsAppThemed() ? COLOR_WINDOW : COLOR_BTNFACE);
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    ::CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"", WS_CHILD | WS_CLIPCHILDREN, 0, 0, 0, 0, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdBase + page * kIdStride + kControlCount)),
                      instance, this);

    const palm::PmKindInfo& kind = session.Kind();
    const std::string prefix = kind.szPrefix;
    struct Spec {
        const wchar_t* cls;
        const wchar_t* text;
        DWORD style;
        std::string name;
    };
    const std::array<Spec, kControlCount> specs{{
        {L"STATIC", L"Show:", SS_LEFT, "lbl" + prefix + "Show"},
        {L"BUTTON", L"Deleted Records", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, "rbtn" + prefix + "Del"},
        {L"BUTTON", L"All Records", BS_AUTORADIOBUTTON, "rbtn" + prefix + "All"},
        {WC_LISTVIEWW, L"", LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_GROUP,
         "lv" + prefix},
        {L"BUTTON", L"&Select All", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, "btn" + prefix + "Sel"},
        {L"BUTTON", L"&Clear", BS_PUSHBUTTON | WS_TABSTOP, "btn" + prefix + "Clear"},
        {L"BUTTON", L"&Undelete", BS_PUSHBUTTON | WS_TABSTOP, "btn" + prefix + "UnDel"},
        {L"BUTTON", L"&Export\u2026", BS_PUSHBUTTON | WS_TABSTOP, "btn" + prefix + "Export"},
        {L"BUTTON", L"Find in Backups\u2026", BS_PUSHBUTTON | WS_TABSTOP, "btn" + prefix + "Backups"},
        {WC_LINK, L"<a>Visit Lazrine Web Site</a>", WS_TABSTOP, "lnk" + prefix + "Web"},
    }};
    for (int c = 0; c < kControlCount; ++c) {
        const Spec& spec = specs.at(static_cast<std::size_t>(c));
        HWND control = ::CreateWindowExW(c == kList ? WS_EX_CLIENTEDGE : 0, spec.cls, spec.text,
                                         WS_CHILD | WS_VISIBLE | spec.style, 0, 0, 0, 0, m_hwnd,
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(IdOf(page, Control(c)))),
                                         instance, nullptr);
        m_controls.at(static_cast<std::size_t>(c)) = control;
        m_names.at(static_cast<std::size_t>(c)) = spec.name;
        metrics.Apply(control);
    }

    HWND list = Item(kList);
    const DWORD extended = LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER;
    ::SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    // The check boxes are the session's: the list asks for them as it asks
    // for the texts.
    ::SendMessageW(list, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    for (std::size_t i = 0; i < kind.columns.size(); ++i) {
        std::wstring caption = WinText::Wide(kind.columns[i].caption);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = caption.data();
        column.cx = metrics.Px(kind.columns[i].width);
        column.iSubItem = static_cast<int>(i);
        ::SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    ::SetWindowSubclass(list, &ListProc, 1, reinterpret_cast<DWORD_PTR>(this));
    ShowAllChosen(session.ShowAll());
    ShowRecords();
}

WinPage::~WinPage() {
    if (m_hwnd != nullptr) {
        ::DestroyWindow(m_hwnd);
    }
}

HWND WinPage::Named(std::string_view name) const {
    for (std::size_t c = 0; c < m_names.size(); ++c) {
        if (m_names[c] == name) {
            return m_controls[c];
        }
    }
    return nullptr;
}

void WinPage::Place(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    ::MoveWindow(m_hwnd, area.left, area.top, width, height, TRUE);
    const WinMetrics& m = m_Metrics;
    const int rowY = height - m.Px(36);
    const auto put = [&](Control c, int x, int y, int w, int h) { ::MoveWindow(Item(c), x, y, w, h, TRUE); };
    // The radio buttons follow their texts' widths, plus room for the circle.
    const int showWidth = m.TextWidth(L"Show:") + m.Px(6);
    const int delWidth = m.TextWidth(L"Deleted Records") + m.Px(26);
    const int allWidth = m.TextWidth(L"All Records") + m.Px(26);
    put(kShow, m.Px(8), m.Px(12), showWidth, m.Px(20));
    put(kDel, m.Px(8) + showWidth, m.Px(8), delWidth, m.Px(24));
    put(kAll, m.Px(20) + showWidth + delWidth, m.Px(8), allWidth, m.Px(24));
    put(kList, m.Px(8), m.Px(38), width - m.Px(16), rowY - m.Px(46));
    put(kSel, m.Px(8), rowY, m.Px(90), m.Px(26));
    put(kClear, m.Px(104), rowY, m.Px(90), m.Px(26));
    put(kUnDel, m.Px(200), rowY, m.Px(90), m.Px(26));
    put(kExport, m.Px(296), rowY, m.Px(90), m.Px(26));
    put(kBackups, m.Px(392), rowY, m.Px(130), m.Px(26));
    put(kWeb, width - m.Px(168), rowY + m.Px(5), m.Px(160), m.Px(20));
}

void WinPage::ShowRecords() {
    HWND list = Item(kList);
    ::SendMessageW(list, LVM_SETITEMCOUNT, m_Session.Shown().size(), 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

void WinPage::ShowChecks() { ::InvalidateRect(Item(kList), nullptr, FALSE); }

void WinPage::ShowAllChosen(bool all) {
    ::SendMessageW(Item(kDel), BM_SETCHECK, all ? BST_UNCHECKED : BST_CHECKED, 0);
    ::SendMessageW(Item(kAll), BM_SETCHECK, all ? BST_CHECKED : BST_UNCHECKED, 0);
    ::EnableWindow(Item(kUnDel), all ? FALSE : TRUE);
}

void WinPage::Toggle(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= m_Session.Shown().size()) {
        return;
    }
    m_Session.SetChecked(static_cast<std::size_t>(row), !m_Session.IsChecked(static_cast<std::size_t>(row)));
    ::SendMessageW(Item(kList), LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
}

void WinPage::Forward(Control control) {
    ::SendMessageW(::GetParent(m_hwnd), WM_COMMAND, MAKEWPARAM(IdOf(m_nPage, control), BN_CLICKED),
                   reinterpret_cast<LPARAM>(Item(control)));
}

void WinPage::FillCell(NMLVDISPINFOW& info) {
    LVITEMW& item = info.item;
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= m_Session.Shown().size()) {
        return;
    }
    const auto row = static_cast<std::size_t>(item.iItem);
    if ((item.mask & LVIF_STATE) != 0 && (item.stateMask & LVIS_STATEIMAGEMASK) != 0) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(m_Session.IsChecked(row) ? 2 : 1);
    }
    const auto& columns = m_Session.Kind().columns;
    const palm::PmRecordSet* set = m_Session.RecordSet();
    if ((item.mask & LVIF_TEXT) == 0 || set == nullptr || item.iSubItem < 0 ||
        static_cast<std::size_t>(item.iSubItem) >= columns.size()) {
        return;
    }
    const std::size_t record = m_Session.Shown()[row];
    const std::string text = set->FieldText(record, columns[static_cast<std::size_t>(item.iSubItem)].key, kCellBuffer);
    // Database and handheld texts are UTF-8 already; the record files hold
    // Windows-1252.
    const bool utf8 = misc::CommRecord::HoldsUtf8(set->CommonAt(record).nSource);
    m_cell = WinText::SingleLine(WinText::Wide(utf8 ? text : platform::TextCodec::Cp1252ToUtf8(text)));
    // The list reads the cell from here, whatever room it offered.
    item.pszText = m_cell.data();
}

LRESULT WinPage::OnNotify(const NMHDR& header) {
    if (header.hwndFrom == Item(kList)) {
        switch (header.code) {
            case LVN_GETDISPINFOW:
                FillCell(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
                return 0;
            default:
                return 0;
        }
    }
    if (header.hwndFrom == Item(kWeb) && (header.code == NM_CLICK || header.code == NM_RETURN)) {
        Forward(kWeb);
    }
    return 0;
}

LRESULT CALLBACK WinPage::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                   DWORD_PTR data) noexcept {
    auto* self = reinterpret_cast<WinPage*>(data);
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            // A click on a check box toggles it here and nowhere else: the
            // list is not told, so it cannot toggle it a second time.
            LVHITTESTINFO hit{};
            hit.pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            const auto row = static_cast<int>(::SendMessageW(hwnd, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
            if (row >= 0 && (hit.flags & LVHT_ONITEMSTATEICON) != 0) {
                ::SetFocus(hwnd);
                LVITEMW focus{};
                focus.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
                focus.state = LVIS_FOCUSED | LVIS_SELECTED;
                ::SendMessageW(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&focus));
                self->Toggle(row);
                return 0;
            }
            break;
        }
        case WM_KEYDOWN:
            if (wParam == VK_SPACE) {
                self->Toggle(static_cast<int>(::SendMessageW(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                                             LVNI_FOCUSED)));
                return 0;
            }
            break;
        case LVM_SETITEMSTATE: {
            // A virtual list keeps no state image of its own: a check set
            // from outside (ListView_SetCheckState; index 2 checked, 1
            // unchecked) goes to the session, the rest to the list.
            auto* item = reinterpret_cast<LVITEMW*>(lParam);
            if (item == nullptr || (item->stateMask & LVIS_STATEIMAGEMASK) == 0) {
                break;
            }
            const UINT image = (item->state & LVIS_STATEIMAGEMASK) >> 12;
            const auto row = static_cast<int>(wParam);
            if (image == 1 || image == 2) {
                if (row < 0) {
                    self->m_Session.SetAllChecked(image == 2);
                    self->ShowChecks();
                } else if (static_cast<std::size_t>(row) < self->m_Session.Shown().size() &&
                           self->m_Session.IsChecked(static_cast<std::size_t>(row)) != (image == 2)) {
                    self->Toggle(row);
                }
            }
            LVITEMW rest = *item;
            rest.stateMask &= ~static_cast<UINT>(LVIS_STATEIMAGEMASK);
            if (rest.stateMask == 0) {
                return TRUE;
            }
            return ::DefSubclassProc(hwnd, message, wParam, reinterpret_cast<LPARAM>(&rest));
        }
        case WM_CHAR:
            // Space is a toggle, not the start of a search by typing.
            if (wParam == L' ') {
                return 0;
            }
            break;
        case WM_NCDESTROY:
            ::RemoveWindowSubclass(hwnd, &ListProc, 1);
            break;
        default:
            break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK WinPage::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<WinPage*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_hwnd = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<WinPage*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    switch (message) {
        case WM_COMMAND:
            // The page's buttons act in the main window.
            return ::SendMessageW(::GetParent(hwnd), WM_COMMAND, wParam, lParam);
        case WM_NOTIFY:
            return self->OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        case WM_ERASEBKGND: {
            RECT client{};
            ::GetClientRect(hwnd, &client);
            ::FillRect(reinterpret_cast<HDC>(wParam), &client, self->m_background);
            return 1;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<LRESULT>(self->m_background);
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            self->m_hwnd = nullptr;
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
        default:
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace lazrine::win

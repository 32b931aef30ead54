#include "win/WinDialog.h"

#include <string_view>

namespace lazrine::win {

WinDialog::WinDialog(const wchar_t* title, int clientWidth, int clientHeight)
    : m_szTitle(title), m_nWidth(clientWidth), m_nHeight(clientHeight) {}

WinDialog::~WinDialog() {
    if (m_hwnd != nullptr && !m_bModal) {
        ::DestroyWindow(m_hwnd);
    }
}

const DLGTEMPLATE* WinDialog::Template() {
    // A frame without controls: style, no menu, the default class, the
    // title. Its size is set in pixels when it opens.
    m_template.assign(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
    auto* frame = reinterpret_cast<DLGTEMPLATE*>(m_template.data());
    frame->style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    frame->cdit = 0;
    m_template.push_back(0);  // no menu
    m_template.push_back(0);  // the dialog class
    for (const wchar_t c : std::wstring_view(m_szTitle)) {
        m_template.push_back(static_cast<WORD>(c));
    }
    m_template.push_back(0);
    return reinterpret_cast<const DLGTEMPLATE*>(m_template.data());
}

INT_PTR WinDialog::RunModal(HWND owner) {
    m_bModal = true;
    m_bEnded = false;
    const INT_PTR result = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), Template(), owner, &DialogProc,
                                                     reinterpret_cast<LPARAM>(this));
    m_hwnd = nullptr;
    m_bEnded = true;
    m_nResult = result == -1 ? IDCANCEL : result;
    return m_nResult;
}

HWND WinDialog::CreateModeless(HWND owner) {
    m_bModal = false;
    m_bEnded = false;
    ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), Template(), owner, &DialogProc,
                                 reinterpret_cast<LPARAM>(this));
    if (m_hwnd != nullptr) {
        ::ShowWindow(m_hwnd, SW_SHOW);
    }
    return m_hwnd;
}

void WinDialog::Dismiss() {
    if (m_hwnd != nullptr && !m_bEnded) {
        End(IDCANCEL);
    }
}

void WinDialog::End(INT_PTR result) {
    m_nResult = result;
    m_bEnded = true;
    if (m_bModal) {
        ::EndDialog(m_hwnd, result);
    } else if (m_hwnd != nullptr) {
        HWND hwnd = m_hwnd;
        ::DestroyWindow(hwnd);
    }
}

HWND WinDialog::AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int id, int x, int y,
                           int width, int height, DWORD exStyle) {
    const WinMetrics& m = Metrics();
    HWND control = ::CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, m.Px(x), m.Px(y),
                                     m.Px(width), m.Px(height), m_hwnd,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                     nullptr);
    if (control != nullptr) {
        m.Apply(control);
    }
    return control;
}

INT_PTR CALLBACK WinDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<WinDialog*>(lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        self->m_hwnd = hwnd;
        self->m_pMetrics = std::make_unique<WinMetrics>(hwnd);
        RECT frame{0, 0, self->Metrics().Px(self->m_nWidth), self->Metrics().Px(self->m_nHeight)};
        ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongPtrW(hwnd, GWL_EXSTYLE)));
        // Centred over the owner, else over the screen's work area.
        RECT area{};
        HWND owner = ::GetWindow(hwnd, GW_OWNER);
        if (owner == nullptr || !::GetWindowRect(owner, &area)) {
            ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        }
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        ::SetWindowPos(hwnd, nullptr, area.left + (area.right - area.left - width) / 2,
                       area.top + (area.bottom - area.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        self->OnInit();
        // A control the dialog focused keeps the focus; else the first one takes it.
        return ::IsChild(hwnd, ::GetFocus()) ? FALSE : TRUE;
    }
    auto* self = reinterpret_cast<WinDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (self == nullptr) {
        return FALSE;
    }
    switch (message) {
        case WM_COMMAND:
            if (self->OnCommand(LOWORD(wParam), HIWORD(wParam))) {
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                self->End(IDCANCEL);
                return TRUE;
            }
            return FALSE;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (HBRUSH brush = self->ControlBrush(reinterpret_cast<HWND>(lParam))) {
                ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
                return reinterpret_cast<INT_PTR>(brush);
            }
            return FALSE;
        case WM_NOTIFY:
            self->OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
            return TRUE;
        case WM_NCDESTROY:
            self->m_hwnd = nullptr;
            ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace lazrine::win

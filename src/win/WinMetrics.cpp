#include "win/WinMetrics.h"

namespace lazrine::win {
namespace {

// GetDpiForWindow exists from Windows 10 (1607) on; older systems and Wine
// versions without it fall back to the screen's resolution.
UINT DpiOf(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    if (window != nullptr) {
        if (HMODULE user32 = ::GetModuleHandleW(L"user32.dll")) {
            const auto fn =
                reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(::GetProcAddress(user32, "GetDpiForWindow")));
            if (fn != nullptr) {
                if (const UINT dpi = fn(window); dpi != 0) {
                    return dpi;
                }
            }
        }
    }
    UINT dpi = 96;
    if (HDC screen = ::GetDC(nullptr)) {
        dpi = static_cast<UINT>(::GetDeviceCaps(screen, LOGPIXELSY));
        ::ReleaseDC(nullptr, screen);
    }
    return dpi != 0 ? dpi : 96;
}

}  // namespace

WinMetrics::WinMetrics(HWND window) : m_nDpi(static_cast<int>(DpiOf(window))) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        m_font.Reset(::CreateFontIndirectW(&metrics.lfMessageFont));
    }
}

int WinMetrics::TextWidth(std::wstring_view text) const {
    SIZE size{};
    if (HDC screen = ::GetDC(nullptr)) {
        HGDIOBJ previous = ::SelectObject(screen, m_font ? m_font.Get() : ::GetStockObject(DEFAULT_GUI_FONT));
        ::GetTextExtentPoint32W(screen, text.data(), static_cast<int>(text.size()), &size);
        ::SelectObject(screen, previous);
        ::ReleaseDC(nullptr, screen);
    }
    return size.cx;
}

void WinMetrics::Apply(HWND control) const {
    HFONT font = m_font ? m_font.Get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

}  // namespace lazrine::win

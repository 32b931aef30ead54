#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "win/WinMetrics.h"

namespace lazrine::win {

// A dialog box of this program: a frame made from an in-memory template
// whose controls the subclass creates in pixels (scaled by WinMetrics) when
// it opens, so that every window lays out the same way. It runs modally
// (RunModal, the program) or modeless (CreateModeless, the tests, which
// click its controls and read its result without a modal loop).
class WinDialog {
public:
    WinDialog(const wchar_t* title, int clientWidth, int clientHeight);
    virtual ~WinDialog();
    WinDialog(const WinDialog&) = delete;
    WinDialog& operator=(const WinDialog&) = delete;

    // Shows the dialog over `owner` until it ends; its result (IDOK, IDCANCEL).
    INT_PTR RunModal(HWND owner);
    // Creates the dialog, visible, and returns at once; null when it fails.
    HWND CreateModeless(HWND owner);
    HWND Handle() const { return m_hwnd; }
    bool Ended() const { return m_bEnded; }
    INT_PTR Result() const { return m_nResult; }
    // Ends a dialog that is still open as Cancel does.
    void Dismiss();

protected:
    // Creates the controls; the dialog has its size and the metrics are set.
    virtual void OnInit() = 0;
    // A control's WM_COMMAND; true when handled.
    virtual bool OnCommand(int id, int code) = 0;
    // A control's WM_NOTIFY.
    virtual void OnNotify(const NMHDR& /*header*/) {}
    // The background of a control that lies on something other than the
    // dialog (a tab control's body); null: the dialog's own.
    virtual HBRUSH ControlBrush(HWND /*control*/) { return nullptr; }
    // Ends the dialog with `result`.
    void End(INT_PTR result);

    const WinMetrics& Metrics() const { return *m_pMetrics; }
    // A child control at (x, y, width, height) given at 96 dpi.
    HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, int id, int x, int y, int width,
                    int height, DWORD exStyle = 0);
    HWND Item(int id) const { return ::GetDlgItem(m_hwnd, id); }

private:
    // Called by the system: no exception leaves it (noexcept ends the
    // program instead of unwinding through the system's frames).
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    const DLGTEMPLATE* Template();

    const wchar_t* m_szTitle;
    int m_nWidth;
    int m_nHeight;
    std::vector<WORD> m_template;
    HWND m_hwnd = nullptr;
    bool m_bModal = false;
    bool m_bEnded = false;
    INT_PTR m_nResult = IDCANCEL;
    std::unique_ptr<WinMetrics> m_pMetrics;
};

}  // namespace lazrine::win

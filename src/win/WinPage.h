#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <string>
#include <string_view>

#include "session/KindSession.h"
#include "win/WinMetrics.h"

namespace lazrine::win {

// One page of the main window, a child window over the tab control's body:
// "Show:" with the "Deleted Records" and "All Records" radio buttons, the
// report list with a check box per row and whole-row selection, the
// "&Select All", "&Clear", "&Undelete", "&Export…" and "Find in Backups…"
// buttons and the web site link. Its buttons' and link's commands go to the main window, which
// drives the page; the page itself shows its kind session's rows and keeps
// the checks.
//
// The list is virtual (owner data): it holds no items, only their count,
// and asks for each visible cell when it draws it, so that 100,000 records
// open at once. A check lives only in the kind session and changes by a
// click on the check box, by Space on the focused row or by a state image
// set on a row (LVM_SETITEMSTATE, as ListView_SetCheckState sends). The list
// is never left to toggle a box itself, so each of these changes it once.
//
// Controls are named after the kind's prefix ("Memo": rbtnMemoDel,
// rbtnMemoAll, lvMemo, btnMemoSel, btnMemoClear, btnMemoUnDel,
// btnMemoExport, btnMemoBackups, lnkMemoWeb).
class WinPage {
public:
    enum Control : int { kShow = 0, kDel, kAll, kList, kSel, kClear, kUnDel, kExport, kBackups, kWeb, kControlCount };
    static constexpr int kIdBase = 1000;
    static constexpr int kIdStride = 20;
    static int IdOf(int page, Control control) { return kIdBase + page * kIdStride + control; }

    // Creates the page hidden inside `parent`; the session must outlive it.
    WinPage(HWND parent, int page, const WinMetrics& metrics, session::KindSession& session);
    ~WinPage();
    WinPage(const WinPage&) = delete;
    WinPage& operator=(const WinPage&) = delete;

    HWND Handle() const { return m_hwnd; }
    HWND Item(Control control) const { return m_controls.at(static_cast<std::size_t>(control)); }
    // The control of that name ("lvMemo"); null for none.
    HWND Named(std::string_view name) const;
    // Places the page and lays its controls out in `area`.
    void Place(const RECT& area);
    // Shows the session's rows again (after a load or a refill).
    void ShowRecords();
    // Draws the check boxes again (after Select All or Clear).
    void ShowChecks();
    // Sets the radio buttons to `all`; Undelete acts on deleted records only.
    void ShowAllChosen(bool all);

private:
    // The system calls these; no exception leaves them (noexcept ends the
    // program instead of unwinding through the system's frames).
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data) noexcept;
    LRESULT OnNotify(const NMHDR& header);
    void FillCell(NMLVDISPINFOW& info);
    void Toggle(int row);
    void Forward(Control control);

    HWND m_hwnd = nullptr;
    int m_nPage;
    const WinMetrics& m_Metrics;
    session::KindSession& m_Session;
    std::array<HWND, kControlCount> m_controls{};
    std::array<std::string, kControlCount> m_names;
    // The cell the list last asked for; the list reads it before asking again.
    std::wstring m_cell;
    HBRUSH m_background = nullptr;
};

}  // namespace lazrine::win

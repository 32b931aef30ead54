#pragma once

#include <windows.h>

#include "session/UiServices.h"
#include "win/WinDialog.h"

namespace lazrine::win {

// The Win32 window's seam: the services every window asks of the desktop
// (session::UiServices) and running one of this window's own dialogs, so
// that tests answer both without a modal loop and without showing a box.
class WinUiServices : public session::UiServices {
public:
    // Runs `dialog` over `owner` until it ends; its result (IDOK, IDCANCEL).
    virtual INT_PTR RunDialog(WinDialog& dialog, HWND owner) = 0;
};

}  // namespace lazrine::win

#pragma once

#include <windows.h>

namespace lazrine::win {

// The window classes of the program's own windows, registered once per
// process however many windows of the class are made.
class WinClass {
public:
    // Registers class `name` with `proc`, the arrow cursor and `background`
    // (none: the window paints its own), unless it is registered already.
    static void Register(const wchar_t* name, WNDPROC proc, HBRUSH background);
};

}  // namespace lazrine::win

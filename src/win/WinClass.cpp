#include "win/WinClass.h"

namespace lazrine::win {

void WinClass::Register(const wchar_t* name, WNDPROC proc, HBRUSH background) {
    WNDCLASSEXW cls{};
    cls.cbSize = sizeof(cls);
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (::GetClassInfoExW(instance, name, &cls)) {
        return;
    }
    cls.cbSize = sizeof(cls);
    cls.lpfnWndProc = proc;
    cls.hInstance = instance;
    cls.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    cls.hbrBackground = background;
    cls.lpszClassName = name;
    ::RegisterClassExW(&cls);
}

}  // namespace lazrine::win

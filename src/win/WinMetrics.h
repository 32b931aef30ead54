#pragma once

#include <windows.h>

#include <string_view>

#include "win/WinHandle.h"

namespace lazrine::win {

// The screen's scale and the system's message font, as every window of the
// program lays out its controls: sizes are given for 96 dots per inch (100%)
// and scaled to the screen's resolution, so that the layout keeps its
// proportions at any scale; texts use the font the user chose for messages.
class WinMetrics {
public:
    // The resolution of `window` when the system can tell it per window,
    // else the screen's.
    explicit WinMetrics(HWND window = nullptr);

    int Dpi() const { return m_nDpi; }
    // A length given at 96 dpi, in this screen's pixels.
    int Px(int length) const { return ::MulDiv(length, m_nDpi, 96); }
    HFONT Font() const { return m_font.Get(); }
    // The width of `text` in the message font, in this screen's pixels, so
    // that a label or a check box never cuts its text whatever the font.
    int TextWidth(std::wstring_view text) const;
    // Gives `control` the message font.
    void Apply(HWND control) const;

private:
    int m_nDpi = 96;
    UniqueFont m_font;
};

}  // namespace lazrine::win

#pragma once

#include <windows.h>

#include <utility>

namespace lazrine::win {

// Sole owner of one Windows handle: frees it exactly once, when the owner
// goes or is given another handle. Moves, never copies.
template <typename Handle, void (*Free)(Handle)>
class WinHandle {
public:
    WinHandle() = default;
    explicit WinHandle(Handle handle) : m_handle(handle) {}
    ~WinHandle() { Reset(); }
    WinHandle(WinHandle&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    WinHandle& operator=(WinHandle&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.m_handle, nullptr));
        }
        return *this;
    }
    WinHandle(const WinHandle&) = delete;
    WinHandle& operator=(const WinHandle&) = delete;

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    void Reset(Handle handle = nullptr) {
        if (m_handle != nullptr) {
            Free(m_handle);
        }
        m_handle = handle;
    }
    // Gives the handle up without freeing it (the system freed it already).
    Handle Release() { return std::exchange(m_handle, nullptr); }

private:
    Handle m_handle = nullptr;
};

inline void FreeFont(HFONT font) { ::DeleteObject(font); }
inline void FreeWindow(HWND window) { ::DestroyWindow(window); }

using UniqueFont = WinHandle<HFONT, &FreeFont>;
// A top-level window; its child windows go with it.
using UniqueWindow = WinHandle<HWND, &FreeWindow>;

}  // namespace lazrine::win

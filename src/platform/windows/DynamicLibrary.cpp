#include "platform/DynamicLibrary.h"

#include <windows.h>

#include "platform/windows/WideText.h"

namespace lazrine::platform {

DynamicLibrary::~DynamicLibrary() { ::FreeLibrary(static_cast<HMODULE>(m_pHandle)); }

std::unique_ptr<DynamicLibrary> DynamicLibrary::Open(const std::string& file, std::string& error) {
    std::wstring wide;
    if (!WideText::FromUtf8(file, wide)) {
        error = file + ": not a valid file name";
        return nullptr;
    }
    HMODULE module = ::LoadLibraryW(wide.c_str());
    if (module == nullptr) {
        error = file + ": " + WideText::ErrorMessage(::GetLastError());
        return nullptr;
    }
    return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(module));
}

void* DynamicLibrary::Symbol(const char* name) const {
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(m_pHandle), name));
}

}  // namespace lazrine::platform

#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

namespace lazrine::platform {

DynamicLibrary::~DynamicLibrary() { ::dlclose(m_pHandle); }

std::unique_ptr<DynamicLibrary> DynamicLibrary::Open(const std::string& file, std::string& error) {
    // RTLD_LOCAL: the library's symbols resolve only what is looked up
    // here, never another library's references.
    void* handle = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = ::dlerror();
        error = reason != nullptr ? reason : file + ": cannot be loaded";
        return nullptr;
    }
    return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

void* DynamicLibrary::Symbol(const char* name) const { return ::dlsym(m_pHandle, name); }

}  // namespace lazrine::platform

#pragma once

#include <memory>
#include <string>

namespace lazrine::platform {

// A shared library loaded while the program runs (dlopen, LoadLibrary),
// for a dependency only some commands need: a program that never needs it
// never maps it, nor the libraries it pulls in. The library stays loaded
// until the object is destroyed; its functions must not be called after.
class DynamicLibrary {
public:
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // Loads `file` ("libical.so.3"), searched for as the system searches for
    // linked libraries, with every symbol bound at once; nullptr when it
    // cannot, with the system's reason in `error`.
    static std::unique_ptr<DynamicLibrary> Open(const std::string& file, std::string& error);
    // The address of the function `name`; nullptr when the library has none.
    void* Symbol(const char* name) const;

private:
    explicit DynamicLibrary(void* handle) : m_pHandle(handle) {}
    void* m_pHandle;
};

}  // namespace lazrine::platform

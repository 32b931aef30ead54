#pragma once

#include "platform/FileIo.h"

namespace lazrine::testing {

// Installs a file seam implementation for the life of a scope and restores
// the system's own afterwards, on every path out.
class ScopedFileIo {
public:
    explicit ScopedFileIo(platform::FileIo& io) { platform::FileIo::SetInstance(&io); }
    ~ScopedFileIo() { platform::FileIo::SetInstance(nullptr); }
    ScopedFileIo(const ScopedFileIo&) = delete;
    ScopedFileIo& operator=(const ScopedFileIo&) = delete;
};

}  // namespace lazrine::testing

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/IoError.h"

namespace lazrine::palm {

// Tells from a file's first bytes whether it may hold Palm data, without
// reading the rest: every generation names itself at its start (the classic
// files' version tag, the extended files' "PalmSG Database" signature, the
// Access header's "Standard Jet DB"; a handheld record database's type
// "DATA" at byte 60). A file that passes may still be refused by every
// store; one that fails is read by none.
class PmDataHead {
public:
    static constexpr std::size_t kSize = 80;

    // Reads the first kSize bytes (fewer for a shorter file) of `path`, and
    // its whole size when asked; false, with the kind of failure in `error`
    // when given, when it cannot be opened (missing, in use, not readable),
    // read or closed.
    static bool Read(const std::string& path, std::vector<std::uint8_t>& head, platform::IoError* error = nullptr,
                     std::uint64_t* size = nullptr);
    // A Palm Desktop file of any generation and kind.
    static bool IsDesktop(std::span<const std::uint8_t> head);
    // A handheld record database (not a resource database).
    static bool IsHandheld(std::span<const std::uint8_t> head);
};

}  // namespace lazrine::palm

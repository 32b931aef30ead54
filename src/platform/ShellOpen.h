#pragma once

#include <string>

namespace lazrine::platform {

// Opening a document or web address with the desktop's preferred program.
class ShellOpen {
public:
    // False when `target` is empty. Otherwise hands the target to the
    // desktop opener (xdg-open) without waiting for it and returns true
    // whatever the opener makes of it, as the Windows shell "open" is used.
    static bool ShellOpenDocument(const std::string& target);
    // Uses `program` instead of xdg-open (tests); empty restores xdg-open.
    static void SetOpener(const std::string& program);
};

}  // namespace lazrine::platform

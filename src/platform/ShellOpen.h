#pragma once

#include <string>

namespace lazrine::platform {

// Opening a document or web address with the desktop's preferred program.
class ShellOpen {
public:
    // False when `target` is empty. Otherwise hands the target to the
    // desktop opener (xdg-open; on Windows the shell's "open" verb) without
    // waiting for it and returns true whatever the opener makes of it.
    static bool ShellOpenDocument(const std::string& target);
    // Uses `program` instead of the desktop opener (tests); empty restores it.
    static void SetOpener(const std::string& program) { Opener() = program; }

private:
    // The program SetOpener chose; empty: the desktop's.
    static std::string& Opener() {
        static std::string program;
        return program;
    }
};

}  // namespace lazrine::platform

#pragma once

namespace lazrine::platform {

// What the program's standard streams are connected to.
class Terminal {
public:
    // True when standard error is a terminal (so progress lines, which
    // would only clutter a log file, may be shown there).
    static bool IsStandardErrorTerminal();
};

}  // namespace lazrine::platform

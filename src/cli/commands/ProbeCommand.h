#pragma once

#include "cli/CliContext.h"

namespace lazrine::cli {

// `probe`: which store generation reads a file or a user's data.
class ProbeCommand {
public:
    // Runs the command; returns the exit code.
    static int Run(CliContext& context);
};

}  // namespace lazrine::cli

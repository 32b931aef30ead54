#pragma once

#include "cli/CliContext.h"

namespace lazrine::cli {

// `users`: the Palm Desktop users, their IDs and data folders.
class UsersCommand {
public:
    // Runs the command; returns the exit code.
    static int Run(CliContext& context);
};

}  // namespace lazrine::cli

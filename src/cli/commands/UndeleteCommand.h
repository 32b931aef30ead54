#pragma once

#include "cli/CliContext.h"

namespace lazrine::cli {

// `undelete`: brings chosen or all deleted records back and saves, all or
// nothing (see session::Undeleter).
class UndeleteCommand {
public:
    // Runs the command; returns the exit code.
    static int Run(CliContext& context);
};

}  // namespace lazrine::cli

#pragma once

#include "cli/CliContext.h"

namespace lazrine::cli {

// `list`: the deleted (or all) records, as a table or as JSON.
class ListCommand {
public:
    // Runs the command; returns the exit code.
    static int Run(CliContext& context);
};

}  // namespace lazrine::cli

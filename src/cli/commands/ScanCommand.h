#pragma once

#include "cli/CliContext.h"

namespace lazrine::cli {

// `scan`: the records that survive only in other copies of a user's data
// (older copies and archives beside the data file, handheld backups), each
// with the copy that holds it; as tables, or as JSON.
class ScanCommand {
public:
    // Runs the command; returns the exit code.
    static int Run(CliContext& context);
};

}  // namespace lazrine::cli

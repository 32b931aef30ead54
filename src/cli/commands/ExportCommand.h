#pragma once

#include "cli/CliContext.h"

namespace lazrine::cli {

// `export`: writes deleted, all or chosen records in one of the kind's
// formats to standard output, a file, or (memos as text) a folder.
class ExportCommand {
public:
    // Runs the command; returns the exit code.
    static int Run(CliContext& context);
};

}  // namespace lazrine::cli

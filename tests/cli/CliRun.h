#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "cli/CliApp.h"

namespace lazrine::cli {

// What one run of the command line gave: its exit code and both outputs.
struct Result {
    int code;
    std::string out;
    std::string err;
};

// Runs the command line in this process with `args` (without the program
// name), capturing what it writes.
inline Result RunCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    CliApp app;
    const int code = app.Run(args, out, err);
    return {code, out.str(), err.str()};
}

}  // namespace lazrine::cli

#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "cli/CliContext.h"

namespace lazrine::cli {

// lazrine-cli: lists, undeletes and exports Palm Desktop records from the
// command line. Parses the arguments and runs one command (cli/commands/),
// each a thin layer over the session layer.
//
// Exit codes: 0 done, 1 failed (message on stderr; data unchanged unless the
// message says the file was replaced but may not be durable), 2 usage error
// (with a usage text).
class CliApp {
public:
    static constexpr int kExitOk = CliContext::kExitOk;
    static constexpr int kExitFailed = CliContext::kExitFailed;
    static constexpr int kExitUsage = CliContext::kExitUsage;

    // Runs one command; `args` excludes the program name.
    int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // Long exports report their progress on `err`: for a terminal only.
    void SetProgressOnErr(bool progress) { m_bProgressOnErr = progress; }

private:
    bool m_bProgressOnErr = false;
};

}  // namespace lazrine::cli

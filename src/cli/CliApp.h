#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace lazrine::cli {

// lazrine-cli: lists and undeletes Palm Desktop records from the command
// line, through the record sets only.
//
// Exit codes: 0 done, 1 failed (message on stderr; data unchanged unless the
// message says the file was replaced but may not be durable), 2 usage error
// (with a usage text).
class CliApp {
public:
    static constexpr int kExitOk = 0;
    static constexpr int kExitFailed = 1;
    static constexpr int kExitUsage = 2;

    // Runs one command; `args` excludes the program name.
    int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
    // Long exports report their progress on `err`: for a terminal only.
    void SetProgressOnErr(bool progress) { m_bProgressOnErr = progress; }

private:
    bool m_bProgressOnErr = false;
};

}  // namespace lazrine::cli

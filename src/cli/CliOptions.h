#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lazrine::cli {

// Everything a command line can say, as parsed.
struct CliOptions {
    std::string kind;
    std::string file;
    bool all = false;
    bool json = false;
    std::vector<std::uint32_t> ids;
    bool allDeleted = false;
    bool dryRun = false;
    // export
    bool deletedOnly = false;
    std::string format;
    std::string output;
    // Palm Desktop user (name or ID) whose data is used instead of `file`.
    std::string user;
    std::string settings;
};

}  // namespace lazrine::cli

#include "platform/ProcessStart.h"

namespace lazrine::platform {

std::vector<std::string> ProcessStart::Arguments(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    return args;
}

void ProcessStart::UseBinaryStandardStreams() {}

}  // namespace lazrine::platform

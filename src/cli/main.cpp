#include <iostream>
#include <string>
#include <vector>

#include "cli/CliApp.h"
#include "platform/Terminal.h"

int main(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    lazrine::cli::CliApp app;
    app.SetProgressOnErr(lazrine::platform::Terminal::IsStandardErrorTerminal());
    return app.Run(args, std::cout, std::cerr);
}

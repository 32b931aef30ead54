#include <iostream>
#include <string>
#include <vector>

#include "cli/CliApp.h"

int main(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    lazrine::cli::CliApp app;
    return app.Run(args, std::cout, std::cerr);
}

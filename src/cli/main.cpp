#include <iostream>
#include <string>
#include <vector>

#include "cli/CliApp.h"
#include "platform/ProcessStart.h"
#include "platform/Terminal.h"

int main(int argc, char** argv) {
    lazrine::platform::ProcessStart::UseBinaryStandardStreams();
    const std::vector<std::string> args = lazrine::platform::ProcessStart::Arguments(argc, argv);
    lazrine::cli::CliApp app;
    app.SetProgressOnErr(lazrine::platform::Terminal::IsStandardErrorTerminal());
    return app.Run(args, std::cout, std::cerr);
}

#include "platform/ProcessStart.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>

#include "platform/windows/WideText.h"

namespace lazrine::platform {

std::vector<std::string> ProcessStart::Arguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> args;
    if (wide == nullptr) {
        for (int i = 1; i < argc; ++i) {
            args.emplace_back(argv[i]);
        }
        return args;
    }
    for (int i = 1; i < count; ++i) {
        args.push_back(WideText::ToUtf8(wide[i]));
    }
    ::LocalFree(wide);
    return args;
}

void ProcessStart::UseBinaryStandardStreams() {
    std::fflush(stdout);
    std::fflush(stderr);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace lazrine::platform

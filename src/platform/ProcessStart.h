#pragma once

#include <string>
#include <vector>

namespace lazrine::platform {

// What a command-line program needs from the system when it starts.
class ProcessStart {
public:
    // The program's arguments after its name, as UTF-8. Windows hands main()
    // its arguments in the ANSI code page, which cannot hold every file
    // name; there they are taken from the wide command line instead.
    static std::vector<std::string> Arguments(int argc, char** argv);
    // Makes standard output and standard error write bytes as they are: no
    // translation of line ends ("\n" stays one byte on every system), so
    // that output is identical everywhere.
    static void UseBinaryStandardStreams();
};

}  // namespace lazrine::platform

#include "platform/ShellOpen.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <vector>

extern char** environ;

namespace lazrine::platform {
bool ShellOpen::ShellOpenDocument(const std::string& target) {
    if (target.empty()) {
        return false;
    }
    const std::string opener = Opener().empty() ? "xdg-open" : Opener();
    // A short-lived shell starts the opener in the background and exits at
    // once, so the opener is never left as our zombie child and a slow
    // browser never blocks the window. The target travels as an argument,
    // never through the shell's parser.
    std::string script = "\"$0\" \"$1\" >/dev/null 2>&1 </dev/null &";
    std::vector<std::string> args = {"/bin/sh", "-c", script, opener, target};
    std::vector<char*> argv;
    for (auto& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    return true;
}

}  // namespace lazrine::platform

// Peak memory of the two things a user does with a large extended memo file,
// each measured in a process of its own so that nothing else counts: listing
// its deleted memos (`lazrine-cli list memos <file>`) and undeleting every
// deleted memo and saving (`undelete --all-deleted`, which also makes the
// backup). The peak is the kernel's own high-water mark of the process's
// resident memory (VmHWM), after the work is done.
//
//   lazrine-bench-memo_peak              900,000 memos (a file of about 265 MB)
//   lazrine-bench-memo_peak 100000       a smaller file
//
// Prints, for each operation, the peak in MB and as a multiple of the file
// size. Not part of the test suite: it writes and reads several hundred MB.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <string>

#include "cli/CliApp.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

namespace {

using namespace lazrine::testing;

std::size_t PeakKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stoul(line.substr(6));
        }
    }
    return 0;
}

// Memos of 50 to 500 characters, every tenth deleted, as in the memo
// benchmark.
void MakeFile(const std::string& path, std::uint32_t count) {
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> length(50, 500);
    std::uniform_int_distribution<int> letter('a', 'z');
    MemoFileLayout spec;
    spec.memos.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        MemoRecordLayout m;
        m.id = 8388608 + i;
        m.status = (i % 10 == 0) ? 0x84 : 0x00;
        m.placement = i;
        const int n = length(rng);
        m.text.reserve(static_cast<std::size_t>(n));
        for (int c = 0; c < n; ++c) {
            m.text.push_back(c % 40 == 39 ? ' ' : static_cast<char>(letter(rng)));
        }
        spec.memos.push_back(std::move(m));
    }
    WriteFileBytes(path, BuildExtendedMemoFile(spec));
}

// Child: runs one command line and prints its peak in kB.
int Measure(const std::string& op, const std::string& path) {
    std::ostringstream out;
    std::ostringstream err;
    lazrine::cli::CliApp app;
    const int code = op == "list" ? app.Run({"list", "memos", path}, out, err)
                                  : app.Run({"undelete", "memos", path, "--all-deleted"}, out, err);
    if (code != 0) {
        std::cerr << op << " failed: " << err.str();
        return 1;
    }
    std::cout << PeakKb() << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--measure") == 0) {
        return Measure(argv[2], argv[3]);
    }
    const std::uint32_t count = argc > 1 ? static_cast<std::uint32_t>(std::stoul(argv[1])) : 900000u;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    TempDir dir;
    const std::string master = dir.File("master.dat");
    MakeFile(master, count);
    const double fileSize = static_cast<double>(std::filesystem::file_size(master));
    std::printf("file: %u memos, %.1f MB\n", count, fileSize / 1e6);
    for (const char* op : {"list", "undelete"}) {
        const std::string path = dir.File(std::string(op) + ".dat");
        std::filesystem::copy_file(master, path, std::filesystem::copy_options::overwrite_existing);
        const std::string result = dir.File(std::string(op) + ".peak");
        const std::string command = "'" + self + "' --measure " + op + " '" + path + "' > '" + result + "'";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "%s failed\n", op);
            return 1;
        }
        std::ifstream in(result);
        double kb = 0;
        in >> kb;
        std::printf("%-9s peak %7.1f MB = %.2f x the file\n", op, kb * 1024 / 1e6, kb * 1024 / fileSize);
    }
    return 0;
}

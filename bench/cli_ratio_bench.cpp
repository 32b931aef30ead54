// What a user waits for and how much memory the command line takes, as
// multiples of reading the same file: 100,000-record extended files of every
// kind (10% deleted, texts as in the per-kind benchmarks) are listed as JSON
// and have every deleted record undeleted, each in a process of its own; the
// time is compared with `cat` of the file in the same run, the peak resident
// memory (the kernel's per-process high-water mark) with the file size. The
// 10,000-row memo database is listed and compared with mdbtools' `mdb-export`
// of its table, when that program is installed.
//
//   lazrine-bench-cli_ratio [--cli PROGRAM] [--dir DIR] [--runs N] [--outputs]
//
// Needs GNU time (/usr/bin/time) for the peaks.
//
// --dir keeps the generated files and every output there (they are made once
// and reused), so that the outputs of two builds can be compared byte for
// byte; --outputs also writes the exports of every kind. The fastest of
// --runs runs (default 3) counts. Not part of the test suite: it writes and
// reads several hundred MB.
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

namespace {

using namespace lazrine::testing;
namespace fs = std::filesystem;

constexpr std::uint32_t kRecords = 100000;

std::string Text(std::mt19937& rng, int min, int max, int wordEvery) {
    std::uniform_int_distribution<int> length(min, max);
    std::uniform_int_distribution<int> letter('a', 'z');
    std::string out;
    const int n = length(rng);
    out.reserve(static_cast<std::size_t>(n));
    for (int c = 0; c < n; ++c) {
        out.push_back(c % wordEvery == wordEvery - 1 ? ' ' : static_cast<char>(letter(rng)));
    }
    return out;
}

std::uint32_t StatusOf(std::uint32_t i) { return (i % 10 == 0) ? 0x84 : 0x00; }

void MakeMemos(const std::string& path) {
    std::mt19937 rng(42);
    MemoFileLayout spec;
    spec.memos.reserve(kRecords);
    for (std::uint32_t i = 0; i < kRecords; ++i) {
        MemoRecordLayout m;
        m.id = 8388608 + i;
        m.status = StatusOf(i);
        m.placement = i;
        m.text = Text(rng, 50, 500, 40);
        spec.memos.push_back(std::move(m));
    }
    WriteFileBytes(path, BuildExtendedMemoFile(spec));
}

void MakeTasks(const std::string& path) {
    std::mt19937 rng(42);
    TodoFileLayout spec;
    spec.todos.reserve(kRecords);
    for (std::uint32_t i = 0; i < kRecords; ++i) {
        TodoRecordLayout t;
        t.id = 8388608 + i;
        t.status = StatusOf(i);
        t.placement = i;
        t.description = Text(rng, 20, 200, 30);
        t.note = Text(rng, 0, 300, 30);
        t.priority = 1 + i % 5;
        t.completed = i % 3 == 0 ? 1 : 0;
        t.alarm = i % 7 == 0 ? 1 : 0;
        t.dueDate = i % 4 == 0 ? 0 : 1237075200 + i * 3600;
        t.repeat = MakeRepeat(i % 7, i % 7 >= 3 ? std::vector<std::uint32_t>{1237075200} : std::vector<std::uint32_t>{});
        spec.todos.push_back(std::move(t));
    }
    WriteFileBytes(path, BuildExtendedTodoFile(spec));
}

void MakeCalendar(const std::string& path) {
    std::mt19937 rng(42);
    DateFileLayout spec;
    spec.dates.reserve(kRecords);
    for (std::uint32_t i = 0; i < kRecords; ++i) {
        DateRecordLayout d = MakeDate(8388608 + i, StatusOf(i), {});
        d.placement = i;
        d.start = 1230768000 + i * 3600;
        d.end = d.start + 1800;
        d.description = Text(rng, 20, 200, 40);
        if (i % 5 == 0) {
            d.note = d.description + "\r\n" + d.description;
        }
        d.location = "Room " + std::to_string(i % 100);
        d.repeat = MakeRepeat(i % 7, i % 7 >= 2 ? std::vector<std::uint32_t>{d.start + 604800} : std::vector<std::uint32_t>{});
        spec.dates.push_back(std::move(d));
    }
    WriteFileBytes(path, BuildExtendedDateFile(spec));
}

void MakeContacts(const std::string& path) {
    std::mt19937 rng(42);
    ContactFileLayout spec;
    spec.contacts.reserve(kRecords);
    for (std::uint32_t i = 0; i < kRecords; ++i) {
        ContactRecordLayout c;
        c.id = 8388608 + i;
        c.status = StatusOf(i);
        c.placement = i;
        c.firstName = Text(rng, 3, 10, 40);
        c.lastName = Text(rng, 3, 14, 40);
        c.company = Text(rng, 0, 30, 40);
        c.title = Text(rng, 0, 12, 40);
        c.note = Text(rng, 20, 300, 40);
        c.phones[0] = "555-" + std::to_string(i);
        c.phones[1] = c.firstName + "@example.com";
        c.phones[2] = "+1 503 " + std::to_string(i);
        c.phoneLabels = {0, 4, 7, 1, 2, 3, 5};
        spec.contacts.push_back(std::move(c));
    }
    WriteFileBytes(path, BuildExtendedAddressFile(spec));
}

struct Run {
    double seconds = 0;
    double peakMb = 0;
    bool ok = false;
};

// Runs `argv` with its standard output to `out` (or /dev/null) and reports its
// wall time and its own peak resident memory. The peak comes from GNU time,
// which starts the program from its own small process: a child forked from
// this process would carry this process's high-water mark across exec.
Run Spawn(const std::vector<std::string>& command, const std::string& out) {
    Run run;
    const std::string peakFile = fs::temp_directory_path() / ("lazrine-cli-ratio-" + std::to_string(getpid()));
    std::vector<std::string> argv = {"/usr/bin/time", "-f", "%M", "-o", peakFile};
    argv.insert(argv.end(), command.begin(), command.end());
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = open(out.empty() ? "/dev/null" : out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || dup2(fd, STDOUT_FILENO) < 0) {
            _exit(126);
        }
        std::vector<char*> args;
        for (const std::string& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) {
        return run;
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double kb = 0;
    if (FILE* peak = std::fopen(peakFile.c_str(), "r")) {
        if (std::fscanf(peak, "%lf", &kb) != 1) {
            kb = 0;
        }
        std::fclose(peak);
    }
    fs::remove(peakFile);
    run.peakMb = kb * 1024.0 / 1e6;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

// The fastest of `runs` runs (and the highest peak); `prepare` runs before each.
template <class Prepare>
Run Best(int runs, const std::vector<std::string>& argv, const std::string& out, Prepare prepare) {
    Run best;
    for (int r = 0; r < runs; ++r) {
        prepare();
        const Run run = Spawn(argv, out);
        if (!run.ok) {
            std::fprintf(stderr, "failed: %s %s\n", argv[0].c_str(), argv.size() > 1 ? argv[1].c_str() : "");
            return run;
        }
        best.seconds = best.ok ? std::min(best.seconds, run.seconds) : run.seconds;
        best.peakMb = std::max(best.peakMb, run.peakMb);
        best.ok = true;
    }
    return best;
}

struct KindFile {
    const char* kind;
    const char* name;
    void (*make)(const std::string&);
    std::vector<const char*> formats;
};

}  // namespace

int main(int argc, char** argv) {
    std::string cli = LAZRINE_CLI_PATH;
    std::string dirArg;
    int runs = 3;
    bool outputs = false;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        if (arg == "--cli" && a + 1 < argc) {
            cli = argv[++a];
        } else if (arg == "--dir" && a + 1 < argc) {
            dirArg = argv[++a];
        } else if (arg == "--runs" && a + 1 < argc) {
            runs = std::max(1, std::stoi(argv[++a]));
        } else if (arg == "--outputs") {
            outputs = true;
        } else {
            std::fprintf(stderr, "usage: %s [--cli PROGRAM] [--dir DIR] [--runs N] [--outputs]\n", argv[0]);
            return 2;
        }
    }
    TempDir temp;
    const fs::path dir = dirArg.empty() ? temp.Path() : fs::path(dirArg);
    fs::create_directories(dir / "out");
    const std::vector<KindFile> files = {
        {"memos", "memos.dat", MakeMemos, {"text", "csv", "json"}},
        {"tasks", "tasks.dat", MakeTasks, {"ics", "csv", "json"}},
        {"calendar", "calendar.dat", MakeCalendar, {"ics", "csv", "json"}},
        {"contacts", "contacts.dat", MakeContacts, {"vcard", "csv", "json"}},
    };
    std::printf("%-12s %8s %9s %8s %9s %8s %9s %7s\n", "file", "MB", "cat ms", "list ms", "list/cat", "undel ms",
                "undel/cat", "peak/MB");
    for (const KindFile& f : files) {
        const fs::path master = dir / f.name;
        if (!fs::exists(master)) {
            f.make(master.string());
        }
        const double mb = static_cast<double>(fs::file_size(master)) / 1e6;
        const fs::path work = dir / "out" / (std::string(f.kind) + ".undeleted.dat");
        const auto none = [] {};
        const Run cat = Best(runs, {"cat", master.string()}, "", none);
        const Run list = Best(runs, {cli, "list", f.kind, master.string(), "--json"},
                              (dir / "out" / (std::string(f.kind) + ".list.json")).string(), none);
        const Run undelete = Best(runs, {cli, "undelete", f.kind, work.string(), "--all-deleted"}, "", [&] {
            fs::copy_file(master, work, fs::copy_options::overwrite_existing);
        });
        fs::remove(work.string() + ".lazrine.bak");
        if (!cat.ok || !list.ok || !undelete.ok) {
            return 1;
        }
        std::printf("%-12s %8.1f %9.1f %8.1f %8.1fx %8.1f %8.1fx  list %.2fx undelete %.2fx\n", f.kind, mb,
                    cat.seconds * 1e3, list.seconds * 1e3, list.seconds / cat.seconds, undelete.seconds * 1e3,
                    undelete.seconds / cat.seconds, list.peakMb / mb, undelete.peakMb / mb);
        if (outputs) {
            Best(1, {cli, "list", f.kind, master.string(), "--all", "--json"},
                 (dir / "out" / (std::string(f.kind) + ".list-all.json")).string(), none);
            for (const char* format : f.formats) {
                const std::string name = std::string(f.kind) + ".export." + format;
                Best(1, {cli, "export", f.kind, master.string(), "--all", "--format", format, "--output",
                         (dir / "out" / name).string()},
                     "", none);
            }
        }
        std::fflush(stdout);
    }
    const std::string mdb = std::string(LAZRINE_BENCH_DATA_DIR) + "/MemoPad-10k.mdb";
    const Run mdbExport = Best(runs, {"mdb-export", mdb, "Main"}, "", [] {});
    if (!mdbExport.ok) {
        std::printf("mdb-export is not installed: the database is not compared\n");
        return 0;
    }
    const Run mdbList = Best(runs, {cli, "list", "memos", mdb, "--all", "--json"},
                             (dir / "out" / "MemoPad-10k.list-all.json").string(), [] {});
    if (!mdbList.ok) {
        return 1;
    }
    std::printf("MemoPad-10k.mdb: mdb-export %.1f ms %.1f MB, list --all --json %.1f ms %.1f MB = %.2fx its time, "
                "%.2fx its peak\n",
                mdbExport.seconds * 1e3, mdbExport.peakMb, mdbList.seconds * 1e3, mdbList.peakMb,
                mdbList.seconds / mdbExport.seconds, mdbList.peakMb / mdbExport.peakMb);
    return 0;
}

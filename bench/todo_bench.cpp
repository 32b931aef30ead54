// Speed and memory of the task path on a large extended to-do file:
// 100,000 tasks with descriptions of 20 to 200 characters, notes of 0 to 300,
// every priority, due dates and repeat rules, 10% deleted. Loading builds
// the common records; listing makes every cell the window shows.
//
//   lazrine-bench-todo                  (all)
//   lazrine-bench-todo --benchmark_filter=Load
//
// Counters: file_MB, peak_over_file (growth of the peak resident memory
// during the operation, divided by the file size).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include "RecordSetBench.h"
#include "common/palm/PmTodoInfo.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

namespace {

using namespace lazrine::testing;

const std::string& LargeFile() {
    static TempDir dir;
    static std::string path;
    if (path.empty()) {
        std::mt19937 rng(42);
        std::uniform_int_distribution<int> descLength(20, 200);
        std::uniform_int_distribution<int> noteLength(0, 300);
        std::uniform_int_distribution<int> letter('a', 'z');
        const auto text = [&](int n) {
            std::string s;
            s.reserve(static_cast<std::size_t>(n));
            for (int c = 0; c < n; ++c) {
                s.push_back(c % 30 == 29 ? ' ' : static_cast<char>(letter(rng)));
            }
            return s;
        };
        TodoFileLayout spec;
        spec.todos.reserve(100000);
        for (std::uint32_t i = 0; i < 100000; ++i) {
            TodoRecordLayout t;
            t.id = 8388608 + i;
            t.status = (i % 10 == 0) ? 0x84 : 0x00;
            t.placement = i;
            t.description = text(descLength(rng));
            t.note = text(noteLength(rng));
            t.priority = 1 + i % 5;
            t.completed = i % 3 == 0 ? 1 : 0;
            t.alarm = i % 7 == 0 ? 1 : 0;
            t.dueDate = i % 4 == 0 ? 0 : 1237075200 + i * 3600;
            t.repeat = MakeRepeat(i % 7, i % 7 >= 3 ? std::vector<std::uint32_t>{1237075200} : std::vector<std::uint32_t>{});
            spec.todos.push_back(std::move(t));
        }
        path = dir.File("todo.dat");
        WriteFileBytes(path, BuildExtendedTodoFile(spec));
    }
    return path;
}

void BM_LoadAndBuild(benchmark::State& state) { lazrine::bench::LoadAndBuild<lazrine::palm::PmTodoInfo>(state, LargeFile()); }
BENCHMARK(BM_LoadAndBuild)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ListAllCells(benchmark::State& state) { lazrine::bench::ListAllCells<lazrine::palm::PmTodoInfo>(state, LargeFile()); }
BENCHMARK(BM_ListAllCells)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_UndeleteAndSave(benchmark::State& state) { lazrine::bench::UndeleteAndSave<lazrine::palm::PmTodoInfo>(state, LargeFile()); }
BENCHMARK(BM_UndeleteAndSave)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ExportICalendar(benchmark::State& state) {
    lazrine::bench::ExportAll<lazrine::palm::PmTodoInfo>(state, LargeFile(), lazrine::exporting::ExportFormat::kICalendar);
}
BENCHMARK(BM_ExportICalendar)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();

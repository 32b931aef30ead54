// Speed and memory of the date book path on a large extended date book file:
// 100,000 appointments with descriptions of 20 to 200 characters, every
// fifth with a note, every repeat class in turn with exception dates, 10%
// deleted - the same scale as the memo benchmark.
//
//   lazrine-bench-datebook                  (all)
//   lazrine-bench-datebook --benchmark_filter=List
//
// Counters: file_MB, peak_over_file (growth of the peak resident memory
// during the operation, divided by the file size).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include "common/palm/PmDateInfo.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"
#include "RecordSetBench.h"

namespace {

using namespace lazrine::testing;

const std::string& LargeFile() {
    static TempDir dir;
    static std::string path;
    if (path.empty()) {
        std::mt19937 rng(42);
        std::uniform_int_distribution<int> length(20, 200);
        std::uniform_int_distribution<int> letter('a', 'z');
        DateFileLayout spec;
        spec.dates.reserve(100000);
        for (std::uint32_t i = 0; i < 100000; ++i) {
            DateRecordLayout d = MakeDate(8388608 + i, (i % 10 == 0) ? 0x84 : 0x00, {});
            d.placement = i;
            d.start = 1230768000 + i * 3600;
            d.end = d.start + 1800;
            const int n = length(rng);
            for (int c = 0; c < n; ++c) {
                d.description.push_back(c % 40 == 39 ? ' ' : static_cast<char>(letter(rng)));
            }
            if (i % 5 == 0) {
                d.note = d.description + "\r\n" + d.description;
            }
            d.location = "Room " + std::to_string(i % 100);
            d.repeat = MakeRepeat(i % 7, i % 7 >= 2 ? std::vector<std::uint32_t>{d.start + 604800} : std::vector<std::uint32_t>{});
            spec.dates.push_back(std::move(d));
        }
        path = dir.File("datebook.dat");
        WriteFileBytes(path, BuildExtendedDateFile(spec));
    }
    return path;
}

void BM_LoadAndBuild(benchmark::State& state) { lazrine::bench::LoadAndBuild<lazrine::palm::PmDateInfo>(state, LargeFile()); }
BENCHMARK(BM_LoadAndBuild)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ListColumns(benchmark::State& state) { lazrine::bench::ListAllCells<lazrine::palm::PmDateInfo>(state, LargeFile()); }
BENCHMARK(BM_ListColumns)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_UndeleteAndSave(benchmark::State& state) { lazrine::bench::UndeleteAndSave<lazrine::palm::PmDateInfo>(state, LargeFile()); }
BENCHMARK(BM_UndeleteAndSave)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ExportICalendar(benchmark::State& state) {
    lazrine::bench::ExportAll<lazrine::palm::PmDateInfo>(state, LargeFile(), lazrine::exporting::ExportFormat::kICalendar);
}
BENCHMARK(BM_ExportICalendar)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();

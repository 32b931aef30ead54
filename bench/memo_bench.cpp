// Speed and memory of the memo path on a large extended memo file:
// 100,000 memos of 50 to 500 characters, 10% deleted.
//
//   lazrine-bench-memo                  (all)
//   lazrine-bench-memo --benchmark_filter=Load
//
// Counters: file_MB, peak_over_file (growth of the peak resident memory
// during the operation, divided by the file size).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>

#include "common/palm/PmMemoInfo.h"
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
        std::uniform_int_distribution<int> length(50, 500);
        std::uniform_int_distribution<int> letter('a', 'z');
        MemoFileLayout spec;
        spec.memos.reserve(100000);
        for (std::uint32_t i = 0; i < 100000; ++i) {
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
        path = dir.File("memopad.dat");
        WriteFileBytes(path, BuildExtendedMemoFile(spec));
    }
    return path;
}

void BM_LoadAndBuild(benchmark::State& state) { lazrine::bench::LoadAndBuild<lazrine::palm::PmMemoInfo>(state, LargeFile()); }
BENCHMARK(BM_LoadAndBuild)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_UndeleteAndSave(benchmark::State& state) { lazrine::bench::UndeleteAndSave<lazrine::palm::PmMemoInfo>(state, LargeFile()); }
BENCHMARK(BM_UndeleteAndSave)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ExportText(benchmark::State& state) {
    lazrine::bench::ExportAll<lazrine::palm::PmMemoInfo>(state, LargeFile(), lazrine::exporting::ExportFormat::kText);
}
BENCHMARK(BM_ExportText)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportCsv(benchmark::State& state) {
    lazrine::bench::ExportAll<lazrine::palm::PmMemoInfo>(state, LargeFile(), lazrine::exporting::ExportFormat::kCsv);
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();

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
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "common/palm/PmMemoInfo.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

namespace {

// Resident memory, from the kernel's own accounting: VmHWM is the peak since
// the last reset through /proc/self/clear_refs.
std::size_t StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0) {
            return std::stoul(line.substr(std::strlen(key)));
        }
    }
    return 0;
}

void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace

namespace {

using namespace lazrine::testing;

const std::string& LargeFile() {
    static TempDir dir;
    static std::string path;
    if (path.empty()) {
        std::mt19937 rng(42);
        std::uniform_int_distribution<int> length(50, 500);
        std::uniform_int_distribution<int> letter('a', 'z');
        MemoFileSpec spec;
        spec.memos.reserve(100000);
        for (std::uint32_t i = 0; i < 100000; ++i) {
            MemoSpec m;
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

void BM_LoadAndBuild(benchmark::State& state) {
    const std::string& path = LargeFile();
    const auto fileSize = static_cast<double>(std::filesystem::file_size(path));
    double peakRatio = 0;
    for (auto _ : state) {
        ResetPeak();
        const std::size_t base = StatusKb("VmRSS:");
        lazrine::palm::PmMemoInfo info;
        info.SetIncludeDeleted(true);
        if (!info.LoadFile(path)) {
            state.SkipWithError("load failed");
            return;
        }
        benchmark::DoNotOptimize(info.CommonCount());
        peakRatio = std::max(peakRatio, static_cast<double>(StatusKb("VmHWM:") - base) * 1024.0 / fileSize);
    }
    state.counters["file_MB"] = fileSize / 1e6;
    state.counters["peak_over_file"] = peakRatio;
}
BENCHMARK(BM_LoadAndBuild)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_UndeleteAndSave(benchmark::State& state) {
    const std::string& path = LargeFile();
    const auto fileSize = static_cast<double>(std::filesystem::file_size(path));
    lazrine::palm::PmMemoInfo info;
    info.SetIncludeDeleted(true);
    if (!info.LoadFile(path)) {
        state.SkipWithError("load failed");
        return;
    }
    info.UndeleteAt(0);
    double peakRatio = 0;
    for (auto _ : state) {
        ResetPeak();
        const std::size_t base = StatusKb("VmRSS:");
        if (!info.Save()) {
            state.SkipWithError("save failed");
            return;
        }
        peakRatio = std::max(peakRatio, static_cast<double>(StatusKb("VmHWM:") - base) * 1024.0 / fileSize);
    }
    state.counters["file_MB"] = fileSize / 1e6;
    state.counters["save_peak_over_file"] = peakRatio;
}
BENCHMARK(BM_UndeleteAndSave)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();

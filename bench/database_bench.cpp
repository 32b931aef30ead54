// Speed of the Palm Desktop 6 memo database store on a 10,000-row file:
// loading every row of Main, and writing one undeleted memo (lookup by key,
// in-place write, flush).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "common/palm/PmTypes.h"
#include "common/palm/database/PmMemoEx2Util.h"
#include "platform/AtomicFile.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

namespace {

using lazrine::palm::PmMemoEx2Util;

const std::string kLarge = std::string(LAZRINE_BENCH_DATA_DIR) + "/MemoPad-10k.mdb";

void BM_LoadMemoPad10k(benchmark::State& state) {
    for (auto _ : state) {
        PmMemoEx2Util store(kLarge);
        if (!store.IsLoaded() || store.Count() != 10000) {
            state.SkipWithError(("load failed: " + store.LastError()).c_str());
            return;
        }
        benchmark::DoNotOptimize(store.Count());
    }
}
BENCHMARK(BM_LoadMemoPad10k)->Unit(benchmark::kMillisecond);

// One undelete after the backup exists: the usual case.
void BM_UndeleteOne(benchmark::State& state) {
    lazrine::testing::TempDir dir;
    const std::string path = dir.File("MemoPad.mdb");
    lazrine::testing::WriteFileBytes(path, lazrine::testing::ReadFileBytes(kLarge));
    PmMemoEx2Util store(path);
    std::size_t target = 0;
    for (std::size_t i = store.Count(); i-- > 0;) {
        if (lazrine::palm::PmIsDeletedStatus(store.StatusAt(i))) {
            target = i;
            break;
        }
    }
    const std::uint32_t deleted = store.StatusAt(target);
    for (auto _ : state) {
        store.SetStatusAt(target, lazrine::palm::PmUndeletedStatus(deleted));
        if (!store.Save()) {
            state.SkipWithError(store.LastError().c_str());
            return;
        }
        state.PauseTiming();
        store.SetStatusAt(target, deleted);
        if (!store.Save()) {
            state.SkipWithError(store.LastError().c_str());
            return;
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndeleteOne)->Unit(benchmark::kMillisecond);

// The first undelete of a file, which also writes the backup copy.
void BM_FirstUndeleteWithBackup(benchmark::State& state) {
    lazrine::testing::TempDir dir;
    const std::string path = dir.File("MemoPad.mdb");
    const auto original = lazrine::testing::ReadFileBytes(kLarge);
    for (auto _ : state) {
        state.PauseTiming();
        lazrine::testing::WriteFileBytes(path, original);
        std::filesystem::remove(lazrine::platform::AtomicFile::BackupPathOf(path));
        PmMemoEx2Util store(path);
        const std::size_t target = 9;  // Record ID 10, deleted
        store.SetStatusAt(target, lazrine::palm::PmUndeletedStatus(store.StatusAt(target)));
        state.ResumeTiming();
        if (!store.Save()) {
            state.SkipWithError(store.LastError().c_str());
            return;
        }
    }
}
BENCHMARK(BM_FirstUndeleteWithBackup)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();

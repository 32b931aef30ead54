// Speed and memory of the contacts path on a large extended address file:
// 100,000 contacts with names, company, a note of 20 to 300 characters and
// three phones each, 10% deleted. Compare with lazrine-bench-memo's figures
// for 100,000 memos.
//
//   lazrine-bench-contacts
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

#include "common/palm/PmAddrInfo.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

namespace {

using namespace lazrine::testing;

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

std::string Word(std::mt19937& rng, int min, int max) {
    std::uniform_int_distribution<int> length(min, max);
    std::uniform_int_distribution<int> letter('a', 'z');
    std::string out;
    const int n = length(rng);
    for (int c = 0; c < n; ++c) {
        out.push_back(c % 40 == 39 ? ' ' : static_cast<char>(letter(rng)));
    }
    return out;
}

const std::string& LargeFile() {
    static TempDir dir;
    static std::string path;
    if (path.empty()) {
        std::mt19937 rng(42);
        ContactFileSpec spec;
        spec.contacts.reserve(100000);
        for (std::uint32_t i = 0; i < 100000; ++i) {
            ContactSpec c;
            c.id = 8388608 + i;
            c.status = (i % 10 == 0) ? 0x84 : 0x00;
            c.placement = i;
            c.firstName = Word(rng, 3, 10);
            c.lastName = Word(rng, 3, 14);
            c.company = Word(rng, 0, 30);
            c.title = Word(rng, 0, 12);
            c.note = Word(rng, 20, 300);
            c.phones[0] = "555-" + std::to_string(i);
            c.phones[1] = c.firstName + "@example.com";
            c.phones[2] = "+1 503 " + std::to_string(i);
            c.phoneLabels = {0, 4, 7, 1, 2, 3, 5};
            spec.contacts.push_back(std::move(c));
        }
        path = dir.File("address.dat");
        WriteFileBytes(path, BuildExtendedAddressFile(spec));
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
        lazrine::palm::PmAddrInfo info;
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

// Every cell of the page's eight columns for every contact, as a listing
// (the window's model and the command line) asks for them.
void BM_ListAllCells(benchmark::State& state) {
    const std::string& path = LargeFile();
    lazrine::palm::PmAddrInfo info;
    info.SetIncludeDeleted(true);
    if (!info.LoadFile(path)) {
        state.SkipWithError("load failed");
        return;
    }
    for (auto _ : state) {
        std::size_t total = 0;
        for (std::size_t i = 0; i < info.CommonCount(); ++i) {
            for (const auto& column : info.Kind().columns) {
                total += info.FieldText(i, column.key).size();
            }
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["records"] = static_cast<double>(info.CommonCount());
}
BENCHMARK(BM_ListAllCells)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_UndeleteAndSave(benchmark::State& state) {
    const std::string& path = LargeFile();
    const auto fileSize = static_cast<double>(std::filesystem::file_size(path));
    lazrine::palm::PmAddrInfo info;
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

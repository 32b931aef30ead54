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
#include <filesystem>
#include <random>
#include <string>

#include "common/palm/PmAddrInfo.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"
#include "RecordSetBench.h"

namespace {

using namespace lazrine::testing;

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
        ContactFileLayout spec;
        spec.contacts.reserve(100000);
        for (std::uint32_t i = 0; i < 100000; ++i) {
            ContactRecordLayout c;
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

void BM_LoadAndBuild(benchmark::State& state) { lazrine::bench::LoadAndBuild<lazrine::palm::PmAddrInfo>(state, LargeFile()); }
BENCHMARK(BM_LoadAndBuild)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ListAllCells(benchmark::State& state) { lazrine::bench::ListAllCells<lazrine::palm::PmAddrInfo>(state, LargeFile()); }
BENCHMARK(BM_ListAllCells)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_UndeleteAndSave(benchmark::State& state) { lazrine::bench::UndeleteAndSave<lazrine::palm::PmAddrInfo>(state, LargeFile()); }
BENCHMARK(BM_UndeleteAndSave)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ExportVCard(benchmark::State& state) {
    lazrine::bench::ExportAll<lazrine::palm::PmAddrInfo>(state, LargeFile(), lazrine::exporting::ExportFormat::kVCard);
}
BENCHMARK(BM_ExportVCard)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExportCsv(benchmark::State& state) {
    lazrine::bench::ExportAll<lazrine::palm::PmAddrInfo>(state, LargeFile(), lazrine::exporting::ExportFormat::kCsv);
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();

#pragma once

// The benchmark bodies every kind shares: load a large file and build the
// common records, make the text of every window column for every record,
// save after one undelete, and export every record to a file. Each measures
// the growth of the peak resident memory during the operation, divided by
// the file size (for an export: by the size of what it wrote, which streams
// and so should stay far below 1).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "BenchMemory.h"
#include "common/export/RecordExporter.h"
#include "support/TempDir.h"

namespace lazrine::bench {

inline double PeakOverFile(std::size_t baseKb, double fileSize) {
    return static_cast<double>(StatusKb("VmHWM:") - baseKb) * 1024.0 / fileSize;
}

template <class Info>
void LoadAndBuild(benchmark::State& state, const std::string& path) {
    const auto fileSize = static_cast<double>(std::filesystem::file_size(path));
    double peakRatio = 0;
    for (auto _ : state) {
        ResetPeak();
        const std::size_t base = StatusKb("VmRSS:");
        Info info;
        info.SetIncludeDeleted(true);
        if (!info.LoadFile(path)) {
            state.SkipWithError("load failed");
            return;
        }
        benchmark::DoNotOptimize(info.CommonCount());
        peakRatio = std::max(peakRatio, PeakOverFile(base, fileSize));
    }
    state.counters["file_MB"] = fileSize / 1e6;
    state.counters["peak_over_file"] = peakRatio;
}

template <class Info>
void ListAllCells(benchmark::State& state, const std::string& path) {
    Info info;
    info.SetIncludeDeleted(true);
    if (!info.LoadFile(path)) {
        state.SkipWithError("load failed");
        return;
    }
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (std::size_t i = 0; i < info.CommonCount(); ++i) {
            for (const auto& column : info.Kind().columns) {
                bytes += info.FieldText(i, column.key).size();
            }
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["records"] = static_cast<double>(info.CommonCount());
}

template <class Info>
void UndeleteAndSave(benchmark::State& state, const std::string& path) {
    const auto fileSize = static_cast<double>(std::filesystem::file_size(path));
    Info info;
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
        peakRatio = std::max(peakRatio, PeakOverFile(base, fileSize));
    }
    state.counters["file_MB"] = fileSize / 1e6;
    state.counters["save_peak_over_file"] = peakRatio;
}

// Every record, to a file that exists from the second iteration on (so that
// replacing an earlier export is measured too).
template <class Info>
void ExportAll(benchmark::State& state, const std::string& path, exporting::ExportFormat::Id format) {
    Info info;
    info.SetIncludeDeleted(true);
    if (!info.LoadFile(path)) {
        state.SkipWithError("load failed");
        return;
    }
    std::vector<std::size_t> rows(info.CommonCount());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = i;
    }
    testing::TempDir dir;
    const std::string out = dir.File(std::string("export") + exporting::ExportFormat::Extension(format));
    double peakRatio = 0;
    double outSize = 0;
    for (auto _ : state) {
        ResetPeak();
        const std::size_t base = StatusKb("VmRSS:");
        exporting::RecordExporter exporter(info, format);
        std::string error;
        if (!exporter.WriteFile(rows, out, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        outSize = static_cast<double>(std::filesystem::file_size(out));
        peakRatio = std::max(peakRatio, PeakOverFile(base, outSize));
    }
    state.counters["records"] = static_cast<double>(rows.size());
    state.counters["out_MB"] = outSize / 1e6;
    state.counters["peak_over_output"] = peakRatio;
}

}  // namespace lazrine::bench

// How long the note page takes to list 100,000 deleted memos and to draw
// the window for the first time, from a file already loaded; how long
// Deleted/All and a switch between two pages of 100,000 records take. The
// counters give each figure in milliseconds and its ratio to what a user
// may wait: 1 s for the first paint, 200 ms for a switch.
#include <QApplication>
#include <QTabWidget>
#include <benchmark/benchmark.h>

#include <chrono>

#include "support/AppTestFiles.h"
#include "FakeUiServices.h"
#include "app/TfmMain.h"
#include "support/PalmFileBuilder.h"
#include "support/TempDir.h"

namespace {

using lazrine::app::TfmMain;

// Milliseconds per step and their ratio to `targetMs`.
void TimeCounters(benchmark::State& state, double seconds, double steps, double targetMs) {
    const double ms = seconds * 1e3 / steps;
    state.counters["ms"] = ms;
    state.counters["of_target"] = ms / targetMs;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
using lazrine::testing::AppTestFiles;

struct BigFile {
    lazrine::testing::TempDir dir;
    std::string ini = dir.File("tamrisk.ini");
    std::string memo = dir.File("memopad.dat");

    explicit BigFile(int count) {
        std::vector<lazrine::testing::TestMemo> memos;
        memos.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            memos.push_back({static_cast<std::uint32_t>(i + 1), 0x04,
                             "Memo " + std::to_string(i) + "\r\nSecond line of a deleted memo."});
        }
        AppTestFiles::WriteMemoFile(memo, memos);
        AppTestFiles::WriteText(ini, "[Lazrine]\nQuitRemind=0\nMemoFile=" + memo + "\n");
    }
};

// Refilling the page from the loaded record set (what a radio button does).
void BM_RefillNotePage(benchmark::State& state) {
    BigFile file(static_cast<int>(state.range(0)));
    lazrine::testing::FakeUiServices ui;
    TfmMain window(file.ini, ui);
    auto& all = *window.findChild<QAbstractButton*>(QStringLiteral("rbtnMemoAll"));
    auto& deleted = *window.findChild<QAbstractButton*>(QStringLiteral("rbtnMemoDel"));
    for (auto _ : state) {
        all.click();
        deleted.click();
    }
    state.SetItemsProcessed(state.iterations() * 2 * state.range(0));
}
BENCHMARK(BM_RefillNotePage)->Arg(100000)->Unit(benchmark::kMillisecond);

// The contact page with 100,000 deleted contacts, refilled and drawn.
struct BigContactFile {
    lazrine::testing::TempDir dir;
    std::string ini = dir.File("tamrisk.ini");
    std::string address = dir.File("address.dat");

    explicit BigContactFile(int count) {
        lazrine::testing::ContactFileLayout spec;
        spec.contacts.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            lazrine::testing::ContactRecordLayout c;
            c.id = static_cast<std::uint32_t>(i + 1);
            c.status = 0x04;
            c.firstName = "First" + std::to_string(i);
            c.lastName = "Last" + std::to_string(i);
            c.company = "Company " + std::to_string(i % 500);
            c.phones[0] = "555-" + std::to_string(i);
            c.phones[1] = "first" + std::to_string(i) + "@example.com";
            c.phoneLabels = {0, 4, 7, 1, 2, 3, 5};
            spec.contacts.push_back(std::move(c));
        }
        lazrine::testing::WriteFileBytes(address, lazrine::testing::BuildExtendedAddressFile(spec));
        AppTestFiles::WriteText(ini, "[Lazrine]\nQuitRemind=0\nAddrFile=" + address + "\n");
    }
};

void BM_RefillContactPageAndPaint(benchmark::State& state) {
    BigContactFile file(static_cast<int>(state.range(0)));
    lazrine::testing::FakeUiServices ui;
    TfmMain window(file.ini, ui);
    window.show();
    window.PageAt(TfmMain::kPageAddr).show();
    auto& all = *window.findChild<QAbstractButton*>(QStringLiteral("rbtnAddrAll"));
    auto& deleted = *window.findChild<QAbstractButton*>(QStringLiteral("rbtnAddrDel"));
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        all.click();
        benchmark::DoNotOptimize(window.grab());
        deleted.click();
        benchmark::DoNotOptimize(window.grab());
        seconds += SecondsSince(start);
    }
    TimeCounters(state, seconds, static_cast<double>(state.iterations()) * 2, 200);
    if (window.PageAt(TfmMain::kPageAddr).Model().rowCount() != state.range(0)) {
        state.SkipWithError("not every contact was listed");
    }
    state.SetItemsProcessed(state.iterations() * 2 * state.range(0));
}
BENCHMARK(BM_RefillContactPageAndPaint)->Arg(100000)->Unit(benchmark::kMillisecond);

// Opening the window (load, list) and drawing it once.
void BM_OpenAndFirstPaint(benchmark::State& state) {
    BigFile file(static_cast<int>(state.range(0)));
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        lazrine::testing::FakeUiServices ui;
        TfmMain window(file.ini, ui);
        window.show();
        benchmark::DoNotOptimize(window.grab());
        seconds += SecondsSince(start);
        if (window.PageAt(TfmMain::kPageMemo).Model().rowCount() != state.range(0)) {
            state.SkipWithError("not every memo was listed");
        }
    }
    TimeCounters(state, seconds, static_cast<double>(state.iterations()), 1000);
}
BENCHMARK(BM_OpenAndFirstPaint)->Arg(100000)->Unit(benchmark::kMillisecond);

// Switching between the contact page and the note page, each with 100,000
// deleted records listed, and drawing the page shown.
void BM_SwitchPage(benchmark::State& state) {
    BigContactFile contacts(static_cast<int>(state.range(0)));
    BigFile memos(static_cast<int>(state.range(0)));
    AppTestFiles::WriteText(contacts.ini, "[Lazrine]\nQuitRemind=0\nAddrFile=" + contacts.address +
                                              "\nMemoFile=" + memos.memo + "\n");
    lazrine::testing::FakeUiServices ui;
    TfmMain window(contacts.ini, ui);
    window.show();
    auto* tabs = window.findChild<QTabWidget*>();
    if (tabs == nullptr) {
        state.SkipWithError("no pages");
        return;
    }
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        tabs->setCurrentIndex(TfmMain::kPageMemo);
        benchmark::DoNotOptimize(window.grab());
        tabs->setCurrentIndex(TfmMain::kPageAddr);
        benchmark::DoNotOptimize(window.grab());
        seconds += SecondsSince(start);
    }
    TimeCounters(state, seconds, static_cast<double>(state.iterations()) * 2, 200);
    if (window.PageAt(TfmMain::kPageMemo).Model().rowCount() != state.range(0) ||
        window.PageAt(TfmMain::kPageAddr).Model().rowCount() != state.range(0)) {
        state.SkipWithError("not every record was listed");
    }
}
BENCHMARK(BM_SwitchPage)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

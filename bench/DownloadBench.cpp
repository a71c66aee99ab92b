// Timings of the reader download through the window's own handlers, with the
// simulated uroflowmeter holding the demo day: a full download of 2,049 reports
// handed over at once (the end-of-transfer scan, passport and first drawing
// included), the reports alone, and the wall time of a demo-mode download paced
// at one report per millisecond, with the longest the event loop had to wait.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <clocale>
#include <memory>

#include "app/Beeper.h"
#include "app/DemoPacer.h"
#include "app/Dialogs.h"
#include "app/Platform.h"
#include "app/QtPlatform.h"
#include "app/QtPrinter.h"
#include "app/Unit1.h"
#include "files/XlsxSpreadsheet.h"
#include "reader/SimulatedUroflowmeter.h"
#include "tools/demo/DemoDay.h"

namespace uroflow {
namespace {

// Every box answered at once; an unexpected one fails the benchmark.
class QuietDialogs : public Dialogs {
  public:
    MsgButton message(const QString&, const QString& text, MsgIcon, int buttons) override {
        unexpected = text;
        return (buttons & MbYes) ? MbYes : MbOk;
    }
    void showError(const QString& text) override { unexpected = text; }
    QString openFileName(const FileDialogSpec&) override { return {}; }
    QString saveFileName(const FileDialogSpec&) override { return {}; }
    bool printerSetup() override { return false; }
    QString unexpected;
};

class CountingBeeper : public Beeper {
  public:
    void beep() override { ++beeps; }
    int beeps = 0;
};

// A window with the simulated uroflowmeter plugged in and found.
struct Bench {
    QuietDialogs dialogs;
    SystemClock clock;
    CountingBeeper beeper;
    QTemporaryDir folder;
    SimulatedUroflowmeter reader;
    QtPrinter printer;  // never used: nothing is printed
    XlsxSpreadsheet spreadsheet;
    std::unique_ptr<TTMForm> form;

    Bench() {
        const auto day = std::make_unique<Image>(buildDemoDay());
        reader.loadMemory(std::span(*day).first(kMemorySize));
        reader.plug();
        form = std::make_unique<TTMForm>(Platform{dialogs, clock, beeper, folder.path(),
                                                  folder.path(), reader, printer, spreadsheet,
                                                  folder.path()});
        reader.deliverAll();
    }

    bool downloaded(int beepsBefore) const {
        return beeper.beeps == beepsBefore + 1 &&
               form->day().studyCount() == demoDayPlan().size() && dialogs.unexpected.isEmpty() &&
               form->transfer().ReportCount == 0;
    }
};

void BM_FullDownloadInstant(benchmark::State& state) {
    Bench bench;
    for (auto _ : state) {
        const int before = bench.beeper.beeps;
        bench.form->ReadDataClick();
        const std::size_t delivered = bench.reader.deliverAll();
        if (delivered != 2049 || !bench.downloaded(before)) {
            state.SkipWithError("the download did not end as expected");
            break;
        }
    }
    state.counters["reports"] = 2049;
}
BENCHMARK(BM_FullDownloadInstant)->Unit(benchmark::kMillisecond);

// The 2,048 memory blocks alone: each report is stored and compared, nothing more.
void BM_ReportHandling(benchmark::State& state) {
    Bench bench;
    for (auto _ : state) {
        bench.form->ReadDataClick();
        for (int i = 0; i < 2048; ++i) bench.reader.deliverNext();
        state.PauseTiming();
        bench.reader.deliverAll();
        state.ResumeTiming();
    }
    state.counters["per_report"] =
        benchmark::Counter(2048.0 * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReportHandling)->Unit(benchmark::kMillisecond);

// Wall time of a paced download, and the longest gap between the turns of a 5 ms
// probe timer: how long a click or a repaint would have waited.
void BM_DemoDownloadWallTime(benchmark::State& state) {
    Bench bench;
    bench.form->show();  // the window repaints as it would on a screen
    DemoPacer pacer(bench.reader);
    double longestGapMs = 0;
    for (auto _ : state) {
        const int before = bench.beeper.beeps;
        QElapsedTimer probeClock;
        QTimer probe;
        probe.setInterval(5);
        QObject::connect(&probe, &QTimer::timeout, [&] {
            longestGapMs = std::max(longestGapMs, static_cast<double>(probeClock.restart()));
        });
        QElapsedTimer wall;
        wall.start();
        probeClock.start();
        probe.start();
        bench.form->ReadDataClick();
        while (bench.beeper.beeps == before) QApplication::processEvents(QEventLoop::AllEvents, 50);
        state.SetIterationTime(static_cast<double>(wall.nsecsElapsed()) / 1e9);
        probe.stop();
        if (!bench.downloaded(before)) {
            state.SkipWithError("the download did not end as expected");
            break;
        }
    }
    state.counters["longest_gap_ms"] = longestGapMs;
}
BENCHMARK(BM_DemoDownloadWallTime)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace uroflow

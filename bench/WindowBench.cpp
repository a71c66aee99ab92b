// The real window stepping onto the longest study a day can hold: from the click on
// "<<" to the painted window, with the study decoded, both uroflowgrams filled, the
// indices written and every control drawn.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QString>
#include <QXYSeries>
#include <clocale>
#include <cmath>
#include <memory>
#include <vector>

#include "app/Unit1.h"
#include "charts/ChartView.h"
#include "files/StudyFile.h"
#include "study/Image.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"

namespace uroflow {
namespace {

// Two studies: first the longest that fits beside a short one (32,494 decoded samples, a
// smooth bell of 200 to 2,000 raw, so no pair of bytes reads as a start or end word), then
// a short one of 200 samples to step back from.
std::unique_ptr<Image> longestStudyDay() {
    constexpr std::size_t kShort = 200;
    const std::size_t shortLength = test::ImageBuilder::decodedStudyLength(kShort, true);
    const std::size_t room = kMemorySize - kStudyAreaStart - shortLength;
    std::size_t samples = 0;
    while (test::ImageBuilder::decodedStudyLength(samples + 1, true) <= room) ++samples;
    std::vector<std::uint16_t> bell(samples);
    for (std::size_t k = 0; k < samples; ++k) {
        const double u = (static_cast<double>(k) - samples / 2.0) / (samples / 6.0);
        bell[k] = static_cast<std::uint16_t>(200 + 1800 * std::exp(-u * u));
    }
    test::ImageBuilder b;
    b.calibration(50000).battery(kBatteryHigh).sex(1).name("Bench").age("45").date("150324");
    b.addDecodedStudy(kStudyAreaStart, 10, 30, bell, 1200);
    b.addDecodedStudy(kStudyAreaStart + test::ImageBuilder::decodedStudyLength(samples, true), 11,
                      5, std::vector<std::uint16_t>(kShort, 3000), 60);
    return b.build();
}

// The window as the user has it: shown, the day loaded, the short study on screen.
struct Window {
    test::FakePlatform fake;
    std::unique_ptr<TTMForm> form = std::make_unique<TTMForm>(fake.platform());

    Window() {
        const QString path = QDir(fake.userConfigDir.path()).filePath("longest.txt");
        writeStudyFile(QFile::encodeName(path).toStdString(), *longestStudyDay());
        form->resize(965, 600);
        form->show();
        fake.dialogs.openNames.push_back(path);
        form->guard([this] { form->LoadFileClick(); });
        form->Next->click();
        paint();
    }

    void paint() {
        QApplication::processEvents();  // posted layout of the charts' axes
        form->repaint();
    }

    bool fine() const { return fake.dialogs.errors.isEmpty() && fake.dialogs.messages.empty(); }
};

void BM_StepOntoLongestStudyAndPaint(benchmark::State& state) {
    Window window;
    double handlerMs = 0;
    std::size_t samples = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        window.form->Prev->click();  // onto the longest study
        handlerMs += clock.nsecsElapsed() / 1e6;
        window.paint();
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);

        state.PauseTiming();
        samples = window.form->charts.ChartGraf->curve().size();
        const bool shown = samples > 32000;
        window.form->Next->click();
        window.paint();
        state.ResumeTiming();
        if (!shown || !window.fine()) {
            state.SkipWithError("the longest study was not shown");
            break;
        }
    }
    state.counters["handler_ms"] = handlerMs / static_cast<double>(state.iterations());
    state.counters["samples"] = static_cast<double>(samples);
}
BENCHMARK(BM_StepOntoLongestStudyAndPaint)->UseManualTime()->Unit(benchmark::kMillisecond);

// Zooming back out on the longest study: the thinned curve is derived again for the range.
void BM_ResetZoomOnLongestStudyAndPaint(benchmark::State& state) {
    Window window;
    window.form->Prev->click();
    window.paint();
    TChartView* chart = window.form->charts.ChartGraf;
    for (auto _ : state) {
        state.PauseTiming();
        chart->chart()->zoomIn(chart->chart()->plotArea().adjusted(300, 100, -300, -100));
        window.paint();
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        window.form->ZoomReset->click();
        window.paint();
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
    }
    state.counters["drawn_points"] = static_cast<double>(chart->series()->count());
}
BENCHMARK(BM_ResetZoomOnLongestStudyAndPaint)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace uroflow

// Timings of the heaviest work the window does: decoding the longest possible study,
// putting it on the flow/time chart, and evaluating a full memory for the nomogram.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QLineSeries>
#include <QList>
#include <QPainter>
#include <QPointF>
#include <QWidget>
#include <clocale>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "charts/ChartSetup.h"
#include "charts/ChartView.h"
#include "day/Day.h"
#include "nomogram/DayEvaluation.h"
#include "study/Decoder.h"
#include "study/Image.h"
#include "study/StudyScan.h"
#include "tools/demo/DemoDay.h"

namespace uroflow {
namespace {

void putWord(Image& image, std::size_t offset, std::uint16_t value) {
    image[offset] = static_cast<std::uint8_t>(value >> 8);
    image[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

// A day with one study that fills the whole study area: no end word and no
// unwritten memory anywhere, so the decoder walks every one of its word steps.
Image longestStudyImage() {
    Image image{};
    image[kSexOffset] = 1;
    const std::string name = "Bench";
    std::copy(name.begin(), name.end(), image.begin() + kNameOffset);
    image[kAgeOffset] = '4';
    image[kAgeOffset + 1] = '5';
    const std::string date = "150324";
    std::copy(date.begin(), date.end(), image.begin() + kDateOffset);
    image[kBatteryOffset] = kBatteryHigh;
    putWord(image, kCalibrationAOffset, 0);
    putWord(image, kCalibrationBOffset, 12500);  // K = 4 x (B - A) = 50,000
    putWord(image, kStudyAreaStart, kStartWord);
    image[kStudyAreaStart + 2] = 10;  // 10:30
    image[kStudyAreaStart + 3] = 30;
    // A smooth bell of raw samples between 200 and 2000: high bytes stay below 8,
    // so no pair of bytes can read as a start, end or unwritten word.
    const std::size_t first = kStudyAreaStart + 4;
    const std::size_t count = (kMemorySize - first) / 2;
    for (std::size_t k = 0; k < count; ++k) {
        const double u = (static_cast<double>(k) - count / 2.0) / (count / 6.0);
        putWord(image, first + 2 * k, static_cast<std::uint16_t>(200 + 1800 * std::exp(-u * u)));
    }
    return image;
}

const Image& deviceImage() {
    static const Image image = longestStudyImage();
    return image;
}

// A file load as the window makes it: the day takes the image, scans it and decodes the
// first study.
DecodeResult scanAndDecode(const Image& device, Day& day) {
    day.loadImage(device);
    day.scan(kFileScan);
    return day.decodeCurrent();
}

QList<QPointF> toPoints(const std::vector<CurvePoint>& curve) {
    QList<QPointF> points;
    points.reserve(static_cast<qsizetype>(curve.size()));
    for (const CurvePoint& p : curve) points.append({p.x, p.y});
    return points;
}

// The window's charts, created once in main() after the application.
ChartViews views;

void BM_ScanAndDecode(benchmark::State& state) {
    auto day = std::make_unique<Day>();
    DecodeResult result;
    for (auto _ : state) {
        result = scanAndDecode(deviceImage(), *day);
        benchmark::DoNotOptimize(result);
    }
    if (!result.decoded) state.SkipWithError("the study was not decoded");
    state.counters["points"] = static_cast<double>(result.flowTime.size());
    state.counters["samples"] = result.sampleCount;
}
BENCHMARK(BM_ScanAndDecode)->Unit(benchmark::kMillisecond);

// The decoding alone, as the window redraws a study: the scanned image copied into
// the working buffer, then walked.
void BM_Decode(benchmark::State& state) {
    auto scanned = std::make_unique<Image>();
    StudyStartTable starts{};
    std::uint16_t count = 0;
    scanStudies(deviceImage(), *scanned, starts, count, kFileScanLastOffset, false);
    const DecodeParams params{starts[0], kDefaultArtefactThreshold, count,
                              calibrationCoefficient(deviceImage())};
    auto work = std::make_unique<Image>();
    for (auto _ : state) {
        *work = *scanned;
        DecodeResult result = decodeStudy(*work, params);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_Decode)->Unit(benchmark::kMillisecond);

// Every study of the demo day decoded once, as the window redraws them in turn: ordinary
// voidings of a few hundred samples, where buffers sized for the longest study would
// cost more than the walk.
void BM_DecodeDemoDay(benchmark::State& state) {
    const auto device = std::make_unique<Image>(buildDemoDay());
    auto scanned = std::make_unique<Image>();
    StudyStartTable starts{};
    std::uint16_t count = 0;
    scanStudies(*device, *scanned, starts, count, kFileScanLastOffset, false);
    const std::int32_t k = calibrationCoefficient(*device);
    auto work = std::make_unique<Image>();
    std::size_t points = 0;
    for (auto _ : state) {
        points = 0;
        for (std::uint16_t i = 0; i < count; ++i) {
            *work = *scanned;
            const DecodeResult result =
                decodeStudy(*work, {starts[i], kDefaultArtefactThreshold, count, k});
            points += result.flowTime.size();
        }
        benchmark::DoNotOptimize(points);
    }
    state.counters["studies"] = count;
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_DecodeDemoDay)->Unit(benchmark::kMicrosecond);

// The same through the day model, as the window steps through the studies after a load:
// the scan, then every study drawn in turn from the scanned image.
void BM_DayDrawsEveryStudyOfTheDemoDay(benchmark::State& state) {
    const auto device = std::make_unique<Image>(buildDemoDay());
    auto day = std::make_unique<Day>();
    day->loadImage(*device);
    std::size_t points = 0;
    for (auto _ : state) {
        day->scan(kFileScan);
        points = 0;
        for (std::uint16_t i = 0; i < day->studyCount(); ++i)
            points += day->decode(i).flowTime.size();
        benchmark::DoNotOptimize(points);
    }
    state.counters["studies"] = day->studyCount();
    state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_DayDrawsEveryStudyOfTheDemoDay)->Unit(benchmark::kMicrosecond);

// The nomogram evaluation of a full memory (no unwritten word: the one study runs to
// the end of the 64 KiB), from the scanned image as the window starts it.
void BM_NomogramEvaluation(benchmark::State& state) {
    auto scanned = std::make_unique<Image>();
    StudyStartTable starts{};
    std::uint16_t count = 0;
    scanStudies(deviceImage(), *scanned, starts, count, kFileScanLastOffset, false);
    const std::int32_t k = calibrationCoefficient(deviceImage());
    auto work = std::make_unique<Image>();
    std::size_t studies = 0;
    for (auto _ : state) {
        *work = *scanned;
        const std::vector<EvaluatedStudy> result = evaluateDay(*work, k);
        benchmark::DoNotOptimize(result.data());
        studies = result.size();
    }
    if (studies != 1) state.SkipWithError("the full memory was not one study");
}
BENCHMARK(BM_NomogramEvaluation)->Unit(benchmark::kMicrosecond);

// Study file in, flow/time and flow/volume charts filled, as a file load does.
class StudyFileFixture {
  public:
    StudyFileFixture() {
        std::ofstream out(path_, std::ios::binary);
        out.write(reinterpret_cast<const char*>(deviceImage().data()), kMemorySize);
    }
    ~StudyFileFixture() { std::filesystem::remove(path_); }

    bool loadDecodeFill() {
        std::ifstream in(path_, std::ios::binary);
        std::fill(device_->begin(), device_->end(), 0);
        in.read(reinterpret_cast<char*>(device_->data()), kMemorySize);
        if (in.gcount() != static_cast<std::streamsize>(kMemorySize)) return false;
        const DecodeResult result = scanAndDecode(*device_, *day_);
        views.ChartGraf->fillSeries(toPoints(result.flowTime));
        views.ChartVQ->fillSeries(toPoints(result.flowVolume));
        return true;
    }

  private:
    std::filesystem::path path_ =
        std::filesystem::temp_directory_path() / "uroflow-bench-study.txt";
    std::unique_ptr<Image> device_ = std::make_unique<Image>();
    std::unique_ptr<Day> day_ = std::make_unique<Day>();
};

void renderFlowTime(QImage& image) {
    QApplication::processEvents();  // the chart lays out its axes on posted events
    QPainter painter(&image);
    views.ChartGraf->render(&painter);
}

void BM_LoadDecodeFillCharts(benchmark::State& state) {
    StudyFileFixture file;
    for (auto _ : state) {
        if (!file.loadDecodeFill()) {
            state.SkipWithError("study file read short");
            break;
        }
    }
    state.counters["points"] = static_cast<double>(views.Series1->count());
}
BENCHMARK(BM_LoadDecodeFillCharts)->Unit(benchmark::kMillisecond);

// The same, up to the flow/time chart drawn into an image of its size.
void BM_LoadDecodeFillRender(benchmark::State& state) {
    StudyFileFixture file;
    QImage image(828, 518, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    for (auto _ : state) {
        if (!file.loadDecodeFill()) {
            state.SkipWithError("study file read short");
            break;
        }
        renderFlowTime(image);
    }
}
BENCHMARK(BM_LoadDecodeFillRender)->Unit(benchmark::kMillisecond);

// Drawing the filled flow/time chart, with (1) and without (0) point markers.
void BM_RenderFlowTime(benchmark::State& state) {
    auto day = std::make_unique<Day>();
    const QList<QPointF> points = toPoints(scanAndDecode(deviceImage(), *day).flowTime);
    views.Series1->setPointsVisible(state.range(0) != 0);
    QImage image(828, 518, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    for (auto _ : state) {
        state.PauseTiming();
        views.ChartGraf->clearSeries();
        views.ChartGraf->fillSeries(points);
        state.ResumeTiming();
        renderFlowTime(image);
    }
    views.Series1->setPointsVisible(true);
}
BENCHMARK(BM_RenderFlowTime)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace uroflow

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    QWidget window;
    window.resize(965, 600);
    uroflow::views = uroflow::createChartViews(&window);
    window.show();
    QApplication::processEvents();

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

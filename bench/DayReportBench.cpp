// Timings of the day report: the summary and the standard analysis of a memory full of
// voidings, and the PDF of the demo day from the image to the document's bytes and to a file.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <clocale>
#include <memory>
#include <optional>
#include <vector>
#include <stdexcept>

#include "app/DayReportPdf.h"
#include "files/DayReport.h"
#include "files/DaySheet.h"
#include "files/DaySummary.h"
#include "study/Decoder.h"
#include "study/StudyScan.h"
#include "study/VoidingAnalysis.h"
#include "tools/demo/DemoDay.h"

namespace uroflow {
namespace {

// As many voidings as the memory holds, one every quarter of an hour round the clock
// and past midnight, so every branch of the day/night split is taken.
Image fullDay() {
    std::vector<DemoVoiding> plan;
    Image image{};
    for (int i = 0;; ++i) {
        DemoVoiding voiding = demoDayPlan()[static_cast<std::size_t>(i) % demoDayPlan().size()];
        voiding.hour = static_cast<std::uint8_t>((i / 4) % 24);
        voiding.minute = static_cast<std::uint8_t>(15 * (i % 4));
        plan.push_back(voiding);
        try {
            image = buildDemoDay(plan);
        } catch (const std::length_error&) {
            plan.pop_back();
            return buildDemoDay(plan);
        }
    }
}

void BM_DaySummaryOfAFullDay(benchmark::State& state) {
    const auto device = std::make_unique<Image>(fullDay());
    const DayReport report = buildDayReport(*device);
    DaySummary summary;
    for (auto _ : state) {
        summary = summarizeDay(report);
        benchmark::DoNotOptimize(summary);
    }
    state.counters["voidings"] = summary.counted;
    state.counters["night"] = summary.night.voidings.value_or(-1);
}
BENCHMARK(BM_DaySummaryOfAFullDay)->Unit(benchmark::kMicrosecond);

// The standard analysis of every study of a full memory, from the decoded samples
// (target under 5 ms).
void BM_StandardAnalysisOfAFullMemory(benchmark::State& state) {
    const auto device = std::make_unique<Image>(fullDay());
    const auto scanned = std::make_unique<Image>();
    StudyStartTable starts{};
    std::uint16_t count = 0;
    scanStudies(*device, *scanned, starts, count, kFileScanLastOffset, false);
    const std::int32_t k = calibrationCoefficient(*device);
    std::vector<DecodeResult> decoded;
    std::size_t samples = 0;
    for (std::uint16_t i = 0; i < count; ++i) {
        decoded.push_back(decodeStudyFromScan(*scanned, DecodeParams{starts[i], 10, count, k}));
        samples += decoded.back().samples.size();
    }
    for (auto _ : state) {
        for (const DecodeResult& result : decoded) {
            std::optional<VoidingAnalysis> analysis = analyzeStudy(result);
            benchmark::DoNotOptimize(analysis);
        }
    }
    state.counters["studies"] = count;
    state.counters["samples"] = static_cast<double>(samples);
}
BENCHMARK(BM_StandardAnalysisOfAFullMemory)->Unit(benchmark::kMillisecond);

// The same with the decoding of every study before it, as the report tool runs.
void BM_DecodeAndSummarizeAFullDay(benchmark::State& state) {
    const auto device = std::make_unique<Image>(fullDay());
    for (auto _ : state) {
        const DaySummary summary = summarizeDay(buildDayReport(*device));
        benchmark::DoNotOptimize(summary);
    }
}
BENCHMARK(BM_DecodeAndSummarizeAFullDay)->Unit(benchmark::kMillisecond);

// The window's Ctrl+D after the dialog: the image decoded, the sheet built, the PDF made.
void BM_DemoDayPdf(benchmark::State& state) {
    const auto device = std::make_unique<Image>(buildDemoDay());
    QByteArray bytes;
    for (auto _ : state) {
        const DayReport report = buildDayReport(*device);
        bytes = dayReportPdf(buildDaySheet(report, report.passport, "Петров П.П."));
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_DemoDayPdf)->Unit(benchmark::kMillisecond);

void BM_DemoDayPdfToFile(benchmark::State& state) {
    const auto device = std::make_unique<Image>(buildDemoDay());
    QTemporaryDir folder;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("day.pdf"));
    for (auto _ : state) {
        const DayReport report = buildDayReport(*device);
        writeDayReportPdf(buildDaySheet(report, report.passport, "Петров П.П."),
                          QFile::encodeName(path).toStdString());
    }
}
BENCHMARK(BM_DemoDayPdfToFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace uroflow

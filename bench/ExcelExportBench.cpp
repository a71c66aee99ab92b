// Timing and memory of the Excel export of a full image: 32,768 data rows (32,771
// worksheet rows) built, walked and written to an .xlsx file.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "files/ExcelExport.h"
#include "files/ExportTable.h"
#include "files/XlsxSpreadsheet.h"
#include "study/Image.h"

namespace uroflow {
namespace {

void putWord(Image& image, std::size_t offset, std::uint16_t value) {
    image[offset] = static_cast<std::uint8_t>(value >> 8);
    image[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

// One study over the whole study area and no unwritten word, so the table takes all
// 32,768 words; samples of a smooth bell give values with two decimals.
std::unique_ptr<Image> fullImage() {
    auto image = std::make_unique<Image>();
    putWord(*image, kCalibrationAOffset, 0);
    putWord(*image, kCalibrationBOffset, 12500);  // K = 50,000
    putWord(*image, kStudyAreaStart, kStartWord);
    (*image)[kStudyAreaStart + 2] = 10;
    (*image)[kStudyAreaStart + 3] = 30;
    const std::size_t first = kStudyAreaStart + 4;
    const std::size_t count = (kMemorySize - first) / 2;
    for (std::size_t k = 0; k < count; ++k) {
        const double u = (static_cast<double>(k) - count / 2.0) / (count / 6.0);
        putWord(*image, first + 2 * k, static_cast<std::uint16_t>(200 + 1800 * std::exp(-u * u)));
    }
    return image;
}

long peakRssKib() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_ExcelExportFullImage(benchmark::State& state) {
    const auto image = fullImage();
    const std::string path =
        (std::filesystem::temp_directory_path() / "uroflow-bench-export.xlsx").string();
    XlsxSpreadsheet writer;
    const long rssBefore = peakRssKib();
    std::size_t rows = 0;
    for (auto _ : state) {
        const ExportValues values = buildExportValues(*image, 50000);
        const auto session = writer.connect();
        if (!session) {
            state.SkipWithError("the writer could not be created");
            break;
        }
        writeExportWorkbook(*session, values, path);
        rows = values.size();
    }
    state.counters["data_rows"] = static_cast<double>(rows);
    state.counters["file_KiB"] = static_cast<double>(std::filesystem::file_size(path)) / 1024;
    state.counters["peak_rss_KiB"] = static_cast<double>(peakRssKib());
    state.counters["peak_rss_growth_KiB"] = static_cast<double>(peakRssKib() - rssBefore);
    std::filesystem::remove(path);
}
BENCHMARK(BM_ExcelExportFullImage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace uroflow

BENCHMARK_MAIN();

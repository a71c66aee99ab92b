// Fuzz target: the header and a stretch of the study area, laid into a memory that is
// otherwise unwritten, through the day report: its studies against the scan, its JSON and
// CSV texts and the page of the PDF report.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "day/Day.h"
#include "files/DayReport.h"
#include "fuzz/LaidImage.h"
#include "fuzz/ReportCheck.h"
#include "fuzz/ScanCheck.h"

namespace uroflow::fuzz {
namespace {

void run(const std::uint8_t* data, std::size_t size) {
    static LaidImage memory;
    // The day model the report tool works on, kept between executions.
    static const auto day = std::make_unique<Day>();
    static Scan scanned;
    memory.clear();
    memory.put(0, {data, size});
    const Image& device = memory.image();
    day->loadImage(device);
    day->scan(kFileScan);
    scanChecked(device, kFileScan, scanned);
    checkReport(buildDayReport(*day), scanned);
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::run(data, size);
    return 0;
}

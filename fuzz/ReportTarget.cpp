// Fuzz target: the header and a stretch of the study area, laid into a memory that is
// otherwise unwritten, through the day report: its studies against the scan, its JSON and
// CSV texts and the page of the PDF report.

#include <cstddef>
#include <cstdint>

#include "files/DayReport.h"
#include "fuzz/LaidImage.h"
#include "fuzz/ReportCheck.h"
#include "fuzz/ScanCheck.h"

namespace uroflow::fuzz {
namespace {

void run(const std::uint8_t* data, std::size_t size) {
    static LaidImage memory;
    static Scan scanned;
    memory.clear();
    memory.put(0, {data, size});
    const Image& device = memory.image();
    scanChecked(device, kFileScan, scanned);
    checkReport(buildDayReport(device), scanned);
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::run(data, size);
    return 0;
}

// Fuzz target: the header and a stretch of the study area, laid into a memory that is
// otherwise unwritten, through the day report: its studies against the scan, its JSON and
// CSV texts and the page of the PDF report.

#include <cstddef>
#include <cstdint>

#include "files/DayReport.h"
#include "fuzz/LaidDay.h"
#include "fuzz/ReportCheck.h"
#include "fuzz/ScanCheck.h"

namespace uroflow::fuzz {
namespace {

void run(const std::uint8_t* data, std::size_t size) {
    static LaidDay laid;
    static Scan scanned;
    Day& day = laid.load({data, size});
    scanChecked(laid.device(), kFileScan, scanned);
    checkReport(buildDayReport(day), scanned);
    laid.forget();
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::run(data, size);
    return 0;
}

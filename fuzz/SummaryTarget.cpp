// Fuzz target: the header and a stretch of the study area, laid into a memory that is
// otherwise unwritten, through the day report's decoding and the day summary with a night
// window given by bytes 0 to 3 (minutes after midnight, which the program does not read).

#include <cstddef>
#include <cstdint>

#include "files/DayReport.h"
#include "fuzz/LaidDay.h"
#include "fuzz/SummaryCheck.h"

namespace uroflow::fuzz {
namespace {

void run(const std::uint8_t* data, std::size_t size) {
    static LaidDay laid;
    Day& day = laid.load({data, size});
    const NightWindow window = nightFromWords(word(laid.device(), 0), word(laid.device(), 2));
    summaryChecked(buildDayReport(day), window);
    laid.forget();
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::run(data, size);
    return 0;
}

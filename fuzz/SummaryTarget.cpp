// Fuzz target: the header and a stretch of the study area, laid into a memory that is
// otherwise unwritten, through the day report's decoding and the day summary with a night
// window given by bytes 0 to 3 (minutes after midnight, which the program does not read).

#include <cstddef>
#include <cstdint>
#include <memory>

#include "day/Day.h"
#include "files/DayReport.h"
#include "fuzz/LaidImage.h"
#include "fuzz/SummaryCheck.h"

namespace uroflow::fuzz {
namespace {

void run(const std::uint8_t* data, std::size_t size) {
    static LaidImage memory;
    // The day model the report tool works on, kept between executions.
    static const auto day = std::make_unique<Day>();
    memory.clear();
    memory.put(0, {data, size});
    const Image& device = memory.image();
    day->loadImage(device);
    day->scan(kFileScan);
    const NightWindow window = nightFromWords(word(device, 0), word(device, 2));
    summaryChecked(buildDayReport(*day), window);
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::run(data, size);
    return 0;
}

// Fuzz target: the header and a stretch of the study area, laid into a memory that is
// otherwise unwritten, through the Excel export: the table of words, the marker walk and
// the workbook calls in the order the application is driven.

#include <cstddef>
#include <cstdint>

#include "fuzz/ExportCheck.h"
#include "fuzz/LaidImage.h"
#include "study/Decoder.h"

namespace uroflow::fuzz {
namespace {

void run(const std::uint8_t* data, std::size_t size) {
    static LaidImage memory;
    memory.clear();
    memory.put(0, {data, size});
    checkExport(memory.image(), calibrationCoefficient(memory.image()));
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::run(data, size);
    return 0;
}

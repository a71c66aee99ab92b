// Fuzz target: the header and a stretch of the study area, laid into a memory that is
// otherwise unwritten, through the nomogram: its scan and per-study pass (twice, as
// pressing "Ном" twice does), every chart, age limit and zone, and the archive comparison.

#include <cstddef>
#include <cstdint>

#include "fuzz/LaidImage.h"
#include "fuzz/NomogramCheck.h"
#include "fuzz/ScanCheck.h"
#include "study/Decoder.h"
#include "study/Passport.h"

namespace uroflow::fuzz {
namespace {

void run(const std::uint8_t* data, std::size_t size) {
    static LaidImage memory;
    static Scan scanned;
    memory.clear();
    memory.put(0, {data, size});
    const Image& device = memory.image();
    scanChecked(device, kFileScan, scanned);
    checkNomogram(device, *scanned.image, decodePassport(device), calibrationCoefficient(device));
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::run(data, size);
    return 0;
}

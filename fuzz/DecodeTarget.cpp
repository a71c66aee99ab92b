// Fuzz target: one study's record bytes, laid at the start of the study area of a memory
// that is otherwise unwritten, decoded as the window draws it: from offset 99 and from
// every start the scan found, each twice. The first byte chooses the record's offset
// (bit 0: one byte on, so the words lie odd) and the calibration (bits 1 and 2).

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/DrawCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/Invariant.h"
#include "fuzz/LaidImage.h"
#include "fuzz/ScanCheck.h"

namespace uroflow::fuzz {
namespace {

// Valid at both ends of the range, out of it, and negative.
constexpr std::array<std::int32_t, 4> kCoefficients = {50000, 40000, 60004, -40000};
// Past the last byte laid, the decoder's look-ahead and patches reach no further.
constexpr std::size_t kWalkReach = 32;

void run(const std::uint8_t* data, std::size_t size) {
    static LaidImage memory;
    static Scan scanned;
    static DrawWork work;
    FuzzInput in(data, size);
    const std::uint8_t choice = in.byte();
    const std::size_t offset = kStudyAreaStart + (choice & 1);
    const std::int32_t k = kCoefficients[(choice >> 1) % kCoefficients.size()];

    memory.clear();
    // K = 4 x (B - A).
    memory.putWord(kCalibrationAOffset, static_cast<std::uint16_t>(k < 0 ? -k / 4 : 0));
    memory.putWord(kCalibrationBOffset, static_cast<std::uint16_t>(k > 0 ? k / 4 : 0));
    memory.put(offset, in.bytes(kMemorySize));
    const Image& device = memory.image();
    FUZZ_REQUIRE(calibrationCoefficient(device) == k);

    scanChecked(device, kFileScan, scanned);
    work.take(*scanned.image);
    const std::size_t reach = std::min(kMemorySize, memory.writtenEnd() + kWalkReach);
    const auto drawTwice = [&](const DecodeParams& params) {
        const DecodeResult first = work.draw(*scanned.image, params);
        // The walk patches its own study only, and only where it says it did (the day
        // copies back no more than that): the rest of the memory is as scanned.
        const std::size_t from = std::min<std::size_t>(first.patched.from, reach);
        const std::size_t to = std::min<std::size_t>(first.patched.to, reach);
        const std::uint8_t* drawn = work.image().data();
        FUZZ_REQUIRE(std::memcmp(drawn, scanned.image->data(), from) == 0);
        FUZZ_REQUIRE(std::memcmp(drawn + to, scanned.image->data() + to, kImageSize - to) == 0);
        // Drawn again on the image brought back as the day brings it back.
        FUZZ_REQUIRE(sameDrawing(first, work.draw(*scanned.image, params)));
    };
    // Offset 99 whatever lies there, then every study as the day decodes it.
    drawTwice({kStudyAreaStart, kDefaultArtefactThreshold, scanned.count, k});
    for (std::uint16_t i = 0; i < scanned.count; ++i)
        drawTwice(studyParams(scanned.starts, scanned.count, i, k));
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::run(data, size);
    return 0;
}

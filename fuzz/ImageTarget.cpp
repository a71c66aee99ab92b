// Fuzz target, the whole day: a memory image through everything a file load, the
// nomogram, the archive comparison, the Excel export and the report tool do, with the
// invariants of each step checked on the way. Slow by nature (every study drawn, every
// text built); the path targets cover each step at speed.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "files/DayReport.h"
#include "fuzz/DrawCheck.h"
#include "fuzz/ExportCheck.h"
#include "fuzz/Invariant.h"
#include "fuzz/LaidImage.h"
#include "fuzz/NomogramCheck.h"
#include "fuzz/ReportCheck.h"
#include "fuzz/ScanCheck.h"
#include "fuzz/SummaryCheck.h"
#include "fuzz/TextCheck.h"
#include "study/Decoder.h"
#include "study/Passport.h"

namespace uroflow::fuzz {
namespace {

void run(const std::uint8_t* data, std::size_t size) {
    static LaidImage memory;
    static Scan fileScan;
    static Scan downloaded;
    static const auto work = std::make_unique<Image>();
    static const auto untouched = std::make_unique<Image>();
    memory.clear();
    memory.put(0, {data, size});
    const Image& device = memory.image();
    *untouched = device;

    const Passport passport = decodePassport(device);
    FUZZ_REQUIRE(validUtf8(passport.name) && validUtf8(passport.age) && validUtf8(passport.date));
    FUZZ_REQUIRE(passport.name.size() <= 3 * kNameLength);
    const std::int32_t k = calibrationCoefficient(device);

    // A file load: the whole memory scanned, the first drawing at offset 99, then every
    // study in turn; the first drawing looks the same when it is made again.
    scanChecked(device, kFileScan, fileScan);
    const DecodeParams firstParams{kStudyAreaStart, kArtefactThreshold, fileScan.count, k};
    const DecodeResult first = drawChecked(*fileScan.image, *work, firstParams);
    for (std::uint16_t i = 0; i < fileScan.count; ++i) {
        drawChecked(*fileScan.image, *work,
                    {fileScan.starts[i], kArtefactThreshold, fileScan.count, k});
    }
    FUZZ_REQUIRE(sameDrawing(first, drawChecked(*fileScan.image, *work, firstParams)));

    // A download of the same memory. Bytes 0 and 1, which the program does not read,
    // give the number of reports the transfer delivered.
    const ScanVariant variant = downloadScan(word(device, 0));
    scanChecked(device, variant, downloaded);
    FUZZ_REQUIRE(downloaded.count <= fileScan.count);
    FUZZ_REQUIRE(std::equal(downloaded.starts.begin(), downloaded.starts.begin() + downloaded.count,
                            fileScan.starts.begin()));
    drawChecked(*downloaded.image, *work,
                {kStudyAreaStart, kArtefactThreshold, downloaded.count, k});

    const DayReport report = buildDayReport(device);
    checkReport(report, fileScan);
    checkSheet(report);
    summaryChecked(report, {});
    checkNomogram(device, *fileScan.image, passport, k);
    checkExport(device, k);
    FUZZ_REQUIRE(device == *untouched);  // nothing changes the day as loaded
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::run(data, size);
    return 0;
}

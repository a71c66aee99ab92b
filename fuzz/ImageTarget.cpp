// Fuzz target, the whole day: a memory image loaded into the day model and taken through
// everything the window, the reports and the exports do with it (every study drawn, the
// nomogram with include flags, the archive comparison, the day report and its page, the
// summary, the Excel export), each step checked, and the day's answers compared with the
// core functions' own. Slow by nature; the path targets cover each step at speed.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "day/Day.h"
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
#include "study/RuntimeError.h"

namespace uroflow::fuzz {
namespace {

// The day's scan and drawings are those of the core functions.
void checkDay(Day& day, const Scan& s, Image& work) {
    FUZZ_REQUIRE(day.studyCount() == s.count);
    FUZZ_REQUIRE(day.scannedImage() == *s.image);
    FUZZ_REQUIRE(day.curStudyStart() == (s.count > 0 ? s.starts[0] : kStudyAreaStart));
    for (std::uint16_t i = 0; i < s.count; ++i) {
        FUZZ_REQUIRE(day.studyStart(i) == s.starts[i]);
        const DecodeResult drawn =
            drawChecked(*s.image, work, studyParams(s.starts, s.count, i, day.calibrCoef()));
        FUZZ_REQUIRE(sameDrawing(day.decode(i), drawn));
        // Asked again, the day gives the drawing it kept.
        FUZZ_REQUIRE(&day.decode(i) == &day.decode(i));
    }
}

// The nomogram of the day: its points are the included studies, whatever was decoded.
void checkDayNomogram(Day& day, std::uint8_t excluded) {
    try {
        const std::vector<EvaluatedStudy>& studies = day.evaluateNomogram();
        FUZZ_REQUIRE(studies.size() <= day.studyCount());
        for (std::size_t i = 0; i < studies.size(); i += 1 + excluded % 4) day.include(i, false);
        std::size_t included = 0;
        for (std::size_t i = 0; i < studies.size(); ++i) included += day.included(i) ? 1 : 0;
        const std::vector<NomogramPoint> points = day.nomogramPoints();
        FUZZ_REQUIRE(points.size() == included);
        for (const NomogramPoint& point : points) {
            FUZZ_REQUIRE(day.included(point.study));
            FUZZ_REQUIRE(point.values.start == studies[point.study].start);
        }
    } catch (const RuntimeError&) {
        FUZZ_REQUIRE(day.calibrCoef() == 0 && day.studyCount() > 0);
    }
}

void run(const std::uint8_t* data, std::size_t size) {
    static LaidImage memory;
    static Scan fileScan;
    static Scan downloaded;
    static const auto work = std::make_unique<Image>();
    static const auto untouched = std::make_unique<Image>();
    static const auto day = std::make_unique<Day>();
    memory.clear();
    memory.put(0, {data, size});
    const Image& device = memory.image();
    *untouched = device;

    const Passport passport = passportChecked(device);
    const std::int32_t k = calibrationCoefficient(device);

    // A file load: the whole memory scanned, every study drawn, the first one again.
    scanChecked(device, kFileScan, fileScan);
    day->loadImage(device);
    day->scan(kFileScan);
    checkDay(*day, fileScan, *work);
    if (fileScan.count > 0) {
        const DecodeParams firstParams = studyParams(fileScan.starts, fileScan.count, 0, k);
        FUZZ_REQUIRE(sameDrawing(day->decode(0), drawChecked(*fileScan.image, *work, firstParams)));
    }

    // A download of the same memory. Bytes 0 and 1, which the program does not read,
    // give the number of reports the transfer delivered.
    const ScanVariant variant = downloadScan(word(device, 0));
    scanChecked(device, variant, downloaded);
    FUZZ_REQUIRE(downloaded.count <= fileScan.count);
    FUZZ_REQUIRE(std::equal(downloaded.starts.begin(), downloaded.starts.begin() + downloaded.count,
                            fileScan.starts.begin()));
    // The day after the load holds the whole memory: the download's scan of it is the same.
    day->scan(variant);
    checkDay(*day, downloaded, *work);

    // The report tool's and the PDF report's day: the file load again.
    day->scan(kFileScan);
    const DayReport report = buildDayReport(*day);
    checkReport(report, fileScan);
    checkSheet(report);
    summaryChecked(report, {});
    checkDayNomogram(*day, size > 4 ? data[4] : 0);
    day->takeArchive(device);
    FUZZ_REQUIRE(validUtf8(day->archiveDate()));
    checkNomogram(device, *fileScan.image, passport, k);
    checkExport(device, k);
    FUZZ_REQUIRE(device == *untouched);  // nothing changes the day as loaded
    FUZZ_REQUIRE(day->deviceImage() == device);
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::run(data, size);
    return 0;
}

// Fuzz target: a memory image through everything a file load, the nomogram, the archive
// comparison, the Excel export and the report tool do, with the invariants of each step
// checked on the way.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "files/DayReport.h"
#include "files/DaySheet.h"
#include "files/DaySummary.h"
#include "fuzz/ExportCheck.h"
#include "fuzz/ImageInput.h"
#include "fuzz/Invariant.h"
#include "fuzz/NomogramCheck.h"
#include "fuzz/TextCheck.h"
#include "study/Decoder.h"
#include "study/IndexTexts.h"
#include "study/Passport.h"
#include "study/Signal.h"
#include "study/StudyScan.h"

namespace uroflow::fuzz {
namespace {

struct Scan {
    std::unique_ptr<Image> image = std::make_unique<Image>();
    StudyStartTable starts{};
    std::uint16_t count = 0;
};

Scan scan(const Image& device, const ScanVariant& variant) {
    Scan s;
    // Stale entries from an earlier day, as the window's table may hold them.
    s.starts.fill(0xABCD);
    scanStudies(device, *s.image, s.starts, s.count, variant.lastOffset, variant.clearAfterLast);
    return s;
}

// The scanned image is the device memory with sample 2 of each study cleared; the FE FE
// pairs left in it from offset 99 on are exactly the recorded starts.
void checkScan(const Image& device, const Scan& s, const ScanVariant& variant) {
    FUZZ_REQUIRE(s.count <= kMaxStudies);
    FUZZ_REQUIRE(s.starts[kMaxStudies] == 0);
    FUZZ_REQUIRE(s.starts[s.count] == 0 ||
                 (!variant.clearAfterLast && s.starts[s.count] == 0xABCD));
    if (variant.clearAfterLast) {
        FUZZ_REQUIRE(std::all_of(s.starts.begin() + s.count, s.starts.end(),
                                 [](std::uint16_t start) { return start == 0; }));
    }
    auto expected = std::make_unique<Image>(device);
    std::fill(expected->begin() + kMemorySize, expected->end(), std::uint8_t{0});
    for (std::uint16_t i = 0; i < s.count; ++i) {
        const std::uint16_t start = s.starts[i];
        FUZZ_REQUIRE(start >= kStudyAreaStart);
        FUZZ_REQUIRE(start <= std::min<std::uint32_t>(variant.lastOffset, kFileScanLastOffset));
        FUZZ_REQUIRE(i == 0 || start > s.starts[i - 1]);
        (*expected)[start + 6] = 0;
        (*expected)[start + 7] = 0;
    }
    FUZZ_REQUIRE(*expected == *s.image);
    if (s.count == kMaxStudies) return;  // later pairs are not recorded
    // memchr keeps this walk cheap next to the scan it checks.
    const std::uint8_t* const image = s.image->data();
    const std::uint8_t* const end =
        image + std::min<std::uint32_t>(variant.lastOffset, kFileScanLastOffset) + 1;
    std::uint16_t pairs = 0;
    for (const std::uint8_t* b = image + kStudyAreaStart; b < end; ++b) {
        b = static_cast<const std::uint8_t*>(
            std::memchr(b, 0xFE, static_cast<std::size_t>(end - b)));
        if (b == nullptr) break;
        if (b[1] == 0xFE) {
            FUZZ_REQUIRE(pairs < s.count && s.starts[pairs] == b - image);
            ++pairs;
        }
    }
    FUZZ_REQUIRE(pairs == s.count);
}

// One drawing as the window makes it: a fresh copy of the scanned image, decoded.
DecodeResult draw(const Scan& s, std::uint16_t curStudyStart, std::int32_t k) {
    const DecodeResult result =
        decodeStudyFromScan(*s.image, {curStudyStart, kDefaultArtefactThreshold, s.count, k});
    FUZZ_REQUIRE(result.decoded == (s.count > 0 && k != 0));
    FUZZ_REQUIRE(result.flowTime.size() <= kMaxWordSteps);
    FUZZ_REQUIRE(result.flowVolume.size() <= result.flowTime.size() / 7 + 1);
    FUZZ_REQUIRE(result.qmaxIndex <= result.sampleCount);
    FUZZ_REQUIRE(result.index95 <= result.sampleCount);
    FUZZ_REQUIRE(!(result.error && result.indices));
    // "hh:mm:00", or "::00" for samples met before any start word.
    if (result.startTime)
        FUZZ_REQUIRE(result.startTime->size() == 8 || *result.startTime == "::00");
    for (const CurvePoint& point : result.flowTime) {
        FUZZ_REQUIRE(std::isfinite(point.x) && std::isfinite(point.y));
    }
    if (result.indices) {
        const StudyIndices& i = *result.indices;
        for (double value : {i.twait, i.tqmax, i.flowTime, i.ttotal, i.qmax, i.vqmax, i.volume}) {
            FUZZ_REQUIRE(std::isfinite(value));
        }
        if (i.qave) FUZZ_REQUIRE(std::isfinite(*i.qave));
        if (i.volumeStatic) FUZZ_REQUIRE(std::isfinite(*i.volumeStatic));
        for (const char* separator : {",", "."}) {
            const IndexTexts texts = formatIndices(i, separator);
            for (const std::string* text : {&texts.twait, &texts.tqmax, &texts.flowTime,
                                            &texts.ttotal, &texts.qmax, &texts.vqmax, &texts.vml}) {
                FUZZ_REQUIRE(!text->empty());
            }
            FUZZ_REQUIRE(texts.qave.empty() != i.qave.has_value());
        }
    }
    return result;
}

bool sameDrawing(const DecodeResult& a, const DecodeResult& b) {
    return a.sampleCount == b.sampleCount && a.waitCount == b.waitCount &&
           a.qmaxIndex == b.qmaxIndex && a.index95 == b.index95 && a.flowMaxRaw == b.flowMaxRaw &&
           a.flowTime.size() == b.flowTime.size() && a.startTime == b.startTime &&
           a.error == b.error && a.indices.has_value() == b.indices.has_value() &&
           (!a.indices || a.indices->volume == b.indices->volume);
}

// The page of the day report: a row for every study, a curve only for those drawn,
// and every text fit for the PDF writer.
void checkSheet(const DayReport& report) {
    const DaySheet sheet = buildDaySheet(report, report.passport, "Dr. Petrov");
    FUZZ_REQUIRE(sheet.rows.size() == report.studies.size());
    FUZZ_REQUIRE(sheet.curves.size() <= report.studies.size());
    FUZZ_REQUIRE(sheetPages(sheet.rows.size()) >= 1);
    for (const std::string* text : {&sheet.name, &sheet.sex, &sheet.age, &sheet.date}) {
        FUZZ_REQUIRE(validUtf8(*text));
    }
    for (const std::string& line : sheet.summary) FUZZ_REQUIRE(validUtf8(line));
    for (const SheetRow& row : sheet.rows) {
        FUZZ_REQUIRE(validUtf8(row.start) && validUtf8(row.part) && validUtf8(row.zone));
    }
    for (const SheetCurve& curve : sheet.curves) {
        FUZZ_REQUIRE(validUtf8(curve.caption));
        for (const CurvePoint& point : curve.points) {
            FUZZ_REQUIRE(std::isfinite(point.x) && std::isfinite(point.y));
        }
    }
    FUZZ_REQUIRE(std::isfinite(sheet.curveSeconds) && sheet.curveSeconds > 0);
    FUZZ_REQUIRE(std::isfinite(sheet.curveFlow) && sheet.curveFlow > 0);
}

void checkReport(const Image& device, const Scan& fileScan) {
    const DayReport report = buildDayReport(device);
    FUZZ_REQUIRE(report.studies.size() == fileScan.count);
    for (std::size_t i = 0; i < report.studies.size(); ++i) {
        FUZZ_REQUIRE(report.studies[i].offset == fileScan.starts[i]);
        FUZZ_REQUIRE(report.studies[i].number == static_cast<int>(i) + 1);
    }
    const std::string json = dayReportJson(report);
    FUZZ_REQUIRE(validUtf8(json));
    FUZZ_REQUIRE(nlohmann::json::accept(json));
    // The day on the nomogram: only studies of the scan, every value a number, and
    // nothing placed when the evaluation stopped.
    const NomogramReport& nomogram = report.nomogram;
    FUZZ_REQUIRE(nomogram.studies.size() <= fileScan.count);
    FUZZ_REQUIRE(!(nomogram.error && !nomogram.studies.empty()));
    for (const NomogramStudyReport& study : nomogram.studies) {
        FUZZ_REQUIRE(std::isfinite(study.volume) && std::isfinite(study.qmax));
        FUZZ_REQUIRE(!(study.zone && !nomogram.chart));
    }
    // The summary only sums what decoded, and a night never holds more than the day.
    const DaySummary summary = summarizeDay(report);
    FUZZ_REQUIRE(summary.voidings.size() == report.studies.size());
    FUZZ_REQUIRE(summary.nightVoidings <= summary.counted);
    FUZZ_REQUIRE(summary.counted > 0 || summary.notSummed);
    if (summary.npi) FUZZ_REQUIRE(*summary.npi >= 0 && *summary.npi <= 1 + 1e-12);
    const std::string csv = dayReportCsv(report);
    FUZZ_REQUIRE(validUtf8(csv));
    FUZZ_REQUIRE(std::count(csv.begin(), csv.end(), '\n') ==
                 static_cast<std::ptrdiff_t>(report.studies.size()) + 1);
    checkSheet(report);
}

void run(const std::uint8_t* data, std::size_t size) {
    const std::unique_ptr<const Image> device = imageFromInput(data, size);
    const auto untouched = std::make_unique<const Image>(*device);

    const Passport passport = decodePassport(*device);
    FUZZ_REQUIRE(validUtf8(passport.name) && validUtf8(passport.age) && validUtf8(passport.date));
    FUZZ_REQUIRE(passport.name.size() <= 3 * kNameLength);
    const std::int32_t k = calibrationCoefficient(*device);

    // A file load: the whole memory scanned, the first drawing at offset 99, then every
    // study in turn; the first drawing looks the same when it is made again.
    const Scan fileScan = scan(*device, kFileScan);
    checkScan(*device, fileScan, kFileScan);
    const DecodeResult first = draw(fileScan, kStudyAreaStart, k);
    for (std::uint16_t i = 0; i < fileScan.count; ++i) draw(fileScan, fileScan.starts[i], k);
    FUZZ_REQUIRE(sameDrawing(first, draw(fileScan, kStudyAreaStart, k)));

    // A download of the same memory. Bytes 0 and 1, which the program does not read,
    // give the number of reports the transfer delivered.
    const ScanVariant variant = downloadScan(word(*device, 0));
    const Scan downloaded = scan(*device, variant);
    checkScan(*device, downloaded, variant);
    FUZZ_REQUIRE(downloaded.count <= fileScan.count);
    FUZZ_REQUIRE(std::equal(downloaded.starts.begin(), downloaded.starts.begin() + downloaded.count,
                            fileScan.starts.begin()));
    draw(downloaded, kStudyAreaStart, k);

    checkReport(*device, fileScan);
    checkNomogram(*device, *fileScan.image, passport, k);
    checkExport(*device, k);
    FUZZ_REQUIRE(*device == *untouched);  // nothing changes the day as loaded
}

}  // namespace
}  // namespace uroflow::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    uroflow::fuzz::run(data, size);
    return 0;
}

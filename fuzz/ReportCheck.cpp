// The day report's texts and its page, checked.

#include "fuzz/ReportCheck.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>
#include <string>

#include "files/DaySheet.h"
#include "fuzz/Invariant.h"
#include "fuzz/TextCheck.h"

namespace uroflow::fuzz {

void checkReport(const DayReport& report, const Scan& fileScan) {
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
    const std::string csv = dayReportCsv(report);
    FUZZ_REQUIRE(validUtf8(csv));
    FUZZ_REQUIRE(std::count(csv.begin(), csv.end(), '\n') ==
                 static_cast<std::ptrdiff_t>(report.studies.size()) + 1);
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

}  // namespace uroflow::fuzz

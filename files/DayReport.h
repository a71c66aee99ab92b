#pragma once
// The day report: every study of a memory image decoded as the window decodes it,
// rendered as one JSON object or as CSV rows for scripts and spreadsheets.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "day/Day.h"
#include "files/NightWindow.h"
#include "nomogram/NomogramCurves.h"
#include "nomogram/NomogramZone.h"
#include "study/Decoder.h"
#include "study/Image.h"
#include "study/IndexTexts.h"
#include "study/Passport.h"

namespace uroflow {

struct StudyReport {
    int number = 0;  // 1-based, as the window counts studies
    std::uint16_t offset = 0;
    std::optional<std::string> start;     // "hh:mm:00"
    std::optional<StudyIndices> indices;  // empty when nothing was computed
    std::optional<std::string> error;     // runtime text that stopped decoding
    std::vector<CurvePoint> flowTime;     // the flow/time curve as the window draws it
};

// One study on the nomogram, as the window places it after a fresh load.
struct NomogramStudyReport {
    int number = 0;     // 1-based
    double volume = 0;  // ml
    double qmax = 0;    // ml/s
    bool included = true;
    std::optional<NomogramZone> zone;  // empty without a chart or outside its volumes
};

struct NomogramReport {
    std::optional<NomogramKind> chart;  // empty when the passport's sex or age is missing
    std::vector<NomogramStudyReport> studies;
    std::optional<std::string> error;  // runtime text that stopped the evaluation
};

struct DayReport {
    Passport passport;
    std::string battery;  // the battery field's text, "" for an unknown byte
    std::int32_t calibrCoef = 0;
    bool calibrationValid = false;
    std::vector<StudyReport> studies;
    NomogramReport nomogram;
};

// The battery field's text for byte 64 of the image.
std::string batteryText(std::uint8_t batteryByte);
// The index fields' texts with "," as the decimal separator; all empty without indices.
IndexTexts reportTexts(const std::optional<StudyIndices>& indices);

// Every study of the day as it decodes, and the day on the nomogram of the passport's
// sex and age with the day's include flags.
DayReport buildDayReport(Day& day);
// A study file's image loaded and scanned as a file load does, every study included.
DayReport buildDayReport(const Image& device);

// The studies and the day's summary with the given night window.
std::string dayReportJson(const DayReport& report, const NightWindow& night = {});
// Semicolon-separated, texts quoted, numbers with "." and empty for none.
std::string dayReportCsv(const DayReport& report);

// The Excel export of the window for the day's image, written to `out`. Throws
// RuntimeError for K = 0 or a workbook that cannot be written; nothing is left at
// `out` then (an existing file stays as it was).
void exportDayWorkbook(const Day& day, const std::string& out);

// The command line of uroflow-report: "[--csv] [--night HH:MM-HH:MM] FILE" or
// "--xlsx OUT FILE". Returns the exit code: 0 success, 1 the file could not be read, the
// workbook or the report not written, 2 usage error.
int runDayReport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace uroflow

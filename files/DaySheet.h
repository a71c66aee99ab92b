#pragma once
// What the page of the day report shows, as texts and numbers; the PDF writer only
// lays it out.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "files/DayReport.h"
#include "files/DaySummary.h"
#include "files/NightWindow.h"
#include "files/VoidingTexts.h"
#include "study/Decoder.h"
#include "study/IndexTexts.h"
#include "study/Passport.h"

namespace uroflow {

inline constexpr std::size_t kVoidingsPerPage = 10;
// The caption of the uroflowmeter, as the printed window shows it.
inline constexpr char kDeviceCaption[] = "Урофлоуметр \"Квартон-64К\"";

// What a voiding left out of the evaluation shows in the zone column.
inline constexpr char kLeftOutText[] = "исключено";
// The curves' common flow scale leaves this much room above the highest standard Qmax:
// the smoothed curve of a plain voiding peaks a few per cent above its 2-second mean.
inline constexpr double kCurveHeadroom = 1.25;

struct SheetRow {
    int number = 0;
    std::string start;  // "06:40:00" as the start-time field shows it, "" when unknown
    std::string part;   // "ночь", "утро" (the first voiding after a night) or ""
    IndexTexts texts;   // as the window shows them, "," as decimal separator
    VoidingTexts standard;  // the standard analysis, "," as decimal separator
    std::string zone;  // "ниже L", "L–M", "M–U", "выше U", "—" beyond the bands, or ""
    bool included = true;              // takes part in the nomogram and the summary
    std::optional<std::string> error;  // why the study has no values, in Russian
};

struct SheetCurve {
    int number = 0;
    std::string caption;             // "№ 1  06:40"
    std::vector<CurvePoint> points;  // s, ml/s
    bool clipped = false;            // runs above the common flow scale
};

struct SheetPoint {
    int number = 0;
    double volume = 0;  // ml
    double qmax = 0;    // ml/s
};

struct DaySheet {
    // Header.
    // Set when K lies outside its valid range: every volume and flow is in doubt.
    std::optional<std::string> calibrationWarning;
    std::string name;
    std::string sex;  // "М", "Ж" or ""
    std::string age;
    std::string date;
    std::string doctor;

    std::vector<SheetRow> rows;
    std::vector<std::string> summary;  // lines of the day's summary

    // The nomogram the passport's sex and age choose, with every study's point; when
    // none is chosen, which passport field is missing.
    std::optional<NomogramKind> nomogram;
    std::string nomogramMissing;
    std::vector<SheetPoint> points;         // the included voidings
    std::vector<SheetPoint> archivePoints;  // the archived day compared with, if any
    std::string archiveDate;                // that day's date, as the window names it

    std::vector<SheetCurve> curves;  // every voiding that has a curve, in order
    double curveSeconds = 10;        // the common scale of the curves
    double curveFlow = 10;           // ml/s, from the highest standard Qmax
};

// The sheet of a decoded day. `shown` is the passport as the window shows it (the
// doctor may have corrected it), `doctor` the doctor's name ("" for none).
DaySheet buildDaySheet(const DayReport& report, const Passport& shown, const std::string& doctor,
                       const NightWindow& night = {});

// The nomogram of a sex and an age text, or why there is none: "Номограмма не
// выбрана: не указан пол пациента" and the like.
struct NomogramChoice {
    std::optional<NomogramKind> kind;
    std::string missing;
};
NomogramChoice sheetNomogram(const Passport& shown);

// A decoding error as the report prints it: "время начала записано неверно (25:07)".
std::string errorText(const std::string& runtimeText);

// Pages the report takes: kVoidingsPerPage voidings a page, at least one page.
std::size_t sheetPages(std::size_t voidings);

// The summary's lines: the voidings and volumes, the flow rates of the voidings of
// at least 150 ml, the night, and the studies left out; or why nothing was summed.
std::vector<std::string> summaryLines(const DaySummary& summary);

// The name the save dialog proposes: "<name> <date>.pdf", characters that no file
// name may hold replaced by "_"; "Отчет.pdf" when both are empty.
std::string dayReportFileName(const std::string& name, const std::string& date);

}  // namespace uroflow

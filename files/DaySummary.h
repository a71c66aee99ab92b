#pragma once
// The day as a voiding diary counts it: volumes, the flow rates of the voidings large
// enough to read, and the split into day and night.

#include <optional>
#include <string>
#include <vector>

#include "files/DayReport.h"
#include "files/NightFigures.h"
#include "files/NightWindow.h"
#include "nomogram/NomogramCurves.h"
#include "nomogram/NomogramZone.h"

namespace uroflow {

// The smallest voided volume whose flow rate is read as meaningful in adults.
inline constexpr double kMeaningfulFlowVolume = 150;  // ml

struct SummaryVoiding {
    int number = 0;                    // 1-based, as the window counts studies
    std::optional<std::string> start;  // "hh:mm:00", as the start-time field shows it
    int day = 0;                       // calendar days after the first study's
    std::optional<double> volume;      // V2 dynamic, ml
    std::optional<double> qmax;        // ml/s
    std::optional<double> qave;        // ml/s; empty without a 95 % point
    std::optional<double> flowTime;    // T3, s
    // Where its point lies on the day's nomogram; empty without a chart, without a
    // point, or outside the bands' volumes.
    std::optional<NomogramZone> zone;
    std::optional<std::string> error;  // the runtime text that stopped its decoding
    bool included = true;              // the doctor left it in the evaluation
    bool counted = false;              // entered the sums
    bool night = false;                // started within the recording's night
    bool morning = false;              // the first voiding after that night
};

struct DaySummary {
    std::optional<NomogramKind> chart;     // the nomogram the zones are read on
    std::vector<SummaryVoiding> voidings;  // every study, in memory order
    int counted = 0;
    double total = 0;               // ml
    std::optional<double> largest;  // ml; empty when nothing was counted
    // Over the counted voidings of at least kMeaningfulFlowVolume; empty when none is.
    std::optional<double> qmaxMean;
    std::optional<double> qmaxHighest;
    NightFigures night;  // of the counted voidings
    // Set when nothing entered the sums: why.
    std::optional<std::string> notSummed;
};

// Studies are taken in memory order, which is time order: a start time earlier than
// the one before begins the next calendar day. Studies that did not decode (an error,
// an invalid time, no calibration) and those the nomogram evaluation leaves out are
// listed and left out of the sums and the night.
// Zones are read on `chart`, with the points of the report's nomogram evaluation.
DaySummary summarizeDay(const DayReport& report, const NightWindow& window,
                        std::optional<NomogramKind> chart);
// The same on the chart the image's passport chooses.
DaySummary summarizeDay(const DayReport& report, const NightWindow& window = {});

// Why nothing was summed.
inline constexpr char kNoStudiesText[] = "В памяти нет исследований";
inline constexpr char kNoCalibrationText[] = "Коэффициент калибровки равен 0: объемы не вычислены";
inline constexpr char kNothingDecodedText[] = "Ни одно исследование не расшифровано";

}  // namespace uroflow

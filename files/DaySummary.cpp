#include "files/DaySummary.h"

#include <algorithm>

namespace uroflow {

namespace {

// The start-time field's "hh:mm:00" as minutes after midnight.
std::optional<int> startMinute(const std::optional<std::string>& start) {
    if (!start || start->size() < 5) return std::nullopt;
    return parseClock(start->substr(0, 5));
}

std::string notSummedText(const DayReport& report) {
    if (report.studies.empty()) return kNoStudiesText;
    if (report.calibrCoef == 0) return kNoCalibrationText;
    return kNothingDecodedText;
}

}  // namespace

DaySummary summarizeDay(const DayReport& report, const NightWindow& window) {
    return summarizeDay(report, window, report.nomogram.chart);
}

DaySummary summarizeDay(const DayReport& report, const NightWindow& window,
                        std::optional<NomogramKind> chart) {
    DaySummary summary;
    summary.chart = chart;

    std::vector<std::size_t> counted;     // indices into summary.voidings
    std::vector<ClockedVoiding> clocked;  // theirs, for the night
    int day = 0;
    std::optional<int> previous;
    double meaningfulQmaxSum = 0;
    int meaningful = 0;

    for (std::size_t i = 0; i < report.studies.size(); ++i) {
        const StudyReport& study = report.studies[i];
        SummaryVoiding voiding;
        voiding.number = study.number;
        voiding.start = study.start;
        voiding.error = study.error;
        const std::optional<int> minute = startMinute(study.start);
        if (minute) {
            if (previous && *minute < *previous) ++day;
            previous = minute;
        }
        voiding.day = day;
        if (study.indices) {
            voiding.volume = study.indices->volume;
            voiding.qmax = study.indices->qmax;
            voiding.qave = study.indices->qave;
            voiding.flowTime = study.indices->flowTime;
        }
        // The nomogram's points are its evaluation's, in the same order as the studies.
        if (i < report.nomogram.studies.size()) {
            const NomogramStudyReport& point = report.nomogram.studies[i];
            voiding.included = point.included;
            if (chart) voiding.zone = nomogramZone(*chart, point.volume, point.qmax);
        }
        // Indices are only set for a walk that ended normally, so a study that has them
        // also has its start time.
        voiding.counted = voiding.included && study.indices && !study.error && minute;
        if (voiding.counted) {
            const double volume = *voiding.volume;
            ++summary.counted;
            summary.total += volume;
            summary.largest = std::max(summary.largest.value_or(volume), volume);
            if (volume >= kMeaningfulFlowVolume) {
                ++meaningful;
                meaningfulQmaxSum += *voiding.qmax;
                summary.qmaxHighest =
                    std::max(summary.qmaxHighest.value_or(*voiding.qmax), *voiding.qmax);
            }
            counted.push_back(summary.voidings.size());
            clocked.push_back({*minute, volume});
        }
        summary.voidings.push_back(std::move(voiding));
    }

    if (meaningful > 0) summary.qmaxMean = meaningfulQmaxSum / meaningful;
    if (summary.counted == 0) summary.notSummed = notSummedText(report);

    summary.night = nightFigures(clocked, window);
    for (const std::size_t i : summary.night.night) summary.voidings[counted[i]].night = true;
    if (summary.night.morning) summary.voidings[counted[*summary.night.morning]].morning = true;
    return summary;
}

}  // namespace uroflow

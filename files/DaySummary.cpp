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

// Marks the night voidings and the first voiding after every night the recording
// reaches into. `minutes` are the counted voidings' starts on one time line.
void splitDayAndNight(DaySummary& summary, const std::vector<std::size_t>& counted,
                      const std::vector<long>& minutes) {
    const NightWindow& window = summary.window;
    for (std::size_t i = 0; i < counted.size(); ++i) {
        const long minuteOfDay = minutes[i] % kMinutesPerDay;
        summary.voidings[counted[i]].night = window.contains(static_cast<int>(minuteOfDay));
    }
    if (counted.empty()) return;

    const long first = minutes.front();
    const long last = minutes.back();
    // Night d runs from day d at `from` for length() minutes; the one before the first
    // day may already hold the first voiding.
    for (long day = -1; day * kMinutesPerDay <= last; ++day) {
        const long begins = day * kMinutesPerDay + window.from;
        const long ends = begins + window.length();
        if (begins > last || ends <= first) continue;
        ++summary.nights;
        for (std::size_t i = 0; i < counted.size(); ++i) {
            if (minutes[i] < ends) continue;
            // The first voiding after the night, unless the next night has begun.
            if (minutes[i] < begins + kMinutesPerDay) summary.voidings[counted[i]].morning = true;
            break;
        }
    }
}

}  // namespace

DaySummary summarizeDay(const DayReport& report, const NightWindow& window) {
    return summarizeDay(report, window, report.nomogram.chart);
}

DaySummary summarizeDay(const DayReport& report, const NightWindow& window,
                        std::optional<NomogramKind> chart) {
    DaySummary summary;
    summary.window = window;
    summary.chart = chart;

    std::vector<std::size_t> counted;  // indices into summary.voidings
    std::vector<long> minutes;         // their starts, minutes after the first day's midnight
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
        if (chart && i < report.nomogram.studies.size()) {
            const NomogramStudyReport& point = report.nomogram.studies[i];
            voiding.zone = nomogramZone(*chart, point.volume, point.qmax);
        }
        // Indices are only set for a walk that ended normally, so a study that has them
        // also has its start time.
        voiding.counted = study.indices && !study.error && minute;
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
            minutes.push_back(static_cast<long>(day) * kMinutesPerDay + *minute);
        }
        summary.voidings.push_back(std::move(voiding));
    }

    if (meaningful > 0) summary.qmaxMean = meaningfulQmaxSum / meaningful;
    if (summary.counted == 0) summary.notSummed = notSummedText(report);

    splitDayAndNight(summary, counted, minutes);
    for (const SummaryVoiding& voiding : summary.voidings) {
        if (voiding.night) ++summary.nightVoidings;
        if (voiding.night || voiding.morning) summary.nocturnalVolume += *voiding.volume;
    }
    if (summary.nights > 0 && summary.total > 0)
        summary.npi = summary.nocturnalVolume / summary.total;
    return summary;
}

}  // namespace uroflow

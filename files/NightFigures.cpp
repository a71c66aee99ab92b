// The night figures of a recording.

#include "files/NightFigures.h"

namespace uroflow {

namespace {

// The first moment after `after` (minutes on the recording's time line) that the clock
// shows `minuteOfDay`.
long nextClock(long after, int minuteOfDay) {
    long moment = after - after % kMinutesPerDay + minuteOfDay;
    if (moment <= after) moment += kMinutesPerDay;
    return moment;
}

// Starts on one time line: minutes after the first voiding's midnight.
std::vector<long> timeLine(const std::vector<ClockedVoiding>& voidings) {
    std::vector<long> moments;
    long day = 0;
    for (std::size_t i = 0; i < voidings.size(); ++i) {
        if (i > 0 && voidings[i].minuteOfDay < voidings[i - 1].minuteOfDay) day += kMinutesPerDay;
        moments.push_back(day + voidings[i].minuteOfDay);
    }
    return moments;
}

}  // namespace

NightFigures nightFigures(const std::vector<ClockedVoiding>& voidings, const NightWindow& sleep) {
    NightFigures figures;
    figures.sleep = sleep;
    if (voidings.empty()) return figures;

    const std::vector<long> moments = timeLine(voidings);
    const long bedtime = nextClock(moments.front(), sleep.from);
    const long rising = nextClock(bedtime, sleep.to);
    double nightVolume = 0;
    for (std::size_t i = 0; i < moments.size(); ++i) {
        if (moments[i] >= rising) {
            figures.morning = i;
            break;
        }
        if (moments[i] >= bedtime) {
            figures.night.push_back(i);
            nightVolume += voidings[i].volume;
        }
    }
    if (!figures.morning) {
        figures.night.clear();
        return figures;
    }

    figures.covered = true;
    figures.nightUnknown.reset();
    figures.voidings = static_cast<int>(figures.night.size());
    figures.volume = nightVolume + voidings[*figures.morning].volume;

    const long risingBefore = rising - kMinutesPerDay;
    const long start = moments.front();
    const bool startedInTheMorning =
        start >= risingBefore && start - risingBefore < kMorningStartMinutes && start < bedtime;
    if (!startedInTheMorning) {
        figures.dayUnknown = kNotStartedInTheMorningText;
        return figures;
    }
    double dayVolume = 0;
    for (std::size_t i = 1; i <= *figures.morning; ++i) dayVolume += voidings[i].volume;
    figures.volume24h = dayVolume;
    if (dayVolume <= 0) {
        figures.dayUnknown = kNoDayVolumeText;
        return figures;
    }
    figures.dayUnknown.reset();
    figures.npi = *figures.volume / dayVolume;
    return figures;
}

}  // namespace uroflow

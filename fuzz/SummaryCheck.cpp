// The day summary and its night rule, checked.

#include "fuzz/SummaryCheck.h"

#include <cmath>
#include <string>

#include "fuzz/Invariant.h"

namespace uroflow::fuzz {
namespace {

// Minutes after midnight of a "hh:mm:00" start; empty for none or "::00".
std::optional<int> minuteOf(const std::optional<std::string>& start) {
    if (!start) return std::nullopt;
    return parseClock(start->substr(0, 5));
}

// Whether `minute` lies from bedtime (included) to rising (excluded), through midnight.
bool withinSleep(const NightWindow& window, int minute) {
    return window.from < window.to ? minute >= window.from && minute < window.to
                                   : minute >= window.from || minute < window.to;
}

}  // namespace

NightWindow nightFromWords(std::uint16_t from, std::uint16_t to) {
    const NightWindow window{from % kMinutesPerDay, to % kMinutesPerDay};
    if (window.from == window.to) return {};
    // The window as the command line names it reads back the same.
    const std::optional<NightWindow> parsed =
        parseNightWindow(clockText(window.from) + "-" + clockText(window.to));
    FUZZ_REQUIRE(parsed && parsed->from == window.from && parsed->to == window.to);
    return window;
}

DaySummary summaryChecked(const DayReport& report, const NightWindow& window) {
    DaySummary summary = summarizeDay(report, window);
    FUZZ_REQUIRE(summary.voidings.size() == report.studies.size());
    int counted = 0;
    int night = 0;
    int mornings = 0;
    double total = 0;
    int previousDay = 0;
    for (std::size_t i = 0; i < summary.voidings.size(); ++i) {
        const SummaryVoiding& voiding = summary.voidings[i];
        const StudyReport& study = report.studies[i];
        FUZZ_REQUIRE(voiding.number == study.number && voiding.start == study.start);
        // Days follow the clock: a start earlier than the one before begins the next day.
        FUZZ_REQUIRE(voiding.day == previousDay || voiding.day == previousDay + 1);
        previousDay = voiding.day;
        const std::optional<int> minute = minuteOf(study.start);
        FUZZ_REQUIRE(voiding.counted ==
                     (voiding.included && study.indices && !study.error && minute));
        if (!voiding.counted) {
            FUZZ_REQUIRE(!voiding.night && !voiding.morning);
            continue;
        }
        ++counted;
        total += *voiding.volume;
        // A night voiding started within the sleep period; the morning one is not one.
        if (voiding.night) FUZZ_REQUIRE(withinSleep(window, *minute));
        FUZZ_REQUIRE(!(voiding.night && voiding.morning));
        if (voiding.night) ++night;
        if (voiding.morning) ++mornings;
    }
    FUZZ_REQUIRE(summary.counted == counted);
    FUZZ_REQUIRE(std::isfinite(summary.total) && summary.total == total);
    FUZZ_REQUIRE(summary.counted > 0 || summary.notSummed);
    FUZZ_REQUIRE(summary.largest.has_value() == (counted > 0));
    if (summary.qmaxMean) {
        FUZZ_REQUIRE(std::isfinite(*summary.qmaxMean) && summary.qmaxHighest);
        FUZZ_REQUIRE(*summary.qmaxMean <=
                     *summary.qmaxHighest + 1e-9 * std::fabs(*summary.qmaxHighest));
    }
    // Night figures exist only for a night the recording covers, and then they agree with
    // the voidings marked.
    const NightFigures& figures = summary.night;
    FUZZ_REQUIRE(mornings <= 1);
    FUZZ_REQUIRE(figures.covered == (mornings == 1));
    FUZZ_REQUIRE(figures.voidings.has_value() == figures.covered);
    FUZZ_REQUIRE(figures.volume.has_value() == figures.covered);
    FUZZ_REQUIRE(figures.nightUnknown.has_value() == !figures.covered);
    if (figures.voidings) FUZZ_REQUIRE(*figures.voidings == night);
    if (!figures.covered) FUZZ_REQUIRE(night == 0 && !figures.volume24h && !figures.npi);
    // The index is the night's volume over a positive 24-hour volume, and nothing else.
    if (figures.npi) {
        FUZZ_REQUIRE(figures.volume24h && *figures.volume24h > 0 && !figures.dayUnknown);
        FUZZ_REQUIRE(std::isfinite(*figures.npi) &&
                     *figures.npi == *figures.volume / *figures.volume24h);
    }
    return summary;
}

}  // namespace uroflow::fuzz

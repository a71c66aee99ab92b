#include "archive/DayOverview.h"

#include "files/DayReport.h"
#include "files/DaySummary.h"

namespace uroflow {

DayOverview dayOverview(const Image& device) {
    const DaySummary summary = summarizeDay(buildDayReport(device));
    DayOverview overview;
    overview.voidings = summary.counted;
    overview.largestVolume = summary.largest;
    overview.highestQmax = summary.qmaxHighest;
    for (const SummaryVoiding& voiding : summary.voidings) {
        if (voiding.counted && voiding.volume && voiding.qmax) {
            overview.trend.push_back({*voiding.volume, *voiding.qmax});
        }
    }
    return overview;
}

}  // namespace uroflow

#include "archive/DayOverview.h"

#include <algorithm>
#include <memory>

#include "day/Day.h"
#include "study/RuntimeError.h"

namespace uroflow {

DayOverview dayOverview(const Image& device) {
    // The day as "Из файла" would show it, placed on the nomogram: the same volume and
    // Qmax of each voiding the doctor sees on the chart.
    auto day = std::make_unique<Day>();
    day->loadImage(device);
    day->scan(kFileScan);
    DayOverview overview;
    try {
        for (const EvaluatedStudy& study : day->evaluateNomogram()) {
            overview.trend.push_back({study.volume, study.qmax});
        }
    } catch (const RuntimeError&) {
        return overview;  // no calibration: nothing can be measured
    }
    overview.voidings = static_cast<int>(overview.trend.size());
    for (const TrendVoiding& voiding : overview.trend) {
        overview.largestVolume = std::max(overview.largestVolume.value_or(0), voiding.volume);
        overview.highestQmax = std::max(overview.highestQmax.value_or(0), voiding.qmax);
    }
    return overview;
}

}  // namespace uroflow

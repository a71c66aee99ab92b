#pragma once
// What the archive's lists and trend show of a kept day, evaluated from its bytes each time
// as the nomogram evaluates them. Plain C++.

#include <optional>
#include <vector>

#include "study/Image.h"

namespace uroflow {

struct TrendVoiding {
    double volume = 0;  // V2 dynamic, ml
    double qmax = 0;    // ml/s
};

struct DayOverview {
    int voidings = 0;                     // the studies that decoded
    std::optional<double> largestVolume;  // ml
    // The highest of the voidings of a readable volume, as the day report counts it.
    std::optional<double> highestQmax;  // ml/s
    std::vector<TrendVoiding> trend;    // every voiding that decoded, in memory order
};

DayOverview dayOverview(const Image& device);

}  // namespace uroflow

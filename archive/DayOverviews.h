#pragma once
// The overviews of several kept days at once, as the archive window lists a patient's days
// and draws the trend: their bytes read in one query, each day evaluated once.

#include <vector>

#include "archive/Archive.h"
#include "archive/DayOverview.h"

namespace uroflow {

// One overview per day, in the order of `days`. Throws ArchiveError as Archive::image does.
std::vector<DayOverview> dayOverviews(Archive& archive, const std::vector<KeptDay>& days);

}  // namespace uroflow

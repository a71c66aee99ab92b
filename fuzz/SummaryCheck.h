#pragma once
// The day summary of a report with a night window, checked against the night rule: the
// night voidings are the counted ones that started inside the window, the first voiding
// after a night is never itself a night voiding, and the sums hold only what decoded.

#include "files/DayReport.h"
#include "files/DaySummary.h"
#include "files/NightWindow.h"

namespace uroflow::fuzz {

DaySummary summaryChecked(const DayReport& report, const NightWindow& window);

// A night window from two words of the input; the default one when they give no window.
NightWindow nightFromWords(std::uint16_t from, std::uint16_t to);

}  // namespace uroflow::fuzz

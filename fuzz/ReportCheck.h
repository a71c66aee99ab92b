#pragma once
// The day report of a memory image, checked: its studies against the scan, its JSON and
// CSV texts and its nomogram part; and the page the PDF report draws of it.

#include "files/DayReport.h"
#include "fuzz/ScanCheck.h"

namespace uroflow::fuzz {

void checkReport(const DayReport& report, const Scan& fileScan);
void checkSheet(const DayReport& report);

}  // namespace uroflow::fuzz

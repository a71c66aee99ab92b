#pragma once
// What the HID layer needs to know of a device's report descriptor: how long its
// output reports are and whether its reports carry a report ID byte.

#include <cstddef>
#include <cstdint>
#include <span>

namespace uroflow {

struct ReportLayout {
    // Bytes of the longest output report with the report ID byte in front, as
    // the window writes it; 0 when the descriptor declares no output report.
    std::size_t outputReportLength = 0;
    // The reports are numbered: the first byte read is the report ID.
    bool numberedReports = false;
};

ReportLayout parseReportDescriptor(std::span<const std::uint8_t> descriptor);

}  // namespace uroflow

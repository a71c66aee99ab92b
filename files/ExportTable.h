#pragma once
// The Excel export's table: the words of the study area read in pairs from offset 99,
// scaled by the calibration, and the worksheet rows the marker walk gives them.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "study/Image.h"

namespace uroflow {

// 65535 div 2 + 1 words; the last ones lie in the spare tail of the image buffer.
inline constexpr std::size_t kMaxExportEntries = 32768;

struct ExportEntry {
    std::uint16_t raw = 0;  // the word as read, high byte first
    double value = 0;       // ml/s, rounded to hundredths
};

using ExportValues = std::vector<ExportEntry>;

// raw x (50 / K) x 2 rounded to the nearest hundredth, ties to even. K must not be 0.
double exportValue(std::uint16_t raw, std::int32_t k);

// Word i is bytes 99 + 2i and 100 + 2i of the device image, whatever the study starts
// found by the scan. The first FF FF word gives the end entry (0, 0) and ends the table;
// without one the table stops after kMaxExportEntries. K = 0 throws RuntimeError
// "Floating point division by zero" before anything is read.
ExportValues buildExportValues(const Image& device, std::int32_t k);

// One data row of the worksheet, columns A to D.
struct ExportRow {
    std::uint16_t studyCount = 0;  // A: study starts met before this entry
    std::int32_t studyFlag = 0;    // B: 1 between a start and an end word
    std::uint16_t index = 0;       // C: the entry's index
    double value = 0;              // D: the value after the marker handling
};

struct ExportSheet {
    std::vector<ExportRow> rows;
    std::uint16_t studyCount = 0;  // study starts met by the whole walk
};

// The marker walk: A and B show the state before the entry; a start word clears its
// own entry and the two after it (start time and first sample when the study is
// aligned with the walk), an end word clears its entry and ends the study.
ExportSheet walkExportRows(const ExportValues& values);

}  // namespace uroflow

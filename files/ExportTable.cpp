// The Excel export's table and its marker walk.

#include "files/ExportTable.h"

#include <algorithm>
#include <cmath>

#include "study/RuntimeError.h"
#include "study/Units.h"

namespace uroflow {

namespace {

// Entries a start word clears: its own, the start time and the first sample.
constexpr std::size_t kStartEntries = 3;

// Word i of the table: bytes 99 + 2i and 100 + 2i.
std::uint16_t exportWord(const Image& device, std::size_t i) {
    return word(device, kStudyAreaStart + 2 * static_cast<std::ptrdiff_t>(i));
}

}  // namespace

double exportValue(std::uint16_t raw, std::int32_t k) {
    // Scaled to hundredths before the one division: raw x 10,000 is exact, so the
    // quotient is correctly rounded and a tie (x.5 hundredths) stays a tie for nearbyint's
    // round-half-to-even.
    const double hundredths = rawToMlPerSecond(raw * 100.0, k);
    return std::nearbyint(hundredths) / 100.0;
}

ExportValues buildExportValues(const Image& device, std::int32_t k) {
    // Checked here, not left to the hardware: every scaled word divides by K.
    if (k == 0) throw RuntimeError(kDivisionByZeroText);
    // Sized to the written words first: a day of a few voidings takes kilobytes, not the
    // table of a full memory.
    std::size_t written = 0;
    while (written < kMaxExportEntries && exportWord(device, written) != kUnwrittenWord) ++written;
    ExportValues values;
    values.reserve(written < kMaxExportEntries ? written + 1 : written);
    for (std::size_t i = 0; i < written; ++i) {
        const std::uint16_t raw = exportWord(device, i);
        values.push_back({raw, exportValue(raw, k)});
    }
    if (written < kMaxExportEntries) values.push_back({});  // the end entry
    return values;
}

ExportSheet walkExportRows(const ExportValues& values) {
    ExportSheet sheet;
    sheet.rows.reserve(values.size());
    std::int32_t flag = 0;
    // Entries before this index were cleared by a start word: they read (0, 0).
    std::size_t clearedUntil = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        ExportRow row{sheet.studyCount, flag, static_cast<std::uint16_t>(i), 0};
        const ExportEntry entry = i < clearedUntil ? ExportEntry{} : values[i];
        // A start word clears its own entry, so it never ends a study too.
        if (entry.raw == kStartWord) {
            clearedUntil = i + kStartEntries;
            flag = 1;
            ++sheet.studyCount;
        } else if (entry.raw == kEndWord) {
            flag = 0;
        } else {
            row.value = entry.value;
        }
        sheet.rows.push_back(row);
    }
    return sheet;
}

}  // namespace uroflow

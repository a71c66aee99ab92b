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
    ExportValues values;
    values.reserve(kMaxExportEntries);
    for (std::size_t i = 0; i < kMaxExportEntries; ++i) {
        const std::uint16_t raw =
            word(device, kStudyAreaStart + 2 * static_cast<std::ptrdiff_t>(i));
        if (raw == kUnwrittenWord) {
            values.push_back({});
            break;
        }
        values.push_back({raw, exportValue(raw, k)});
    }
    return values;
}

ExportSheet walkExportRows(ExportValues values) {
    ExportSheet sheet;
    sheet.rows.reserve(values.size());
    std::int32_t flag = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        ExportRow row{sheet.studyCount, flag, static_cast<std::uint16_t>(i), 0};
        if (values[i].raw == kStartWord) {
            const std::size_t last = std::min(values.size(), i + kStartEntries);
            std::fill(values.begin() + i, values.begin() + last, ExportEntry{});
            flag = 1;
            ++sheet.studyCount;
        }
        // A start word has just cleared its own entry, so it never ends a study too.
        if (values[i].raw == kEndWord) {
            flag = 0;
            values[i] = {};
        }
        row.value = values[i].value;
        sheet.rows.push_back(row);
    }
    return sheet;
}

}  // namespace uroflow

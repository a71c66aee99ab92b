#pragma once
// The tool tip of a point on the nomogram: which study it is and where it lies.

#include <cstdint>
#include <optional>
#include <string>

#include "nomogram/NomogramZone.h"

namespace uroflow {

struct PointTip {
    int number = 0;  // 1-based, as the window counts studies
    std::uint8_t hour = 0;
    std::uint8_t minute = 0;
    double volume = 0;  // ml
    double qmax = 0;    // ml/s
    std::optional<NomogramZone> zone;
    // The archived day's date text for a point of the archive comparison.
    std::optional<std::string> archiveDate;
};

// Three lines (UTF-8), numbers with `separator` as the decimal separator:
//   "Исследование 2, 08:30" (archive: "Архив 05.03.26, исследование 2, 08:30")
//   "V = 250 мл, Qmax = 20,5 мл/сек"
//   "Зона: L–M" ("Зона: вне номограммы" outside the bands' volumes)
std::string pointTipText(const PointTip& tip, const std::string& separator);

}  // namespace uroflow

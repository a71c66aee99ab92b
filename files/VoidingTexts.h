#pragma once
// The standard analysis of a voiding as the day report and the window write it.

#include <cstdint>
#include <optional>
#include <string>

#include "study/VoidingAnalysis.h"

namespace uroflow {

struct VoidingTexts {
    std::string qmax;         // ml/s, one decimal; "" without flow
    std::string qave;         // ml/s
    std::string flowTime;     // s
    std::string voidingTime;  // s
    std::string timeToQmax;   // s
    std::string volume;       // ml, whole
    // What limits the figures: "< 150 мл", "> 600 мл", "нет потока", "прерывистое",
    // joined by ", "; "" for a voiding that needs no remark.
    std::string remark;
};

// All empty without an analysis.
VoidingTexts voidingTexts(const std::optional<VoidingAnalysis>& analysis,
                          const std::string& separator);

// Several lines: every standard figure with its unit and the remark, or why the study has
// no analysis (its calibration `k`, or the error that stopped its decoding).
std::string voidingSummaryText(const std::optional<VoidingAnalysis>& analysis, std::int32_t k,
                               const std::string& separator);

// "Калибровка вне допустимых пределов: K = 39996 (допустимо 40000–60000)".
std::string calibrationRangeText(std::int32_t k);

}  // namespace uroflow

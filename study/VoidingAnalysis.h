#pragma once
// The standard analysis of one voiding from its cleaned samples, as the published
// nomograms and the literature define the figures, beside the device's own indices.

#include <cstdint>
#include <optional>
#include <span>

#include "study/Decoder.h"

namespace uroflow {

// A sample counts as flow from this rate on.
inline constexpr double kFlowThreshold = 1.0;  // ml/s
// Qmax is the largest mean over this many consecutive samples (2 s), so a shorter spike
// (a knock, a splash) is never taken for it.
inline constexpr int kQmaxWindowSamples = 16;
// Runs of flow closer than this many non-flow samples (1 s) are one episode.
inline constexpr int kEpisodeGapSamples = 8;
// Below this volume Qmax is not representative.
inline constexpr double kLowVolumeLimit = 150;  // ml
// Above this volume the bladder was over-distended.
inline constexpr double kHighVolumeLimit = 600;  // ml

enum class VoidingValidity { Ok, LowVolume, HighVolume, NoFlow };

// "ok", "low_volume", "high_volume", "no_flow".
const char* validityCode(VoidingValidity validity);

struct VoidingAnalysis {
    double voidedMl = 0;               // all cleaned samples, ml (the dynamic V2)
    double flowTime = 0;               // flow samples, s
    double voidingTime = 0;            // onset to end of flow, both included, s
    std::optional<double> qmax;        // ml/s; empty without flow
    std::optional<double> qave;        // voided volume over flow time, ml/s
    std::optional<double> timeToQmax;  // from the onset of flow, s
    int episodes = 0;
    VoidingValidity validity = VoidingValidity::NoFlow;

    bool intermittent() const { return episodes >= 2; }
};

// The analysis of one voiding's cleaned samples (one per 1/8 s); empty when K lies
// outside the valid calibration range, where no figure could be trusted.
std::optional<VoidingAnalysis> analyzeVoiding(std::span<const std::uint16_t> samples,
                                              std::int32_t k);

// The analysis of a decoded study; empty when its walk was not made or ended in an error.
std::optional<VoidingAnalysis> analyzeStudy(const DecodeResult& result);

}  // namespace uroflow

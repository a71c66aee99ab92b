// The standard analysis of one voiding from its cleaned samples.

#include "study/VoidingAnalysis.h"

#include <cstddef>
#include <numeric>

#include "study/Units.h"

namespace uroflow {

namespace {

bool isFlow(std::uint16_t sample, std::int32_t k) {
    return rawToMlPerSecond(sample, k) >= kFlowThreshold;
}

// Runs of flow in [onset, end], a gap shorter than kEpisodeGapSamples joining two runs.
int countEpisodes(std::span<const std::uint16_t> samples, std::size_t onset, std::size_t end,
                  std::int32_t k) {
    int episodes = 1;
    std::size_t gap = 0;
    for (std::size_t i = onset; i <= end; ++i) {
        if (!isFlow(samples[i], k)) {
            ++gap;
            continue;
        }
        if (gap >= static_cast<std::size_t>(kEpisodeGapSamples)) ++episodes;
        gap = 0;
    }
    return episodes;
}

// Qmax and the time to it, from the 2-second window of the largest sum inside
// [onset, end] (the first of equal ones); a shorter voiding is one window.
void maximumFlow(std::span<const std::uint16_t> samples, std::size_t onset, std::size_t end,
                 std::int32_t k, VoidingAnalysis& analysis) {
    const std::size_t length = end - onset + 1;
    const auto window = static_cast<std::size_t>(kQmaxWindowSamples);
    if (length < window) {
        const std::uint64_t sum =
            std::accumulate(samples.begin() + onset, samples.begin() + end + 1, std::uint64_t{0});
        analysis.qmax = rawToMlPerSecond(static_cast<double>(sum) / length, k);
        analysis.timeToQmax = analysis.voidingTime / 2;
        return;
    }
    std::uint64_t sum = std::accumulate(samples.begin() + onset, samples.begin() + onset + window,
                                        std::uint64_t{0});
    std::uint64_t best = sum;
    std::size_t bestFirst = onset;
    for (std::size_t first = onset + 1; first + window - 1 <= end; ++first) {
        sum += samples[first + window - 1];
        sum -= samples[first - 1];
        if (sum > best) {
            best = sum;
            bestFirst = first;
        }
    }
    analysis.qmax = rawToMlPerSecond(static_cast<double>(best) / window, k);
    // Counted to the window's middle.
    analysis.timeToQmax = samplesToSeconds(static_cast<double>(bestFirst - onset) + window / 2.0);
}

VoidingValidity validityOf(double voidedMl) {
    if (voidedMl < kLowVolumeLimit) return VoidingValidity::LowVolume;
    if (voidedMl > kHighVolumeLimit) return VoidingValidity::HighVolume;
    return VoidingValidity::Ok;
}

}  // namespace

const char* validityCode(VoidingValidity validity) {
    switch (validity) {
        case VoidingValidity::Ok:
            return "ok";
        case VoidingValidity::LowVolume:
            return "low_volume";
        case VoidingValidity::HighVolume:
            return "high_volume";
        case VoidingValidity::NoFlow:
            return "no_flow";
    }
    return "";
}

std::optional<VoidingAnalysis> analyzeVoiding(std::span<const std::uint16_t> samples,
                                              std::int32_t k) {
    if (!calibrationValid(k)) return std::nullopt;
    VoidingAnalysis analysis;
    analysis.voidedMl = rawToMl(
        static_cast<double>(std::accumulate(samples.begin(), samples.end(), std::uint64_t{0})), k);

    std::optional<std::size_t> onset;
    std::size_t end = 0;
    std::size_t flowSamples = 0;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (!isFlow(samples[i], k)) continue;
        if (!onset) onset = i;
        end = i;
        ++flowSamples;
    }
    if (!onset) return analysis;  // no flow: no rate can be given

    analysis.flowTime = samplesToSeconds(static_cast<double>(flowSamples));
    analysis.voidingTime = samplesToSeconds(static_cast<double>(end - *onset + 1));
    maximumFlow(samples, *onset, end, k, analysis);
    analysis.qave = analysis.voidedMl / analysis.flowTime;
    analysis.episodes = countEpisodes(samples, *onset, end, k);
    analysis.validity = validityOf(analysis.voidedMl);
    return analysis;
}

std::optional<VoidingAnalysis> analyzeStudy(const DecodeResult& result) {
    if (!result.decoded || !result.indices || result.error) return std::nullopt;
    return analyzeVoiding(result.samples, result.calibrCoef);
}

}  // namespace uroflow

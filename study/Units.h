#pragma once
// Conversions of the uroflowmeter's raw readings into millilitres and ml/s. Every
// place that scales a reading calls these, so the factors stand here alone.
// K is the calibration coefficient of the image (calibrationCoefficient); callers
// make sure it is not 0 before converting.

#include <cstdint>

namespace uroflow {

// One sample per eighth of a second.
inline constexpr double kSamplesPerSecond = 8;

// Seconds from a sample count.
inline double samplesToSeconds(double samples) {
    return samples / kSamplesPerSecond;
}

// A sum of raw samples (the weight gained) in millilitres.
inline double rawToMl(double rawSum, std::int32_t k) {
    return rawSum * 12.5 / k;
}

// One (smoothed) raw sample as a flow in ml/s: the volume of one eighth of a
// second times 8, folded into one factor (50 / K x 2 = 100 / K).
inline double rawToMlPerSecond(double raw, std::int32_t k) {
    return raw * 100.0 / k;
}

// The largest sample of a study as Qmax in ml/s. Same quantity as rawToMlPerSecond,
// computed as volume per sample times 8 so Qmax keeps the digits it always had.
inline double peakRawToMlPerSecond(double raw, std::int32_t k) {
    return rawToMl(raw, k) * kSamplesPerSecond;
}

// The static volume reading after an end word (units of 256 raw) in millilitres.
inline double staticReadingToMl(std::uint16_t reading, std::int32_t k) {
    return reading * 256.0 * 50.0 / k;
}

// Average flow over the flow time: 95 % of the volume over the samples from the end
// of the wait to the 95 % point (7.6 = 0.95 x 8).
inline double averageFlowMlPerSecond(double volumeMl, int flowSamples) {
    return volumeMl * 7.6 / flowSamples;
}

}  // namespace uroflow

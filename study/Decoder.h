#pragma once
// Decoding of one study into its uroflowgram and indices.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "study/ByteRange.h"
#include "study/Image.h"

namespace uroflow {

inline constexpr std::int32_t kCalibrationMin = 40000;
inline constexpr std::int32_t kCalibrationMax = 60000;
inline constexpr std::uint32_t kMaxWordSteps = 32768;  // 65535 div 2 + 1

// K = 4 x (B - A) from the calibration readings of the image header.
std::int32_t calibrationCoefficient(const Image& device);
bool calibrationValid(std::int32_t k);

struct CurvePoint {
    double x = 0;
    double y = 0;
};

struct StudyIndices {
    double twait = 0;                    // T1, s
    double tqmax = 0;                    // T2, s (from the start word)
    double flowTime = 0;                 // T3, s (may be negative)
    double ttotal = 0;                   // T4, s
    std::optional<double> qave;          // Q1, ml/s; empty without a 95 % point
    double qmax = 0;                     // Q2, ml/s
    double vqmax = 0;                    // V1, ml
    double volume = 0;                   // V2 dynamic, ml
    std::optional<double> volumeStatic;  // V2 static, ml; empty without an end word
};

struct DecodeResult {
    std::int32_t calibrCoef = 0;
    // The study was walked (K != 0 and at least one study). False: nothing decoded.
    bool decoded = false;
    std::vector<CurvePoint> flowTime;    // x: seconds from the start word, y: ml/s
    std::vector<CurvePoint> flowVolume;  // x: ml, y: ml/s (every seventh sample)
    // The raw words added into the voided volume, one per sample walked, after the
    // artefact cut and the noise floor: what an analysis independent of the device's
    // smoothing starts from.
    std::vector<std::uint16_t> samples;
    // "hh:mm:00" once a start word was met, as the start-time field shows it.
    std::optional<std::string> startTime;
    // Set when the walk ended normally; empty when an error stopped it.
    std::optional<StudyIndices> indices;
    // Runtime text that stopped the walk ("'25:07' is not a valid time").
    std::optional<std::string> error;

    // Working values, exposed for tests and the nomogram.
    std::uint16_t sampleCount = 0;  // k at the end of the walk
    std::uint16_t waitCount = 0;
    std::uint16_t qmaxIndex = 0;
    std::uint16_t index95 = 0;
    double flowMaxRaw = 0;  // largest smoothed sample, raw units
    // The walk changed no byte of the work image outside this range; empty when it changed
    // nothing. A caller that keeps a clean copy restores only these bytes.
    ByteRange patched;
};

struct DecodeParams {
    std::uint16_t curStudyStart = kStudyAreaStart;
    int npr = 10;  // artefact threshold
    std::uint16_t studyCount = 0;
    std::int32_t calibrCoef = 0;  // from calibrationCoefficient(DeviceImage)
    // Start word of the next study of the scan, 0 for none: the smoothing takes words
    // from there on as 0.
    std::uint32_t nextStudyStart = 0;
};

// Walks the study at params.curStudyStart in `work` and patches it in place
// (artefact cuts, noise floor). Callers copy the scanned image into `work` first,
// so the same study always decodes the same way.
DecodeResult decodeStudy(Image& work, const DecodeParams& params);

// Convenience for tools: copies `scanned` into a scratch buffer and decodes there.
DecodeResult decodeStudyFromScan(const Image& scanned, const DecodeParams& params);

}  // namespace uroflow

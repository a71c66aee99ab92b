#include "study/Decoder.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>

#include "study/Units.h"

namespace uroflow {
namespace {

// Smoothing window over the four samples before, the sample and the four after. The
// weights add up to 1.05, not 1; they stay so, to keep flows comparable with earlier
// evaluations of the same recordings.
constexpr std::array<double, 9> kSmoothing = {-0.01, 0.01, 0.09, 0.24, 0.39,
                                              0.24,  0.09, 0.01, -0.01};
// The smoothing applies from sample 7 on: its window then lies inside the study.
constexpr int kSmoothingFrom = 16;
// Raw volume below which the patient is still counted as waiting.
constexpr double kWaitVolume = 4000;
// Every seventh sample goes onto the flow/volume curve.
constexpr int kDecimation = 7;
// CumVolume is indexed by k, which ends at most at kMaxWordSteps.
constexpr std::size_t kCumVolumeSize = kMaxWordSteps + 1;

std::string twoDigits(int value) {
    std::string text = std::to_string(value);
    if (value < 10) text.insert(text.begin(), '0');
    return text;
}

// Ends the walk on unwritten memory or an end word 16 (or 17) bytes ahead of the next
// sample; an end word yields the static reading after it.
bool endAhead(const Image& work, int p, std::int32_t k, std::optional<double>& volumeStatic) {
    if (word(work, p + 16) == kUnwrittenWord) return true;
    if (word(work, p + 16) == kEndWord) {
        volumeStatic = staticReadingToMl(word(work, p + 18), k);
        return true;
    }
    if (word(work, p + 17) == kEndWord) {
        volumeStatic = staticReadingToMl(word(work, p + 19), k);
        return true;
    }
    return false;
}

}  // namespace

std::int32_t calibrationCoefficient(const Image& device) {
    return 4 * (static_cast<std::int32_t>(word(device, kCalibrationBOffset)) -
                static_cast<std::int32_t>(word(device, kCalibrationAOffset)));
}

bool calibrationValid(std::int32_t k) {
    return k >= kCalibrationMin && k <= kCalibrationMax;
}

DecodeResult decodeStudy(Image& work, const DecodeParams& params) {
    DecodeResult result;
    result.calibrCoef = params.calibrCoef;
    // Without a study there is nothing to walk; without a calibration every scaled
    // value would divide by zero (the caller has already warned).
    if (params.studyCount == 0 || params.calibrCoef == 0) return result;
    result.decoded = true;

    const std::int32_t kCoef = params.calibrCoef;
    const int studyStart = params.curStudyStart;
    result.flowTime.reserve(kMaxWordSteps);
    result.flowVolume.reserve(kMaxWordSteps / kDecimation + 1);
    std::vector<double> cumVolume(kCumVolumeSize, 0.0);

    std::uint16_t p = params.curStudyStart;
    std::uint16_t k = 0;
    int markerCount = 0;
    int decimation = 0;
    double volumeTotal = 0;  // raw until the walk ends
    double flowMax = 0;
    double volumeAtQmax = 0;
    std::uint16_t waitCount = 0;
    std::uint16_t qmaxIndex = 0;
    // The start-time text as the field shows it at each sample; built once per start
    // word so the sample loop does not allocate.
    std::string timeText = "::00";
    bool timeShown = false;
    std::optional<double> volumeStatic;

    auto keepWorkingValues = [&] {
        result.sampleCount = k;
        result.waitCount = waitCount;
        result.qmaxIndex = qmaxIndex;
        result.flowMaxRaw = flowMax;
    };

    for (std::uint32_t step = 0; step < kMaxWordSteps; ++step) {
        if (word(work, p) == kStartWord) {
            p += 2;
            const int hour = work[p];
            const int minute = work[p + 1];
            const std::string hourMinute = twoDigits(hour) + ":" + twoDigits(minute);
            if (hour > 23 || minute > 59) {
                result.error = "'" + hourMinute + "' is not a valid time";
                keepWorkingValues();
                return result;
            }
            timeText = hourMinute + ":00";
            timeShown = false;
            ++markerCount;
        } else if (markerCount == 2) {
            break;  // the next study's start word has been passed
        } else {
            const std::uint16_t x = word(work, p);
            const std::uint16_t y = word(work, p + 2);
            // A jump by the threshold factor is a knock on the scale: drop the next two
            // samples. Start words and above are left out of the test.
            if (x > 0 && x < kStartWord && y < kStartWord &&
                static_cast<double>(y) / x >= params.npr) {
                std::fill_n(work.begin() + p + 2, 4, std::uint8_t{0});
            }
            double f = x;
            if (p >= studyStart + kSmoothingFrom) {
                f = 0;
                for (int i = 0; i < 9; ++i) f += kSmoothing[i] * word(work, p - 8 + 2 * i);
            }
            // Readings of at most 0x01FF are scale noise: no volume, but f stays.
            if (work[p] <= 1) {
                work[p] = 0;
                work[p + 1] = 0;
            }
            const double flow = rawToMlPerSecond(f, kCoef);
            result.flowTime.push_back({samplesToSeconds(k), flow});
            if (decimation == kDecimation) {
                result.flowVolume.push_back({rawToMl(volumeTotal, kCoef), flow});
                decimation = 0;
            }
            ++decimation;
            if (!timeShown) {
                result.startTime = timeText;
                timeShown = true;
            }
            volumeTotal += word(work, p);
            cumVolume[k] = volumeTotal;
            if (volumeTotal < kWaitVolume) ++waitCount;
            if (f > flowMax) {
                flowMax = f;
                volumeAtQmax = rawToMl(volumeTotal, kCoef);
                qmaxIndex = k;
            }
        }
        p += 2;
        if (endAhead(work, p, kCoef, volumeStatic)) break;
        ++k;
    }
    keepWorkingValues();

    std::uint16_t index95 = 0;
    const std::size_t lastIndex = std::min<std::size_t>(k, kCumVolumeSize - 1);
    for (std::size_t i = waitCount; i <= lastIndex; ++i) {
        if (cumVolume[i] > 0.95 * volumeTotal) {
            index95 = static_cast<std::uint16_t>(i);
            break;
        }
    }
    result.index95 = index95;

    StudyIndices indices;
    const double volumeMl = rawToMl(volumeTotal, kCoef);
    const int flowSamples = index95 - waitCount;
    indices.vqmax = volumeAtQmax;
    indices.volume = volumeMl;
    indices.volumeStatic = volumeStatic;
    indices.flowTime = samplesToSeconds(flowSamples);
    indices.ttotal = samplesToSeconds(k);
    indices.twait = samplesToSeconds(waitCount);
    indices.tqmax = samplesToSeconds(qmaxIndex);
    indices.qmax = peakRawToMlPerSecond(flowMax, kCoef);
    if (index95 > 0 && flowSamples > 0) indices.qave = averageFlowMlPerSecond(volumeMl, flowSamples);
    result.indices = indices;
    return result;
}

DecodeResult decodeStudyFromScan(const Image& scanned, const DecodeParams& params) {
    auto scratch = std::make_unique<Image>(scanned);
    return decodeStudy(*scratch, params);
}

}  // namespace uroflow

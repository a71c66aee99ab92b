// Decoding of one study into its uroflowgram and indices.
//
// One study record as the device writes it (the first study of samples/demo-day.txt,
// at offset 99, K = 50,000, so 4,000 raw = 1 ml and a sample of 500 raw = 1 ml/s):
//
//   +0    FE FE                 start word
//   +2    06 28                 start time: hour 6, minute 40 (numbers, not digits)
//   +4    00 00 00 00 ... 00 00 samples 1 to 20: raw weight gained in each 1/8 s, high
//                               byte first; nothing yet, the patient is waiting
//                               (sample 2, at +6, is cleared by the scan in any case)
//   +44   00 03 00 11 00 26 ... samples 21 on: the flow begins (3, 17, 38 raw)
//   +802  00 00 ... 00 00       samples 400 to 407, the last eight, are 0: the walk looks
//                               16 bytes ahead for the end word and never decodes them
//   +818  FD FD                 end word
//   +820  06 41                 static reading: 1601 x 256 raw = 409.9 ml
//
// The next record's FE FE follows at once; unwritten memory after the last one is FF.

#include "study/Decoder.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>

#include "study/Signal.h"
#include "study/Units.h"

namespace uroflow {
namespace {

// Raw volume below which the patient is still counted as waiting.
constexpr double kWaitVolume = 4000;
// Every seventh sample goes onto the flow/volume curve.
constexpr int kDecimation = 7;
// Share of the volume that ends the flow time.
constexpr double kFlowEndShare = 0.95;

std::string twoDigits(int value) {
    std::string text = std::to_string(value);
    if (value < 10) text.insert(text.begin(), '0');
    return text;
}

// What ends the walk ahead of the next sample at p: unwritten memory 16 bytes on (0), an
// end word 16 or 17 bytes on (its distance), or nothing (-1).
inline int lookAhead(const Image& image, std::uint16_t p) {
    // The 4 bytes from p + 16 lie inside the image for any 16-bit p (its spare tail is
    // there for this), so they are read without word()'s bounds test.
    static_assert(kMemorySize + 16 + 4 <= kImageSize);
    const std::uint8_t* const ahead = image.data() + p + 16;
    const auto wordAt = [ahead](int i) { return ahead[i] << 8 | ahead[i + 1]; };
    if (wordAt(0) == kUnwrittenWord) return 0;
    if (wordAt(0) == kEndWord) return 16;
    if (wordAt(1) == kEndWord) return 17;
    return -1;
}

// The steps the walk from `start` takes, as the walk below counts them but without its
// patches (an artefact cut that clears a later start word lengthens the walk). The curves
// are sized by it: a voiding of 400 samples needs 6 KiB, the longest study 512 KiB.
std::uint32_t expectedSteps(const Image& work, std::uint16_t start) {
    std::uint16_t p = start;
    int markers = 0;
    for (std::uint32_t step = 0; step < kMaxWordSteps; ++step) {
        if (word(work, p) == kStartWord) {
            p += 2;
            ++markers;
        } else if (markers == 2) {
            return step;
        }
        p += 2;
        if (lookAhead(work, p) >= 0) return step + 1;
    }
    return kMaxWordSteps;
}

// What the walk over one study gathers; volumes raw unless named otherwise.
struct WalkTotals {
    std::uint16_t k = 0;  // sample number when the walk ended
    std::uint16_t waitCount = 0;
    std::uint16_t qmaxIndex = 0;
    double volumeTotal = 0;
    double flowMax = 0;         // largest smoothed sample
    double volumeAtQmaxMl = 0;  // this sample's volume included
    std::optional<double> volumeStaticMl;
    // The running volume after sample k, as far as the walk got; steps that were no
    // sample (a start word) hold 0. Sized to the study, not to the longest one.
    std::vector<double> cumVolume;
};

// The word walk: from the start word at params.curStudyStart, two bytes a step, over
// the samples until an end word, unwritten memory or the next study's start word lies
// ahead, or the step limit is used up. Fills the curves and the start time of `result`
// and patches `work` (artefact cuts, noise floor).
class WordWalk {
  public:
    WordWalk(Image& work, const DecodeParams& params, DecodeResult& result)
        : work_(work), params_(params), result_(result), p_(params.curStudyStart) {
        const std::size_t steps = expectedSteps(work, params.curStudyStart);
        result_.flowTime.reserve(steps);
        result_.samples.reserve(steps);
        result_.flowVolume.reserve(steps / kDecimation + 1);
        totals_.cumVolume.reserve(steps + 1);
    }

    // False when an invalid start time stopped the walk (result.error says which).
    bool run() {
        for (std::uint32_t step = 0; step < kMaxWordSteps; ++step) {
            if (word(work_, p_) == kStartWord) {
                if (!startWord()) return false;
            } else if (markerCount_ == 2) {
                break;  // the next study's start word has been passed
            } else {
                sample();
            }
            p_ += 2;
            if (endAhead()) break;
            ++totals_.k;
        }
        return true;
    }

    const WalkTotals& totals() const { return totals_; }

  private:
    // The start word and the time after it. p and k are 16-bit and wrap, as the
    // device's own counters do.
    bool startWord() {
        p_ += 2;
        const int hour = work_[p_];
        const int minute = work_[p_ + 1];
        const std::string hourMinute = twoDigits(hour) + ":" + twoDigits(minute);
        if (hour > 23 || minute > 59) {
            result_.error = "'" + hourMinute + "' is not a valid time";
            return false;
        }
        // Built once per start word so the sample step does not allocate.
        timeText_ = hourMinute + ":00";
        timeShown_ = false;
        ++markerCount_;
        return true;
    }

    // Sample k at p: artefact cut, smoothing, noise floor, the two curves, the sums.
    void sample() {
        const std::int32_t kCoef = params_.calibrCoef;
        const std::uint16_t x = word(work_, p_);
        const std::uint16_t y = word(work_, p_ + 2);
        // A jump by the threshold factor is a knock on the scale: drop the next two
        // samples. Start words and above are left out of the test.
        if (x > 0 && x < kStartWord && y < kStartWord &&
            static_cast<double>(y) / x >= params_.npr) {
            std::fill_n(work_.begin() + p_ + 2, 4, std::uint8_t{0});
            result_.patched.add(p_ + 2u, p_ + 6u);
        }
        const double f = smoothed(x);
        // Readings of at most 0x01FF are scale noise: no volume, but f stays.
        if (belowNoiseFloor(work_[p_])) {
            work_[p_] = 0;
            work_[p_ + 1] = 0;
            result_.patched.add(p_, p_ + 2u);
        }
        const double flow = rawToMlPerSecond(f, kCoef);
        result_.flowTime.push_back({samplesToSeconds(totals_.k), flow});
        if (decimation_ == kDecimation) {
            result_.flowVolume.push_back({rawToMl(totals_.volumeTotal, kCoef), flow});
            decimation_ = 0;
        }
        ++decimation_;
        if (!timeShown_) {
            result_.startTime = timeText_;
            timeShown_ = true;
        }
        const std::uint16_t cleaned = word(work_, p_);
        result_.samples.push_back(cleaned);
        totals_.volumeTotal += cleaned;
        // Steps without a sample (a start word) hold 0.
        if (totals_.cumVolume.size() < totals_.k) totals_.cumVolume.resize(totals_.k, 0.0);
        totals_.cumVolume.push_back(totals_.volumeTotal);
        if (totals_.volumeTotal < kWaitVolume) ++totals_.waitCount;
        if (f > totals_.flowMax) {
            totals_.flowMax = f;
            totals_.volumeAtQmaxMl = rawToMl(totals_.volumeTotal, kCoef);
            totals_.qmaxIndex = totals_.k;
        }
    }

    // The 9-point window around p once it lies inside the study, else the sample itself.
    // Words of the next record are no flow of this one: they count 0, so a study
    // without an end word takes no Qmax from the next start word.
    double smoothed(std::uint16_t x) const {
        if (p_ < params_.curStudyStart + kSmoothingFrom) return x;
        double f = 0;
        for (std::size_t i = 0; i < kSmoothingKernel.size(); ++i) {
            const std::ptrdiff_t q = p_ - 8 + 2 * static_cast<std::ptrdiff_t>(i);
            if (params_.nextStudyStart != 0 && q >= std::ptrdiff_t{params_.nextStudyStart})
                continue;
            f += kSmoothingKernel[i] * word(work_, q);
        }
        return f;
    }

    // Ends the walk on unwritten memory or an end word 16 (or 17) bytes ahead of the next
    // sample; an end word yields the static reading after it.
    bool endAhead() {
        const int distance = lookAhead(work_, p_);
        if (distance > 0) {
            totals_.volumeStaticMl =
                staticReadingToMl(word(work_, p_ + distance + 2), params_.calibrCoef);
        }
        return distance >= 0;
    }

    Image& work_;
    const DecodeParams& params_;
    DecodeResult& result_;
    std::uint16_t p_;
    int markerCount_ = 0;
    int decimation_ = 0;
    std::string timeText_ = "::00";
    bool timeShown_ = false;
    WalkTotals totals_;
};

// The 95 % point: the first sample from the end of the wait whose running volume
// exceeds 95 % of the total; 0 when there is none.
std::uint16_t point95(const WalkTotals& walk) {
    // Steps after the last sample hold no volume, so they can never be the point.
    for (std::size_t i = walk.waitCount; i < walk.cumVolume.size(); ++i) {
        if (walk.cumVolume[i] > kFlowEndShare * walk.volumeTotal) {
            return static_cast<std::uint16_t>(i);
        }
    }
    return 0;
}

// T1 to T4, Q1, Q2, V1 and V2 from the walk and its 95 % point.
StudyIndices studyIndices(const WalkTotals& walk, std::uint16_t index95, std::int32_t kCoef) {
    StudyIndices indices;
    const double volumeMl = rawToMl(walk.volumeTotal, kCoef);
    const int flowSamples = index95 - walk.waitCount;
    indices.vqmax = walk.volumeAtQmaxMl;
    indices.volume = volumeMl;
    indices.volumeStatic = walk.volumeStaticMl;
    indices.flowTime = samplesToSeconds(flowSamples);
    indices.ttotal = samplesToSeconds(walk.k);
    indices.twait = samplesToSeconds(walk.waitCount);
    indices.tqmax = samplesToSeconds(walk.qmaxIndex);
    indices.qmax = peakRawToMlPerSecond(walk.flowMax, kCoef);
    if (index95 > 0 && flowSamples > 0)
        indices.qave = averageFlowMlPerSecond(volumeMl, flowSamples);
    return indices;
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

    WordWalk walk(work, params, result);
    const bool complete = walk.run();
    const WalkTotals& totals = walk.totals();
    result.sampleCount = totals.k;
    result.waitCount = totals.waitCount;
    result.qmaxIndex = totals.qmaxIndex;
    result.flowMaxRaw = totals.flowMax;
    if (!complete) return result;

    result.index95 = point95(totals);
    result.indices = studyIndices(totals, result.index95, params.calibrCoef);
    return result;
}

DecodeResult decodeStudyFromScan(const Image& scanned, const DecodeParams& params) {
    auto scratch = std::make_unique<Image>(scanned);
    return decodeStudy(*scratch, params);
}

}  // namespace uroflow

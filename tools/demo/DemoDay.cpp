#include "tools/demo/DemoDay.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <stdexcept>

namespace uroflow {

namespace {

constexpr std::uint16_t kCalibrationA = 1000;
constexpr std::uint16_t kCalibrationB = kCalibrationA + kDemoCalibration / 4;
constexpr std::uint32_t kSeed = 20260305;

// "Иванов И.И." in Windows-1251, the code page the device stores names in.
constexpr std::array<std::uint8_t, 11> kName = {0xC8, 0xE2, 0xE0, 0xED, 0xEE, 0xE2,
                                                0x20, 0xC8, 0x2E, 0xC8, 0x2E};
constexpr char kAge[] = "64";
constexpr char kDate[] = "050326";

// Flow curve: u^a (1-u)^b, a quick rise and a longer tail, scaled to a peak of 1.
constexpr double kRise = 1.6;
constexpr double kFall = 2.4;
constexpr double kPeakAt = kRise / (kRise + kFall);
constexpr double kNoise = 0.03;  // relative, peak to peak
constexpr int kSamplesPerSecond = 8;
constexpr int kTrailingZeros = 8;
// Raw units of one 1/8 s sample per ml/s of flow.
constexpr double kRawPerFlow = kDemoCalibration / 100.0;

double shape(double u) {
    return std::pow(u / kPeakAt, kRise) * std::pow((1 - u) / (1 - kPeakAt), kFall);
}

double shapeMean() {
    constexpr int kSteps = 10000;
    double sum = 0;
    for (int i = 0; i < kSteps; ++i) sum += shape((i + 0.5) / kSteps);
    return sum / kSteps;
}

void putWord(Image& image, std::size_t offset, std::uint16_t value) {
    if (offset + 2 > kMemorySize) throw std::length_error("demo day does not fit the memory");
    image[offset] = static_cast<std::uint8_t>(value >> 8);
    image[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

void writePassport(Image& image) {
    image[kSexOffset] = 1;
    std::copy(kName.begin(), kName.end(), image.begin() + kNameOffset);
    std::copy(kAge, kAge + 2, image.begin() + kAgeOffset);
    std::copy(kDate, kDate + 6, image.begin() + kDateOffset);
    image[kBatteryOffset] = kBatteryHigh;
    putWord(image, kCalibrationAOffset, kCalibrationA);
    putWord(image, kCalibrationBOffset, kCalibrationB);
}

struct Record {
    std::vector<std::uint16_t> samples;
    std::uint16_t staticReading = 0;
};

// The static reading is the volume in units of 256 raw; the decoder shows it as
// W x 256 x 50 / K ml.
std::uint16_t weighedReading(double rawVolume) {
    const double volumeMl = rawVolume * 12.5 / kDemoCalibration;
    auto reading =
        static_cast<std::uint16_t>(std::lround(volumeMl * kDemoCalibration / (256 * 50)));
    // A low byte FE would form FE FE FE with the next start word and read as two studies.
    if ((reading & 0xFF) == 0xFE) --reading;
    return reading;
}

Record recordSamples(const DemoVoiding& voiding, std::uint32_t noiseSeed) {
    std::mt19937 random(noiseSeed);
    // mt19937's output is fixed by the standard, unlike the distributions, so the
    // noise is taken from it directly to keep the bytes the same everywhere.
    auto unit = [&random] { return random() / 4294967296.0; };

    const double seconds = voiding.volumeMl / (voiding.qmaxMl * shapeMean());
    const auto flowSamples = static_cast<int>(std::lround(seconds * kSamplesPerSecond));
    Record record;
    record.samples.assign(
        static_cast<std::size_t>(std::lround(voiding.waitSeconds * kSamplesPerSecond)), 0);
    const std::size_t flowStart = record.samples.size();
    double rawVolume = 0;
    for (int k = 0; k < flowSamples; ++k) {
        const double flow =
            voiding.qmaxMl * shape((k + 0.5) / flowSamples) * (1 + kNoise * (unit() - 0.5));
        const auto raw = static_cast<std::uint16_t>(std::lround(flow * kRawPerFlow));
        record.samples.push_back(raw);
        rawVolume += raw;
    }
    // The scale weighs what was voided: the spike below does not count statically.
    record.staticReading = weighedReading(rawVolume);
    if (voiding.artefact) {
        // A knock on the scale while the flow rises: one sample far above its predecessor.
        for (std::size_t j = flowStart + 1; j < record.samples.size(); ++j) {
            if (record.samples[j - 1] >= 600) {
                record.samples[j] = static_cast<std::uint16_t>(record.samples[j - 1] * 14);
                break;
            }
        }
    }
    record.samples.insert(record.samples.end(), kTrailingZeros, 0);
    return record;
}

}  // namespace

std::vector<DemoVoiding> demoDayPlan() {
    return {
        {6, 40, 2.5, 410, 16.5, false},  {9, 15, 4.0, 240, 13.8, false},
        {12, 5, 3.0, 310, 18.2, true},   {14, 50, 6.0, 190, 14.0, false},
        {17, 30, 2.0, 350, 21.5, false}, {20, 10, 3.5, 280, 17.0, false},
        {23, 5, 5.0, 220, 15.2, false},
    };
}

std::vector<std::uint16_t> demoSamples(const DemoVoiding& voiding, std::uint32_t noiseSeed) {
    return recordSamples(voiding, noiseSeed).samples;
}

Image buildDemoDay(const std::vector<DemoVoiding>& plan) {
    Image image{};
    std::fill(image.begin() + kStudyAreaStart, image.begin() + kMemorySize, 0xFF);
    writePassport(image);

    std::size_t offset = kStudyAreaStart;
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const DemoVoiding& voiding = plan[i];
        const Record record = recordSamples(voiding, kSeed + static_cast<std::uint32_t>(i));
        putWord(image, offset, kStartWord);
        putWord(image, offset + 2, static_cast<std::uint16_t>(voiding.hour << 8 | voiding.minute));
        offset += 4;
        for (std::uint16_t sample : record.samples) {
            putWord(image, offset, sample);
            offset += 2;
        }
        putWord(image, offset, kEndWord);
        putWord(image, offset + 2, record.staticReading);
        offset += 4;
    }
    return image;
}

Image buildDemoDay() {
    return buildDemoDay(demoDayPlan());
}

}  // namespace uroflow

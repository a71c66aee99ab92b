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
    image[offset] = static_cast<std::uint8_t>(value >> 8);
    image[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

// Lays the records into the study area one byte after another, up to the memory's end.
class RecordWriter {
  public:
    RecordWriter(Image& image, MemoryEnd end) : image_(image), end_(end) {}

    // False once the memory is full and the plan may be cut there.
    bool put(std::uint8_t byte) {
        if (offset_ >= kMemorySize) {
            if (end_ == MemoryEnd::Refuse)
                throw std::length_error("demo day does not fit the memory");
            return false;
        }
        image_[offset_++] = byte;
        return true;
    }
    bool putWord(std::uint16_t value) {
        return put(static_cast<std::uint8_t>(value >> 8)) &&
               put(static_cast<std::uint8_t>(value & 0xFF));
    }

  private:
    Image& image_;
    MemoryEnd end_;
    std::size_t offset_ = kStudyAreaStart;
};

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

Image buildDemoDay(const std::vector<DemoVoiding>& plan, MemoryEnd end) {
    Image image{};
    std::fill(image.begin() + kStudyAreaStart, image.begin() + kMemorySize, 0xFF);
    writePassport(image);

    RecordWriter memory(image, end);
    for (std::size_t i = 0; i < plan.size(); ++i) {
        const DemoVoiding& voiding = plan[i];
        const Record record = recordSamples(voiding, kSeed + static_cast<std::uint32_t>(i));
        bool room = true;
        for (int gap = 0; gap < voiding.gapBefore && room; ++gap) room = memory.put(0);
        room = room && memory.putWord(kStartWord) &&
               memory.putWord(static_cast<std::uint16_t>(voiding.hour << 8 | voiding.minute));
        for (std::size_t k = 0; k < record.samples.size() && room; ++k) {
            room = memory.putWord(record.samples[k]);
        }
        if (voiding.strayByte) room = room && memory.put(0);
        if (voiding.endWord) {
            room = room && memory.putWord(kEndWord) && memory.putWord(record.staticReading);
        }
        if (!room) break;
    }
    return image;
}

Image buildDemoDay() {
    return buildDemoDay(demoDayPlan());
}

namespace {

// An older man with a weak, long flow who voids every 45 minutes from 05:00: more than
// the memory holds, so the device stops in the middle of the last record.
std::vector<DemoVoiding> fullMemoryPlan() {
    std::vector<DemoVoiding> plan;
    for (int i = 0; i < 24; ++i) {
        const int minutes = 5 * 60 + 45 * i;
        DemoVoiding voiding;
        voiding.hour = static_cast<std::uint8_t>(minutes / 60);
        voiding.minute = static_cast<std::uint8_t>(minutes % 60);
        voiding.waitSeconds = 20 + 5 * (i % 5);
        voiding.volumeMl = 450 + 25 * (i % 7);
        voiding.qmaxMl = 5.5 + 0.5 * (i % 4);
        plan.push_back(voiding);
    }
    return plan;
}

DemoVoiding voiding(std::uint8_t hour, std::uint8_t minute, double waitSeconds, double volumeMl,
                    double qmaxMl) {
    DemoVoiding v;
    v.hour = hour;
    v.minute = minute;
    v.waitSeconds = waitSeconds;
    v.volumeMl = volumeMl;
    v.qmaxMl = qmaxMl;
    return v;
}

DemoVoiding withGap(DemoVoiding v) {
    v.gapBefore = 1;
    return v;
}

DemoVoiding withStrayByte(DemoVoiding v) {
    v.strayByte = true;
    return v;
}

DemoVoiding withoutEndWord(DemoVoiding v) {
    v.endWord = false;
    return v;
}

}  // namespace

std::vector<SampleDay> sampleDays() {
    return {
        {"demo-day", "seven voidings of a 64-year-old man, one with an artefact spike",
         demoDayPlan()},
        {"odd-offsets",
         "records at odd and even offsets (a byte between some), one end word a byte off the "
         "sample grid",
         {voiding(7, 5, 3.0, 320, 17.0), withGap(voiding(10, 20, 2.5, 260, 15.5)),
          withStrayByte(voiding(13, 0, 4.0, 300, 19.0)), voiding(16, 45, 3.0, 240, 14.5),
          withGap(voiding(21, 10, 2.0, 280, 16.0))}},
        {"missing-end-word",
         "a record without end word before the next study, and the last one before unwritten "
         "memory",
         {voiding(6, 30, 3.0, 350, 18.0), withoutEndWord(voiding(9, 45, 2.0, 280, 16.0)),
          voiding(12, 15, 4.0, 300, 17.5), withoutEndWord(voiding(15, 40, 3.5, 260, 15.0))}},
        {"invalid-start-time",
         "start times 25:07 and 14:60, the first reached from a record without end word",
         {voiding(8, 0, 3.0, 300, 17.0), withoutEndWord(voiding(11, 30, 2.5, 270, 16.0)),
          voiding(25, 7, 3.0, 310, 18.0), voiding(14, 60, 2.0, 250, 15.0),
          voiding(18, 20, 3.0, 330, 19.0)}},
        {"full-memory", "long weak flows until the memory is full, the last record cut off",
         fullMemoryPlan(), MemoryEnd::Cut},
    };
}

}  // namespace uroflow

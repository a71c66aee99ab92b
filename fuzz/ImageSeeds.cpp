// Seed images: the demo day and variations of it that reach each branch of the load
// path (chart choices, calibration, records without end word, odd offsets, ...).

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

#include "fuzz/ImageInput.h"
#include "fuzz/Seeds.h"
#include "tools/demo/DemoDay.h"

namespace uroflow::fuzz {
namespace {

using Edit = std::function<void(Image&)>;

std::vector<DemoVoiding> planOf(std::initializer_list<std::size_t> voidings) {
    const std::vector<DemoVoiding> plan = demoDayPlan();
    std::vector<DemoVoiding> chosen;
    for (std::size_t i : voidings) chosen.push_back(plan[i]);
    return chosen;
}

void putWord(Image& image, std::size_t offset, std::uint16_t value) {
    image[offset] = static_cast<std::uint8_t>(value >> 8);
    image[offset + 1] = static_cast<std::uint8_t>(value & 0xFF);
}

// Offset of the start word of study `index` in a demo day (records follow each other).
std::size_t startOf(const Image& image, int index) {
    std::size_t p = kStudyAreaStart;
    for (int i = 0; i < index; ++i) {
        p += 4;
        while (word(image, static_cast<std::ptrdiff_t>(p)) != kEndWord) p += 2;
        p += 4;
    }
    return p;
}

std::size_t endWordOf(const Image& image, int index) {
    std::size_t p = startOf(image, index) + 4;
    while (word(image, static_cast<std::ptrdiff_t>(p)) != kEndWord) p += 2;
    return p;
}

Edit passport(std::uint8_t sex, const char (&age)[3]) {
    return [sex, age](Image& image) {
        image[kSexOffset] = sex;
        image[kAgeOffset] = static_cast<std::uint8_t>(age[0]);
        image[kAgeOffset + 1] = static_cast<std::uint8_t>(age[1]);
    };
}

Edit calibrationReadings(std::uint16_t a, std::uint16_t b) {
    return [a, b](Image& image) {
        putWord(image, kCalibrationAOffset, a);
        putWord(image, kCalibrationBOffset, b);
    };
}

// Bytes 0 and 1 are not read by the program; the image target takes them as the number
// of reports a download delivered: the whole memory (2,048 blocks and the end block).
constexpr std::uint16_t kFullDownloadReports = 2049;

Seed seed(std::string name, const std::vector<DemoVoiding>& plan,
          std::initializer_list<Edit> edits = {}, MemoryEnd end = MemoryEnd::Refuse) {
    const auto image = std::make_unique<Image>(buildDemoDay(plan, end));
    putWord(*image, 0, kFullDownloadReports);
    for (const Edit& edit : edits) edit(*image);
    return {std::move(name), inputFromImage(*image)};
}

}  // namespace

std::vector<Seed> imageSeeds() {
    const std::vector<DemoVoiding> day = demoDayPlan();
    const std::vector<DemoVoiding> two = planOf({1, 3});
    std::vector<Seed> seeds = {
        seed("demo-day", day),
        seed("empty-day", {}),
        // A download that stopped in the middle of the third study.
        seed("partial-download", day, {[](Image& image) { putWord(image, 0, 40); }}),
        seed("one-voiding", planOf({0})),
        // One day for each nomogram chart, at the age limits between them.
        seed("boy-15", two, {passport(1, "15")}),
        seed("man-16", two, {passport(1, "16")}),
        seed("man-49", two, {passport(1, "49")}),
        seed("man-50", two, {passport(1, "50")}),
        seed("girl-8", two, {passport(0, "8\0")}),
        seed("woman-16", two, {passport(0, "16")}),
        seed("sex-unknown", two, {passport(7, "40")}),
        seed("low-battery", two, {[](Image& image) { image[kBatteryOffset] = kBatteryLow; }}),
        seed("calibration-39996", two, {calibrationReadings(1000, 1000 + 39996 / 4)}),
        seed("calibration-zero", two, {calibrationReadings(1000, 1000)}),
        seed("calibration-negative", two, {calibrationReadings(20000, 7500)}),
        seed("no-end-word", planOf({0, 1, 2}),
             {[](Image& image) { putWord(image, endWordOf(image, 0), 0); }}),
        seed("invalid-time", planOf({0, 1}),
             {[](Image& image) { image[startOf(image, 1) + 2] = 25; }}),
        seed("odd-offset", planOf({2, 4}), {[](Image& image) {
                 std::memmove(&image[kStudyAreaStart + 1], &image[kStudyAreaStart],
                              kMemorySize - kStudyAreaStart - 1);
                 image[kStudyAreaStart] = 0;
             }}),
        seed("triple-start", planOf({5}), {[](Image& image) {
                 std::memmove(&image[kStudyAreaStart + 1], &image[kStudyAreaStart],
                              kMemorySize - kStudyAreaStart - 1);
             }}),
        seed("unwritten-passport", two,
             {[](Image& image) { std::fill_n(image.begin() + kSexOffset, 31, 0xFF); }}),
        seed("name-with-gap", two, {[](Image& image) {
                 const std::uint8_t name[] = {0xCF, 0xE5, 0x00, 0xF2, 0x98, 0xF0};
                 std::fill_n(image.begin() + kNameOffset, kNameLength, 0);
                 std::copy(std::begin(name), std::end(name), image.begin() + kNameOffset);
             }}),
    };
    // The golden days too; the full memory's last record runs to its end and the
    // decoder's walk wraps to offset 0.
    for (const SampleDay& sample : sampleDays()) {
        if (sample.name == "demo-day") continue;  // above
        seeds.push_back(seed("sample-" + sample.name, sample.plan, {}, sample.end));
    }
    return seeds;
}

}  // namespace uroflow::fuzz

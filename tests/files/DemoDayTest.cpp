#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/StudyFile.h"
#include "study/Decoder.h"
#include "study/StudyScan.h"
#include "tools/demo/DemoDay.h"

namespace uroflow {
namespace {

struct ScannedDay {
    std::unique_ptr<Image> device = std::make_unique<Image>(buildDemoDay());
    std::unique_ptr<Image> work = std::make_unique<Image>();
    StudyStartTable starts{};
    std::uint16_t count = 0;

    ScannedDay() { scanStudies(*device, *work, starts, count, kFileScanLastOffset, false); }
};

std::vector<std::string> split(const std::string& text) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, ',');) parts.push_back(part);
    return parts;
}

TEST(DemoDay, EverySampleDayIsCommittedAsTheGeneratorMakesIt) {
    std::vector<std::string> names;
    for (const SampleDay& day : sampleDays()) {
        SCOPED_TRACE(day.name);
        names.push_back(day.name);
        const std::string path = UROFLOW_SOURCE_DIR "/samples/" + day.name + ".txt";
        ASSERT_TRUE(std::filesystem::exists(path))
            << path << " is missing: make it with uroflow-demo-day --day " << day.name;
        EXPECT_TRUE(std::filesystem::exists(UROFLOW_SOURCE_DIR "/samples/" + day.name + ".json"));
        auto sample = std::make_unique<Image>();
        readStudyFile(path, *sample);
        const auto built = std::make_unique<Image>(buildDemoDay(day.plan, day.end));
        EXPECT_TRUE(std::equal(sample->begin(), sample->begin() + kMemorySize, built->begin()))
            << "regenerate " << path << " (samples/README.md)";
    }
    // Each sample day has its golden ctest.
    EXPECT_EQ(names, split(UROFLOW_GOLDEN_DAYS));
}

TEST(DemoDay, SampleDaysHoldTheLayoutsTheyAreNamedFor) {
    std::map<std::string, std::unique_ptr<Image>> images;
    for (const SampleDay& day : sampleDays()) {
        images[day.name] = std::make_unique<Image>(buildDemoDay(day.plan, day.end));
    }
    auto starts = [](const Image& image) {
        auto work = std::make_unique<Image>();
        StudyStartTable table{};
        std::uint16_t count = 0;
        scanStudies(image, *work, table, count, kFileScanLastOffset, false);
        return std::vector<std::uint16_t>(table.begin(), table.begin() + count);
    };
    const std::vector<std::uint16_t> odd = starts(*images["odd-offsets"]);
    EXPECT_TRUE(std::any_of(odd.begin(), odd.end(), [](std::uint16_t p) { return p % 2 == 0; }));
    EXPECT_TRUE(std::any_of(odd.begin(), odd.end(), [](std::uint16_t p) { return p % 2 == 1; }));
    EXPECT_EQ(starts(*images["full-memory"]).size(), 22u);
    // Written up to the last byte: no unwritten word anywhere.
    const Image& full = *images["full-memory"];
    for (std::size_t p = kStudyAreaStart; p + 1 < kMemorySize; ++p) {
        ASSERT_NE(word(full, static_cast<std::ptrdiff_t>(p)), kUnwrittenWord) << p;
    }
    // A plan larger than the memory is refused unless it may be cut.
    const SampleDay fullDay = sampleDays().back();
    EXPECT_THROW(buildDemoDay(fullDay.plan), std::length_error);
}

TEST(DemoDay, EveryVoidingDecodesCloseToItsPlan) {
    const ScannedDay day;
    const std::vector<DemoVoiding> plan = demoDayPlan();
    ASSERT_EQ(day.count, plan.size());
    EXPECT_TRUE(calibrationValid(calibrationCoefficient(*day.device)));
    for (std::size_t i = 0; i < plan.size(); ++i) {
        SCOPED_TRACE(i);
        const DecodeResult result =
            decodeStudyFromScan(*day.work, {day.starts[i], 10, day.count, kDemoCalibration});
        ASSERT_TRUE(result.indices);
        const StudyIndices& indices = *result.indices;
        char start[16];
        std::snprintf(start, sizeof start, "%02d:%02d:00", plan[i].hour, plan[i].minute);
        EXPECT_EQ(result.startTime, start);
        // The smoothing weights add up to 1.05, so the decoded peak sits a little higher.
        EXPECT_NEAR(indices.volume, plan[i].volumeMl, plan[i].volumeMl * 0.03);
        EXPECT_GT(indices.qmax, plan[i].qmaxMl * 0.97);
        EXPECT_LT(indices.qmax, plan[i].qmaxMl * 1.12);
        EXPECT_NEAR(indices.volumeStatic.value(), indices.volume, indices.volume * 0.02);
        EXPECT_GT(indices.twait, 0);
        EXPECT_TRUE(indices.qave);
        // Plausible for an adult: Qmax 12..35 ml/s, volume 150..450 ml.
        EXPECT_GE(indices.qmax, 12);
        EXPECT_LE(indices.qmax, 35);
        EXPECT_GE(indices.volume, 150);
        EXPECT_LE(indices.volume, 450);
    }
}

TEST(DemoDay, ExactlyOneArtefactInThePlannedStudyAndUnwrittenMemoryAfter) {
    const ScannedDay day;
    const std::vector<DemoVoiding> plan = demoDayPlan();
    const Image& image = *day.device;
    std::size_t lastEnd = 0;
    int artefacts = 0;
    for (std::size_t i = 0; i < day.count; ++i) {
        // Samples from sample 1 up to the end word, as the device wrote them.
        std::size_t p = day.starts[i] + 4;
        while (word(image, static_cast<std::ptrdiff_t>(p)) != kEndWord) {
            const std::uint16_t x = word(image, static_cast<std::ptrdiff_t>(p));
            const std::uint16_t y = word(image, static_cast<std::ptrdiff_t>(p + 2));
            if (x > 0 && y != kEndWord && y >= 10 * x) {
                ++artefacts;
                EXPECT_TRUE(plan[i].artefact) << "study " << i;
            }
            p += 2;
        }
        lastEnd = p + 4;
    }
    EXPECT_EQ(artefacts, 1);
    EXPECT_TRUE(std::all_of(image.begin() + lastEnd, image.begin() + kMemorySize,
                            [](std::uint8_t b) { return b == 0xFF; }));
}

}  // namespace
}  // namespace uroflow

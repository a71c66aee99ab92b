#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "nomogram/DayEvaluation.h"
#include "study/Decoder.h"
#include "study/RuntimeError.h"
#include "study/StudyScan.h"
#include "study/Units.h"
#include "tests/support/ImageBuilder.h"

namespace uroflow {
namespace {

using test::ImageBuilder;

constexpr std::int32_t kK = 50000;
constexpr std::size_t kS = kStudyAreaStart;

std::vector<std::uint16_t> bell(int length, double peak) {
    std::vector<std::uint16_t> samples(6, 0);
    for (int i = 0; i < length; ++i)
        samples.push_back(static_cast<std::uint16_t>(peak * std::sin((i + 0.5) / length * M_PI)));
    return samples;
}

TEST(NomogramScanTest, BoundariesRunFromStartToStartAndStopAtUnwrittenMemory) {
    ImageBuilder b;
    b.addStudy(kS, 8, 0, {600, 700}).fill(kS + 8, kS + 21, 0);
    b.addStudy(kS + 21, 9, 0, {800}, 3);  // at an odd offset
    // A start word after the first unwritten word belongs to no day.
    b.word(kS + 2000, kStartWord);
    const StudyBounds bounds = scanNomogramStudies(b.image());
    EXPECT_EQ(bounds.starts, (std::vector<std::uint32_t>{kS, kS + 21}));
    EXPECT_EQ(bounds.ends, (std::vector<std::uint32_t>{kS + 21, kS + 21 + 10}));
}

TEST(NomogramScanTest, LastStudyOfAFullMemoryRunsToTheEndOfMemory) {
    // No unwritten word anywhere: every word after the start is 0x0202 = 514.
    ImageBuilder b;
    b.calibration(kK).fill(kS, kMemorySize, 0x02).word(kS, kStartWord);
    auto image = b.build();
    const auto studies = evaluateDay(*image, kK);
    ASSERT_EQ(studies.size(), 1u);
    EXPECT_EQ(studies[0].end, kMemorySize);
    EXPECT_FALSE(studies[0].hasEndWord);
    const double words = (kMemorySize - 2 - (kS + 4)) / 2 + 1;  // wholly inside the memory
    EXPECT_DOUBLE_EQ(studies[0].volume, rawToMl(words * 514, kK));
    EXPECT_NEAR(studies[0].qmax, peakRawToMlPerSecond(1.05 * 514, kK), 1e-9);
}

struct SpikeCase {
    std::uint16_t x;
    std::uint16_t y;
    bool cut;
};

class SpikeTest : public ::testing::TestWithParam<SpikeCase> {};

TEST_P(SpikeTest, AJumpByTenCutsTheNextTwoWords) {
    const auto [x, y, cut] = GetParam();
    ImageBuilder b;
    b.addStudy(kS, 8, 0, {0, x, y, 2000, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 5);
    auto image = b.build();
    evaluateDay(*image, kK);
    EXPECT_EQ(word(*image, kS + 8), cut ? 0 : (y < 512 ? 0 : y));
    EXPECT_EQ(word(*image, kS + 10), cut ? 0 : 2000);
}

INSTANTIATE_TEST_SUITE_P(Threshold, SpikeTest,
                         ::testing::Values(SpikeCase{100, 1000, true}, SpikeCase{100, 999, false},
                                           SpikeCase{0, 5000, false},  // no jump from nothing
                                           SpikeCase{600, 65277, true},
                                           SpikeCase{600, 0xFEFE, false}));  // markers stay

struct FloorCase {
    std::uint16_t raw;
    double counted;
};

class NoiseFloorTest : public ::testing::TestWithParam<FloorCase> {};

TEST_P(NoiseFloorTest, WordsBelow512CountNothingAndAreStoredBackAsZero) {
    const auto [raw, counted] = GetParam();
    ImageBuilder b;
    b.addStudy(kS, 8, 0, {0, raw, 0, 0, 0, 0, 0, 0, 0, 0}, 7);
    auto image = b.build();
    const auto studies = evaluateDay(*image, kK);
    ASSERT_EQ(studies.size(), 1u);
    EXPECT_DOUBLE_EQ(studies[0].volume, rawToMl(counted, kK));
    EXPECT_EQ(word(*image, kS + 6), counted);
}

INSTANTIATE_TEST_SUITE_P(Floor, NoiseFloorTest,
                         ::testing::Values(FloorCase{511, 0}, FloorCase{0x01FF, 0},
                                           FloorCase{512, 512}, FloorCase{1000, 1000}));

struct PeakCase {
    int index;      // of the one non-zero sample among 20
    double maxRaw;  // the flow value that becomes Qmax
};

class PeakTest : public ::testing::TestWithParam<PeakCase> {};

TEST_P(PeakTest, RawFirstSixWordsSmoothedAfterAndNoFlowInTheLast16Bytes) {
    const auto [index, maxRaw] = GetParam();
    std::vector<std::uint16_t> samples(20, 0);
    samples[index] = 4000;
    ImageBuilder b;
    b.addStudy(kS, 8, 0, samples, 9);
    auto image = b.build();
    const auto studies = evaluateDay(*image, kK);
    ASSERT_EQ(studies.size(), 1u);
    EXPECT_EQ(studies[0].end, kS + 4 + 40);
    EXPECT_TRUE(studies[0].hasEndWord);
    EXPECT_NEAR(studies[0].qmax, peakRawToMlPerSecond(maxRaw, kK), 1e-9);
    EXPECT_DOUBLE_EQ(studies[0].volume, rawToMl(4000, kK));  // every word counts once
}

INSTANTIATE_TEST_SUITE_P(Window, PeakTest,
                         ::testing::Values(PeakCase{0, 4000},   // sample 1, raw
                                           PeakCase{5, 4000},   // p = s + 14, raw
                                           PeakCase{6, 1560},   // p = s + 16: 0.39 x 4000
                                           PeakCase{12, 1560},  // p = e - 16, still flow
                                           PeakCase{13, 960},   // p = e - 14: only neighbours
                                           PeakCase{19, 0}));   // last word before the end

// The nomogram and the uroflowgram see the same urine: neither the end word nor the
// static reading nor a stray byte before an end word off the grid is volume.
TEST(DayEvaluationTest, VolumeAndQmaxAgreeWithTheUroflowgram) {
    const auto samples = bell(200, 2600);
    for (const bool oddEndWord : {false, true}) {
        SCOPED_TRACE(oddEndWord ? "end word one byte off the grid" : "end word on the grid");
        ImageBuilder b;
        b.calibration(kK);
        if (oddEndWord) {
            b.addDecodedStudy(kS, 8, 0, samples);
            const std::size_t after = kS + ImageBuilder::decodedStudyLength(samples.size(), false);
            b.byte(after, 0x05).word(after + 1, kEndWord).word(after + 3, 200);
        } else {
            b.addDecodedStudy(kS, 8, 0, samples, 200);
        }
        auto scanned = std::make_unique<Image>();
        StudyStartTable starts{};
        std::uint16_t count = 0;
        scanStudies(b.image(), *scanned, starts, count, kFileScanLastOffset, false);
        const DecodeResult decoded = decodeStudyFromScan(*scanned, {kS, 10, count, kK});
        ASSERT_TRUE(decoded.indices);

        const auto studies = evaluateDay(*scanned, kK);
        ASSERT_EQ(studies.size(), 1u);
        EXPECT_TRUE(studies[0].hasEndWord);
        EXPECT_DOUBLE_EQ(studies[0].volume, decoded.indices->volume);
        EXPECT_DOUBLE_EQ(studies[0].qmax, decoded.indices->qmax);
    }
}

TEST(DayEvaluationTest, StartTimesAreTakenBeforeAnyCleaning) {
    // The last word of the first study jumps tenfold into the word that straddles the
    // next start word, which the cut then clears together with the next hour byte.
    ImageBuilder b;
    b.addStudy(kS, 8, 15, {0, 0, 0, 0x0100}).byte(kS + 12, 0x20);
    b.addStudy(kS + 13, 10, 45, {900, 900});
    auto image = b.build();
    const auto studies = evaluateDay(*image, kK);
    ASSERT_EQ(studies.size(), 2u);
    EXPECT_EQ(studies[1].start, kS + 13);
    EXPECT_EQ(studies[1].hour, 10);
    EXPECT_EQ(studies[1].minute, 45);
    EXPECT_EQ(studies[0].hour, 8);
}

// A spike cut in the last words of a study clears samples of that study only: pressing
// "Ном" again on the cleaned image finds the same studies with the same end words.
struct CutAtEndCase {
    const char* name;
    std::vector<std::uint16_t> lastSamples;  // the first study's, up to its end
    bool endWord;                            // FD FD and a static reading after them
};

class CutAtEndTest : public ::testing::TestWithParam<CutAtEndCase> {};

TEST_P(CutAtEndTest, ASecondEvaluationFindsTheSameStudies) {
    const CutAtEndCase& c = GetParam();
    std::vector<std::uint16_t> samples(12, 700);
    samples.insert(samples.end(), c.lastSamples.begin(), c.lastSamples.end());
    ImageBuilder b;
    if (c.endWord) {
        b.addStudy(kS, 8, 0, samples, 5);
    } else {
        b.addStudy(kS, 8, 0, samples);
    }
    const std::size_t next = kS + ImageBuilder::studyLength(samples.size(), c.endWord);
    b.addDecodedStudy(next, 9, 30, {900, 950, 900});
    auto image = b.build();

    const auto first = evaluateDay(*image, kK);
    const auto second = evaluateDay(*image, kK);
    ASSERT_EQ(first.size(), 2u);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(word(*image, static_cast<std::ptrdiff_t>(next)), kStartWord);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(second[i].start, first[i].start);
        EXPECT_EQ(second[i].hasEndWord, first[i].hasEndWord);
    }
    EXPECT_EQ(second[0].hasEndWord, c.endWord);
}

INSTANTIATE_TEST_SUITE_P(
    Cut, CutAtEndTest,
    ::testing::Values(CutAtEndCase{"SpikeBeforeTheNextStart", {0, 5, 100}, false},
                      CutAtEndCase{"EndWordAfterASmallWord", {0, 0, 3}, true},
                      CutAtEndCase{"SpikeBeforeTheEndWord", {0, 5, 100}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DayEvaluationTest, ZeroCoefficientCleansTheFirstStudyThenFails) {
    ImageBuilder b;
    b.addStudy(kS, 8, 0, {0, 100, 1000, 2000, 0, 0, 0, 0, 0, 0}, 5);
    b.fill(kS + 28, kS + 100, 0).addStudy(kS + 100, 9, 0, {100, 1000, 2000, 0, 0, 0, 0, 0, 0}, 5);
    auto image = b.build();
    try {
        evaluateDay(*image, 0);
        FAIL() << "no division error";
    } catch (const RuntimeError& error) {
        EXPECT_STREQ(error.what(), kDivisionByZeroText);
    }
    EXPECT_EQ(word(*image, kS + 8), 0);           // first study cleaned
    EXPECT_EQ(word(*image, kS + 100 + 6), 1000);  // second never reached

    auto empty = ImageBuilder().build();
    EXPECT_TRUE(evaluateDay(*empty, 0).empty());  // nothing to divide
}

}  // namespace
}  // namespace uroflow

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "study/Decoder.h"
#include "study/StudyScan.h"
#include "tests/support/ImageBuilder.h"

namespace uroflow {
namespace {

using test::ImageBuilder;

// K = 50000: 4000 raw = 1 ml, flow = raw / 500 ml/s.
constexpr std::int32_t kK = 50000;

// The image as the window holds it after a file load: scanned work image and table.
struct Scanned {
    std::unique_ptr<Image> work = std::make_unique<Image>();
    StudyStartTable starts{};
    std::uint16_t count = 0;
    std::int32_t k = 0;

    explicit Scanned(const ImageBuilder& builder) {
        scanStudies(builder.image(), *work, starts, count, kFileScanLastOffset, false);
        k = calibrationCoefficient(builder.image());
    }
    DecodeParams params(std::size_t study = 0, int npr = 10) const {
        DecodeParams p;
        p.curStudyStart = starts[study];
        p.npr = npr;
        p.studyCount = count;
        p.calibrCoef = k;
        return p;
    }
    DecodeResult decode(std::size_t study = 0, int npr = 10) {
        return decodeStudy(*work, params(study, npr));
    }
};

DecodeResult decodeFirst(const ImageBuilder& builder, int npr = 10) {
    return Scanned(builder).decode(0, npr);
}

std::vector<double> flows(const DecodeResult& r) {
    std::vector<double> y;
    for (const CurvePoint& p : r.flowTime) y.push_back(p.y);
    return y;
}

// ---- Calibration ----

struct CalibrationCase {
    std::uint16_t a;
    std::uint16_t b;
    std::int32_t k;
    bool valid;
};

class Calibration : public ::testing::TestWithParam<CalibrationCase> {};

TEST_P(Calibration, IsFourTimesTheSignedDifferenceValidFrom40000To60000) {
    ImageBuilder builder;
    builder.calibrationReadings(GetParam().a, GetParam().b);
    const std::int32_t k = calibrationCoefficient(builder.image());
    EXPECT_EQ(k, GetParam().k);
    EXPECT_EQ(calibrationValid(k), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(Readings, Calibration,
                         ::testing::Values(CalibrationCase{1000, 11000, 40000, true},
                                           CalibrationCase{1000, 16000, 60000, true},
                                           CalibrationCase{1000, 10999, 39996, false},
                                           CalibrationCase{1000, 16001, 60004, false},
                                           CalibrationCase{0x0102, 0x3200, 50168, true},
                                           CalibrationCase{2000, 1000, -4000, false},
                                           CalibrationCase{0, 0xFFFF, 262140, false}));

// ---- Nothing to decode ----

TEST(Decoder, WithoutCalibrationOrStudyNothingIsDecoded) {
    ImageBuilder builder;
    builder.addDecodedStudy(99, 8, 0, {800, 0, 900});
    Scanned zeroK(builder);  // calibration readings left at 0
    DecodeResult r = zeroK.decode();
    EXPECT_EQ(r.calibrCoef, 0);
    EXPECT_FALSE(r.decoded);
    EXPECT_TRUE(r.flowTime.empty());
    EXPECT_FALSE(r.indices);

    builder.calibration(kK);
    Scanned noStudy(builder);
    DecodeParams params = noStudy.params();
    params.studyCount = 0;
    r = decodeStudy(*noStudy.work, params);
    EXPECT_FALSE(r.decoded);
    EXPECT_TRUE(r.flowTime.empty());
    EXPECT_FALSE(r.startTime);
}

TEST(Decoder, NegativeCalibrationStillDecodes) {
    ImageBuilder builder;
    builder.calibration(-40000).addDecodedStudy(99, 8, 0, {800});
    const DecodeResult r = decodeFirst(builder);
    ASSERT_TRUE(r.decoded);
    ASSERT_EQ(r.flowTime.size(), 1u);
    EXPECT_DOUBLE_EQ(r.flowTime[0].y, -2.0);
}

// ---- A whole study ----

TEST(Decoder, SteadyStudyGivesCurvesAndAllIndices) {
    // 20 samples of 1000 raw; the scan clears sample 2.
    ImageBuilder builder;
    builder.calibration(kK).addDecodedStudy(99, 9, 5, std::vector<std::uint16_t>(20, 1000), 0x10);
    const DecodeResult r = decodeFirst(builder);
    ASSERT_TRUE(r.decoded);
    ASSERT_FALSE(r.error);
    EXPECT_EQ(r.startTime, "09:05:00");

    // Samples 1..6 unsmoothed, from 7 on the 9-point window (weights sum 1.05); samples 17..20
    // see the zero tail on their right.
    const std::vector<double> expected = {2.0, 0.0, 2.0, 2.0, 2.0, 2.0, 2.1,  2.1, 2.1,  2.1,
                                          2.1, 2.1, 2.1, 2.1, 2.1, 2.1, 2.12, 2.1, 1.92, 1.44};
    ASSERT_EQ(r.flowTime.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_DOUBLE_EQ(r.flowTime[i].x, (i + 1) / 8.0) << "sample " << i + 1;
        EXPECT_NEAR(r.flowTime[i].y, expected[i], 1e-12) << "sample " << i + 1;
    }
    // Every seventh sample from sample 8, at the volume before that sample.
    ASSERT_EQ(r.flowVolume.size(), 2u);
    EXPECT_DOUBLE_EQ(r.flowVolume[0].x, 6000 / 4000.0);
    EXPECT_NEAR(r.flowVolume[0].y, 2.1, 1e-12);
    EXPECT_DOUBLE_EQ(r.flowVolume[1].x, 13000 / 4000.0);

    EXPECT_EQ(r.sampleCount, 20);
    EXPECT_EQ(r.waitCount, 4);  // volume reaches 4000 raw at sample 5
    EXPECT_EQ(r.index95, 20);   // 19000 > 0.95 x 19000 only at the last sample
    EXPECT_EQ(r.qmaxIndex, 17);
    ASSERT_TRUE(r.indices);
    const StudyIndices& in = *r.indices;
    EXPECT_DOUBLE_EQ(in.twait, 0.5);
    EXPECT_DOUBLE_EQ(in.tqmax, 17 / 8.0);
    EXPECT_DOUBLE_EQ(in.flowTime, 2.0);
    EXPECT_DOUBLE_EQ(in.ttotal, 2.5);
    EXPECT_NEAR(in.qmax, 2.12, 1e-12);
    EXPECT_DOUBLE_EQ(in.vqmax, 4.0);
    EXPECT_DOUBLE_EQ(in.volume, 4.75);
    ASSERT_TRUE(in.qave);
    EXPECT_NEAR(*in.qave, 4.75 * 7.6 / 16, 1e-12);
    ASSERT_TRUE(in.volumeStatic);
    EXPECT_DOUBLE_EQ(*in.volumeStatic, 16 * 256 * 50.0 / kK);
}

TEST(Decoder, StudyAtAnyOffsetDecodesTheSame) {
    const std::vector<std::uint16_t> samples = {900, 0, 1200, 3000, 5000, 4000, 3500, 2000, 1000};
    ImageBuilder reference;
    reference.calibration(kK).addDecodedStudy(99, 7, 30, samples, 3);
    const DecodeResult expected = decodeFirst(reference);
    for (const std::size_t offset : {100u, 1001u, 40000u}) {
        SCOPED_TRACE(offset);
        ImageBuilder builder;
        builder.calibration(kK).addDecodedStudy(offset, 7, 30, samples, 3);
        const DecodeResult r = decodeFirst(builder);
        EXPECT_EQ(flows(r), flows(expected));
        ASSERT_TRUE(r.indices);
        EXPECT_EQ(r.indices->volume, expected.indices->volume);
        EXPECT_EQ(r.indices->volumeStatic, expected.indices->volumeStatic);
    }
}

// ---- Edge studies ----

TEST(Decoder, VolumeBelowWaitThresholdCountsEverySampleAsWaiting) {
    ImageBuilder builder;
    builder.calibration(kK).addDecodedStudy(99, 12, 0, {600, 600, 600, 600, 600, 600}, 0);
    const DecodeResult r = decodeFirst(builder);
    ASSERT_TRUE(r.indices);
    EXPECT_DOUBLE_EQ(r.indices->volume, 3000 / 4000.0);
    EXPECT_DOUBLE_EQ(r.indices->twait, r.indices->ttotal);
    EXPECT_DOUBLE_EQ(r.indices->ttotal, 6 / 8.0);
    EXPECT_DOUBLE_EQ(r.indices->flowTime, 0);
    EXPECT_FALSE(r.indices->qave);
    EXPECT_EQ(r.indices->volumeStatic, 0.0);
}

TEST(Decoder, AllZeroStudyHasNoFlowPointAndNegativeFlowTime) {
    ImageBuilder builder;
    builder.calibration(kK).addDecodedStudy(99, 12, 0, std::vector<std::uint16_t>(10, 0), 5);
    const DecodeResult r = decodeFirst(builder);
    ASSERT_TRUE(r.indices);
    EXPECT_EQ(r.index95, 0);
    EXPECT_EQ(r.qmaxIndex, 0);
    EXPECT_DOUBLE_EQ(r.indices->volume, 0);
    EXPECT_DOUBLE_EQ(r.indices->twait, 10 / 8.0);
    EXPECT_DOUBLE_EQ(r.indices->flowTime, -r.indices->twait);
    EXPECT_DOUBLE_EQ(r.indices->tqmax, 0);
    EXPECT_DOUBLE_EQ(r.indices->vqmax, 0);
    EXPECT_DOUBLE_EQ(r.indices->qmax, 0);
    EXPECT_FALSE(r.indices->qave);
}

struct NoiseCase {
    std::uint16_t sample;
    double volumeMl;
};

class NoiseFloor : public ::testing::TestWithParam<NoiseCase> {};

TEST_P(NoiseFloor, HighByteZeroOrOneCountsForFlowButNotVolume) {
    const std::uint16_t sample = GetParam().sample;
    ImageBuilder builder;
    builder.calibration(kK).addDecodedStudy(99, 12, 0, {sample, 0, 0}, 0);
    Scanned scanned(builder);
    const DecodeResult r = scanned.decode();
    ASSERT_TRUE(r.indices);
    EXPECT_DOUBLE_EQ(r.flowTime[0].y, sample / 500.0);
    EXPECT_DOUBLE_EQ(r.indices->qmax, sample / 500.0);
    EXPECT_EQ(r.qmaxIndex, 1);
    EXPECT_DOUBLE_EQ(r.indices->volume, GetParam().volumeMl);
    EXPECT_EQ(word(*scanned.work, 103), GetParam().volumeMl > 0 ? sample : 0);
}

INSTANTIATE_TEST_SUITE_P(Samples, NoiseFloor,
                         ::testing::Values(NoiseCase{0x0001, 0}, NoiseCase{0x0100, 0},
                                           NoiseCase{0x01FF, 0},
                                           NoiseCase{0x0200, 0x0200 / 4000.0}));

struct ArtefactCase {
    int npr;
    std::uint16_t x;
    std::uint16_t y;
    bool cut;
};

class Artefact : public ::testing::TestWithParam<ArtefactCase> {};

TEST_P(Artefact, JumpByTheThresholdZeroesTheNextTwoSamples) {
    const auto [npr, x, y, cut] = GetParam();
    ImageBuilder builder;
    builder.calibration(kK).addDecodedStudy(99, 12, 0, {800, 0, x, y, 700, 600}, 0);
    Scanned scanned(builder);
    scanned.decode(0, npr);
    const Image& work = *scanned.work;
    // Samples 4 and 5 sit at 109 and 111.
    EXPECT_EQ(word(work, 109), cut ? 0 : y);
    EXPECT_EQ(word(work, 111), cut ? 0 : 700);
    EXPECT_EQ(word(work, 113), 600);
}

INSTANTIATE_TEST_SUITE_P(
    Jumps, Artefact,
    ::testing::Values(ArtefactCase{10, 100, 1000, true}, ArtefactCase{10, 100, 999, false},
                      ArtefactCase{11, 100, 1000, false}, ArtefactCase{10, 0, 1000, false},
                      ArtefactCase{10, 1000, 0xFEFD, true},
                      ArtefactCase{10, 1000, 0xFF00, false},  // start word and above: no test
                      ArtefactCase{1, 800, 800, true}));

TEST(Decoder, ArtefactCutHappensBeforeTheSmoothingWindowIsRead) {
    // Sample 7 is the first smoothed one; its window covers samples 3..11. A jump at
    // sample 7 zeroes samples 8 and 9 before the window is read.
    std::vector<std::uint16_t> samples(11, 1000);
    samples[7] = 20000;  // sample 8
    ImageBuilder builder;
    builder.calibration(kK).addDecodedStudy(99, 12, 0, samples, 0);
    const DecodeResult r = decodeFirst(builder);
    // 1.05 x 1000 without samples 8 (0.24) and 9 (0.09).
    EXPECT_NEAR(r.flowTime[6].y, (1050 - 240 - 90) / 500.0, 1e-12);
}

struct EndWordCase {
    const char* what;
    std::size_t gap;  // bytes between the last sample and the end word
};

class EndWord : public ::testing::TestWithParam<EndWordCase> {};

TEST_P(EndWord, IsFoundOnAndOffTheSampleGrid) {
    const std::vector<std::uint16_t> decoded = {800, 0, 900, 1000};
    ImageBuilder builder;
    builder.calibration(kK).addDecodedStudy(99, 6, 45, decoded);
    const std::size_t end = 99 + ImageBuilder::decodedStudyLength(decoded.size(), false);
    builder.fill(end, end + GetParam().gap, 0).word(end + GetParam().gap, kEndWord);
    builder.word(end + GetParam().gap + 2, 0x0020);
    const DecodeResult r = decodeFirst(builder);
    ASSERT_TRUE(r.indices);
    EXPECT_EQ(r.sampleCount, decoded.size());
    ASSERT_TRUE(r.indices->volumeStatic);
    EXPECT_DOUBLE_EQ(*r.indices->volumeStatic, 0x20 * 256 * 50.0 / kK);
}

INSTANTIATE_TEST_SUITE_P(Positions, EndWord,
                         ::testing::Values(EndWordCase{"on the grid", 0},
                                           EndWordCase{"one byte late", 1}));

TEST(Decoder, StudyWithoutEndWordEndsAtUnwrittenMemoryWithoutStaticVolume) {
    ImageBuilder builder;
    builder.calibration(kK).addDecodedStudy(99, 6, 45, {800, 0, 900});
    const DecodeResult r = decodeFirst(builder);
    ASSERT_TRUE(r.indices);
    EXPECT_EQ(r.sampleCount, 3);
    EXPECT_FALSE(r.indices->volumeStatic);
}

// ---- Start words ----

struct TimeCase {
    std::uint8_t hour;
    std::uint8_t minute;
    const char* text;
    bool valid;
};

class StartTime : public ::testing::TestWithParam<TimeCase> {};

TEST_P(StartTime, IsValidatedBeforeAnyPoint) {
    const auto [hour, minute, text, valid] = GetParam();
    ImageBuilder builder;
    builder.calibration(kK).addDecodedStudy(99, hour, minute, {800, 0, 900}, 0);
    const DecodeResult r = decodeFirst(builder);
    if (valid) {
        EXPECT_EQ(r.startTime, std::string(text) + ":00");
        EXPECT_FALSE(r.error);
        EXPECT_TRUE(r.indices);
    } else {
        EXPECT_EQ(r.error, "'" + std::string(text) + "' is not a valid time");
        EXPECT_TRUE(r.flowTime.empty());
        EXPECT_FALSE(r.indices);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Times, StartTime,
    ::testing::Values(TimeCase{0, 0, "00:00", true}, TimeCase{9, 5, "09:05", true},
                      TimeCase{23, 59, "23:59", true}, TimeCase{24, 0, "24:00", false},
                      TimeCase{25, 7, "25:07", false}, TimeCase{12, 60, "12:60", false},
                      TimeCase{200, 255, "200:255", false}));

TEST(Decoder, StudyWithoutEndWordStopsAfterTheNextStartWord) {
    const std::vector<std::uint16_t> first = {800, 0, 900, 1000, 1100};
    for (const bool validNext : {true, false}) {
        SCOPED_TRACE(validNext ? "valid next time" : "invalid next time");
        ImageBuilder builder;
        builder.calibration(kK).addStudy(99, 10, 0, first);
        const std::size_t next = 99 + ImageBuilder::studyLength(first.size(), false);
        builder.addDecodedStudy(next, validNext ? 11 : 30, 0, std::vector<std::uint16_t>(10, 700),
                                0);
        const DecodeResult r = decodeFirst(builder);
        EXPECT_EQ(r.flowTime.size(), first.size());
        if (validNext) {
            ASSERT_TRUE(r.indices);
            EXPECT_FALSE(r.error);
            // k passed the start word and its time bytes.
            EXPECT_DOUBLE_EQ(r.indices->ttotal, (first.size() + 2) / 8.0);
            EXPECT_FALSE(r.indices->volumeStatic);
        } else {
            EXPECT_EQ(r.error, "'30:00' is not a valid time");
            EXPECT_FALSE(r.indices);
        }
    }
}

TEST(Decoder, SamplesBeforeAnyStartWordShowAnEmptyStartTime) {
    ImageBuilder builder;
    builder.calibration(kK).words(99, {800, 900, 1000}).addDecodedStudy(105, 8, 0, {800});
    Scanned scanned(builder);
    DecodeParams params = scanned.params();
    params.curStudyStart = 99;  // as after a file load whose first study starts later
    const DecodeResult r = decodeStudy(*scanned.work, params);
    ASSERT_TRUE(r.indices);
    EXPECT_EQ(r.flowTime.size(), 4u);  // three leading words and the study's one sample
    EXPECT_EQ(r.startTime, "08:00:00");
    EXPECT_DOUBLE_EQ(r.flowTime[3].x, 4 / 8.0);

    // The same walk cut short before the start word keeps the empty time texts.
    ImageBuilder lone;
    lone.calibration(kK).fill(99, 119, 0).words(99, {800, 900}).word(119, kEndWord);
    Scanned loneScan(lone);
    params = loneScan.params();
    params.curStudyStart = 99;
    params.studyCount = 1;
    EXPECT_EQ(decodeStudy(*loneScan.work, params).startTime, "::00");
}

// ---- Repeatability and cost ----

TEST(Decoder, DecodingFromTheScanIsRepeatableAndLeavesTheScanAlone) {
    ImageBuilder builder;
    builder.calibration(kK).addDecodedStudy(99, 8, 0, {800, 0, 100, 1000, 1000, 200, 300, 3000}, 0);
    Scanned scanned(builder);
    const Image before = *scanned.work;
    const DecodeResult a = decodeStudyFromScan(*scanned.work, scanned.params());
    const DecodeResult b = decodeStudyFromScan(*scanned.work, scanned.params());
    EXPECT_TRUE(*scanned.work == before);
    EXPECT_EQ(flows(a), flows(b));
    ASSERT_TRUE(a.indices && b.indices);
    EXPECT_EQ(a.indices->volume, b.indices->volume);
    EXPECT_EQ(a.indices->qmax, b.indices->qmax);

    // In place, the first decode matches and patches the work image.
    const DecodeResult inPlace = scanned.decode();
    EXPECT_EQ(flows(inPlace), flows(a));
    EXPECT_EQ(inPlace.indices->volume, a.indices->volume);
    EXPECT_FALSE(*scanned.work == before);
}

TEST(Decoder, StudyLongerThanATypicalVoidingKeepsEverySampleAndIts95PercentPoint) {
    // 3,000 samples of 1,000 raw (sample 2 cleared by the scan): the running volume after
    // sample i is 1,000 x (i - 1), so the first to exceed 95 % of 2,999,000 is sample 2,851.
    constexpr std::size_t kSamples = 3000;
    ImageBuilder builder;
    builder.calibration(kK).addDecodedStudy(99, 8, 0, std::vector<std::uint16_t>(kSamples, 1000),
                                            0);
    const DecodeResult r = decodeFirst(builder);
    ASSERT_TRUE(r.indices);
    EXPECT_EQ(r.flowTime.size(), kSamples);
    EXPECT_EQ(r.flowVolume.size(), kSamples / 7);
    EXPECT_EQ(r.waitCount, 4);
    EXPECT_EQ(r.index95, 2851);
    ASSERT_TRUE(r.indices->qave);
    EXPECT_DOUBLE_EQ(r.indices->flowTime, (2851 - 4) / 8.0);
    EXPECT_DOUBLE_EQ(r.indices->volume, 2999000 / 4000.0);
}

TEST(Decoder, LongestStudyUsesEveryWordStep) {
    // One study filling the whole memory: the walk runs all steps, wraps around and
    // indexes the cumulative volume up to its last entry. (Its speed is measured by
    // the benchmark program.)
    ImageBuilder builder;
    builder.calibration(kK).fill(kStudyAreaStart, kMemorySize, 0x03).addStudy(99, 8, 0, {});
    Scanned scanned(builder);
    const DecodeResult r = scanned.decode();
    EXPECT_EQ(r.sampleCount, kMaxWordSteps);
    // Every step but the first and the last: after 32,768 steps the walk has gone round
    // the memory and meets the study's own start word again.
    EXPECT_EQ(r.flowTime.size(), kMaxWordSteps - 2);
    ASSERT_TRUE(r.indices);
    EXPECT_DOUBLE_EQ(r.indices->ttotal, kMaxWordSteps / 8.0);
}

}  // namespace
}  // namespace uroflow

// The day model: scan, selection, decoding, nomogram and archive on hand-made days and
// the golden days.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "day/Day.h"
#include "study/Units.h"
#include "tests/support/ImageBuilder.h"
#include "tools/demo/DemoDay.h"

namespace uroflow {
namespace {

using test::ImageBuilder;

constexpr std::int32_t kK = 50000;
constexpr std::size_t kS = kStudyAreaStart;

std::vector<std::uint16_t> flat(std::size_t count, std::uint16_t value) {
    return std::vector<std::uint16_t>(count, value);
}

std::unique_ptr<Day> dayOf(const Image& image, const ScanVariant& variant = kFileScan) {
    auto day = std::make_unique<Day>();
    day->loadImage(image);
    day->scan(variant);
    return day;
}

// n studies with end words, one after another from offset 99.
std::unique_ptr<Image> studies(std::size_t n) {
    ImageBuilder b;
    b.calibration(kK);
    std::size_t at = kS;
    for (std::size_t i = 0; i < n; ++i) {
        b.addDecodedStudy(at, static_cast<std::uint8_t>(8 + i), 0, flat(40, 900 + 100 * i), 20);
        at += ImageBuilder::decodedStudyLength(40, true);
    }
    return b.build();
}

TEST(DayTest, FirstDrawingIsTheFirstStudyFoundWhereverItStarts) {
    ImageBuilder b;
    b.calibration(kK).byte(kS, 0).addDecodedStudy(kS + 1, 6, 40, flat(30, 900), 20);
    auto day = dayOf(*b.build());
    ASSERT_EQ(day->studyCount(), 1);
    EXPECT_EQ(day->curStudy(), 0);
    EXPECT_EQ(day->curStudyStart(), kS + 1);
    const DecodeResult& shown = day->decodeCurrent();
    EXPECT_EQ(shown.startTime, "06:40:00");
    ASSERT_TRUE(shown.indices);
    EXPECT_EQ(shown.sampleCount, 30);

    // Away and back: the same study, the same values.
    const StudyIndices first = *shown.indices;
    ASSERT_TRUE(day->select(0));
    EXPECT_EQ(day->decodeCurrent().indices->qmax, first.qmax);
    EXPECT_EQ(day->decodeCurrent().indices->volume, first.volume);
}

TEST(DayTest, OnlyTheStudiesOfThisScanAreSelected) {
    auto day = dayOf(*studies(7));
    ASSERT_TRUE(day->select(6));
    EXPECT_FALSE(day->select(7));
    EXPECT_EQ(day->curStudy(), 6);

    // A file load keeps the earlier day's entries past the last study in the table...
    day->loadImage(*studies(1));
    day->scan(kFileScan);
    ASSERT_EQ(day->studyCount(), 1);
    EXPECT_NE(day->studyStart(1), 0);
    // ...but no step reaches them.
    EXPECT_FALSE(day->select(1));
    EXPECT_EQ(day->curStudy(), 0);
    EXPECT_EQ(day->curStudyStart(), kS);
    EXPECT_EQ(day->evaluateNomogram().size(), 1u);
}

TEST(DayTest, ANewScanIncludesEveryStudyAgain) {
    auto day = dayOf(*studies(3));
    day->include(1, false);
    day->include(kMaxStudies, false);  // past the table: ignored
    EXPECT_FALSE(day->included(1));
    EXPECT_FALSE(day->included(kMaxStudies));
    day->scan(kFileScan);
    EXPECT_TRUE(day->included(1));
}

TEST(DayTest, NomogramPointsAreTheEvaluationWithTheIncludeFlags) {
    auto day = dayOf(*studies(3));
    day->include(1, false);
    const std::vector<EvaluatedStudy> evaluated = day->evaluateNomogram();
    ASSERT_EQ(evaluated.size(), 3u);
    const std::vector<NomogramPoint> points = day->nomogramPoints();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[0].study, 0);
    EXPECT_EQ(points[1].study, 2);
    EXPECT_EQ(points[1].values.volume, evaluated[2].volume);
    EXPECT_EQ(points[1].values.qmax, evaluated[2].qmax);
    // The nomogram's volume is the uroflowgram's V2.
    EXPECT_DOUBLE_EQ(evaluated[2].volume, day->decode(2).indices->volume);

    // Evaluated again after decoding: the same points, from the image as the scan left it.
    const std::vector<EvaluatedStudy> again = day->evaluateNomogram();
    EXPECT_EQ(again[0].qmax, evaluated[0].qmax);
}

TEST(DayTest, ADownloadReplacesOnlyTheBlocksReceived) {
    ImageBuilder before;
    before.fill(0, kMemorySize, 0x11);
    ImageBuilder received;
    received.fill(0, kMemorySize, 0x22);
    auto day = dayOf(*before.build());
    day->takeDownload(*received.build(), 3);
    EXPECT_EQ(day->deviceImage()[95], 0x22);
    EXPECT_EQ(day->deviceImage()[96], 0x11);
    day->takeDownload(*received.build(), kImageSize);  // far past the image: clamped
    EXPECT_EQ(day->deviceImage()[kMemorySize - 1], 0x22);
}

TEST(DayTest, ACommandsAnswerLeavesNoStudies) {
    auto day = dayOf(*studies(2));
    day->dropStudies();
    EXPECT_EQ(day->studyCount(), 0);
    EXPECT_FALSE(day->select(0));
    EXPECT_TRUE(day->evaluateNomogram().empty());
}

// A study without an end word runs into the next record: the next start word (65,278)
// must not enter its smoothing window as flow.
TEST(DayTest, SmoothingNeverReadsTheNextRecord) {
    ImageBuilder b;
    std::vector<std::uint16_t> samples = flat(40, 900);
    samples.resize(48, 0);
    b.calibration(kK).addStudy(kS, 8, 0, samples);  // no end word
    const std::size_t next = kS + ImageBuilder::studyLength(samples.size(), false);
    b.addDecodedStudy(next, 9, 0, flat(40, 900), 20);
    auto day = dayOf(*b.build());
    ASSERT_EQ(day->studyCount(), 2);
    const DecodeResult& first = day->decode(0);
    ASSERT_TRUE(first.indices);
    // At most the positive weights (1.07) over the flat flow.
    EXPECT_LE(first.indices->qmax, peakRawToMlPerSecond(1.07 * 900, kK));
}

// Studies closed by their end word never reach the next record: the bound changes nothing.
TEST(DayTest, StudiesWithTheirEndWordDecodeAsWithoutTheBound) {
    for (const SampleDay& sample : sampleDays()) {
        SCOPED_TRACE(sample.name);
        const Image image = buildDemoDay(sample.plan, sample.end);
        auto day = dayOf(image);
        for (std::uint16_t i = 0; i < day->studyCount(); ++i) {
            const DecodeResult& bounded = day->decode(i);
            if (!bounded.indices || !bounded.indices->volumeStatic) continue;
            const DecodeResult unbounded = decodeStudyFromScan(
                day->scannedImage(), {day->studyStart(i), kDefaultArtefactThreshold,
                                      day->studyCount(), day->calibrCoef()});
            EXPECT_EQ(bounded.flowMaxRaw, unbounded.flowMaxRaw) << "study " << i + 1;
            EXPECT_EQ(bounded.indices->volume, unbounded.indices->volume);
            EXPECT_EQ(bounded.flowTime.size(), unbounded.flowTime.size());
        }
    }
}

TEST(DayTest, AStudyWithAnInvalidStartTimeHasNoValues) {
    ImageBuilder b;
    b.calibration(kK).addDecodedStudy(kS, 25, 7, flat(40, 900), 20);
    auto day = dayOf(*b.build());
    const DecodeResult& result = day->decodeCurrent();
    EXPECT_EQ(result.error, "'25:07' is not a valid time");
    EXPECT_FALSE(result.startTime);
    EXPECT_FALSE(result.indices);
    EXPECT_TRUE(result.flowTime.empty());
}

TEST(DayTest, TheArchiveIsEvaluatedFromItsOwnImageEveryTime) {
    auto day = dayOf(*studies(1));
    ImageBuilder archive;
    archive.calibration(40000).date("010226");
    archive.addDecodedStudy(kS, 8, 0, flat(40, 5000), 20);
    day->takeArchive(*archive.build());
    const std::vector<EvaluatedStudy> first = day->evaluateArchive();
    const std::vector<EvaluatedStudy> second = day->evaluateArchive();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].qmax, second[0].qmax);
    EXPECT_EQ(day->archiveDate(), "01.02.26");
    EXPECT_TRUE(day->archiveImage() == archive.image());
    // The day itself is untouched.
    EXPECT_EQ(day->studyCount(), 1);

    // Another archived day is evaluated afresh, not taken for the one before.
    day->takeArchive(*studies(2));
    EXPECT_EQ(day->evaluateArchive().size(), 2u);
}

// The work image is brought back to the scan before each step by copying only what the
// step before changed: after any sequence it is the scan patched by the last step alone.
TEST(DayTest, TheWorkImageIsTheScanPatchedByTheLastStepAlone) {
    for (const SampleDay& sample : sampleDays()) {
        SCOPED_TRACE(sample.name);
        auto day = dayOf(buildDemoDay(sample.plan, sample.end));
        auto expected = std::make_unique<Image>();
        const auto decodedAlone = [&](std::uint16_t i) {
            *expected = day->scannedImage();
            DecodeParams params{day->studyStart(i), kDefaultArtefactThreshold, day->studyCount(),
                                day->calibrCoef()};
            if (i + 1 < day->studyCount()) params.nextStudyStart = day->studyStart(i + 1);
            const DecodeResult alone = decodeStudy(*expected, params);
            const DecodeResult& kept = day->decode(i);
            EXPECT_EQ(kept.patched.from, alone.patched.from);
            EXPECT_EQ(kept.patched.to, alone.patched.to);
        };
        ASSERT_GT(day->studyCount(), 1);
        day->evaluateNomogram();
        for (std::uint16_t i = day->studyCount(); i-- > 0;) {
            decodedAlone(i);
            EXPECT_TRUE(day->workImage() == *expected) << "study " << i + 1;
        }
        // A new scan of the same memory, its last study drawn, then the nomogram.
        day->scan(kFileScan);
        day->decode(day->studyCount() - 1);
        day->evaluateNomogram();
        *expected = day->scannedImage();
        evaluateDay(*expected, day->calibrCoef());
        EXPECT_TRUE(day->workImage() == *expected);
        decodedAlone(0);
        EXPECT_TRUE(day->workImage() == *expected);
    }
}

}  // namespace
}  // namespace uroflow

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>

#include "study/StudyScan.h"
#include "tests/support/ImageBuilder.h"

namespace uroflow {
namespace {

using test::ImageBuilder;

struct Scan {
    std::unique_ptr<Image> work = std::make_unique<Image>();
    StudyStartTable starts{};
    std::uint16_t count = 0xFFFF;

    void run(const Image& device, std::uint32_t lastOffset = kFileScanLastOffset,
             bool clearAfterLast = false) {
        scanStudies(device, *work, starts, count, lastOffset, clearAfterLast);
    }
};

struct PairCase {
    std::size_t offset;
    bool found;
};

class ScanPairPosition : public ::testing::TestWithParam<PairCase> {};

TEST_P(ScanPairPosition, FindsPairsAtAnyOffsetOfTheStudyArea) {
    const auto [offset, found] = GetParam();
    ImageBuilder builder;
    builder.word(offset, kStartWord);
    Scan scan;
    scan.run(builder.image());
    ASSERT_EQ(scan.count, found ? 1 : 0);
    EXPECT_EQ(scan.starts[0], found ? offset : 0);
}

INSTANTIATE_TEST_SUITE_P(Offsets, ScanPairPosition,
                         ::testing::Values(PairCase{99, true}, PairCase{100, true},
                                           PairCase{4001, true}, PairCase{65534, true},
                                           // bytes 98..99: starts before the study area
                                           PairCase{98, false}));

TEST(StudyScan, ThreeFeBytesGiveTwoStudiesOneByteApart) {
    ImageBuilder builder;
    builder.fill(500, 503, 0xFE);
    Scan scan;
    scan.run(builder.image());
    ASSERT_EQ(scan.count, 2);
    EXPECT_EQ(scan.starts[0], 500);
    EXPECT_EQ(scan.starts[1], 501);
    EXPECT_EQ(scan.starts[2], 0);
}

TEST(StudyScan, PairAcrossTwoSamplesCountsAsStart) {
    ImageBuilder builder;
    // Sample 3 ends in FE and sample 4 begins with FE.
    builder.addStudy(99, 10, 0, {0x0300, 0x0300, 0x03FE, 0xFE03, 0x0300});
    Scan scan;
    scan.run(builder.image());
    ASSERT_EQ(scan.count, 2);
    EXPECT_EQ(scan.starts[1], 108);
}

TEST(StudyScan, CopiesTheMemoryAndClearsSampleTwoOnlyInTheWorkImage) {
    ImageBuilder builder;
    builder.battery(kBatteryHigh).addStudy(201, 9, 15, {0x0400, 0x0555, 0x0666});
    builder.fill(kMemorySize, kImageSize, 0x77);  // spare bytes of a long download
    const Image& device = builder.image();
    Scan scan;
    std::fill(scan.work->begin(), scan.work->end(), std::uint8_t{0x55});
    scan.run(device);

    ASSERT_EQ(scan.count, 1);
    EXPECT_EQ(word(*scan.work, 207), 0);       // sample 2 cleared
    EXPECT_EQ(word(device, 207), 0x0555);      // the device image is left alone
    EXPECT_EQ(word(*scan.work, 205), 0x0400);  // its neighbours are not touched
    EXPECT_EQ(word(*scan.work, 209), 0x0666);
    Image expected = device;
    expected[207] = expected[208] = 0;
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + kMemorySize, scan.work->begin()));
    EXPECT_TRUE(std::all_of(scan.work->begin() + kMemorySize, scan.work->end(),
                            [](std::uint8_t b) { return b == 0; }));
}

TEST(StudyScan, FileLoadKeepsStaleEntriesAndDownloadZeroesThem) {
    ImageBuilder before;
    before.word(300, kStartWord).word(400, kStartWord).word(500, kStartWord);
    ImageBuilder after;
    after.word(1000, kStartWord);

    for (const bool download : {false, true}) {
        SCOPED_TRACE(download ? "download" : "file load");
        Scan scan;
        scan.starts.fill(0x1234);  // whatever an earlier image left
        scan.run(before.image(), kFileScanLastOffset, download);
        ASSERT_EQ(scan.count, 3);
        scan.run(after.image(), kFileScanLastOffset, download);
        ASSERT_EQ(scan.count, 1);
        EXPECT_EQ(scan.starts[0], 1000);
        EXPECT_EQ(scan.starts[1], download ? 0 : 400);
        EXPECT_EQ(scan.starts[2], download ? 0 : 500);
        EXPECT_EQ(scan.starts[kMaxStudies - 1], download ? 0 : 0x1234);
        EXPECT_EQ(scan.starts[kMaxStudies], 0);
    }
}

struct LastOffsetCase {
    std::int32_t reportCount;
    std::uint32_t lastOffset;
};

class DownloadLastOffset : public ::testing::TestWithParam<LastOffsetCase> {};

TEST_P(DownloadLastOffset, IsThirtyTwoBytesPerReportWithinTheMemory) {
    EXPECT_EQ(downloadScanLastOffset(GetParam().reportCount), GetParam().lastOffset);
}

INSTANTIATE_TEST_SUITE_P(Reports, DownloadLastOffset,
                         ::testing::Values(LastOffsetCase{-5, 0}, LastOffsetCase{0, 0},
                                           LastOffsetCase{4, 128}, LastOffsetCase{2047, 65504},
                                           LastOffsetCase{2048, 65535}, LastOffsetCase{2052, 65535},
                                           LastOffsetCase{std::numeric_limits<std::int32_t>::max(),
                                                          65535}));

TEST(StudyScan, DownloadTestsPairsUpToItsLastOffset) {
    ImageBuilder builder;
    builder.word(128, kStartWord).word(200, kStartWord);
    Scan scan;
    scan.run(builder.image(), downloadScanLastOffset(4), true);
    ASSERT_EQ(scan.count, 1);
    EXPECT_EQ(scan.starts[0], 128);
    EXPECT_EQ(word(*scan.work, 206), 0xFFFF);  // the untested study keeps its sample 2

    scan.run(builder.image(), downloadScanLastOffset(-1), true);
    EXPECT_EQ(scan.count, 0);
}

TEST(StudyScan, StopsAtTheTableSizeWhenTheMemoryIsFullOfPairs) {
    ImageBuilder builder;
    builder.fill(kStudyAreaStart, kMemorySize, 0xFE);
    Scan scan;
    scan.starts.fill(0x4321);
    scan.run(builder.image());

    ASSERT_EQ(scan.count, kMaxStudies);
    EXPECT_EQ(scan.starts[kMaxStudies], 0);
    EXPECT_EQ(scan.starts[0], 99);
    EXPECT_TRUE(std::is_sorted(scan.starts.begin(), scan.starts.begin() + kMaxStudies));
    // Pairs past the last recorded one are ignored: none of their sample 2 is cleared.
    const std::size_t last = scan.starts[kMaxStudies - 1];
    EXPECT_TRUE(std::all_of(scan.work->begin() + last + 8, scan.work->begin() + kMemorySize,
                            [](std::uint8_t b) { return b == 0xFE; }));
}

}  // namespace
}  // namespace uroflow

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "files/ExportTable.h"
#include "study/RuntimeError.h"
#include "study/StudyScan.h"
#include "tests/support/ImageBuilder.h"

namespace uroflow {
namespace {

using test::ImageBuilder;

TEST(ExportTable, ValueIsFlowRoundedToHundredthsTiesToEven) {
    struct Case {
        std::uint16_t raw;
        std::int32_t k;
        double expected;
    };
    const Case cases[] = {
        {0, 50000, 0.0},     {1000, 50000, 2.0},
        {1234, 50000, 2.47}, {65535, 50000, 131.07},  // the largest word
        {2, 40000, 0.0},                              // 0.005: a tie, rounds to the even 0.00
        {6, 40000, 0.02},                             // 0.015 -> 0.02
        {10, 40000, 0.02},                            // 0.025 -> 0.02
        {14, 40000, 0.04},                            // 0.035 -> 0.04
        {7, 40000, 0.02},                             // 0.0175 is no tie
        {6, -40000, -0.02},                           // a negative coefficient scales negative
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(exportValue(c.raw, c.k), c.expected) << c.raw << " / " << c.k;
    }
}

TEST(ExportTable, WordsArePairsFromOffset99UpToTheFirstUnwrittenWord) {
    ImageBuilder day;
    day.calibration(50000).words(99, {1000, 0xFEFE, 0x0A1E}).word(105, 0xFFFF).word(107, 500);
    const ExportValues values = buildExportValues(day.image(), 50000);
    ASSERT_EQ(values.size(), 4u);
    EXPECT_EQ(values[0].raw, 1000);
    EXPECT_DOUBLE_EQ(values[0].value, 2.0);
    EXPECT_EQ(values[1].raw, 0xFEFE);
    EXPECT_EQ(values[2].raw, 0x0A1E);
    // The end entry.
    EXPECT_EQ(values[3].raw, 0);
    EXPECT_EQ(values[3].value, 0);

    // Unwritten memory right at the start leaves only the end entry.
    EXPECT_EQ(buildExportValues(ImageBuilder().image(), 50000).size(), 1u);
}

TEST(ExportTable, WithoutUnwrittenWordTheTableReadsIntoTheSpareTail) {
    ImageBuilder day;
    day.fill(kStudyAreaStart, kMemorySize, 0x01);
    auto image = day.build();
    (*image)[kMemorySize + 97] = 0x12;  // byte 65633: high byte of the last word
    const ExportValues values = buildExportValues(*image, 50000);
    ASSERT_EQ(values.size(), kMaxExportEntries);
    EXPECT_EQ(values[32717].raw, 0x0101);  // bytes 65533, 65534
    EXPECT_EQ(values[32718].raw, 0x0100);  // byte 65535 and the first tail byte
    EXPECT_EQ(values[32767].raw, 0x1200);
}

TEST(ExportTable, ZeroCoefficientIsADivisionByZero) {
    ImageBuilder day;
    day.words(99, {1000});
    try {
        buildExportValues(day.image(), 0);
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_STREQ(error.what(), "Floating point division by zero");
    }
}

// Entries whose value is the raw word, so clearing shows in column D.
ExportValues entries(const std::vector<std::uint16_t>& raws) {
    ExportValues values;
    for (const std::uint16_t raw : raws) values.push_back({raw, static_cast<double>(raw)});
    return values;
}

struct Row {
    int a, b;
    double d;
};

TEST(ExportTable, MarkerWalkGivesColumnsAToD) {
    constexpr std::uint16_t S = kStartWord, E = kEndWord;
    struct Case {
        const char* what;
        std::vector<std::uint16_t> raws;
        std::vector<Row> rows;
        int studies;
    };
    const Case cases[] = {
        {"a study between start and end word",
         {5, S, 0x0A1E, 7, 8, E, 9},
         {{0, 0, 5}, {0, 0, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 8}, {1, 1, 0}, {1, 0, 9}},
         1},
        {"a start word in the last entry", {4, S}, {{0, 0, 4}, {0, 0, 0}}, 1},
        {"a start word in the second-to-last entry", {S, 3}, {{0, 0, 0}, {1, 1, 0}}, 1},
        {"the entries a start clears hold no markers any more",
         {S, E, S, 6},
         {{0, 0, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 6}},
         1},
        {"two studies",
         {S, 1, 2, S, 1, 2, 3},
         {{0, 0, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {2, 1, 0}, {2, 1, 0}, {2, 1, 3}},
         2},
        {"an end word outside a study", {E, 2}, {{0, 0, 0}, {0, 0, 2}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ExportSheet sheet = walkExportRows(entries(c.raws));
        ASSERT_EQ(sheet.rows.size(), c.rows.size());
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(sheet.rows[i].studyCount, c.rows[i].a) << "row " << i;
            EXPECT_EQ(sheet.rows[i].studyFlag, c.rows[i].b) << "row " << i;
            EXPECT_EQ(sheet.rows[i].index, i);
            EXPECT_EQ(sheet.rows[i].value, c.rows[i].d) << "row " << i;
        }
        EXPECT_EQ(sheet.studyCount, c.studies);
    }
}

TEST(ExportTable, StartWordAtAnEvenOffsetIsNotCounted) {
    ImageBuilder day;
    day.calibration(50000).addDecodedStudy(100, 10, 30, {100, 200}, 3);
    auto scanned = std::make_unique<Image>();
    StudyStartTable starts{};
    std::uint16_t scanCount = 0;
    scanStudies(day.image(), *scanned, starts, scanCount, kFileScanLastOffset, false);
    EXPECT_EQ(scanCount, 1);
    EXPECT_EQ(walkExportRows(buildExportValues(day.image(), 50000)).studyCount, 0);
}

}  // namespace
}  // namespace uroflow

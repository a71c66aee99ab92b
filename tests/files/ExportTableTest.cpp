#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "files/ExportTable.h"
#include "study/StudyScan.h"
#include "tests/support/ImageBuilder.h"

namespace uroflow {
namespace {

TEST(ExportTable, ValueIsFlowRoundedToHundredthsTiesToEven) {
    const struct {
        std::uint16_t raw;
        std::int32_t k;
        double expected;
    } cases[] = {
        {1234, 50000, 2.47}, {65535, 50000, 131.07}, {7, 40000, 0.02},   // 0.0175: no tie
        {2, 40000, 0.0},     {6, 40000, 0.02},       {10, 40000, 0.02},  // ties 0.005 .015 .025
        {14, 40000, 0.04},   {6, -40000, -0.02},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(exportValue(c.raw, c.k), c.expected) << c.raw << " / " << c.k;
    }
}

// Entries whose value is the raw word, so clearing shows in column D.
ExportValues entries(const std::vector<std::uint16_t>& raws) {
    ExportValues values;
    for (const std::uint16_t raw : raws) values.push_back({raw, static_cast<double>(raw)});
    return values;
}

TEST(ExportTable, MarkerWalkGivesColumnsAToD) {
    constexpr std::uint16_t S = kStartWord, E = kEndWord;
    struct Row {
        int a, b;
        double d;
    };
    const struct {
        const char* what;
        std::vector<std::uint16_t> raws;
        std::vector<Row> rows;
        int studies;
    } cases[] = {
        {"a study between start and end word",
         {5, S, 0x0A1E, 7, 8, E, 9},
         {{0, 0, 5}, {0, 0, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 8}, {1, 1, 0}, {1, 0, 9}},
         1},
        {"a start word in the last entry", {4, S}, {{0, 0, 4}, {0, 0, 0}}, 1},
        {"a start word in the second-to-last entry", {S, 3}, {{0, 0, 0}, {1, 1, 0}}, 1},
        {"entries a start clears are no markers",
         {S, E, S, 6},
         {{0, 0, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 6}},
         1},
        {"an end word outside a study", {E, 2}, {{0, 0, 0}, {0, 0, 2}}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ExportSheet sheet = walkExportRows(entries(c.raws));
        ASSERT_EQ(sheet.rows.size(), c.rows.size());
        for (std::size_t i = 0; i < c.rows.size(); ++i) {
            const ExportRow& row = sheet.rows[i];
            EXPECT_EQ(row.studyCount, c.rows[i].a) << "row " << i;
            EXPECT_EQ(row.studyFlag, c.rows[i].b) << "row " << i;
            EXPECT_EQ(row.index, i);
            EXPECT_EQ(row.value, c.rows[i].d) << "row " << i;
        }
        EXPECT_EQ(sheet.studyCount, c.studies);
    }
}

TEST(ExportTable, StartWordAtAnEvenOffsetIsNotCounted) {
    test::ImageBuilder day;
    day.calibration(50000).addDecodedStudy(100, 10, 30, {100, 200}, 3);
    auto scanned = std::make_unique<Image>();
    StudyStartTable starts{};
    std::uint16_t scanCount = 0;
    scanStudies(day.image(), *scanned, starts, scanCount, kFileScanLastOffset, false);
    EXPECT_EQ(scanCount, 1);
    EXPECT_EQ(walkExportRows(buildExportValues(day.image(), 50000)).studyCount, 0);
}

TEST(ExportTable, TableEndsAtTheFirstUnwrittenWordAndIsSizedToTheWrittenWords) {
    auto image = std::make_unique<Image>();
    image->fill(0xFF);
    const std::vector<std::uint16_t> words = {kStartWord, 0x0A1E, 1000, kEndWord};
    for (std::size_t i = 0; i < words.size(); ++i) {
        (*image)[kStudyAreaStart + 2 * i] = static_cast<std::uint8_t>(words[i] >> 8);
        (*image)[kStudyAreaStart + 2 * i + 1] = static_cast<std::uint8_t>(words[i] & 0xFF);
    }
    const ExportValues values = buildExportValues(*image, 50000);
    ASSERT_EQ(values.size(), words.size() + 1);
    EXPECT_EQ(values[2].raw, 1000);
    EXPECT_EQ(values.back().raw, 0);  // the end entry
    EXPECT_EQ(values.back().value, 0);
    // A short day does not hold the table of a full memory.
    EXPECT_LT(values.capacity(), kMaxExportEntries);

    // Without an unwritten word the table stops after its last entry, without an end entry.
    image->fill(0x01);
    const ExportValues full = buildExportValues(*image, 50000);
    ASSERT_EQ(full.size(), kMaxExportEntries);
    EXPECT_EQ(full.back().raw, 0x0101);
}

}  // namespace
}  // namespace uroflow

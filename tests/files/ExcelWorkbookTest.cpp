#include <gtest/gtest.h>

#include <cerrno>
#include <charconv>
#include <clocale>
#include <filesystem>
#include <sstream>

#include "files/DayReport.h"
#include "files/ExcelExport.h"
#include "files/ExportTarget.h"
#include "files/StudyFile.h"
#include "files/XlsxSpreadsheet.h"
#include "study/RuntimeError.h"
#include "tests/files/TempFolder.h"
#include "tests/support/ImageBuilder.h"
#include "tests/support/WorkbookReader.h"

namespace uroflow {
namespace {

using test::ImageBuilder;
using test::SheetCells;

namespace fs = std::filesystem;

std::size_t entriesIn(const std::string& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), {}));
}

double number(const std::string& text) {
    double value = -1;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

class ExcelWorkbook : public ::testing::Test {
  protected:
    // The export of `image` written to `name` in the folder by the real writer; the sheet
    // read back, or the error text in `error`.
    SheetCells exportTo(const Image& image, const std::string& name) {
        XlsxSpreadsheet writer(scratch.file(""));
        try {
            const auto session = writer.connect();
            if (!session) throw RuntimeError("no session");
            writeExportWorkbook(*session, buildExportValues(image, 50000), folder.file(name));
        } catch (const RuntimeError& e) {
            error = e.what();
        }
        EXPECT_EQ(entriesIn(scratch.file("")), 0u) << "the writer's folder is left behind";
        return test::readSheet1(folder.file(name));
    }

    test::TempFolder folder, scratch;
    std::string error;
};

TEST_F(ExcelWorkbook, StudyAreaStartingUnwrittenGivesHeaderAndOneZeroRow) {
    const SheetCells sheet = exportTo(ImageBuilder().calibration(50000).image(), "empty.xlsx");
    ASSERT_TRUE(sheet.ok) << sheet.error << error;
    EXPECT_EQ(sheet.at("A1")->type, "inlineStr");
    EXPECT_EQ(sheet.text("A1"), kExportTitle);
    EXPECT_EQ(
        sheet.text("A3") + "|" + sheet.text("B3") + "|" + sheet.text("C3") + "|" + sheet.text("D3"),
        "№ изм.|Start изм.|dT|Значение");
    for (const char* ref : {"A4", "B4", "C4", "D4"}) {
        EXPECT_EQ(sheet.at(ref)->type, "") << ref;  // numbers
        EXPECT_EQ(sheet.text(ref), "0") << ref;
    }
    EXPECT_EQ(sheet.cells.size(), 9u);
}

TEST_F(ExcelWorkbook, FullImageGives32768DataRowsEndingInTheSpareTail) {
    ImageBuilder day;
    day.calibration(50000).fill(kStudyAreaStart, kMemorySize, 0x01).addStudy(99, 10, 30, {0});
    day.byte(kMemorySize + 97, 0x12);  // the high byte of the last word, in the tail
    const SheetCells sheet = exportTo(day.image(), "full.xlsx");
    ASSERT_TRUE(sheet.ok) << sheet.error << error;
    EXPECT_EQ(sheet.lastRow, 32771);
    EXPECT_EQ(sheet.cells.size(), 5u + 4u * 32768u);
    EXPECT_EQ(sheet.text("A5") + sheet.text("B5") + sheet.text("D5"), "110");
    EXPECT_EQ(sheet.text("D7"), "0.51");      // 0x0101
    EXPECT_EQ(sheet.text("D32722"), "0.51");  // word 32718: byte 65535 and a zero tail byte
    EXPECT_EQ(sheet.text("D32770"), "0");     // tail words
    EXPECT_EQ(sheet.text("C32771"), "32767");
    // 0x1200 from the tail. The library prints 16 digits ("9.220000000000001"): the same
    // double as 9.22.
    EXPECT_EQ(number(sheet.text("D32771")), 9.22);
}

TEST_F(ExcelWorkbook, NumbersKeepThePointUnderARussianLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "ru_RU.UTF-8"), nullptr) << "ru_RU.UTF-8 is not generated";
    ImageBuilder day;
    day.calibration(50000).words(99, {1234, 65535 - 1});
    const SheetCells sheet = exportTo(day.image(), "ru.xlsx");
    std::setlocale(LC_ALL, before.c_str());
    ASSERT_TRUE(sheet.ok) << sheet.error << error;
    EXPECT_EQ(sheet.text("D4") + " " + sheet.text("D5"), "2.47 131.07");
}

TEST_F(ExcelWorkbook, OnlyACompleteWorkbookReplacesAFile) {
    const auto day = ImageBuilder().calibration(50000).build();
    test::writeBytes(folder.file("day.xlsx"), {'o', 'l', 'd'});
    fs::permissions(folder.file("day.xlsx"), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(exportTo(*day, "day.xlsx").ok) << error;
    EXPECT_EQ(fs::status(folder.file("day.xlsx")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    // A folder that does not exist: the reason in Russian, not the library's guess.
    EXPECT_FALSE(exportTo(*day, "missing/day.xlsx").ok);
    EXPECT_EQ(error, exportSaveErrorText(ENOENT));
    // A folder in the way of the name: the finished workbook does not replace it.
    fs::create_directory(folder.file("taken.xlsx"));
    exportTo(*day, "taken.xlsx");
    EXPECT_EQ(error, exportSaveErrorText(EISDIR));
    EXPECT_TRUE(fs::is_empty(folder.file("taken.xlsx")));
    EXPECT_EQ(entriesIn(folder.file("")), 2u);  // nothing beside day.xlsx and taken.xlsx
}

TEST_F(ExcelWorkbook, ReportToolWritesTheWorkbookOrNothing) {
    const struct {
        std::int32_t k;
        std::string out;
        int code;
        std::string message;
    } cases[] = {
        {50000, "day.xlsx", 0, ""},
        {0, "zero.xlsx", 1, "Floating point division by zero"},
        {50000, "missing/day.xlsx", 1, exportSaveErrorText(ENOENT)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out);
        const std::string file = folder.file("day.txt"), out = folder.file(c.out);
        writeStudyFile(file, ImageBuilder().calibration(c.k).words(99, {600}).image());
        std::ostringstream stdOut, stdErr;
        EXPECT_EQ(runDayReport({"--xlsx", out, file}, stdOut, stdErr), c.code);
        EXPECT_EQ(stdOut.str(), "");
        if (c.code == 0) {
            EXPECT_EQ(test::readSheet1(out).text("D4"), "1.2");
        } else {
            EXPECT_EQ(stdErr.str(), "uroflow-report: " + out + ": " + c.message + "\n");
            EXPECT_FALSE(fs::exists(out));
        }
    }
    EXPECT_EQ(entriesIn(folder.file("")), 2u);  // the study file and one workbook
}

}  // namespace
}  // namespace uroflow

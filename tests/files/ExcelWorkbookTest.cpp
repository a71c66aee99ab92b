#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <clocale>
#include <filesystem>
#include <memory>
#include <sstream>

#include "files/DayReport.h"
#include "files/ExcelExport.h"
#include "files/StudyFile.h"
#include "files/XlsxSpreadsheet.h"
#include "study/RuntimeError.h"
#include "tests/files/TempFolder.h"
#include "tests/files/WorkbookReader.h"
#include "tests/support/ImageBuilder.h"

namespace uroflow {
namespace {

using test::ImageBuilder;
using test::readSheet1;
using test::SheetCells;
using test::TempFolder;

constexpr std::int32_t kK = 50000;

std::string creatingFileError() {
    return lxw_strerror(LXW_ERROR_CREATING_XLSX_FILE);
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

class ExcelWorkbook : public ::testing::Test {
  protected:
    // Writes the export of `image` to `path` with the real writer; "" or the error text.
    std::string exportTo(const Image& image, const std::string& path) {
        XlsxSpreadsheet writer(scratch_.file(""));
        const auto session = writer.connect();
        if (!session) return "no session";
        try {
            writeExportWorkbook(*session, buildExportValues(image, kK), path);
        } catch (const RuntimeError& error) {
            return error.what();
        }
        return "";
    }

    TempFolder folder_;
    TempFolder scratch_;
};

void expectHeader(const SheetCells& sheet) {
    EXPECT_EQ(sheet.at("A1")->type, "inlineStr");
    EXPECT_EQ(sheet.text("A1"), kExportTitle);
    EXPECT_EQ(sheet.text("A3"), "№ изм.");
    EXPECT_EQ(sheet.text("B3"), "Start изм.");
    EXPECT_EQ(sheet.text("C3"), "dT");
    EXPECT_EQ(sheet.text("D3"), "Значение");
    EXPECT_FALSE(sheet.at("A2"));
}

TEST_F(ExcelWorkbook, StudyAreaStartingUnwrittenGivesOneZeroRow) {
    ImageBuilder day;
    day.calibration(kK);
    const std::string path = folder_.file("empty.xlsx");
    ASSERT_EQ(exportTo(day.image(), path), "");

    const SheetCells sheet = readSheet1(path);
    ASSERT_TRUE(sheet.ok) << sheet.error;
    expectHeader(sheet);
    for (const char* ref : {"A4", "B4", "C4", "D4"}) {
        EXPECT_EQ(sheet.at(ref)->type, "") << ref;  // a number
        EXPECT_EQ(sheet.text(ref), "0") << ref;
    }
    EXPECT_EQ(sheet.lastRow, 4);
    EXPECT_EQ(sheet.cells.size(), 9u);
}

TEST_F(ExcelWorkbook, FullImageGives32768DataRowsAndNoEndRow) {
    ImageBuilder day;
    day.calibration(kK).fill(kStudyAreaStart, kMemorySize, 0x01).addStudy(99, 10, 30, {1234});
    const std::string path = folder_.file("full.xlsx");
    ASSERT_EQ(exportTo(day.image(), path), "");

    const SheetCells sheet = readSheet1(path);
    ASSERT_TRUE(sheet.ok) << sheet.error;
    expectHeader(sheet);
    EXPECT_EQ(sheet.lastRow, 32771);
    EXPECT_EQ(sheet.cells.size(), 5u + 4u * 32768u);
    // The start row, its two cleared entries and the walk after them.
    EXPECT_EQ(sheet.text("A4") + sheet.text("B4") + sheet.text("D4"), "000");
    EXPECT_EQ(sheet.text("A5") + sheet.text("B5") + sheet.text("D5"), "110");
    EXPECT_EQ(sheet.text("D6"), "0");     // the first sample
    EXPECT_EQ(sheet.text("D7"), "0.51");  // 0x0101 = 257 raw
    EXPECT_EQ(sheet.text("A32771"), "1");
    EXPECT_EQ(sheet.text("C32771"), "32767");
    EXPECT_EQ(sheet.text("D32771"), "0");  // a tail word
}

TEST_F(ExcelWorkbook, NumbersKeepThePointUnderARussianLocale) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "ru_RU.UTF-8"), nullptr) << "ru_RU.UTF-8 is not generated";
    ImageBuilder day;
    day.calibration(kK).words(99, {1234, 65535 - 1, 1});
    const std::string path = folder_.file("ru.xlsx");
    const std::string error = exportTo(day.image(), path);
    std::setlocale(LC_ALL, before.c_str());
    ASSERT_EQ(error, "");

    const SheetCells sheet = readSheet1(path);
    ASSERT_TRUE(sheet.ok) << sheet.error;
    EXPECT_EQ(sheet.text("D4"), "2.47");
    EXPECT_EQ(sheet.text("D5"), "131.07");
    EXPECT_EQ(sheet.text("D6"), "0");  // 0.002 rounds to 0
    EXPECT_EQ(sheet.text("A1"), kExportTitle);
}

TEST_F(ExcelWorkbook, ExistingFileIsReplacedWithNothingLeftBeside) {
    const std::string path = folder_.file("day.xlsx");
    test::writeBytes(path, {'o', 'l', 'd'});
    std::filesystem::permissions(path, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    ASSERT_EQ(exportTo(ImageBuilder().calibration(kK).image(), path), "");
    EXPECT_TRUE(readSheet1(path).ok);
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
    EXPECT_EQ(namesIn(folder_.file("")), std::vector<std::string>{"day.xlsx"});
    EXPECT_TRUE(namesIn(scratch_.file("")).empty());
}

TEST_F(ExcelWorkbook, FailedSaveLeavesNothingAndReportsTheText) {
    const auto image = ImageBuilder().calibration(kK).build();
    // A folder that does not exist: the library cannot create the file.
    EXPECT_EQ(exportTo(*image, folder_.file("missing/day.xlsx")), creatingFileError());
    // A folder in the way of the name: the finished workbook cannot replace it.
    std::filesystem::create_directory(folder_.file("taken.xlsx"));
    EXPECT_EQ(exportTo(*image, folder_.file("taken.xlsx")), "File access denied");
    EXPECT_TRUE(std::filesystem::is_empty(folder_.file("taken.xlsx")));
    EXPECT_EQ(namesIn(folder_.file("")), std::vector<std::string>{"taken.xlsx"});
    EXPECT_TRUE(namesIn(scratch_.file("")).empty());
}

TEST_F(ExcelWorkbook, WriterThatCannotMakeItsFolderDoesNotConnect) {
    EXPECT_EQ(XlsxSpreadsheet(folder_.file("missing")).connect(), nullptr);
    // A session dropped before saving leaves nothing behind.
    {
        XlsxSpreadsheet writer(scratch_.file(""));
        auto session = writer.connect();
        ASSERT_NE(session, nullptr);
        session->addWorkbook();
        session->selectWorksheet(1);
        session->setDouble(1, 1, 1.5);
    }
    EXPECT_TRUE(namesIn(scratch_.file("")).empty());
}

TEST_F(ExcelWorkbook, ReportToolWritesTheWorkbookOrNothing) {
    struct Case {
        const char* what;
        std::int32_t k;
        std::string out;
        int code;
        std::string message;
    };
    const Case cases[] = {
        {"a day", kK, "day.xlsx", 0, ""},
        {"no coefficient", 0, "zero.xlsx", 1, "Floating point division by zero"},
        {"no folder", kK, "missing/day.xlsx", 1, creatingFileError()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ImageBuilder day;
        day.calibration(c.k).addDecodedStudy(99, 8, 15, {300, 600, 300}, 2);
        const std::string file = folder_.file(std::string(c.what) + ".txt");
        writeStudyFile(file, day.image());
        const std::string out = folder_.file(c.out);
        std::ostringstream stdOut, stdErr;
        EXPECT_EQ(runDayReport({"--xlsx", out, file}, stdOut, stdErr), c.code);
        EXPECT_EQ(stdOut.str(), "");
        if (c.code == 0) {
            const SheetCells sheet = readSheet1(out);
            ASSERT_TRUE(sheet.ok) << sheet.error;
            EXPECT_EQ(sheet.text("A7"), "1");
            EXPECT_EQ(sheet.text("D7"), "1.2");  // 600 raw, the second sample
        } else {
            EXPECT_EQ(stdErr.str(), "uroflow-report: " + out + ": " + c.message + "\n");
            EXPECT_FALSE(std::filesystem::exists(out));
        }
    }
    EXPECT_EQ(namesIn(folder_.file("")).size(), 4u);  // three study files and one workbook
}

}  // namespace
}  // namespace uroflow

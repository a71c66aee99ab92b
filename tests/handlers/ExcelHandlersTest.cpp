// The Excel export from the window: the calls it makes, the windows on every path,
// and a real workbook written under a Russian locale.

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTextEdit>
#include <clocale>
#include <filesystem>
#include <string>

#include "app/WaitExcel.h"
#include "files/ExcelExport.h"
#include "files/XlsxSpreadsheet.h"
#include "tests/handlers/HandlerFixture.h"
#include "tests/support/WorkbookReader.h"

namespace uroflow::test {

namespace {

class ExcelHandlers : public HandlerTest {
  protected:
    void SetUp() override {
        HandlerTest::SetUp();
        waitWindow = std::make_unique<TFormWaitExcel>(form.get());
        form->useWaitWindow(*waitWindow);
        form->show();
    }
    void TearDown() override {
        waitWindow.reset();
        HandlerTest::TearDown();
    }

    // A loaded day, then "В файл" with `name` in the user's folder.
    std::string exportDay(const Image& image, const QString& name) {
        loadDay(image);
        const QString path = QDir(fake.userConfigDir.path()).filePath(name);
        fake.dialogs.saveNames.push_back(path);
        form->guard([this] { form->SaveFileDataClick(); });
        return QFile::encodeName(path).toStdString();
    }

    // One study at 99 with an end word: start, time, three samples, end, unwritten.
    static std::unique_ptr<Image> smallDay(std::int32_t k) {
        ImageBuilder day;
        day.calibration(k).words(99, {kStartWord, 0x0A1E, 1000, 1234, 500, kEndWord});
        return day.build();
    }

    std::unique_ptr<TFormWaitExcel> waitWindow;
};

TEST_F(ExcelHandlers, ExportDrivesTheSpreadsheetCallByCall) {
    const std::string path = exportDay(*smallDay(50000), QStringLiteral("day.xlsx"));

    EXPECT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();
    EXPECT_EQ(fake.dialogs.saveSpecs.size(), 1u);  // asked once for a workbook
    const std::vector<std::string> expected = {
        "connect", "visible 1", "workbook", "sheet 1", std::string("text 1 1 ") + kExportTitle,
        "text 3 1 № изм.", "text 3 2 Start изм.", "text 3 3 dT", "text 3 4 Значение",
        // start word: state before it, value cleared
        "int 4 1 0", "int 4 2 0", "int 4 3 0", "double 4 4 0",
        // start time and first sample cleared
        "int 5 1 1", "int 5 2 1", "int 5 3 1", "double 5 4 0", "int 6 1 1", "int 6 2 1",
        "int 6 3 2", "double 6 4 0", "int 7 1 1", "int 7 2 1", "int 7 3 3", "double 7 4 2.47",
        "int 8 1 1", "int 8 2 1", "int 8 3 4", "double 8 4 1",
        // end word, then the end entry outside the study
        "int 9 1 1", "int 9 2 1", "int 9 3 5", "double 9 4 0", "int 10 1 1", "int 10 2 0",
        "int 10 3 6", "double 10 4 0", "saveAs " + path, "close", "release"};
    EXPECT_EQ(fake.spreadsheet.calls, expected);
    EXPECT_EQ(fake.beeper.beeps, 1);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(waitWindow->isVisible());
}

TEST_F(ExcelHandlers, WaitWindowStandsInForTheMainWindowWhileExporting) {
    bool mainVisible = true, waitVisible = false, animating = false, textFits = false;
    QString text;
    QPoint waitCentre, mainCentre;
    fake.spreadsheet.onConnect = [&] {
        mainVisible = form->isVisible();
        waitVisible = waitWindow->isVisible();
        animating = waitWindow->ActivityIndicatorWait->isAnimating();
        text = waitWindow->LabelCount->text();
        const QLabel* label = waitWindow->LabelCount;
        // Whole on one line, or wrapped with the height its lines take; inside the window.
        const bool whole = label->wordWrap()
                               ? label->height() >= label->heightForWidth(label->width())
                               : label->width() >= label->sizeHint().width();
        textFits = whole && label->geometry().right() < waitWindow->width() &&
                   label->geometry().bottom() < waitWindow->ActivityIndicatorWait->y();
        waitCentre = waitWindow->geometry().center();
        mainCentre = form->geometry().center();
    };
    exportDay(*smallDay(50000), QStringLiteral("day.xlsx"));

    EXPECT_FALSE(mainVisible);
    EXPECT_TRUE(waitVisible);
    EXPECT_TRUE(animating);
    EXPECT_EQ(text, QStringLiteral("Экспорт данных в формат Excel. Подождите, пожалуйста"));
    EXPECT_TRUE(textFits);
    EXPECT_LE((waitCentre - mainCentre).manhattanLength(), 2);
}

TEST_F(ExcelHandlers, EveryWayOutBringsTheMainWindowBack) {
    struct Case {
        const char* what;
        std::int32_t k;
        bool available;
        std::string saveError;
        QString error;         // in the general error box
        bool unavailableBox;   // the box of the program's own
        std::string lastCall;  // "" when the spreadsheet was never reached
    };
    const Case cases[] = {
        {"no spreadsheet application", 50000, false, "", "", true, "connect"},
        {"the save refused", 50000, true, "Disk full", "Disk full", false, "release"},
        {"no calibration coefficient", 0, true, "", "Floating point division by zero", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fake.dialogs.errors.clear();
        fake.dialogs.messages.clear();
        fake.spreadsheet.calls.clear();
        fake.spreadsheet.available = c.available;
        fake.spreadsheet.saveError = c.saveError;
        fake.beeper.beeps = 0;
        // Loading a day without coefficient warns about the calibration first.
        loadDay(*smallDay(c.k));
        fake.dialogs.messages.clear();
        fake.dialogs.errors.clear();

        const std::string path = exportDay(*smallDay(c.k), QStringLiteral("day.xlsx"));
        fake.dialogs.messages.erase(fake.dialogs.messages.begin(),
                                    fake.dialogs.messages.end() - (c.unavailableBox ? 1 : 0));

        EXPECT_EQ(fake.dialogs.errors, c.error.isEmpty() ? QStringList() : QStringList{c.error});
        ASSERT_EQ(fake.dialogs.messages.size(), c.unavailableBox ? 1u : 0u);
        if (c.unavailableBox) {
            EXPECT_EQ(fake.dialogs.messages[0].text,
                      QStringLiteral("Не удалось подключиться к Excel. Действие отменено."));
            EXPECT_EQ(fake.dialogs.messages[0].icon, MsgIcon::Error);
            EXPECT_EQ(fake.dialogs.messages[0].buttons, MbOk);
        }
        EXPECT_EQ(fake.spreadsheet.calls.empty() ? "" : fake.spreadsheet.calls.back(), c.lastCall);
        EXPECT_EQ(fake.beeper.beeps, 0);
        EXPECT_TRUE(form->isVisible());
        EXPECT_FALSE(waitWindow->isVisible());
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST_F(ExcelHandlers, RealWorkbookUnderARussianLocaleKeepsTheDayOnScreen) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "ru_RU.UTF-8"), nullptr) << "ru_RU.UTF-8 is not generated";
    XlsxSpreadsheet writer;
    fake.spreadsheet.writer = &writer;
    // A second study at an even offset beyond unwritten memory: the walk never meets it.
    ImageBuilder day;
    day.calibration(50000).words(99, {kStartWord, 0x0A1E, 1000, 1234, 500, kEndWord, 7});
    day.addDecodedStudy(200, 11, 0, {300, 600}, 2);
    const std::string path = exportDay(day.image(), QStringLiteral("День.xlsx"));
    std::setlocale(LC_ALL, before.c_str());

    EXPECT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();
    const SheetCells sheet = readSheet1(path);
    ASSERT_TRUE(sheet.ok) << sheet.error;
    EXPECT_EQ(sheet.text("A1"), kExportTitle);
    EXPECT_EQ(sheet.text("D7"), "2.47");
    EXPECT_EQ(sheet.text("D10"), "0.01");  // 7 raw
    // The count the walk made stays in the workbook; the window keeps its two studies.
    EXPECT_EQ(form->StudyCount, 2);
    EXPECT_EQ(form->Mnt->toPlainText(), "2");
}

}  // namespace
}  // namespace uroflow::test

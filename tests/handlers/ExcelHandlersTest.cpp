// The Excel export from the window: the calls it makes and the windows on every path.

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTextEdit>
#include <QWindow>
#include <string>

#include "app/WaitExcel.h"
#include "files/ExcelExport.h"
#include "tests/handlers/HandlerFixture.h"

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

    // A day loaded, then "В файл" with a workbook name; returns the native path.
    std::string exportDay(std::int32_t k) {
        // A study at 99 with three samples and an end word; a second one beyond the
        // unwritten memory, which the export's walk never meets.
        ImageBuilder day;
        day.calibration(k).words(99, {kStartWord, 0x0A1E, 1000, 1234, 500, kEndWord});
        day.addDecodedStudy(200, 11, 0, {300, 600}, 2);
        loadDay(day.image());
        fake.dialogs.messages.clear();  // a coefficient of 0 warns at the drawing
        const QString path = QDir(fake.userConfigDir.path()).filePath(QStringLiteral("День.xlsx"));
        fake.dialogs.saveNames.push_back(path);
        form->guard([this] { form->SaveFileDataClick(); });
        return QFile::encodeName(path).toStdString();
    }

    std::unique_ptr<TFormWaitExcel> waitWindow;
};

TEST_F(ExcelHandlers, ExportDrivesTheSpreadsheetCallByCall) {
    const std::string path = exportDay(50000);

    EXPECT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();
    const std::vector<std::string> expected = {"connect",
                                               "visible 1",
                                               "workbook",
                                               "sheet 1",
                                               std::string("text 1 1 ") + kExportTitle,
                                               "text 3 1 № изм.",
                                               "text 3 2 Start изм.",
                                               "text 3 3 dT",
                                               "text 3 4 Значение",
                                               "int 4 1 0",
                                               "int 4 2 0",
                                               "int 4 3 0",
                                               "double 4 4 0",  // start word
                                               "int 5 1 1",
                                               "int 5 2 1",
                                               "int 5 3 1",
                                               "double 5 4 0",  // start time, cleared
                                               "int 6 1 1",
                                               "int 6 2 1",
                                               "int 6 3 2",
                                               "double 6 4 0",  // first sample, cleared
                                               "int 7 1 1",
                                               "int 7 2 1",
                                               "int 7 3 3",
                                               "double 7 4 2.47",
                                               "int 8 1 1",
                                               "int 8 2 1",
                                               "int 8 3 4",
                                               "double 8 4 1",
                                               "int 9 1 1",
                                               "int 9 2 1",
                                               "int 9 3 5",
                                               "double 9 4 0",  // end word
                                               "int 10 1 1",
                                               "int 10 2 0",
                                               "int 10 3 6",
                                               "double 10 4 0",  // end entry
                                               "saveAs " + path,
                                               "close",
                                               "release"};
    EXPECT_EQ(fake.spreadsheet.calls, expected);
    EXPECT_EQ(fake.beeper.beeps, 1);
    // The walk's count stays in the workbook; the window keeps the studies of its scan.
    EXPECT_EQ(form->day().studyCount(), 2);
    EXPECT_EQ(form->Mnt->toPlainText(), "2");
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

TEST_F(ExcelHandlers, WaitWindowStandsInForTheMainWindowWhileExporting) {
    bool mainVisible = true, waitVisible = false, animating = false, textFits = false;
    bool exposed = false;
    int paintsBeforeWork = 0;
    PaintCounter counter(waitWindow.get());
    QString text;
    QPoint offCentre;
    fake.spreadsheet.onConnect = [&] {
        mainVisible = form->isVisible();
        waitVisible = waitWindow->isVisible();
        animating = waitWindow->ActivityIndicatorWait->isAnimating();
        const QLabel* label = waitWindow->LabelCount;
        text = label->text();
        // Whole on one line, or wrapped with the height its lines take; inside the window.
        const bool whole = label->wordWrap()
                               ? label->height() >= label->heightForWidth(label->width())
                               : label->width() >= label->sizeHint().width();
        textFits = whole && label->geometry().right() < waitWindow->width() &&
                   label->geometry().bottom() < waitWindow->ActivityIndicatorWait->y();
        offCentre = waitWindow->geometry().center() - form->geometry().center();
        exposed = waitWindow->windowHandle() && waitWindow->windowHandle()->isExposed();
        paintsBeforeWork = counter.paints;
    };
    exportDay(50000);

    // On the screen and drawn before the export holds the event loop.
    EXPECT_TRUE(exposed);
    EXPECT_GT(paintsBeforeWork, 0);
    EXPECT_FALSE(mainVisible);
    EXPECT_TRUE(waitVisible);
    EXPECT_TRUE(animating);
    EXPECT_EQ(text, QStringLiteral("Экспорт данных в формат Excel. Подождите, пожалуйста"));
    EXPECT_TRUE(textFits);
    EXPECT_LE(offCentre.manhattanLength(), 2);
}

TEST_F(ExcelHandlers, EveryWayOutBringsTheMainWindowBack) {
    const struct {
        const char* what;
        std::int32_t k;
        bool available;
        std::string saveError;
        QStringList errors;    // in the general error box
        bool unavailableBox;   // the box of the program's own
        std::string lastCall;  // "" when the spreadsheet was never reached
    } cases[] = {
        {"no spreadsheet application", 50000, false, "", {}, true, "connect"},
        {"the save refused", 50000, true, "Disk full", {"Disk full"}, false, "release"},
        {"no calibration coefficient", 0, true, "", {"Floating point division by zero"}, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake.spreadsheet.calls.clear();
        fake.spreadsheet.available = c.available;
        fake.spreadsheet.saveError = c.saveError;
        fake.dialogs.errors.clear();
        exportDay(c.k);

        EXPECT_EQ(fake.dialogs.errors, c.errors);
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
    }
}

}  // namespace
}  // namespace uroflow::test

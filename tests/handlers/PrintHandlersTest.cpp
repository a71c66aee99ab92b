// Printing the window: its print appearance, the printer set-up, the page.

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>

#include "app/QtPrinter.h"
#include "tests/handlers/HandlerFixture.h"

namespace uroflow::test {

namespace {

// The visibility flags of the print-hidden controls, as set (whether shown or not).
std::vector<bool> shownFlags(const TTMForm& form) {
    std::vector<bool> flags;
    for (QWidget* control : form.printHiddenControls()) flags.push_back(!control->isHidden());
    return flags;
}

// A command-line tool's standard output; fails the test when it cannot run.
QString run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) {
        ADD_FAILURE() << program.toStdString()
                      << " failed: " << process.readAllStandardError().toStdString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class Printing : public HandlerTest {
  protected:
    void print() {
        form->guard([&] { form->PrintNomogramClick(); });
    }
};

TEST_F(Printing, ThePageShowsTheDeviceNameAndNoCommandsThenAllComeBack) {
    loadDay(*threeStudyDay());
    form->show();
    QApplication::setActiveWindow(form.get());
    // Without a reader the reader commands are hidden; after a print they are shown.
    form->ReadData->hide();
    form->WriteData->hide();
    std::vector<bool> duringPrint;
    bool labelDuringPrint = false;
    bool focusOnSink = false;
    fake.printer.whilePrinting = [&] {
        duringPrint = shownFlags(*form);
        labelDuringPrint = !form->LabelUro->isHidden();
        focusOnSink = form->Fokys->hasFocus();
    };
    fake.dialogs.printerSetupConfirmed = false;  // cancelled: printed all the same
    print();

    EXPECT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();
    EXPECT_EQ(fake.dialogs.printerSetups, 1);
    EXPECT_EQ(fake.printer.pages, 1);
    EXPECT_EQ(fake.printer.lastSize, QSize(966, 599));
    EXPECT_EQ(duringPrint, std::vector<bool>(21, false));
    EXPECT_TRUE(labelDuringPrint);
    EXPECT_TRUE(focusOnSink);
    EXPECT_EQ(shownFlags(*form), std::vector<bool>(21, true));
    EXPECT_TRUE(form->LabelUro->isHidden());
}

TEST_F(Printing, APrinterFailureIsReportedAndTheWindowRestored) {
    loadDay(*threeStudyDay());
    fake.printer.failure = QStringLiteral("There is no default printer currently selected");
    form->Fokys->hide();  // nowhere to park the focus: the window takes it
    print();
    EXPECT_EQ(fake.dialogs.errors,
              QStringList{QStringLiteral("There is no default printer currently selected")});
    EXPECT_EQ(shownFlags(*form), std::vector<bool>(21, true));
    EXPECT_TRUE(form->LabelUro->isHidden());
}

// The real printer, printing to a PDF file as the print dialog offers it: one page of
// vector text, so the window's captions can be read back from the file.
TEST_F(Printing, TheRealPrinterWritesOnePageWithTheWindowsTexts) {
    QtPrinter printer;
    const QString pdf = QDir(fake.userConfigDir.path()).filePath(QStringLiteral("page.pdf"));
    printer.device().setOutputFormat(QPrinter::PdfFormat);
    printer.device().setOutputFileName(pdf);
    form = std::make_unique<TTMForm>(fake.platform(printer));
    loadDay(*threeStudyDay());
    form->Old->setText(QStringLiteral("64"));
    form->sexM->setChecked(true);
    form->guard([&] { form->NomogramClick(); });
    form->show();
    print();
    ASSERT_TRUE(fake.dialogs.errors.isEmpty()) << fake.dialogs.errors.join('\n').toStdString();

    EXPECT_TRUE(run(QStringLiteral("pdfinfo"), {pdf}).contains(QRegularExpression("Pages: +1\n")));
    const QString text = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    for (const QString& expected :
         {QStringLiteral("Урофлоуметр"), QStringLiteral("Иванов"),
          QStringLiteral("мужчин сташе 50 лет"), QStringLiteral("Вишневскому")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
    // The hidden commands are not on the page.
    EXPECT_FALSE(text.contains(QStringLiteral("Загрузка")));

    // No file name: nothing to print to.
    printer.device().setOutputFileName(QString());
    print();
    EXPECT_EQ(fake.dialogs.errors,
              QStringList{QStringLiteral("There is no default printer currently selected")});
    form.reset();  // before the printer it was given
}

}  // namespace uroflow::test

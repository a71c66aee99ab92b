// Timing of printing the window, with the demo day's nomogram on it, to a PDF file:
// the print handler from hiding the commands to the page written.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <memory>

#include "app/Platform.h"
#include "app/QtPlatform.h"
#include "app/QtPrinter.h"
#include "app/Unit1.h"
#include "files/StudyFile.h"
#include "files/XlsxSpreadsheet.h"
#include "reader/SimulatedUroflowmeter.h"
#include "tools/demo/DemoDay.h"

namespace uroflow {
namespace {

// The real dialogs, except that the printer set-up is cancelled at once (the page is
// printed all the same), so no modal dialog waits for a user.
class CancelledSetupDialogs : public QtDialogs {
  public:
    bool printerSetup() override { return false; }
};

void BM_PrintWindowToPdf(benchmark::State& state) {
    QTemporaryDir folder;
    const QString day = QDir(folder.path()).filePath(QStringLiteral("demo-day.txt"));
    const QString pdf = QDir(folder.path()).filePath(QStringLiteral("page.pdf"));
    writeStudyFile(QFile::encodeName(day).toStdString(), buildDemoDay());

    CancelledSetupDialogs dialogs;
    SystemClock clock;
    QtBeeper beeper;
    SimulatedUroflowmeter reader;
    QtPrinter printer;
    printer.device().setOutputFormat(QPrinter::PdfFormat);
    printer.device().setOutputFileName(pdf);
    XlsxSpreadsheet spreadsheet;  // never used: nothing is exported
    const Platform platform{dialogs,       clock,  beeper,  folder.path(),
                            folder.path(), reader, printer, spreadsheet, folder.path()};
    auto form = std::make_unique<TTMForm>(platform);
    form->show();
    form->LoadFileNamed(day);
    form->NomogramClick();  // the demo passport: a man of 64
    QApplication::processEvents();

    for (auto _ : state) {
        form->PrintNomogramClick();
    }
    state.counters["bytes"] = static_cast<double>(QFileInfo(pdf).size());
    if (QFileInfo(pdf).size() == 0) state.SkipWithError("no page was written");
    form.reset();
}
BENCHMARK(BM_PrintWindowToPdf)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace uroflow

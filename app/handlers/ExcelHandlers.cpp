// The Excel export: the samples of the image written to a workbook while the wait
// window stands in for the main window.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QWindow>
#include <memory>

#include "app/Beeper.h"
#include "app/Dialogs.h"
#include "app/Unit1.h"
#include "app/WaitExcel.h"
#include "files/ExcelExport.h"
#include "files/ExportTable.h"
#include "files/Spreadsheet.h"

namespace uroflow {

namespace {

const char kWaitText[] = "Экспорт данных в формат Excel. Подождите, пожалуйста";
const char kUnavailableCaption[] = "Ошибка";
// How long the window system may take to put the wait window on the screen.
constexpr int kExposeWaitMs = 1000;

// The export holds the event loop until it is done, so the wait window must be on the
// screen and drawn before it starts; a window just shown is drawn only once the window
// system has mapped it, and until then the closed dialog's leftovers stay in its place.
void paintBeforeWork(QWidget& window) {
    QElapsedTimer waited;
    waited.start();
    const auto exposed = [&window] {
        return window.windowHandle() && window.windowHandle()->isExposed();
    };
    while (!exposed() && waited.elapsed() < kExposeWaitMs)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // The paint the exposure asked for, and whatever the hidden main window uncovered.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    window.repaint();
}

// The wait window replaces the main window for as long as this lives, so every way
// out of the export, an error included, brings the main window back.
class WaitWindowInPlace {
  public:
    WaitWindowInPlace(QWidget& mainWindow, TFormWaitExcel* waitWindow)
        : mainWindow_(mainWindow), waitWindow_(waitWindow) {
        if (waitWindow_) {
            waitWindow_->show();
            waitWindow_->setCountText(QString::fromUtf8(kWaitText));
        }
        mainWindow_.hide();
        if (waitWindow_) paintBeforeWork(*waitWindow_);
    }
    ~WaitWindowInPlace() {
        if (waitWindow_) waitWindow_->close();
        mainWindow_.show();
    }
    WaitWindowInPlace(const WaitWindowInPlace&) = delete;
    WaitWindowInPlace& operator=(const WaitWindowInPlace&) = delete;

  private:
    QWidget& mainWindow_;
    TFormWaitExcel* waitWindow_;
};

}  // namespace

void TTMForm::useWaitWindow(TFormWaitExcel& waitWindow) {
    waitWindow_ = &waitWindow;
}

void TTMForm::ExportExcel(const QString& path) {
    // Built before anything is shown: a coefficient of 0 ends the export here.
    const ExportValues values = buildExportValues(day_->deviceImage(), day_->calibrCoef());

    const WaitWindowInPlace waiting(*this, waitWindow_);
    // Released before the windows are restored.
    const std::unique_ptr<SpreadsheetSession> session = platform_.spreadsheet.connect();
    if (!session) {
        platform_.dialogs.message(QString::fromUtf8(kUnavailableCaption),
                                  QString::fromUtf8(kSpreadsheetUnavailableText), MsgIcon::Error,
                                  MbOk);
        return;
    }
    // The walk's own study count stays in the workbook: the day on screen keeps the
    // studies its scan found.
    writeExportWorkbook(*session, values, QFile::encodeName(path).toStdString());
    platform_.beeper.beep();
}

}  // namespace uroflow

// The Excel export: the samples of the image written to a workbook while the wait
// window stands in for the main window.

#include <QFile>
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

// The wait window replaces the main window for as long as this lives, so every way
// out of the export, an error included, brings the main window back.
class WaitWindowInPlace {
  public:
    WaitWindowInPlace(QWidget& mainWindow, TFormWaitExcel* waitWindow)
        : mainWindow_(mainWindow), waitWindow_(waitWindow) {
        if (waitWindow_) {
            waitWindow_->show();
            waitWindow_->setCountText(QString::fromUtf8(kWaitText));
            // Drawn now: the export does not return to the event loop until it is done.
            waitWindow_->repaint();
        }
        mainWindow_.hide();
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

#include "app/QtPrinter.h"

#include <QPainter>
#include <QPicture>
#include <QRect>

#include "nomogram/PageFit.h"
#include "study/RuntimeError.h"

namespace uroflow {

namespace {

constexpr char kNoPrinterText[] = "There is no default printer currently selected";
constexpr char kPrinterInvalidText[] = "Printer selected is not valid";

}  // namespace

QtPrinter::QtPrinter() = default;

void QtPrinter::printFitted(const QPicture& picture, const QSize& size) {
    // Without a printer Qt falls back to a PDF file, which needs a name.
    const bool toFile = printer_.outputFormat() == QPrinter::PdfFormat;
    if (toFile ? printer_.outputFileName().isEmpty() : printer_.printerName().isEmpty())
        throw RuntimeError(kNoPrinterText);

    printer_.setFullPage(false);
    // A picture replays its text and lines at the resolution it was recorded in, so
    // the page is laid out in that resolution; the output stays vector all the same.
    printer_.setResolution(picture.logicalDpiX());
    QPainter painter;
    if (!painter.begin(&printer_)) throw RuntimeError(kPrinterInvalidText);
    // Painter coordinates start at the top-left corner of the printable area.
    const QRect page = printer_.pageLayout().paintRectPixels(printer_.resolution());
    const PrintRect fitted = fitToPage(size.width(), size.height(), page.width(), page.height());
    if (fitted.width > 0 && fitted.height > 0) {
        painter.scale(static_cast<double>(fitted.width) / size.width(),
                      static_cast<double>(fitted.height) / size.height());
        painter.drawPicture(0, 0, picture);
    }
    if (!painter.end()) throw RuntimeError(kPrinterInvalidText);
}

}  // namespace uroflow

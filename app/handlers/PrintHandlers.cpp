// Printing the window as it looks, on one page, with the device's name on it.

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPicture>

#include "app/Dialogs.h"
#include "app/Printer.h"
#include "app/Unit1.h"

namespace uroflow {

namespace {

// The print appearance: most commands and the coloured panels hidden, the device's
// name shown. Undone however the print ends, a printer error included, so the
// window never stays without its buttons.
class PrintAppearance {
  public:
    explicit PrintAppearance(TTMForm& form) : form_(form) {
        for (QWidget* control : form_.printHiddenControls()) control->setVisible(false);
        form_.LabelUro->setVisible(true);
    }
    ~PrintAppearance() {
        for (QWidget* control : form_.printHiddenControls()) control->setVisible(true);
        form_.LabelUro->setVisible(false);
    }
    PrintAppearance(const PrintAppearance&) = delete;
    PrintAppearance& operator=(const PrintAppearance&) = delete;

  private:
    TTMForm& form_;
};

}  // namespace

void TTMForm::PrintNomogramClick() {
    const PrintAppearance appearance(*this);
    // No visible edit may show a caret on the page. A hidden focus sink cannot take
    // the focus; the window itself takes it then.
    if (Fokys->isHidden()) {
        setFocus();
    } else {
        Fokys->setFocus();
    }
    // Cancelling only keeps the printer settings as they were; the page is printed.
    platform_.dialogs.printerSetup();
    platform_.printer.printFitted(windowPicture(), size());
}

QPicture TTMForm::windowPicture() {
    QPicture picture;
    QPainter painter(&picture);
    render(&painter);
    painter.end();
    return picture;
}

}  // namespace uroflow

#pragma once
// The real printer: Qt Print Support. The window's picture is replayed as vector
// drawing, so the page carries real text and sharp curves at any resolution.

#include <QPrinter>

#include "app/Printer.h"

namespace uroflow {

class QtPrinter : public Printer {
  public:
    QtPrinter();
    void printFitted(const QPicture& picture, const QSize& size) override;

    // The current printer and its settings, which the printer set-up dialog changes;
    // they stay in force for later prints while the program runs.
    QPrinter& device() { return printer_; }

  private:
    QPrinter printer_;
};

}  // namespace uroflow

#pragma once
// Seam for the printer: one page with a picture of the window on it.

#include <QSize>

class QPicture;

namespace uroflow {

class Printer {
  public:
    virtual ~Printer() = default;
    // Prints `picture`, recorded at `size` (pixels), on one page of the current
    // printer, fitted to the printable area from its top-left corner. A printer that
    // cannot print throws RuntimeError with the printing error text.
    virtual void printFitted(const QPicture& picture, const QSize& size) = 0;
};

}  // namespace uroflow

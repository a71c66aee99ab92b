#pragma once
// The day report as a PDF document: A4 portrait, vector text and curves.

#include <QByteArray>
#include <QString>
#include <string>

#include "files/DaySheet.h"

namespace uroflow {

// The document's bytes. Up to ten voidings a page; each further page repeats the
// header and carries the next voidings' rows and curves.
QByteArray dayReportPdf(const DaySheet& sheet);

// Writes the document to `path` (the name's bytes), replacing a file there only by a
// complete one. Throws RuntimeError with the file layer's text when it cannot be written.
void writeDayReportPdf(const DaySheet& sheet, const std::string& path);

}  // namespace uroflow

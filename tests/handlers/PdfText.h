#pragma once
// A written PDF read back with poppler's tools, as a reader of the page sees it.

#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

namespace uroflow::test {

// Output of one of poppler's tools; fails the test when it cannot run.
QString poppler(const QString& tool, const QStringList& args);

// The text of one page (1-based), in reading order.
QString pdfText(const QString& path, int page);
int pdfPages(const QString& path);
// Pictures in the document (vector output has none).
int pdfPictures(const QString& path);

// One word of a page and the box it is drawn in, points from the page's top left.
struct PdfWord {
    QString text;
    QRectF box;
};
std::vector<PdfWord> pdfWords(const QString& path, int page);

}  // namespace uroflow::test

// A written PDF read back with poppler's tools.

#include "tests/handlers/PdfText.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace uroflow::test {

QString poppler(const QString& tool, const QStringList& args) {
    const QString program = QStandardPaths::findExecutable(tool);
    EXPECT_FALSE(program.isEmpty()) << tool.toStdString() << " is missing (poppler-utils)";
    QProcess process;
    process.start(program, args);
    EXPECT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString pdfText(const QString& path, int page) {
    const QString number = QString::number(page);
    return poppler(QStringLiteral("pdftotext"), {QStringLiteral("-f"), number, QStringLiteral("-l"),
                                                 number, path, QStringLiteral("-")});
}

int pdfPages(const QString& path) {
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                   QRegularExpression::MultilineOption);
    return pages.match(poppler(QStringLiteral("pdfinfo"), {path})).captured(1).toInt();
}

int pdfPictures(const QString& path) {
    // The listing has two header lines.
    return static_cast<int>(poppler(QStringLiteral("pdfimages"), {QStringLiteral("-list"), path})
                                .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                .size() -
                            2);
}

std::vector<PdfWord> pdfWords(const QString& path, int page) {
    const QString number = QString::number(page);
    // <word xMin="56.7" yMin="28.3" xMax="80.1" yMax="36.2">text</word>
    const QString html = poppler(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-bbox"), QStringLiteral("-f"), number,
                                  QStringLiteral("-l"), number, path, QStringLiteral("-")});
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<PdfWord> words;
    for (const QRegularExpressionMatch& m : word.globalMatch(html)) {
        const double x1 = m.captured(1).toDouble();
        const double y1 = m.captured(2).toDouble();
        QString text = m.captured(5);
        text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
            .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
            .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
            .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
        words.push_back(
            {text, QRectF(x1, y1, m.captured(3).toDouble() - x1, m.captured(4).toDouble() - y1)});
    }
    return words;
}

}  // namespace uroflow::test

#include "tools/archive/ExportName.h"

namespace uroflow {

namespace {

// A slash would make a folder, a leading dot a hidden file, control characters trouble in
// every shell.
QString fileNamePart(const QString& text) {
    QString part = text.simplified();
    for (QChar& c : part) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') ||
            c.category() == QChar::Other_Control) {
            c = QLatin1Char('_');
        }
    }
    if (part.startsWith(QLatin1Char('.'))) part[0] = QLatin1Char('_');
    return part;
}

}  // namespace

QString exportFileName(const KeptDay& day, const QSet<QString>& taken) {
    QString base = fileNamePart(day.name);
    if (base.isEmpty()) base = QStringLiteral("без имени");
    const QString date = fileNamePart(day.date);
    if (!date.isEmpty()) base += QLatin1Char(' ') + date;
    const QString plain = base + QStringLiteral(".txt");
    if (!taken.contains(plain)) return plain;
    return base + QStringLiteral(" (%1).txt").arg(day.id);
}

}  // namespace uroflow

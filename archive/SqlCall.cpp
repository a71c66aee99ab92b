#include "archive/SqlCall.h"

#include <QSqlError>

#include "archive/ArchiveError.h"

namespace uroflow {

QString archiveFailureText(const QString& driverText) {
    return QStringLiteral("Ошибка архива пациентов: %1").arg(driverText.simplified());
}

void runSql(QSqlQuery& query, const QString& sql, const QVariantList& values) {
    const bool ok = values.isEmpty() ? query.exec(sql) : [&] {
        if (!query.prepare(sql)) return false;
        for (const QVariant& value : values) query.addBindValue(value);
        return query.exec();
    }();
    if (!ok) throw ArchiveError(archiveFailureText(query.lastError().text()).toStdString());
}

}  // namespace uroflow

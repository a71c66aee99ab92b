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

namespace uroflow {

WriteTransaction::WriteTransaction(QSqlDatabase& db, bool server, Lock lock) : db_(db) {
    QSqlQuery query(db_);
    runSql(query, server ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"));
    active_ = true;
    // Any fixed number: every program changing the schema takes the same lock; rows need
    // none, the unique key orders two writers of the same day.
    if (server && lock == Lock::Schema) {
        runSql(query, QStringLiteral("SELECT pg_advisory_xact_lock(17017)"));
    }
}

WriteTransaction::~WriteTransaction() {
    if (active_) QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
}

void WriteTransaction::commit() {
    QSqlQuery query(db_);
    runSql(query, QStringLiteral("COMMIT"));
    active_ = false;
}

}  // namespace uroflow

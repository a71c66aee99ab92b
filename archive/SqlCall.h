#pragma once
// Running a statement and turning the driver's failure into an ArchiveError.

#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace uroflow {

// Prepares `sql`, binds `values` in order and runs it; throws ArchiveError with the
// driver's text on failure.
void runSql(QSqlQuery& query, const QString& sql, const QVariantList& values = {});

// The user's text for a failed statement.
QString archiveFailureText(const QString& driverText);

}  // namespace uroflow

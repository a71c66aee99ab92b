#pragma once
// The archive's tables and the migrations that bring any earlier archive up to date.

#include <QSqlDatabase>
#include <QString>

namespace uroflow {

// Column types that differ between SQLite and PostgreSQL.
struct SqlDialect {
    QString idColumn;  // an automatic 64-bit key
    QString blobType;
    bool server = false;
};
SqlDialect sqliteDialect();
SqlDialect postgresDialect();

// The version this program writes; version 1 is the first archive ever made.
inline constexpr int kSchemaVersion = 2;

// The version an archive holds: 0 for an empty database. Throws ArchiveError.
int schemaVersion(QSqlDatabase& db);

// Creates or upgrades the tables inside one exclusive transaction, so two programs
// opening a new archive at once create it once. An archive of a newer version is refused
// (ArchiveError) and left untouched.
void migrateSchema(QSqlDatabase& db, const SqlDialect& dialect);

// Applies only the migrations up to `version`: tests build an archive as an earlier
// program left it.
void migrateSchemaTo(QSqlDatabase& db, const SqlDialect& dialect, int version);

// Case-folded name for the search "any part, any case": SQL's LOWER() knows ASCII only.
QString nameKey(const QString& name);

}  // namespace uroflow

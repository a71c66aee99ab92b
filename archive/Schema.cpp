#include "archive/Schema.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <vector>

#include "archive/ArchiveError.h"
#include "archive/SqlCall.h"

namespace uroflow {

namespace {

using Migration = std::function<void(QSqlDatabase&, const SqlDialect&)>;

// Version 1: the version table, the days with what is known of them, each kept once by its
// SHA-256, and their bytes in a table of their own, so listing and searching never read
// through 64 KiB rows.
void createDays(QSqlDatabase& db, const SqlDialect& dialect) {
    QSqlQuery query(db);
    runSql(query, QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"));
    runSql(query, QStringLiteral("INSERT INTO schema_version (version) VALUES (0)"));
    runSql(query, QStringLiteral("CREATE TABLE days ("
                                 " id %1,"
                                 " sha256 TEXT NOT NULL UNIQUE,"
                                 " sex TEXT NOT NULL,"
                                 " name TEXT NOT NULL,"
                                 " age TEXT NOT NULL,"
                                 " date TEXT NOT NULL,"
                                 " calibr_coef INTEGER NOT NULL,"
                                 " studies INTEGER NOT NULL,"
                                 " first_start TEXT,"
                                 " last_start TEXT,"
                                 " kept_at TEXT NOT NULL,"
                                 " source TEXT NOT NULL"
                                 "  CHECK (source IN ('download', 'file', 'import')),"
                                 " file_name TEXT NOT NULL,"
                                 " doctor TEXT NOT NULL)")
                      .arg(dialect.idColumn));
    runSql(query, QStringLiteral("CREATE TABLE day_images ("
                                 " day_id BIGINT PRIMARY KEY REFERENCES days (id),"
                                 " image %1 NOT NULL)")
                      .arg(dialect.blobType));
}

// Version 2: a case-folded copy of the name, so the search finds "петров" in "ПЕТРОВ".
void addNameKey(QSqlDatabase& db, const SqlDialect&) {
    QSqlQuery query(db);
    runSql(query, QStringLiteral("ALTER TABLE days ADD COLUMN name_key TEXT NOT NULL DEFAULT ''"));
    runSql(query, QStringLiteral("SELECT id, name FROM days"));
    std::vector<std::pair<qint64, QString>> rows;
    while (query.next()) rows.emplace_back(query.value(0).toLongLong(), query.value(1).toString());
    QSqlQuery update(db);
    for (const auto& [id, name] : rows) {
        runSql(update, QStringLiteral("UPDATE days SET name_key = ? WHERE id = ?"),
               {nameKey(name), id});
    }
    runSql(query, QStringLiteral("CREATE INDEX days_name_key ON days (name_key)"));
}

// Index i brings version i to i + 1.
const std::vector<Migration>& migrations() {
    static const std::vector<Migration> steps{createDays, addNameKey};
    return steps;
}

[[noreturn]] void refuseNewer(int found) {
    throw ArchiveError(
        QStringLiteral("Архив создан более новой версией программы (версия схемы %1, эта "
                       "программа знает версии до %2). Архив не изменен.")
            .arg(found)
            .arg(kSchemaVersion)
            .toStdString());
}

void migrate(QSqlDatabase& db, const SqlDialect& dialect, int target) {
    const int found = schemaVersion(db);
    if (found > kSchemaVersion) refuseNewer(found);
    if (found >= target) return;
    WriteTransaction transaction(db, dialect.server);
    // Another program may have migrated while this one waited for the lock.
    const int current = schemaVersion(db);
    if (current > kSchemaVersion) refuseNewer(current);
    QSqlQuery query(db);
    for (int version = current; version < target; ++version) {
        migrations()[static_cast<std::size_t>(version)](db, dialect);
        runSql(query, QStringLiteral("UPDATE schema_version SET version = ?"), {version + 1});
    }
    transaction.commit();
}

}  // namespace

SqlDialect sqliteDialect() {
    return {QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT"), QStringLiteral("BLOB"), false};
}

SqlDialect postgresDialect() {
    return {QStringLiteral("BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY"),
            QStringLiteral("BYTEA"), true};
}

int schemaVersion(QSqlDatabase& db) {
    QSqlQuery query(db);
    // The catalogue is asked by a query of the same connection, so a lost server fails here
    // with the driver's text rather than reading as an empty database.
    const QString probe = db.driverName() == QStringLiteral("QPSQL")
                              ? QStringLiteral(
                                    "SELECT COUNT(*) FROM pg_catalog.pg_tables "
                                    "WHERE tablename = 'schema_version' "
                                    "AND schemaname = ANY (current_schemas(false))")
                              : QStringLiteral(
                                    "SELECT COUNT(*) FROM sqlite_master "
                                    "WHERE type = 'table' AND name = 'schema_version'");
    runSql(query, probe);
    if (!query.next() || query.value(0).toInt() == 0) return 0;
    runSql(query, QStringLiteral("SELECT version FROM schema_version"));
    if (!query.next()) {
        throw ArchiveError(archiveFailureText(QStringLiteral("нет версии схемы")).toStdString());
    }
    return query.value(0).toInt();
}

void migrateSchema(QSqlDatabase& db, const SqlDialect& dialect) {
    migrate(db, dialect, kSchemaVersion);
}

void migrateSchemaTo(QSqlDatabase& db, const SqlDialect& dialect, int version) {
    migrate(db, dialect, version);
}

QString nameKey(const QString& name) {
    return name.toCaseFolded();
}

}  // namespace uroflow

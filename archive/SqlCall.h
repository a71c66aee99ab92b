#pragma once
// Running a statement and turning the driver's failure into an ArchiveError.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

namespace uroflow {

// Prepares `sql`, binds `values` in order and runs it; throws ArchiveError with the
// driver's text on failure.
void runSql(QSqlQuery& query, const QString& sql, const QVariantList& values = {});

// The user's text for a failed statement.
QString archiveFailureText(const QString& driverText);

// Holds the database's write lock from the start (SQLite: BEGIN IMMEDIATE, so the busy
// time-out applies to it; PostgreSQL: an advisory lock every writer of the schema takes)
// until committed; rolls back when left by an exception.
class WriteTransaction {
  public:
    enum class Lock { Rows, Schema };
    WriteTransaction(QSqlDatabase& db, bool server, Lock lock = Lock::Schema);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;

    void commit();

  private:
    QSqlDatabase& db_;
    bool active_ = false;
};

}  // namespace uroflow

#pragma once
// Where a test's or a benchmark's archive lives: an SQLite file in a temporary folder of its
// own, or a fresh database on the run's one throw-away PostgreSQL server.

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "archive/ArchiveAddress.h"
#include "archive/Schema.h"
#include "tests/archive/PostgresServer.h"

namespace uroflow::test {

class ArchivePlace {
  public:
    // A fresh, empty embedded archive.
    static std::unique_ptr<ArchivePlace> embedded();
    // A fresh, empty database on the shared server; null where PostgreSQL is not installed,
    // the reason then in `skipReason`.
    static std::unique_ptr<ArchivePlace> onServer(QString& skipReason);

    // The --db URL.
    QString url() const { return url_; }
    ArchiveAddress address() const { return parseArchiveUrl(url_); }
    SqlDialect dialect() const;
    // A connection of its own to the same database, for building or inspecting it by hand.
    QSqlDatabase openRaw(const QString& connectionName) const;

  private:
    ArchivePlace(QString url, std::unique_ptr<QTemporaryDir> folder);

    QString url_;
    std::unique_ptr<QTemporaryDir> folder_;  // the embedded archive's
};

// The run's one throw-away server, started on first use and stopped as the application
// ends (or by releaseSharedServer()); null, with the reason, where PostgreSQL is not
// installed.
PostgresServer* sharedServer(QString& skipReason);
void releaseSharedServer();

// The place of the driver a contract test executable is built for: each links one
// definition.
std::unique_ptr<ArchivePlace> newArchivePlace(QString& skipReason);

}  // namespace uroflow::test

#pragma once
// Where a contract test's archive lives: an SQLite file or a database on a throw-away
// PostgreSQL server. Each test executable links one implementation of newArchivePlace().

#include <QSqlDatabase>
#include <QString>
#include <memory>

#include "archive/ArchiveAddress.h"
#include "archive/Schema.h"

namespace uroflow::test {

class ArchivePlace {
  public:
    virtual ~ArchivePlace() = default;
    // The --db URL of a fresh, empty archive.
    virtual QString url() const = 0;
    ArchiveAddress address() const { return parseArchiveUrl(url()); }
    virtual SqlDialect dialect() const = 0;
    // A connection of its own to the same database, for building or inspecting it by hand.
    virtual QSqlDatabase openRaw(const QString& connectionName) const = 0;
};

// Empty when this driver cannot be tested here; the reason is then in `skipReason`.
std::unique_ptr<ArchivePlace> newArchivePlace(QString& skipReason);
// Called once after the last test: stops what newArchivePlace started.
void releaseArchivePlaces();

}  // namespace uroflow::test

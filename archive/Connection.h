#pragma once
// Opening the archive's database connection, one function per driver.

#include <QSqlDatabase>
#include <QString>

#include "archive/ArchiveAddress.h"

namespace uroflow {

// The SQLite file, created with mode 0600 in a folder of mode 0700 when missing, in WAL
// mode with a busy time-out, so several programs can use it at once. Throws ArchiveError.
QSqlDatabase openEmbedded(const QString& connectionName, const QString& file, int timeoutMs);

// The PostgreSQL server: the password comes from libpq (~/.pgpass, the service file), never
// from us; connecting, every statement and a silent network give up after `timeoutMs`.
// Throws ArchiveError.
QSqlDatabase openServer(const QString& connectionName, const ArchiveAddress& address,
                        int timeoutMs);

}  // namespace uroflow

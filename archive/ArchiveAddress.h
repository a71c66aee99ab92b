#pragma once
// Where an archive lives: the embedded SQLite file or a PostgreSQL server, read from
// the URL the user gives ("postgresql://user@host:port/dbname?sslmode=require").

#include <QString>
#include <QStringList>

namespace uroflow {

struct ArchiveAddress {
    enum class Kind { Embedded, Server };
    Kind kind = Kind::Embedded;
    QString file;  // Embedded: the SQLite file
    // Server: the parts of the URL; empty parts are left to libpq's defaults.
    QString user;
    QString host;
    int port = -1;
    QString database;
    QStringList options;  // libpq keywords from the query, "key=value"
};

inline constexpr char kServerScheme[] = "postgresql://";
inline constexpr char kServerSchemeShort[] = "postgres://";
inline constexpr char kEmbeddedScheme[] = "sqlite://";

// The embedded archive of the window and of uroflow-archive without --db: archive.sqlite
// in the user's data folder (QStandardPaths::AppDataLocation of the application named
// kArchiveApplicationName).
inline constexpr char kArchiveApplicationName[] = "uroflow";
inline constexpr char kEmbeddedFileName[] = "archive.sqlite";
QString defaultEmbeddedFile();

// "postgresql://…" or "postgres://…" for a server, "sqlite:///path" or a plain path for an
// embedded file, empty for the default embedded archive. A password in the URL, or a
// "password" option, is refused: libpq reads it from ~/.pgpass or the service file.
// Throws ArchiveError with the reason for a URL it cannot use.
ArchiveAddress parseArchiveUrl(const QString& url);

// One line for the user: the file, or the server without any secret.
QString describeArchive(const ArchiveAddress& address);

}  // namespace uroflow

#pragma once
// A throw-away PostgreSQL server for the archive's tests: initdb into a temporary folder as
// an unprivileged user (the server refuses to run as root), listening on a free port of
// 127.0.0.1 with password logins, stopped and removed at the end.

#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace uroflow::test {

class PostgresServer {
  public:
    // The folder holding initdb and pg_ctl; empty where PostgreSQL is not installed.
    static QString binaries();
    // The line a test prints when it skips for want of them.
    static constexpr char kMissingText[] =
        "PostgreSQL binaries not found (/usr/lib/postgresql/*/bin): server tests skipped";

    // Starts the server; throws std::runtime_error with the server's log on failure.
    // Points PGPASSFILE at a file holding the password, so libpq finds it as in a clinic.
    PostgresServer();
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    void stop();
    void start();

    // A new empty database; its URL for the archive.
    QString newDatabaseUrl();
    QString url(const QString& database) const;
    int port() const { return port_; }

  private:
    void run(const QString& program, const QStringList& args);

    QString bin_;
    std::unique_ptr<QTemporaryDir> folder_;
    int port_ = 0;
    int databases_ = 0;
    bool running_ = false;
};

}  // namespace uroflow::test

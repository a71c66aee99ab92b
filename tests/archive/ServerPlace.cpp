// The contract tests on a PostgreSQL server: one throw-away server for the whole run, a
// fresh database for every test.

#include "tests/archive/ServerPlace.h"

#include "archive/Connection.h"
#include "tests/archive/ArchivePlace.h"

namespace uroflow::test {

namespace {

class ServerPlace : public ArchivePlace {
  public:
    explicit ServerPlace(QString url) : url_(std::move(url)) {}
    QString url() const override { return url_; }
    SqlDialect dialect() const override { return postgresDialect(); }
    QSqlDatabase openRaw(const QString& connectionName) const override {
        return openServer(connectionName, address(), 3000);
    }

  private:
    QString url_;
};

}  // namespace

namespace {

std::unique_ptr<PostgresServer> server;
QString failure;

}  // namespace

PostgresServer* sharedServer(QString& skipReason) {
    if (!server && failure.isEmpty()) {
        if (PostgresServer::binaries().isEmpty()) {
            failure = QString::fromLatin1(PostgresServer::kMissingText);
        } else {
            server = std::make_unique<PostgresServer>();
        }
    }
    skipReason = failure;
    return server.get();
}

std::unique_ptr<ArchivePlace> newArchivePlace(QString& skipReason) {
    PostgresServer* running = sharedServer(skipReason);
    if (!running) return nullptr;
    return std::make_unique<ServerPlace>(running->newDatabaseUrl());
}

void releaseArchivePlaces() {
    server.reset();
}

}  // namespace uroflow::test

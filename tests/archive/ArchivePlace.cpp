#include "tests/archive/ArchivePlace.h"

#include <QCoreApplication>

#include "archive/Connection.h"

namespace uroflow::test {

namespace {

constexpr int kRawTimeoutMs = 3000;

std::unique_ptr<PostgresServer> server;
QString serverFailure;

}  // namespace

ArchivePlace::ArchivePlace(QString url, std::unique_ptr<QTemporaryDir> folder)
    : url_(std::move(url)), folder_(std::move(folder)) {}

std::unique_ptr<ArchivePlace> ArchivePlace::embedded() {
    auto folder = std::make_unique<QTemporaryDir>();
    const QString url = folder->filePath(QStringLiteral("archive.sqlite"));
    return std::unique_ptr<ArchivePlace>(new ArchivePlace(url, std::move(folder)));
}

std::unique_ptr<ArchivePlace> ArchivePlace::onServer(QString& skipReason) {
    PostgresServer* running = sharedServer(skipReason);
    if (!running) return nullptr;
    return std::unique_ptr<ArchivePlace>(new ArchivePlace(running->newDatabaseUrl(), nullptr));
}

SqlDialect ArchivePlace::dialect() const {
    return folder_ ? sqliteDialect() : postgresDialect();
}

QSqlDatabase ArchivePlace::openRaw(const QString& connectionName) const {
    const ArchiveAddress where = address();
    return where.kind == ArchiveAddress::Kind::Embedded
               ? openEmbedded(connectionName, where.file, kRawTimeoutMs)
               : openServer(connectionName, where, kRawTimeoutMs);
}

PostgresServer* sharedServer(QString& skipReason) {
    if (!server && serverFailure.isEmpty()) {
        if (PostgresServer::binaries().isEmpty()) {
            serverFailure = QString::fromLatin1(PostgresServer::kMissingText);
        } else {
            server = std::make_unique<PostgresServer>();
            // Stopped while the application still runs its processes.
            qAddPostRoutine(releaseSharedServer);
        }
    }
    skipReason = serverFailure;
    return server.get();
}

void releaseSharedServer() {
    server.reset();
}

}  // namespace uroflow::test
